// The analyses over hand-built laps whose shifts, accelerations and speeds
// are known by construction.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "replay/get_rpy_info.h"
#include "support/telemetry_lap.h"
#include "tools/gear_change_analysis.h"
#include "tools/lap_ratings.h"
#include "tools/speed_track_model.h"
#include "tools/tool_lap.h"
#include "tools/traction_circle_model.h"

namespace {

struct Segment {
    int gear;
    int samples;
    double revs;
    double speed;
};

// A lap driven through the segments in order, one metre per sample.
std::unique_ptr<GetRpyInfo> GearLap(std::initializer_list<Segment> segments) {
    uint32_t count = 0;
    for (const Segment& s : segments) count += static_cast<uint32_t>(s.samples);
    auto lap = fixture::HandLap(count, 1.0);
    size_t i = 1;
    for (const Segment& s : segments)
        for (int k = 0; k < s.samples; ++k, ++i) {
            lap->gear[i] = static_cast<int16_t>(s.gear);
            lap->revs[i] = s.revs;
            lap->speed[i] = s.speed;
        }
    return lap;
}

TEST(GearChangeAnalysis, ListsEveryChangeAndKeysUpshiftsByTheNewGear) {
    const auto lap = GearLap({{0, 2, 1000, 10},   // neutral at the start: no change
                              {1, 3, 8000, 50},   // 1->2 after 2 ticks
                              {0, 1, 7000, 50},
                              {2, 3, 6000, 49},   // 2->3 after 9 ticks, revs rising: a speedshift
                              {0, 8, 9000, 60},
                              {3, 3, 7000, 80},   // 3->3 through neutral: an upshift into row 2->3
                              {0, 2, 7000, 80},
                              {3, 2, 7000, 80},   // 3->2 after 37 ticks
                              {0, 36, 5000, 70},
                              {2, 2, 5000, 60},   // skip shift 2->4: row 3->4
                              {0, 1, 4000, 60},
                              {4, 2, 4500, 62},
                              {0, 3, 3000, 50}});  // ends in neutral: not listed
    const GearChangeResult r = AnalyseGearChanges(*lap);
    ASSERT_EQ(r.rows.size(), 5u);
    const std::array<std::array<std::string, 6>, 5> expected = {{
        {"1: 1->2", "4", "8000", "-2000", "0", ".055"},
        {"2: 2->3", "8", "6000", "1000", "31", ".250"},
        {"3: 3->3", "19", "7000", "0", "0", ".083"},
        {"4: 3->2", "23", "7000", "-2000", "-19", "1.027"},
        {"5: 2->4", "61", "5000", "-500", "2", ".055"},
    }};
    for (size_t k = 0; k < expected.size(); ++k) EXPECT_EQ(r.rows[k].columns, expected[k]) << k;
    EXPECT_EQ(r.stats.changes, 5);
    EXPECT_EQ(r.stats.upshift_neutral, "0.444s (0.111s)");
    EXPECT_EQ(r.stats.downshift_neutral, "1.028s (1.028s)");
    EXPECT_EQ(r.stats.speedshift_text, "Out of 4 upshifts, 1 was a speedshift.");
    EXPECT_EQ(r.stats.avg_revs, (std::array<std::string, 5>{"8000", "6500", "5000", "", ""}));
    EXPECT_EQ(r.stats.avg_revs_dropped, (std::array<std::string, 5>{"2000", "-500", "500", "", ""}));
    EXPECT_EQ(r.stats.avg_speed_dropped, (std::array<std::string, 5>{"1", "-15", "-1", "", ""}));
}

TEST(GearChangeAnalysis, ShiftsOfOneKindOnlyGiveNoMeanInsteadOfDividingByNothing) {
    const auto up = GearLap({{1, 2, 8000, 50}, {0, 2, 8000, 50}, {2, 2, 7000, 50}, {0, 4, 9000, 50}});
    const GearChangeResult r = AnalyseGearChanges(*up);
    EXPECT_EQ(r.rows.size(), 1u);  // the final neutral run has no following gear
    EXPECT_EQ(r.stats.downshift_neutral, "0.000s (-)");
    EXPECT_EQ(r.stats.upshift_neutral, "0.083s (0.083s)");
    EXPECT_EQ(r.stats.speedshift_text, "Out of 1 upshifts, 0 was a speedshift.");
    const auto empty = fixture::HandLap(0, 1.0);
    EXPECT_EQ(AnalyseGearChanges(*empty).stats.upshift_neutral, "0.000s (-)");
    for (auto [ticks, text] : {std::pair{2u, ".055"}, {9u, ".250"}, {36u, "1.000"}})
        EXPECT_EQ(FormatShiftDuration(ticks), text);
}

TEST(ToolLaps, LabelsAndLapTimes) {
    ToolLap lap;
    lap.first_name = "Jim";
    lap.last_name = "Clark";
    lap.car_name = "Lotus";
    lap.lap_word = 0x40000000u | 83456u;
    EXPECT_EQ(lap.Label(), "J Clark 1m 23.456s");
    EXPECT_EQ(lap.LabelWithCar(), "J Clark 1m 23.456s (Lotus)");
    EXPECT_EQ(FormatToolLapTime(5007), "0m 05.007s");
    EXPECT_EQ(speed_track::FormatLapTime(83456), "1m23.456s");
}

// A lap of n samples with constant accelerations and speed.
std::unique_ptr<GetRpyInfo> AccelLap(uint32_t n, double lon, double lat, double speed) {
    auto lap = fixture::HandLap(n, 1.0);
    lap->accel_long.assign(n + 2, lon);
    lap->accel_lat.assign(n + 2, lat);
    lap->speed.assign(n + 2, speed);
    return lap;
}

TEST(LapRatings, ValueTexts) {
    const std::pair<std::optional<double>, const char*> cases[] = {
        {0.85231, "85.23"}, {0.005, ".50"}, {0.0005, ".05"}, {0.9999, "99.99"},
        {-0.125, "-12.50"}, {0.0, ".00"},   {std::nullopt, "-"}, {std::numeric_limits<double>::infinity(), "-"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(RatingText(value), text);
}

TEST(LapRatings, SteadyLoadRatesFullWithoutDividingByZeroPeaks) {
    // No lateral load and no transition: those peaks stay 0. Smoothness must
    // not read the uncomputed total acceleration after the last sample.
    const LapRating r = RateLap(*AccelLap(100, 0.5, 0.0, 100.0));
    ASSERT_TRUE(r.usage && r.aggressiveness && r.smoothness && r.overall);
    EXPECT_DOUBLE_EQ(*r.usage, 1.0);
    EXPECT_DOUBLE_EQ(*r.aggressiveness, 1.0);
    EXPECT_DOUBLE_EQ(*r.smoothness, 1.0);
    EXPECT_DOUBLE_EQ(*r.overall, 1.0);
}

TEST(LapRatings, ShortLapsHaveNoValueAndRoughLapsGoNegative) {
    const LapRating short_lap = RateLap(*AccelLap(15, 0.5, 0.2, 100.0));
    EXPECT_FALSE(short_lap.usage || short_lap.aggressiveness || short_lap.smoothness || short_lap.overall);
    // Total acceleration jumping by 1 g every sample: 360 x 1 per window.
    auto rough = AccelLap(100, 0.5, 0.0, 100.0);
    for (size_t i = 0; i < rough->accel_long.size(); i += 2) rough->accel_long[i] = 1.5;
    const LapRating r = RateLap(*rough);
    ASSERT_TRUE(r.smoothness);
    EXPECT_NEAR(*r.smoothness, -2.6, 1e-9);
    EXPECT_EQ(RatingText(r.smoothness), "-260.00");
}

TEST(LapRatings, ALapWhoseCarNeverMovesShowsADashInEveryColumn) {
    // A lap without car data, or loaded without a track: every derived
    // channel stays 0.
    const LapRating empty = RateLap(*AccelLap(800, 0.0, 0.0, 0.0));
    const RatingRow row = MakeRatingRow("G Hill 1m 33.900s (BRM)", empty);
    EXPECT_EQ(row.values, (std::array<std::string, 4>{"-", "-", "-", "-"}));
    // One moving sample among the rated ones is enough to rate the lap.
    auto moving = AccelLap(800, 0.0, 0.0, 0.0);
    moving->speed[400] = 1.0;
    EXPECT_TRUE(RateLap(*moving).usage);
}

TEST(LapRatings, CopiedTableHasSixLinesWithEmptyRowsAsTabs) {
    const std::vector<RatingRow> rows = {MakeRatingRow("J Clark 1m 23.456s (Lotus)", {0.5, 0.25, 0.75, 0.5})};
    EXPECT_EQ(RatingsTableText(rows),
              "Driver/Laptime/Car\tAggressiveness\tSmoothness\tUsage\tOverall\r\n"
              "J Clark 1m 23.456s (Lotus)\t50.00\t25.00\t75.00\t50.00\r\n"
              "\t\t\t\t\r\n\t\t\t\t\r\n\t\t\t\t\r\n\t\t\t\t\r\n");
}

TEST(TractionCircle, PointsAndTimeOverTheRange) {
    auto lap = AccelLap(100, 0.5, 1.0, 100.0);  // distance i - 1 m, raw 0.6 of a sample behind it
    lap->end_distance_step = 2000;
    const auto geometry = TractionGeometry::ForSize(200, 100);
    EXPECT_EQ(geometry.scale, 20.0);
    // The whole lap: never before sample 12; the time uses the lap's own
    // steps at both ends.
    TractionTrace t = TraceLap(*lap, 0, 97, 97, false, geometry);
    EXPECT_EQ(t.from, 12u);
    EXPECT_EQ(t.last, 98u);
    ASSERT_FALSE(t.points.empty());
    EXPECT_EQ(t.points.front().x, 120);
    EXPECT_EQ(t.points.front().y, 60);
    EXPECT_EQ(t.hundredths, 269);  // (96 + 0.4 + 0.6) / 36 s
    EXPECT_EQ(FormatRangeTime(*t.hundredths), "2.69");
    // A part of the lap: from the first sample at 20 m to the first at 30 m.
    t = TraceLap(*lap, 20, 30, 97, false, geometry);
    EXPECT_EQ(t.first, 21u);
    EXPECT_EQ(t.points.size(), 11u);
    EXPECT_EQ(t.hundredths, 27);  // (10 - 0.6 + 0.6) / 36 s
    // A zero start step adds nothing instead of dividing by it.
    lap->start_distance_step = 0;
    EXPECT_EQ(TraceLap(*lap, 0, 97, 97, false, geometry).hundredths, 268);
    // A start past the lap's last distance draws nothing and has no time.
    t = TraceLap(*lap, 500, 501, 600, false, geometry);
    EXPECT_TRUE(t.points.empty());
    EXPECT_FALSE(t.hundredths);
    EXPECT_EQ(FormatRangeTime(1205), "12.05");
    const auto circle = CirclePoints(geometry, 1.0);
    ASSERT_EQ(circle.size(), 361u);
    EXPECT_EQ(circle.front().x, 120);
    EXPECT_EQ(circle[90].y, 70);
}

TEST(SpeedTrack, PieceSpeedsKeepEveryPieceOnItsStretch) {
    auto lap = fixture::HandLap(20, 3.0);  // 3 m per sample
    for (size_t i = 0; i < lap->speed.size(); ++i) lap->speed[i] = static_cast<double>(i);
    const auto pieces = speed_track::PieceSpeeds(*lap, 2.0, false);
    ASSERT_TRUE(pieces);
    // Samples 1..15 at 0, 3, 6, ... m; samples before 10 carry the speed of
    // sample 10; a piece no sample falls in takes the speed of the sample
    // that jumped over it (sample 12 at 33 m jumps over 30..32 m).
    ASSERT_EQ(pieces->size(), 21u);
    EXPECT_EQ((*pieces)[0], 10.0);
    EXPECT_EQ((*pieces)[14], 11.0);
    EXPECT_EQ((*pieces)[15], 12.0);
    EXPECT_EQ((*pieces)[16], 12.0);
    EXPECT_EQ(pieces->back(), 15.0);
    const auto mph = speed_track::PieceSpeeds(*lap, 2.0, true);
    EXPECT_DOUBLE_EQ(mph->back(), 15.0 * 0.621);
    // The sample before the line stands at the end of the lap before: it
    // counts to the first piece and moves no piece along.
    lap->distance[1] = 1000.0;
    const auto wrapped = speed_track::PieceSpeeds(*lap, 2.0, false);
    ASSERT_TRUE(wrapped);
    EXPECT_EQ(*wrapped, *pieces);
    EXPECT_FALSE(speed_track::PieceSpeeds(*fixture::HandLap(5, 1.0), 2.0, false));
    EXPECT_TRUE(speed_track::PieceSpeeds(*fixture::HandLap(6, 1.0), 2.0, false));
}

TEST(SpeedTrack, DifferencesOverTheTracksPiecesAndLegend) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(speed_track::Differences({10, 20, nan, 700}, {5, 25, 1, 1, 1, 1}, 6),
              (std::vector<double>{5, -5, 0, 0, 0, 0}));
    EXPECT_EQ(speed_track::LegendTexts(50, true),
              (std::array<std::string, 5>{"<-50.0", "-25.0", "0", "25.0", ">50.0"}));
    EXPECT_EQ(speed_track::LegendTexts(0, false), (std::array<std::string, 5>{"0.0", "0.0", "0", "0.0", "0.0"}));
}

}  // namespace
