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

fixture::ReplaySpec ChangingLeads() {
    // Leaders: Stewart lap 1, Clark 2-4, Brabham 5, Hill 6, Clark 7-9, Hill
    // 10-14. Grid: Stewart, Surtees, Clark, Hulme, Gurney, Hill (whose
    // faster lap is invalid), Brabham, Rindt (no practice time).
    auto driver = [](const char* first, const char* last, uint32_t slot, uint8_t car, uint32_t number,
                     uint8_t country) {
        DriverLaps d{NamedDriver(first, last, slot, car)};
        d.driver.value128 = number;
        d.driver.country = country;
        return d;
    };
    DriverLaps clark = driver("Jim", "Clark", 0, 5, 5, 13);
    clark.practice_start = 3000;
    clark.practice_laps = {79000, 78000};
    clark.race_start = 2500;
    clark.race_laps = {80000, 79700, 80000, 80100, 80300, 80100, 79400,
                       79900, 79900, 81100, 80500, 80200, 80300, 80500};
    clark.race_flags = {0, 0, 0, 0, 0, 0, kInvalid};

    DriverLaps hill = driver("Graham", "Hill", 1, 1, 6, 13);
    hill.practice_start = 3100;
    hill.practice_laps = {76000, 79500};
    hill.practice_flags = {kInvalid};
    hill.race_start = 2600;
    hill.race_laps = {80200, 79800, 80100, 79900, 79900, 79900, 79800,
                      79900, 79900, 80500, 79800, 79800, 79900, 79800};
    hill.race_flags = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kInvalid | kOff};

    DriverLaps brabham = driver("Jack", "Brabham", 2, 0, 1, 2);
    brabham.practice_start = 3200;
    brabham.practice_laps = {80000};
    brabham.race_start = 2700;
    brabham.race_laps = {80000, 79800, 80000, 80000, 79900, 80400, 80200, 80300, 80400, 80400, 80400, 80500, 80500};

    DriverLaps hulme = driver("Denny", "Hulme", 3, 0, 2, 21);
    hulme.practice_start = 3300;
    hulme.practice_laps = {78500, 80000};
    hulme.race_start = 2800;
    hulme.race_laps = {81200, 81000, 81000, 81000, 81000, 81000, 81000, 81500};
    hulme.race_flags = {0, 0, 0, 0, 0, 0, 0, kOff};

    DriverLaps surtees = driver("John", "Surtees", 4, 6, 7, 13);
    surtees.practice_start = 3400;
    surtees.practice_laps = {77500};
    surtees.race_start = 2900;
    surtees.race_laps = {82100, 81000, 81500};
    surtees.race_flags = {kOff};

    DriverLaps stewart = driver("Jackie", "Stewart", 5, 1, 11, 13);
    stewart.practice_start = 3500;
    stewart.practice_laps = {78000, 77000};
    stewart.race_start = 2000;
    stewart.race_laps = {80000, 90500};
    stewart.race_flags = {kOff, kOff};

    DriverLaps gurney = driver("Dan", "Gurney", 6, 3, 36, 27);
    gurney.practice_start = 3600;
    gurney.practice_laps = {79000};
    gurney.race_start = 3100;  // on the grid, but no lap

    DriverLaps rindt = driver("Jochen", "Rindt", 25, 2, 103, 3);  // no lap-table slot: no times at all

    return fixture::SessionReplay({clark, hill, brabham, hulme, surtees, stewart, gurney, rindt}, true, true,
                                  "nurburgring");
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
