#pragma once
// The telemetry of one loaded lap as comma-separated text for other
// programs: a count line ("n - 1, lap time in ms"), the header line, and one
// line per sample 1 to n - 1 of the trimmed lap with twelve channels, the
// derived ones (speed, accelerations relative to the car, slip angle)
// included. Numbers in the C locale whatever the user's locale; every line
// ends in CR LF.

#include <string>

struct LapSlot;

namespace telemetry_text {

inline constexpr const char* kHeaderLine =
    "Longitude, Latitude, Gear, Rpm, Orientation, Roll, Pitch, Steering, Speed, Long Acc, Lat Acc, SlipAngle";

// The whole text of the slot's lap; a slot without telemetry gives the
// count line "0, " and the lap time, and the header line.
std::string Build(const LapSlot& slot);

}  // namespace telemetry_text
