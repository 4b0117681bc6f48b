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
