#pragma once
// Ratings of one lap from its longitudinal and lateral acceleration in the
// car's frame (the data the traction circle plots) and its speed:
// Aggressiveness (how hard throttle and brake are used at low lateral load),
// Smoothness (how little the total acceleration changes under high load),
// Usage (how close, on average, one of the accelerations or the transition
// rate is to its peak) and Overall (their mean weighted by the samples each
// was taken from). Fractions, 1.0 = 100 %.
//
// The first 14 samples are never used. A rating with no sample to take its
// mean over (a lap of 15 samples or fewer, or a lap whose car never moves
// in the rated samples: no car data, or no track) has no value; a sample whose
// peak is 0 (no sustained braking, no change of lateral load) counts as 0
// load instead of dividing by nothing.

#include <array>
#include <optional>
#include <string>
#include <vector>

class GetRpyInfo;

struct LapRating {
    std::optional<double> aggressiveness;
    std::optional<double> smoothness;
    std::optional<double> usage;
    std::optional<double> overall;
};

LapRating RateLap(const GetRpyInfo& lap);

// x x 100 with two decimals and no leading zero: 0.85231 gives "85.23",
// 0.005 gives ".50", 0.0005 gives ".05"; a negative rating keeps its sign
// ("-12.50"); no value gives "-".
std::string RatingText(const std::optional<double>& value);

// One row of the ratings table: the lap's label and its four texts
// (Aggressiveness, Smoothness, Usage, Overall).
struct RatingRow {
    std::string label;
    std::array<std::string, 4> values;
};

extern const std::array<const char*, 5> kRatingHeadings;

RatingRow MakeRatingRow(const std::string& label, const LapRating& rating);

// The table as the clipboard gets it: the headings separated by tabs, then
// five rows (missing ones as tabs only), each begun with "\r\n", and a
// final "\r\n".
std::string RatingsTableText(const std::vector<RatingRow>& rows);
