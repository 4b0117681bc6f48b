#pragma once
// HandicapRecords: what the "QELRank Calculator" reads of a driver's
// gathered personal bests: per track row its folder name, the best time of
// a car on it (the smallest of its practice, training and race bests) and
// the best of the row over all of the season's cars. Times are unsigned
// milliseconds; kNoTime means none and loses every comparison. The
// personal-best records grid provides it.

#include <cstdint>
#include <string>

class HandicapRecords {
public:
    static constexpr uint32_t kNoTime = 0xFFFFFFFF;

    virtual ~HandicapRecords() = default;
    virtual int RowCount() const = 0;
    virtual std::string TrackDirectory(int row) const = 0;
    // car is a car index of the season (0 to its car count - 1).
    virtual uint32_t CarBest(int car, int row) const = 0;
    virtual uint32_t RowBest(int row) const = 0;
};
