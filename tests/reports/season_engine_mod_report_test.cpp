// Season, engine and mod facts: one driver per rule of the comment column.

#include "reports/season_engine_mod_report.h"

#include <gtest/gtest.h>

#include "golden.h"
#include "report_scenarios.h"
#include "support/temp_dir.h"

namespace {

using fixture::DriverLaps;
using fixture::NamedDriver;

// Record bytes 57 to 65 hold each engine byte plus 1.
std::array<uint8_t, 9> EngineBytes(std::initializer_list<std::pair<int, uint8_t>> set) {
    std::array<uint8_t, 9> bytes{};
    for (int i = 0; i < 9; ++i) bytes[i] = static_cast<uint8_t>(i + 1);
    for (const auto& [at, value] : set) bytes[at] = static_cast<uint8_t>(value + 1);
    return bytes;
}

DriverLaps Driver(const char* first, const char* last, uint32_t slot, uint8_t car, int8_t season_offset,
                  uint8_t engine_class, std::array<uint8_t, 9> engine) {
    DriverLaps d{NamedDriver(first, last, slot, car)};
    d.driver.season_offset = season_offset;
    d.driver.code_byte = engine_class;
    d.driver.car_data57 = engine;
    d.race_start = 1000;
    d.race_laps = {60000};
    return d;
}

TEST(SeasonEngineModReport, EveryCommentRule) {
    report_scenarios::UseUtc();
    fixture::TempDir dir;
    std::vector<DriverLaps> field = {
        Driver("Jim", "Clark", 0, 5, 82, 3, EngineBytes({})),                  // F1, own engine
        Driver("Graham", "Hill", 1, 1, 82, 3, EngineBytes({{1, 4}})),         // F1 with the Ferrari engine
        Driver("Jack", "Brabham", 2, 0, 82, 2, EngineBytes({{7, 3}})),        // F2 swapped
        Driver("Denny", "Hulme", 3, 0, 82, 2, EngineBytes({})),               // F2 own
        Driver("Bruce", "McLaren", 4, 3, 82, 1, EngineBytes({{8, 0}})),       // F3 swapped
        Driver("Jochen", "Rindt", 5, 2, 82, 1, EngineBytes({})),              // F3 own
        Driver("John", "Surtees", 6, 9, 81, 3, EngineBytes({})),              // 1966: never swapped
        Driver("Dan", "Gurney", 7, 3, 84, 0, EngineBytes({})),                // class unknown
        Driver("Pedro", "Rodriguez", 8, 6, 82, 3, EngineBytes({{6, 2}})),     // F1, Honda with a Cooper engine
        Driver("Mike", "Spence", 9, 0, 82, 3, EngineBytes({})),
        Driver("Jo", "Siffert-Longnameson", 10, 12, 82, 3, EngineBytes({})),  // no engine byte at index 12
        Driver("Chris", "Amon", 11, 4, 82, 3, EngineBytes({})),
    };
    field[9].driver.not_applicable = true;  // mod code 255: no listing
    field[11].driver.ai = true;             // computer drivers are not listed
    auto r = report_scenarios::WriteAndLoad(fixture::SessionReplay(field, false, true), dir.File("facts.rpy"));
    // A table without a mod listing but with a car (as a catalogue may give
    // it) names the car of the base season.
    r->drivers->car_index[9] = 4;
    ExpectGolden("season_engine_mod.txt", WriteSeasonEngineModReport(*r->drivers));
}

TEST(SeasonEngineModReport, OnlyComputerDrivers) {
    fixture::TempDir dir;
    auto d = Driver("Jack", "Brabham", 0, 0, 82, 3, EngineBytes({}));
    d.driver.ai = true;
    auto r = report_scenarios::WriteAndLoad(fixture::SessionReplay({d}, false, true), dir.File("ai.rpy"));
    EXPECT_EQ(WriteSeasonEngineModReport(*r->drivers),
              "Name                     Carmake        Year Engine      Class Comment\r\n\r\n"
              "(No AI-drivers listed)\r\nGenerated with Ostrevan\r\n");
}

}  // namespace
