#pragma once
// Session replays the report tests share, each written to a file whose
// last-write time is fixed (Sun Jan 06 14:05:09 2008 in UTC).

#include <memory>
#include <string>

#include "replay/drivers.h"
#include "replay/header.h"
#include "reports/report_input.h"
#include "support/session_fixture.h"

namespace report_scenarios {

// Practice and race, four drivers: flags of every kind, a tie for pole,
// two computer drivers, one retirement and one lapped driver.
fixture::ReplaySpec PracticeAndRace();
// Practice only: a long name, a driver whose laps are all invalid.
fixture::ReplaySpec PracticeOnly();
// Race only: a podium of three and a driver who fails to start.
fixture::ReplaySpec RaceOnly();
// Practice and race, eight drivers over 14 laps: six leader stints, lapped
// drivers (1 to 14 laps down), one starter without a lap and one driver
// with a car slot outside the table who never starts, off-track and
// invalid laps, ties in best laps, laps led, places gained and on-track
// laps.
fixture::ReplaySpec ChangingLeads();

constexpr long long kFileTime = 1199628309;  // 2008-01-06 14:05:09 UTC

// A replay written to dir/name, loaded.
struct Loaded {
    Header header;
    std::unique_ptr<Drivers> drivers = std::make_unique<Drivers>();
    ReportInput input;
};
std::unique_ptr<Loaded> WriteAndLoad(const fixture::ReplaySpec& spec, const std::string& path);

// Sets TZ to UTC for this process.
void UseUtc();

}  // namespace report_scenarios
