// The reports over loaded laps (sector times, speed) on laps extracted from
// a generated race, with the speed channel and the split times filled as
// the document fills them: each car drives a lap at one speed, so its split
// times follow from the split distances.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "golden.h"
#include "replay/get_rpy_info.h"
#include "report_scenarios.h"
#include "reports/loaded_laps.h"
#include "reports/report_text.h"
#include "reports/sector_times_report.h"
#include "reports/speed_report.h"
#include "support/race_generator.h"
#include "support/temp_dir.h"

namespace {

using report_text::FormatLapTime;

constexpr double kLap = 400.0;
constexpr double kSplits[3] = {90.0, 210.0, 330.0};

fixture::CarPlan Car(const char* first, const char* last, uint32_t slot, uint8_t car, std::vector<double> practice,
                     std::vector<double> race) {
    fixture::CarPlan c;
    c.driver.first_name = first;
    c.driver.last_name = last;
    c.driver.slot = slot;
    c.driver.car_byte = static_cast<uint8_t>(car + 1);
    c.practice_speeds = std::move(practice);
    c.race_speeds = std::move(race);
    return c;
}

class LapReports : public ::testing::Test {
protected:
    void SetUp() override {
        fixture::RacePlan plan;
        plan.lap_length_m = kLap;
        plan.player = 1;
        plan.cars = {Car("Graham", "Hill", 4, 1, {40, 45, 44}, {38, 46, 47}),
                     Car("Jim", "Clark", 0, 5, {42, 47, 48}, {40, 48, 49, 50}),
                     Car("Jack", "Brabham-Fitzgerald", 2, 0, {36, 40, 41}, {37, 43, 44})};
        race = std::make_unique<fixture::RaceGenerator>(plan);
        replay = report_scenarios::WriteAndLoad(race->Spec(), dir.File("laps.rpy"));
        laps.track_length_m = kLap;
        Load(1, 1, 3);  // Clark's third race lap
        Load(0, 0, 2);  // Hill's second practice lap
        Load(2, 1, 1);  // Brabham's first race lap
    }

    void Load(uint32_t driver, int session, int lap) {
        auto info = std::make_unique<GetRpyInfo>();
        ASSERT_EQ(info->ExtractLap(*replay->drivers, static_cast<int>(driver), lap, session), 0);
        ASSERT_EQ(info->TrimToLap(1), 0);
        // Speeds from the distance travelled per sample, as the document
        // has them.
        for (uint32_t k = 2; k <= info->sample_count; ++k) {
            double step = info->distance[k] - info->distance[k - 1];
            if (step < -kLap / 2) step += kLap;
            info->speed[k] = step * 36.0 * 3.6;
        }
        info->speed[1] = info->speed[2];
        const double mps = race->Lap(driver, session, lap).speed_raw * race->unit_m() * 36.0;
        LoadedLap l;
        l.header = &replay->header;
        l.drivers = replay->drivers.get();
        l.info = info.get();
        l.driver = static_cast<int>(driver);
        l.session = session;
        l.lap = lap;
        for (int s = 0; s < 3; ++s) l.split_ms[s] = static_cast<uint32_t>(kSplits[s] / mps * 1000.0);
        laps.laps.push_back(l);
        infos.push_back(std::move(info));
    }

    fixture::TempDir dir;
    std::unique_ptr<fixture::RaceGenerator> race;
    std::unique_ptr<report_scenarios::Loaded> replay;
    std::vector<std::unique_ptr<GetRpyInfo>> infos;
    LoadedLaps laps;
};

TEST_F(LapReports, SectorTimes) {
    ExpectGolden("sector_times.txt", WriteSectorTimesReport(laps));
}

TEST_F(LapReports, Speeds) {
    ExpectGolden("speed_kmh.txt", WriteSpeedReport(laps));
    laps.mph = true;
    ExpectGolden("speed_mph.txt", WriteSpeedReport(laps));
}

TEST_F(LapReports, LapsWithoutSplitTimesTakeNoPartInTheBestSectors) {
    const auto combined = [this] {
        const std::string report = WriteSectorTimesReport(laps);
        return report.substr(report.find("combined: "));
    };
    const std::string before = combined();
    // A lap without car data passes no split line: its split times stay 0.
    LoadedLap empty = laps.laps[1];
    empty.split_ms = {0, 0, 0};
    laps.laps.push_back(empty);
    EXPECT_EQ(combined(), before);

    // A lap that passed only the first split line: its first sector counts,
    // the three sectors without a known end do not.
    uint32_t best_first = laps.laps[0].split_ms[0];
    for (const LoadedLap& lap : laps.laps)
        if (lap.split_ms[0] != 0) best_first = std::min(best_first, lap.split_ms[0]);
    const uint32_t first_only = best_first - 1000;
    laps.laps.back().split_ms = {first_only, 0, 0};
    // "09.092s" or "1m23.456s" back to milliseconds.
    const std::string text = before.substr(10, before.find('s', 10) - 10);
    const size_t m = text.find('m');
    const uint32_t before_ms =
        static_cast<uint32_t>(std::lround(std::stod(m == std::string::npos ? text : text.substr(m + 1)) * 1000.0)) +
        (m == std::string::npos ? 0u : static_cast<uint32_t>(std::stoul(text.substr(0, m))) * 60000u);
    EXPECT_EQ(combined(), "combined: " + FormatLapTime(before_ms - best_first + first_only) +
                              "\r\n\r\nGenerated with Ostrevan\r\n");
}

TEST_F(LapReports, GuardedEdges) {
    // Split times out of order: the negative sector is shown by its low 24
    // bits and left out of the best sectors.
    laps.laps[0].split_ms = {30000, 20000, 40000};
    const std::string sectors = WriteSectorTimesReport(laps);
    EXPECT_NE(sectors.find("J. Clark               30.000s79m27.216s   20.000s79m05.216s   08.000s\r\n"),
              std::string::npos)
        << sectors;
    EXPECT_NE(sectors.find("combined: 09.092s\r\n"), std::string::npos) << sectors;

    // A lap time of 0, a lap of two samples, no samples at all.
    replay->drivers->race_times[1][3] &= 0xFF000000;
    infos[1]->sample_count = 2;
    laps.laps[2].info = nullptr;
    const std::string speeds = WriteSpeedReport(laps);
    EXPECT_NE(speeds.find("J. Clark(Lot)"), std::string::npos);
    EXPECT_EQ(speeds.find("1000"), std::string::npos) << speeds;
    EXPECT_NE(speeds.find("  0.0   0.0   0.0   0.0    0.00   0.00"), std::string::npos) << speeds;
    EXPECT_EQ(speeds.find("inf"), std::string::npos) << speeds;
}

}  // namespace
