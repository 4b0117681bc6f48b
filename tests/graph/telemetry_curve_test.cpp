// Curves of every graph kind from laps whose channels are known by
// construction, and the time difference of two laps.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "graph/graph_kind.h"
#include "graph/telemetry_curve.h"
#include "graph/time_difference.h"
#include "replay/get_rpy_info.h"
#include "support/telemetry_lap.h"

namespace {

using namespace graph_kind;

struct KindCase {
    int kind;
    int wheel;
    std::function<void(GetRpyInfo&, size_t)> set;  // channel value of sample i
    std::function<double(size_t)> y;               // the plotted value
    int last_from_end;
};

TEST(TelemetryCurveTest, EveryKindPlotsItsChannelInItsUnitsOverItsSamples) {
    const std::vector<KindCase> cases = {
        {kSpeed, 0, [](GetRpyInfo& l, size_t i) { l.speed[i] = 100.0 + i; }, [](size_t i) { return 100.0 + i; }, 3},
        {kGear, 0, [](GetRpyInfo& l, size_t i) { l.gear[i] = static_cast<int16_t>(1 + i % 5); },
         [](size_t i) { return 1.0 + i % 5; }, 2},
        {kRpm, 0, [](GetRpyInfo& l, size_t i) { l.revs[i] = 5000.0 + i; }, [](size_t i) { return 5000.0 + i; }, 2},
        {kSlipAngle, 0, [](GetRpyInfo& l, size_t i) { l.slip_angle[i] = -3.5 + i; }, [](size_t i) { return -3.5 + i; },
         2},
        {kAccelLong, 0, [](GetRpyInfo& l, size_t i) { l.accel_long[i] = 0.1 * i; }, [](size_t i) { return 0.1 * i; }, 2},
        {kAccelLat, 0, [](GetRpyInfo& l, size_t i) { l.accel_lat[i] = -0.1 * i; }, [](size_t i) { return -0.1 * i; }, 2},
        {kAccelTotal, 0, [](GetRpyInfo& l, size_t i) { l.accel_total[i] = 0.2 * i; }, [](size_t i) { return 0.2 * i; },
         3},
        {kHeight, 0, [](GetRpyInfo& l, size_t i) { l.height[i] = 0.25 + 0.01 * i; },
         [](size_t i) { return (0.25 + 0.01 * i) * 100.0; }, 2},
        {kPitch, 0, [](GetRpyInfo& l, size_t i) { l.pitch[i] = static_cast<int32_t>(i) - 4; },
         [](size_t i) { return static_cast<double>(i) - 4; }, 2},
        {kRoll, 0, [](GetRpyInfo& l, size_t i) { l.roll[i] = 7 - static_cast<int32_t>(i); },
         [](size_t i) { return 7.0 - static_cast<double>(i); }, 2},
        {kSteering, 0, [](GetRpyInfo& l, size_t i) { l.steering[i] = static_cast<int16_t>(2 * i); },
         [](size_t i) { return 2.0 * i; }, 2},
        {kSuspension, 2, [](GetRpyInfo& l, size_t i) { l.suspension[2][i] = static_cast<int32_t>(i) + 5; },
         [](size_t i) { return i + 5.0; }, 2},
        {kOrientation, 0, [](GetRpyInfo& l, size_t i) { l.orientation[i] = i % 2 ? 1024 : 0; },
         [](size_t i) { return i % 2 ? 90.0 : 180.0; }, 2},
        {kElapsedTime, 0, [](GetRpyInfo&, size_t) {}, [](size_t i) { return i / 36.0; }, 2},
        {kOilPressure, 0, [](GetRpyInfo& l, size_t i) { l.oil_pressure[i] = static_cast<uint16_t>(10 * i); },
         [](size_t i) { return 10.0 * i * 0.805; }, 2},
        {kTransitionRate, 0, [](GetRpyInfo& l, size_t i) { l.accel_lat[i] = 0.05 * i * i; },
         [](size_t i) { return (0.05 * i * i - 0.05 * (i - 1) * (i - 1)) * 36.0; }, 2},
        {kLockedWheels, 3, [](GetRpyInfo& l, size_t i) { l.locked_wheel[3][i] = i % 3 == 0; },
         [](size_t i) { return i % 3 == 0 ? 1.0 : 0.0; }, 2},
        {kFuelPressure, 0, [](GetRpyInfo& l, size_t i) { l.fuel_pressure[i] = static_cast<uint16_t>(i); },
         [](size_t i) { return i * 0.805; }, 2},
        {kOilTemperature, 0, [](GetRpyInfo& l, size_t i) { l.oil_temperature[i] = 70.0 + i; },
         [](size_t i) { return (70.0 + i) * 1.2; }, 2},
        {kWaterTemperature, 0, [](GetRpyInfo& l, size_t i) { l.water_temperature[i] = 60.0 + i; },
         [](size_t i) { return (60.0 + i) * 1.2; }, 2},
        {kTyreSqueal, 0, [](GetRpyInfo& l, size_t i) { l.tyre_squeal[i] = static_cast<uint8_t>(i); },
         [](size_t i) { return static_cast<double>(i); }, 2},
    };
    ASSERT_EQ(cases.size(), 21u);
    constexpr uint32_t kCount = 40;
    for (const KindCase& c : cases) {
        SCOPED_TRACE(graph_kind::Info(c.kind).name);
        EXPECT_EQ(graph_kind::Info(c.kind).last_from_end, c.last_from_end);
        auto lap = fixture::HandLap(kCount, 2.5);
        for (size_t i = 0; i < kCount + 2; ++i) c.set(*lap, i);
        const TelemetryCurve curve = BuildTelemetryCurve(*lap, c.kind, c.wheel, false);
        const size_t last = kCount - static_cast<size_t>(c.last_from_end);
        ASSERT_EQ(curve.points.size(), last - 1);  // samples 2 .. last
        for (size_t i = 2; i <= last; ++i) {
            EXPECT_DOUBLE_EQ(curve.points[i - 2].x, lap->distance[i]);
            EXPECT_NEAR(curve.points[i - 2].y, c.y(i), 1e-9) << "sample " << i;
        }
        EXPECT_DOUBLE_EQ(curve.last_x, lap->distance[last]);
    }
}

TEST(TelemetryCurveTest, SpeedInMphGearZeroShortLapsAndStandingCar) {
    auto lap = fixture::HandLap(20, 3.0);
    lap->speed.assign(lap->speed.size(), 200.0);
    EXPECT_DOUBLE_EQ(BuildTelemetryCurve(*lap, kSpeed, 0, true).points.front().y, 200.0 * 0.621);

    // Neutral samples are left out.
    lap->gear[5] = 0;
    lap->gear[6] = 0;
    const TelemetryCurve gear = BuildTelemetryCurve(*lap, kGear, 0, false);
    EXPECT_EQ(gear.points.size(), 17u - 2u);
    for (const GraphPoint& p : gear.points) EXPECT_NE(p.x, lap->distance[5]);

    // Five samples or fewer: no curve.
    for (uint32_t count : {0u, 1u, 5u}) {
        auto short_lap = fixture::HandLap(count, 3.0);
        EXPECT_TRUE(BuildTelemetryCurve(*short_lap, kSpeed, 0, false).points.empty()) << count;
    }
    EXPECT_EQ(BuildTelemetryCurve(*fixture::HandLap(6, 3.0), kRpm, 0, false).points.size(), 3u);

    // A car standing at one distance leaves its later sample.
    lap->distance[8] = lap->distance[7];
    lap->revs[7] = 1000.0;
    lap->revs[8] = 2000.0;
    const TelemetryCurve revs = BuildTelemetryCurve(*lap, kRpm, 0, false);
    EXPECT_EQ(revs.points.size(), 17u - 1u);
    EXPECT_DOUBLE_EQ(revs.points[5].y, 2000.0);

    // Channels shorter than the sample count plot nothing.
    lap->tyre_squeal.resize(3);
    EXPECT_TRUE(BuildTelemetryCurve(*lap, kTyreSqueal, 0, false).points.empty());
    EXPECT_TRUE(BuildTelemetryCurve(*lap, kSuspension, 4, false).points.empty());
}

TEST(GraphKindTest, PrintOrderAndRanges) {
    EXPECT_EQ(graph_kind::KindAtPrintPosition(6), kTransitionRate);
    EXPECT_EQ(graph_kind::KindAtPrintPosition(13), kSlipAngle);
    EXPECT_EQ(graph_kind::KindAtPrintPosition(21), kLockedWheels);
    for (int p = 1; p <= graph_kind::kCount; ++p)
        EXPECT_EQ(graph_kind::PrintPosition(graph_kind::KindAtPrintPosition(p)), p);
    EXPECT_EQ(graph_kind::KindAtPrintPosition(0), 0);
    EXPECT_EQ(graph_kind::Info(99).kind, kNoKind);
    // The transition rate has negative values: its range shows them.
    EXPECT_LT(graph_kind::Info(kTransitionRate).y_min, 0.0);
}

// A lap whose time to reach each distance is known: `ms_per_metre` on
// every metre after the start line.
std::unique_ptr<GetRpyInfo> TimedLap(uint32_t count, double metres_per_sample) {
    return fixture::HandLap(count, metres_per_sample);
}

TEST(TimeDifferenceTest, StepsFollowTheShorterLap) {
    auto a = TimedLap(800, 5.0);
    auto b = TimedLap(1500, 5.0);
    TimeDifference diff;
    diff.Compute(*a, *b, 60000, 61000, 0.0, 350.0);
    EXPECT_EQ(diff.GetStepCount(), 400);
    EXPECT_EQ(diff.GetFinishStep(), 401);
    EXPECT_GE(diff.GetValues().size(), 402u);

    auto c = TimedLap(1000, 5.0);
    diff.Compute(*c, *b, 60000, 61000, 0.0, 350.0);
    ASSERT_EQ(diff.GetStepCount(), 1000);
    // Every step, the finish one (1001) too, has room.
    EXPECT_EQ(diff.GetValues().size(), 1002u);
    EXPECT_DOUBLE_EQ(diff.GetValues()[1001], -1000.0);
}

TEST(TimeDifferenceTest, IdenticalLapsAndASlowerLap) {
    auto a = TimedLap(900, 4.0);
    auto b = TimedLap(900, 4.0);
    TimeDifference same;
    same.Compute(*a, *b, 83456, 83456, -2.6, 2.6);
    EXPECT_EQ(same.MaxAheadText(), "NA");
    EXPECT_EQ(same.MaxBehindText(), "NA");
    EXPECT_EQ(same.SpreadText(), "NA");
    EXPECT_EQ(same.FinishText(), "-0m 00.000s");
    // Drawn on the centre line, and the cursor text divides by nothing.
    EXPECT_EQ(same.GetScale(), 0.0);
    for (const auto& p : same.CurvePoints()) EXPECT_DOUBLE_EQ(p.y, 0.0);
    EXPECT_EQ(same.CursorText(1.0), ", timediff=-0m 00.000s");

    // Lap A runs 4 m per tick, lap B 5 m: A is behind all the way.
    auto slow = TimedLap(900, 4.0);
    auto fast = TimedLap(900, 5.0);
    TimeDifference diff;
    diff.Compute(*slow, *fast, 61234, 60000, 0.0, 100.0);
    EXPECT_EQ(diff.FinishText(), "+0m 01.234s");
    EXPECT_EQ(diff.MaxAheadText(), "NA");
    EXPECT_GT(diff.GetMaxBehind(), 0.0);
    EXPECT_NE(diff.MaxBehindText().find('+'), std::string::npos);
    // The largest value fills 99 % of half the axis around its middle.
    double top = 0.0;
    for (const auto& p : diff.CurvePoints()) top = std::max(top, p.y);
    EXPECT_NEAR(top, 50.0 + 49.5, 1e-9);
    EXPECT_DOUBLE_EQ(diff.GetLastTarget(), (diff.GetStepCount() - 1) * diff.GetStep());
}

TEST(TimeDifferenceTest, AFasterLapLeadsByWhatItsSpeedsGiveByHand) {
    // Lap A runs 5 m per tick and lap B 4 m, both from the line: at any
    // distance X, A is X / 5 - X / 4 = -X / 20 ticks (X / 0.72 ms) ahead.
    auto fast = TimedLap(900, 5.0);
    auto slow = TimedLap(1125, 4.0);
    TimeDifference diff;
    diff.Compute(*fast, *slow, 25000, 31250, 0.0, 100.0);
    // The shorter lap's 900 samples give 450 steps over the farther of the
    // two second-to-last distances (1122 x 4 m).
    ASSERT_EQ(diff.GetStepCount(), 450);
    EXPECT_DOUBLE_EQ(diff.GetStep(), 4488.0 / 450);
    // Step 100 (997.3 m) is read where B first stands beyond it, 1000 m.
    EXPECT_NEAR(diff.GetValues()[100], -1000.0 / 0.72, 0.01);  // the fixture's raw start distances are whole units
    // The lead grows to the last step, 449 (4478.0 m; B at 4480 m), which
    // lies short of the line; the finish compares the lap times.
    EXPECT_NEAR(diff.GetMaxAhead(), -4480.0 / 0.72, 0.01);
    EXPECT_EQ(diff.GetMaxBehind(), 0.0);
    // A lead carries "-", as at the finish line: the first lap needed less
    // time.
    EXPECT_EQ(diff.MaxAheadText(), "-0m 06.222s");
    EXPECT_EQ(diff.FinishText(), "-0m 06.250s");
    EXPECT_EQ(diff.MaxBehindText(), "NA");
    EXPECT_EQ(diff.SpreadText(), "0m 06.222s");

    // The other way round every sign turns: B is behind all the way.
    diff.Compute(*slow, *fast, 31250, 25000, 0.0, 100.0);
    EXPECT_EQ(diff.MaxAheadText(), "NA");
    EXPECT_EQ(diff.MaxBehindText(), "+0m 06.222s");
    EXPECT_EQ(diff.FinishText(), "+0m 06.250s");
}

TEST(TimeDifferenceTest, CursorFindsTheStepUnderItToTheLastOne) {
    auto slow = TimedLap(1200, 4.0);
    auto fast = TimedLap(1200, 5.0);
    TimeDifference diff;
    diff.Compute(*slow, *fast, 70000, 60000, 0.0, 100.0);
    const int n = diff.GetStepCount();
    const double step = diff.GetStep();
    for (int k : {3, 10, n / 2, n - 1}) {
        const double v = diff.GetValues()[static_cast<size_t>(k)];
        EXPECT_EQ(diff.AtDistanceText(k * step), TimeDifference::SignedTime(v > 0, std::trunc(std::fabs(v) + 0.5)))
            << k;
    }
    EXPECT_EQ(diff.AtDistanceText(0.0), "");
    EXPECT_EQ(diff.AtDistanceText(n * step), "");
}

TEST(TimeDifferenceTest, DegenerateLapsDivideByNothing) {
    auto normal = TimedLap(600, 5.0);
    // A car standing still for the whole lap, a lap of one sample, and a
    // lap whose start step is zero.
    auto standing = TimedLap(600, 0.0);
    auto single = TimedLap(1, 5.0);
    auto no_step = TimedLap(600, 5.0);
    no_step->start_distance_step = 0;
    auto halted = TimedLap(600, 5.0);
    for (size_t i = 100; i < 200; ++i) halted->distance[i] = halted->distance[100];

    const std::vector<std::pair<GetRpyInfo*, GetRpyInfo*>> pairs = {
        {standing.get(), standing.get()}, {normal.get(), standing.get()}, {standing.get(), normal.get()},
        {single.get(), normal.get()},     {no_step.get(), normal.get()},  {halted.get(), normal.get()},
        {normal.get(), halted.get()},
    };
    for (const auto& [a, b] : pairs) {
        TimeDifference diff;
        diff.Compute(*a, *b, 1000, 2000, 0.0, 10.0);
        for (double v : diff.GetValues()) EXPECT_TRUE(std::isfinite(v));
        EXPECT_TRUE(std::isfinite(diff.GetScale()));
        EXPECT_TRUE(std::isfinite(diff.GetLastTarget()));
        for (const auto& p : diff.CurvePoints()) EXPECT_TRUE(std::isfinite(p.y));
        EXPECT_EQ(diff.FinishText(), "-0m 01.000s");
        EXPECT_EQ(diff.AtDistanceText(30.0).find("nan"), std::string::npos);
    }
}

}  // namespace
