// Engine detection on generated races whose engines are known: each car
// revs to its own limit in five gears a lap, with a frame in neutral at
// every change up.

#include "reports/engine_detection_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "golden.h"
#include "report_scenarios.h"
#include "reports/driver_sample_windows.h"
#include "support/race_generator.h"
#include "support/temp_dir.h"

namespace {

fixture::CarPlan Car(const char* first, const char* last, uint32_t slot, uint8_t car, double limit) {
    fixture::CarPlan c;
    c.driver.first_name = first;
    c.driver.last_name = last;
    c.driver.slot = slot;
    c.driver.car_byte = static_cast<uint8_t>(car + 1);
    c.practice_speeds = {40, 45, 44};
    c.race_speeds = {38, 46, 47, 45};
    c.rev_limit_rpm = limit;
    return c;
}

fixture::RacePlan EngineRace() {
    fixture::RacePlan plan;
    plan.lap_length_m = 400.0;
    plan.player = 0;
    plan.filler_bytes = 24;
    plan.cars = {Car("Jim", "Clark", 0, 5, 8850),        // Lotus revving like a Brabham: A Brabham, B and C Lotus
                 Car("Lorenzo", "Bandini", 1, 4, 10950), // Ferrari
                 Car("John", "Surtees", 2, 6, 12500),    // above every bound
                 Car("Jackie", "Stewart", 3, 8, 4000)};  // too slow for test C; car index 8 lists a BRM
    return plan;
}

TEST(EngineDetectionReport, GeneratedRace) {
    fixture::TempDir dir;
    fixture::RaceGenerator race(EngineRace());
    auto r = report_scenarios::WriteAndLoad(race.Spec(), dir.File("engines.rpy"));
    // A driver whose record id names no car slot has no data at all.
    Drivers& d = *r->drivers;
    d.first_names[4] = "Mike";
    d.last_names[4] = "Parkes";
    d.slot[4] = 30;
    d.car_index[4] = 4;
    d.season_code[4] = 1969;
    d.driver_count = 5;
    std::string grown;
    const std::string text = EngineDetectionReport::Write(d, [&](const std::string& piece) { grown += piece; });
    EXPECT_EQ(grown, text);
    ExpectGolden("engine_detection.txt", text);
}

TEST(EngineDetectionReport, LocalDriverWithoutEnoughOrAnyData) {
    fixture::TempDir dir;
    auto plan = EngineRace();
    plan.cars.resize(2);
    plan.cars[0].rev_limit_rpm = 4000;  // revs from 2200 to 4000: a spread below 2000
    fixture::RaceGenerator race(plan);
    auto r = report_scenarios::WriteAndLoad(race.Spec(), dir.File("slow.rpy"));
    const std::string label = "Detected engine method D(*only* for local driver):   ";
    EXPECT_NE(EngineDetectionReport::Write(*r->drivers).find(label + "Not enough data to use in detection"),
              std::string::npos);
    // Record ids of 20 and more name no car slot: the player's records are
    // not taken for anyone.
    r->drivers->slot[0] = 25;
    EXPECT_NE(EngineDetectionReport::Write(*r->drivers).find(label + "No data to use in detection"), std::string::npos);
}

TEST(EngineDetectionReport, DamagedOrMissingReplay) {
    fixture::TempDir dir;
    fixture::RaceGenerator race(EngineRace());
    auto spec = race.Spec();
    spec.frames[40].records.push_back(fixture::Record{7, 8, std::string(4, '\0')});
    auto r = report_scenarios::WriteAndLoad(spec, dir.File("bad.rpy"));
    const std::string text = EngineDetectionReport::Write(*r->drivers);
    EXPECT_TRUE(text.ends_with("(this might take a while)...\r\n\r\nThe replay file is damaged - stopping detection.\r\n"));
    r->drivers->path = dir.File("gone.rpy");
    EXPECT_TRUE(EngineDetectionReport::Write(*r->drivers).ends_with("...\r\nError opening file!\r\n"));
}

TEST(EngineDetectionReport, ThresholdTables) {
    struct Case {
        int figure, a, b, c;
    } cases[] = {
        {0, 7, 7, 7},       {-5, 9, 9, 9},      {799, 9, 9, 9},    {800, 9, 8, 9},   {815, 8, 8, 8},
        {871, 0, 0, 0},     {872, 0, 5, 0},     {891, 0, 5, 0},    {892, 0, 5, 5},   {900, 5, 2, 5},
        {909, 2, 2, 2},     {925, 3, 4, 3},     {944, 4, 6, 4},    {950, 1, -1, 1},  {959, 6, -1, 6},
        {960, -1, -1, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EngineDetectionReport::ClassifyByHighestCode(c.figure), c.a) << c.figure;
        EXPECT_EQ(EngineDetectionReport::ClassifyByShiftFigure(c.figure), c.b) << c.figure;
        EXPECT_EQ(EngineDetectionReport::ClassifyByPeakCode(c.figure), c.c) << c.figure;
    }
    const std::pair<double, int> limits[] = {{0, 7},     {7999, 7},  {8000, 5},  {9049.9, 3}, {9200, 2},
                                             {9499, 4},  {9500, 1},  {11999, 8}, {17499, 9},  {17500, -1},
                                             {std::numeric_limits<double>::quiet_NaN(), 7}};
    for (const auto& [ratio, make] : limits) EXPECT_EQ(EngineDetectionReport::ClassifyByRevLimit(ratio), make) << ratio;
    EXPECT_EQ(EngineDetectionReport::MakeText(-1), "Can't be detected ");
    EXPECT_EQ(EngineDetectionReport::MakeText(1), "BRM      ");

    // Test B takes the median of each window and their mean.
    DriverSampleWindows up34(3), up45(3);
    for (int v : {950, 880, 890, 885}) up34.Push(2, v);  // the first drops out: 880 885 890
    EXPECT_EQ(up34.Size(2), 3u);
    EXPECT_EQ(EngineDetectionReport::ClassifyByShiftCodes(up34, up45, 2), 5);  // 885 alone
    up45.Push(2, 925);
    EXPECT_EQ(EngineDetectionReport::ClassifyByShiftCodes(up34, up45, 2), 2);  // (890 + 925) / 2
}

}  // namespace
