#pragma once
// Colour conversion from hue, saturation and value to red, green and blue,
// all in 0 to 1 (a hue of 1 is the same as 0). The six-sector conversion:
// a saturation of 0 gives grey of the value; a hue outside 0 to 1 leaves
// the outputs as they were.

void HsvToRgb(float hue, float saturation, float value, float& red, float& green, float& blue);
