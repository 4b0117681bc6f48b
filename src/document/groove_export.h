#pragma once
// The groove file of one loaded lap, for track makers: every `step` metres
// along the track, where across the track the car was and how dark the
// rubber groove is there (0 to 1), from the lap's total acceleration (new
// way) or from its speed change and roll (old way).
//
// Text, every line ended by CR LF: "60sections,<count>entries", then one
// line "0 <lateral> <darkness> <distance> <width>" per distance d = 0, step,
// 2 step, ... (summed in double) below the track length, the numbers as
// FormatGrooveNumber writes them and the width text as entered.

#include <optional>
#include <string>

class CRpyGraphDoc;
class GetRpyInfo;

namespace groove_export {

struct Parameters {
    int darkness_method = 1;        // 1 total acceleration (new way), 0 acceleration and roll (old way)
    int resolution_index = 4;       // step = (index + 1) x 0.1 m, index 0 to 19
    int acceleration_factor = 100;  // percent
    int roll_factor = 100;          // percent
    std::string width = "3.0";      // metres, as typed
};

// Laps with fewer samples cannot be sampled: the darkness and the
// interpolation need samples 2 to n - 2 and fifteen lead-in samples.
inline constexpr unsigned kMinSamples = 18;

// Fixed point with eight decimals, "0" before a point that would lead, "-"
// for negative values: 0.50000000, -1.25000000.
std::string FormatGrooveNumber(double value);

// The lateral offset at distance d, interpolated between the samples around
// it; p is the sample index to search forward from (at least 2), updated to
// the sample before d. Past the last interval the line through samples
// n - 3 and n - 2 is extended; two samples at one distance give the later
// sample's offset. The lap must have at least kMinSamples samples.
double LateralAtDistance(const GetRpyInfo& lap, double d, int& p);

// The groove text of the lap over a track of track_length metres; nullopt
// for a lap shorter than kMinSamples samples.
std::optional<std::string> Build(const GetRpyInfo& lap, double track_length, const Parameters& parameters);

// Tools > Track Creating Tools > Export Lap To Groove (GRV) File, once the
// lap slot is chosen and the parameters are confirmed: builds the text over
// the document's track (none: no line), asks for the file ("<track>.grv"
// proposed) and writes it, replacing a file whole or not at all. Says
// kTooShort for a lap it cannot sample and "Error creating file!" when the
// file cannot be written. True when a file was written.
inline constexpr const char* kTooShort = "This lap is too short to be exported as a groove file.";
bool ExportLap(CRpyGraphDoc& doc, int slot, const Parameters& parameters);

}  // namespace groove_export
