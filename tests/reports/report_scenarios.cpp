#include "report_scenarios.h"

#include <sys/time.h>

#include <cstdlib>
#include <ctime>
#include <stdexcept>

#include "reports/report_text.h"

namespace report_scenarios {

using fixture::DriverLaps;
using fixture::NamedDriver;

namespace {

constexpr uint32_t kInvalid = 0x10000000;
constexpr uint32_t kOff = 0x40000000;
constexpr uint32_t kUnknown = 0x01000000;

}  // namespace

fixture::ReplaySpec PracticeAndRace() {
    DriverLaps clark{NamedDriver("Jim", "Clark", 0, 5)};
    clark.driver.value128 = 5;
    clark.practice_start = 3000;
    clark.practice_laps = {95000, 92000, 93500, 94000};
    clark.practice_flags = {0, kInvalid, 0, kOff};
    clark.race_start = 2500;
    clark.race_laps = {100000, 95000, 94500, 94800, 95200};
    clark.race_flags = {0, 0, 0, kOff, 0};

    DriverLaps hill{NamedDriver("Graham", "Hill", 1, 1)};
    hill.driver.value128 = 6;
    hill.driver.country = 13;
    hill.practice_start = 4000;
    hill.practice_laps = {96000, 93500};
    hill.practice_flags = {kUnknown, 0};
    hill.race_start = 2600;
    hill.race_laps = {99000, 95500, 95000, 95500, 96000};
    hill.race_flags = {0, 0, kOff | kInvalid, 0, kUnknown | 0x20000000};

    DriverLaps brabham{NamedDriver("Jack", "Brabham", 2, 0)};
    brabham.driver.value128 = 1;
    brabham.driver.country = 2;
    brabham.driver.ai = true;
    brabham.practice_start = 3500;
    brabham.practice_laps = {97000};
    brabham.practice_flags = {kInvalid};
    brabham.race_start = 2700;
    brabham.race_laps = {101000, 96000};

    DriverLaps hulme{NamedDriver("Denny", "Hulme", 3, 0)};
    hulme.driver.value128 = 2;
    hulme.driver.country = 21;
    hulme.driver.ai = true;
    hulme.practice_start = 5000;
    hulme.practice_laps = {99000, 98000};
    hulme.race_start = 2800;
    hulme.race_laps = {130000, 125000, 120000, 110000};

    return fixture::SessionReplay({clark, hill, brabham, hulme}, true, true, "monza");
}

fixture::ReplaySpec PracticeOnly() {
    DriverLaps a{NamedDriver("Maximilian-Alexan", "von Trips-Berghe", 0, 4)};  // 15 + 15 characters kept
    a.driver.value128 = 112;
    a.driver.country = 12;
    a.practice_start = 1000;
    a.practice_laps = {88123, 87600};
    DriverLaps b{NamedDriver("Pedro", "Rodriguez", 1, 3)};
    b.driver.value128 = 7;
    b.driver.country = 17;
    b.practice_start = 1500;
    b.practice_laps = {90000, 89000, 88123};
    DriverLaps c{NamedDriver("Bruce", "McLaren", 2, 2)};
    c.driver.value128 = 8;
    c.driver.country = 21;
    c.practice_start = 1200;
    c.practice_laps = {86000, 85000};
    c.practice_flags = {kInvalid, kInvalid | kOff};
    return fixture::SessionReplay({a, b, c}, true, false, "zandvoort");
}

fixture::ReplaySpec RaceOnly() {
    DriverLaps a{NamedDriver("John", "Surtees", 0, 4)};
    a.race_start = 2000;
    a.race_laps = {60000, 59000, 58500};
    DriverLaps b{NamedDriver("Lorenzo", "Bandini", 1, 4)};
    b.race_start = 2100;
    b.race_laps = {60500, 58800, 58600};
    DriverLaps c{NamedDriver("Jackie", "Stewart", 2, 1)};
    c.race_start = 2200;
    c.race_laps = {61000, 59500, 59000};
    DriverLaps d{NamedDriver("Richie", "Ginther", 3, 6)};
    return fixture::SessionReplay({a, b, c, d}, false, true, "spa");
}

void UseUtc() {
    setenv("TZ", "UTC", 1);
    tzset();
}

std::unique_ptr<Loaded> WriteAndLoad(const fixture::ReplaySpec& spec, const std::string& path) {
    fixture::WriteFile(path, fixture::BuildReplay(spec));
    const struct timeval times[2] = {{kFileTime, 0}, {kFileTime, 0}};
    if (utimes(path.c_str(), times) != 0) throw std::runtime_error("cannot set the file time of " + path);
    auto out = std::make_unique<Loaded>();
    if (out->header.Load(path) != 0 || out->drivers->LoadReplay(path) != 0)
        throw std::runtime_error("fixture replay does not load: " + path);
    out->input.header = &out->header;
    out->input.drivers = out->drivers.get();
    out->input.file_time = report_text::FileTimeText(path);
    return out;
}

}  // namespace report_scenarios
