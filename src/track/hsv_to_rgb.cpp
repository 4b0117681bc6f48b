#include "track/hsv_to_rgb.h"

#include <cmath>

void HsvToRgb(float hue, float saturation, float value, float& red, float& green, float& blue) {
    if (saturation == 0.0f) {
        red = green = blue = value;
        return;
    }
    if (hue == 1.0f) hue = 0.0f;
    const float h = hue * 6.0f;
    const float sector = std::floor(h);
    const float f = h - sector;
    const float p = value * (1.0f - saturation);
    const float q = value * (1.0f - saturation * f);
    const float t = value * (1.0f - saturation * (1.0f - f));
    // Compared as a float: a hue far out of range (or NaN) must not reach
    // an integer conversion.
    if (sector == 0.0f) {
        red = value, green = t, blue = p;
    } else if (sector == 1.0f) {
        red = q, green = value, blue = p;
    } else if (sector == 2.0f) {
        red = p, green = value, blue = t;
    } else if (sector == 3.0f) {
        red = p, green = q, blue = value;
    } else if (sector == 4.0f) {
        red = t, green = p, blue = value;
    } else if (sector == 5.0f) {
        red = value, green = p, blue = q;
    }
}
