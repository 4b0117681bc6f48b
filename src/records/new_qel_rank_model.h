#pragma once
// NewQELRankModel: the "QELRank Calculator" over a driver's gathered
// personal bests: seven ranks (track sets with their reference sums) and
// the master rank over the first four, each with an overall column, the
// seven car columns (car indexes 0 to 6) and a monster field adding the
// seven car handicaps. Handicaps are in milliseconds.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class HandicapRecords;

class NewQELRankModel {
public:
    static constexpr int kCarCount = 7;

    struct TrackSet {
        const char* caption;  // the group box's caption
        int64_t reference;    // ms
        std::vector<const char*> tracks;
    };
    // The seven ranks in calculation order.
    static const std::vector<TrackSet>& Sets();

    struct Group {
        std::string caption;
        // Overall, then Brabham, BRM, Cooper, Eagle, Ferrari, Lotus, Honda.
        std::array<std::string, 8> columns;
        std::string monster;
    };

    // Sets 1 to 7, then the master rank ("Master of QEL Handicap").
    static std::vector<Group> Calculate(const HandicapRecords& records);

    // Adds the time of the first row whose folder is directory (car -1: the
    // row's best over all cars) to sum and count, when there is one.
    static void FindTrackTime(const HandicapRecords& records, const std::string& directory, int car, int64_t& sum,
                              int& count);
    // The handicap d (ms) as shown: the opposite sign, whole seconds (the
    // last four digits), "." and three digits: 1218 gives "-1.218".
    static std::string FormatSignedTime(int64_t d);
};
