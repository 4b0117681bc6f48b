#include "support/session_fixture.h"

#include <algorithm>
#include <numeric>

namespace fixture {

namespace {

uint32_t SessionEnd(const std::vector<DriverLaps>& drivers, bool race) {
    uint32_t end = 0;
    for (const auto& d : drivers) {
        const auto& start = race ? d.race_start : d.practice_start;
        const auto& laps = race ? d.race_laps : d.practice_laps;
        if (!start) continue;
        end = std::max(end, std::accumulate(laps.begin(), laps.end(), *start));
    }
    return end;
}

FrameBlock MarkerBlock(uint8_t session, uint32_t clock_ms, uint32_t frame) {
    FrameBlock b;
    b.records.push_back(Marker(session, clock_ms));
    b.records.push_back(FrameNumber(frame));
    return b;
}

}  // namespace

DriverSpec NamedDriver(const std::string& first, const std::string& last, uint32_t slot, uint8_t car) {
    DriverSpec d;
    d.first_name = first;
    d.last_name = last;
    d.slot = slot;
    d.car_byte = static_cast<uint8_t>(car + 1);
    return d;
}

ReplaySpec SessionReplay(const std::vector<DriverLaps>& drivers, bool practice, bool race, const std::string& track) {
    ReplaySpec s;
    s.track = track;
    s.sessions = static_cast<uint8_t>((practice ? 1 : 0) + (race ? 1 : 0));
    for (const auto& d : drivers) {
        s.drivers.push_back(d.driver);
        if (practice && d.practice_start)
            s.practice.push_back(EntryFromLaps(d.driver.slot, *d.practice_start, d.practice_laps, d.practice_flags));
        if (race && d.race_start) {
            auto& table = practice ? s.race : s.practice;
            table.push_back(EntryFromLaps(d.driver.slot, *d.race_start, d.race_laps, d.race_flags));
        }
    }
    if (!drivers.empty()) {
        s.player_first = drivers[0].driver.first_name;
        s.player_last = drivers[0].driver.last_name;
    }
    s.layout = practice && race ? TableLayout::kPracticeThenRace
               : race           ? TableLayout::kRaceOnly
               : practice       ? TableLayout::kPracticeOnly
                                : TableLayout::kNone;
    // Markers 10 ms into each session and 1 s after its last lap, so every
    // lap lies inside the recorded window.
    uint32_t frame = 1;
    if (practice) {
        s.frames.push_back(MarkerBlock(0, 10, frame++));
        s.frames.push_back(MarkerBlock(0, SessionEnd(drivers, false) + 1000, frame++));
    }
    if (race) {
        s.frames.push_back(MarkerBlock(2, 10, frame++));
        s.frames.push_back(MarkerBlock(2, SessionEnd(drivers, true) + 1000, frame++));
    }
    return s;
}

}  // namespace fixture
