#include "tools/speed_track_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "replay/get_rpy_info.h"

namespace speed_track {

const char* const kTooShortMessage = "A lap of five samples or fewer cannot be compared along the track.";

std::optional<std::vector<double>> PieceSpeeds(const GetRpyInfo& lap, double piece_length, bool mph) {
    size_t n = lap.sample_count;
    for (size_t size : {lap.distance.size(), lap.speed.size()}) n = size == 0 ? 0 : std::min(n, size - 1);
    if (n <= kMinSamples || !(piece_length > 0.0)) return std::nullopt;
    const double factor = mph ? kMphFactor : 1.0;
    std::vector<double> pieces;
    double boundary = piece_length;
    double sum = 0.0;
    size_t count = 0;
    // A lap starts with a sample or two before the line, whose distance is
    // the end of the lap before: they count to the first piece instead of
    // running the boundary round the whole track.
    size_t line = 1;
    for (size_t j = 2; j <= std::min<size_t>(n - 5, 12); ++j)
        if (lap.distance[j] < lap.distance[j - 1]) line = j;
    for (size_t j = 1; j <= n - 5; ++j) {
        // A sample that crosses a boundary belongs to the next piece. A piece
        // it jumps over holds no sample of its own: the car crossed it at
        // this sample's speed. A distance far beyond the track ends the list.
        const double speed = lap.speed[j < 10 ? std::min<size_t>(10, n) : j] * factor;
        while (j >= line && lap.distance[j] > boundary && pieces.size() < kMaxPieces) {
            pieces.push_back(count == 0 ? speed : sum / static_cast<double>(count));
            boundary += piece_length;
            sum = 0.0;
            count = 0;
        }
        sum += speed;
        ++count;
    }
    pieces.push_back(count == 0 ? 0.0 : sum / static_cast<double>(count));
    return pieces;
}

std::vector<double> Differences(const std::vector<double>& first, const std::vector<double>& second,
                                size_t piece_count) {
    std::vector<double> diff(piece_count, 0.0);
    const size_t common = std::min({first.size(), second.size(), piece_count});
    for (size_t k = 0; k < common; ++k) {
        const double d = first[k] - second[k];
        diff[k] = std::isnan(d) || d > 500.0 || d < -500.0 ? 0.0 : d;
    }
    return diff;
}

namespace {

std::string OneDecimal(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string s = text;
    if (s == "-0.0") s = "0.0";
    return s;
}

}  // namespace

std::array<std::string, 5> LegendTexts(double max_abs, bool manual) {
    const double m = std::isfinite(max_abs) ? max_abs : 0.0;
    std::array<std::string, 5> t = {OneDecimal(-m), OneDecimal(-m / 2), "0", OneDecimal(m / 2), OneDecimal(m)};
    if (manual) {
        // Built by appending: GCC 12 warns wrongly about a prefix inserted.
        std::string low(1, '<');
        low += t[0];
        std::string high(1, '>');
        high += t[4];
        t[0] = std::move(low);
        t[4] = std::move(high);
    }
    return t;
}

std::string FormatLapTime(uint32_t lap_word) {
    const uint32_t ms = lap_word & 0xFFFFFF;
    char text[32];
    std::snprintf(text, sizeof text, "%um%02u.%03us", ms / 60000, ms / 1000 % 60, ms % 1000);
    return text;
}

}  // namespace speed_track
