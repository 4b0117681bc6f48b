#pragma once
// The speed-along-track comparison: the track cut into pieces of one
// thousandth of its length, each lap's average speed per piece, and the
// difference of two laps piece by piece (first minus second), with the
// legend texts of its colour scale.
//
// Piece k of every lap's list is the stretch from k to k + 1 piece lengths
// along the lap, whatever the lap's sample count. A piece that no sample of
// a lap falls in (the car covers more than a piece per sample) gets the
// speed of the sample that jumped over it, not 0: otherwise a fast lap on a
// short track shows as stripes of made-up differences. Two laps are compared over
// the track's pieces; where one lap's list ends first (a lap cut short) the
// pieces left have no difference, so every difference stays on its own
// stretch of track.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class GetRpyInfo;

namespace speed_track {

constexpr double kPieceShare = 0.001;
constexpr double kMphFactor = 0.621;
// Laps of this many samples or fewer cannot be compared.
constexpr uint32_t kMinSamples = 5;
// No lap's list grows beyond this many pieces.
constexpr size_t kMaxPieces = 1100;
extern const char* const kTooShortMessage;

// Mean speed per piece (km/h, or mph when asked) of samples 1 to n - 5;
// the first 10 samples carry the speed of sample 10, and samples before the
// start line count to the first piece. nullopt for a lap of
// kMinSamples samples or fewer.
std::optional<std::vector<double>> PieceSpeeds(const GetRpyInfo& lap, double piece_length, bool mph);

// first[k] - second[k] for every piece of a track of piece_count pieces;
// pieces beyond either list, and differences that are not a number or lie
// outside -500..500, are 0.
std::vector<double> Differences(const std::vector<double>& first, const std::vector<double>& second,
                                size_t piece_count);

// The legend from left to right: -M, -M/2, "0", M/2, M with one decimal; in
// manual mode the ends read "<-50.0" and ">50.0". M of 0 reads 0.0 at
// every mark.
std::array<std::string, 5> LegendTexts(double max_abs, bool manual);

// "1m23.456s": the lap time as the speed track's lists show it.
std::string FormatLapTime(uint32_t lap_word);

}  // namespace speed_track
