#pragma once
// One cell of the records grid: a driver's best lap of one car on one
// track, per kind of session. Times are milliseconds; kNoTime means none
// and, compared unsigned, loses against every real time.

#include <algorithm>
#include <cstdint>

struct BestLapCell {
    static constexpr uint32_t kNoTime = 0xFFFFFFFF;

    uint32_t practice = kNoTime;  // practice session of a replay with several drivers
    uint32_t training = kNoTime;  // practice session of a replay with the driver alone
    uint32_t race = kNoTime;

    uint32_t Overall() const { return std::min({practice, training, race}); }
    // Takes each of other's times that is smaller.
    void Improve(const BestLapCell& other) {
        practice = std::min(practice, other.practice);
        training = std::min(training, other.training);
        race = std::min(race, other.race);
    }
};
