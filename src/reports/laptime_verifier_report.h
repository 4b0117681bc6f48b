#pragma once
// The online laptime verifier (report kind 9): for every loaded lap,
// recomputes the lap time from the replay's own data in two ways and
// counts the irregularities of the replay's clock during the lap, so a
// user can judge whether an official lap time of an online session is
// plausible. Method A measures the time from the car's distance along the
// track between its two crossings of the line; method B adds to the
// official time what the clock's corrections and smashes took away.

#include <functional>
#include <string>

struct LoadedLap;
struct LoadedLaps;

class LaptimeVerifierReport {
public:
    using Progress = std::function<void(const std::string& piece)>;

    struct LapResult {
        int smashes = 0;          // marker intervals that did not span 36 blocks
        int corrections = 0;      // markers that did not advance exactly 1000 ms
        double method_b_offset = 0;  // ms to add to the official time
        int method_a_ms = 0;      // 0 when it cannot be measured
    };

    // Analyses one lap by reading its replay's data section; a lap that
    // cannot be analysed (the replay cannot be opened or is damaged before
    // the lap's end, the lap's blocks are not found) keeps zero results.
    static LapResult VerifyLap(const LoadedLap& lap, double track_length_m);

    // The whole report text; progress gets every piece as it is appended.
    static std::string Write(const LoadedLaps& laps, const Progress& progress = {});
};
