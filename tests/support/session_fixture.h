#pragma once
// Replays of whole sessions for report tests: drivers with their practice
// and race laps (and flags), laid out with the replay fixture writer. The
// data section holds one block with a timing marker at the start of each
// session and one at its end, which is all the driver table reads of it.

#include <optional>
#include <string>
#include <vector>

#include "support/replay_fixture.h"

namespace fixture {

struct DriverLaps {
    DriverLaps() = default;
    explicit DriverLaps(DriverSpec d) : driver(std::move(d)) {}

    DriverSpec driver;
    // Start time (ms before the first crossing of the line) and lap times in
    // ms; flags[k] is ORed into lap k + 1's word. No start: the driver has
    // no entry in that session's table.
    std::optional<uint32_t> practice_start;
    std::vector<uint32_t> practice_laps;
    std::vector<uint32_t> practice_flags;
    std::optional<uint32_t> race_start;
    std::vector<uint32_t> race_laps;
    std::vector<uint32_t> race_flags;
};

// Practice frames use session code 0, race frames code 2. A replay with
// race only stores its one table in the first position.
ReplaySpec SessionReplay(const std::vector<DriverLaps>& drivers, bool practice, bool race,
                         const std::string& track = "monza");

// A driver record with the given names and slot; season 1967, car index
// car, country GBR unless changed.
DriverSpec NamedDriver(const std::string& first, const std::string& last, uint32_t slot, uint8_t car = 0);

}  // namespace fixture
