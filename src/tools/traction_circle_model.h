#pragma once
// The traction circle's arithmetic: which samples of a lap lie in a range
// of distances, where each lands on the plot, and how long the lap took
// over the range. Positive longitudinal acceleration (accelerating) is drawn
// below the centre, positive lateral (a left turn) to the right.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class GetRpyInfo;

struct TractionPoint {
    int x = 0;
    int y = 0;
};

struct TractionTrace {
    // Sample indices of the line: from `from` (never before 12) to `last`.
    size_t first = 0;  // first sample at or past the start distance
    size_t from = 0;
    size_t last = 0;
    std::vector<TractionPoint> points;
    // Time over the range in hundredths of a second; none when the range
    // starts beyond the lap's last sample.
    std::optional<int64_t> hundredths;
};

struct TractionGeometry {
    double scale = 0.0;  // pixels per g
    int cx = 0;
    int cy = 0;
    // Plot of w x h pixels: scale min(w, h) x 0.2, centre in the middle.
    static TractionGeometry ForSize(int width, int height);
};

// The lap's line between `start` and `end` metres. travel selects the
// accelerations in the frame of the direction of travel instead of the
// car's. range_max is the slider's maximum: a range that ends there runs
// the time to the lap's end. A start beyond the lap's last distance gives
// no points and no time.
TractionTrace TraceLap(const GetRpyInfo& lap, int start, int end, int range_max, bool travel,
                       const TractionGeometry& geometry);

// Hundredths as "12.05".
std::string FormatRangeTime(int64_t hundredths);

// Points (whole pixels) of a circle of radius trunc(scale x g): angle 0, then
// every whole degree to 360.
std::vector<TractionPoint> CirclePoints(const TractionGeometry& geometry, double g);
