// Trimming an extracted lap: the margin, the hold rule of the engine
// readings, other cars missing from frames near the line, and laps whose
// samples show fewer than two crossings of the line.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "support/car_record_packer.h"
#include "support/race_generator.h"
#include "telemetry_support.h"

namespace {

using fixture::CarRecordPacker;
using fixture::FrameBlock;
using fixture::LapTruth;
using fixture::RaceGenerator;
using fixture::RacePlan;
using fixture::Record;
using fixture::ReplaySpec;
using telemetry_test::FindRecord;
using telemetry_test::Load;
using telemetry_test::SmallRace;

constexpr int kPlayer = 1;
constexpr int kOther = 2;

TEST(LapTrim, MarginWidensTheLapWithinTheExtractedSamples) {
    const RaceGenerator gen(SmallRace());
    auto r = Load(gen.Spec());
    const LapTruth& t = gen.Lap(kOther, 0, 2);
    for (int margin : {0, 1, 2, 5, 100000}) {
        GetRpyInfo info;
        ASSERT_EQ(info.ExtractLap(*r->drivers, kOther, 2, 0), 0);
        ASSERT_EQ(info.TrimToLap(margin), 0);
        EXPECT_EQ(info.sample_count, t.TrimmedCount(margin)) << "margin " << margin;
        EXPECT_EQ(info.distance_raw[1], gen.StateAt(kOther, t.FirstKeptBlock(margin)).distance_raw);
        EXPECT_EQ(info.distance.size(), info.sample_count + 2u);
    }
    // A margin beyond the extracted samples keeps them all.
    EXPECT_EQ(t.TrimmedCount(100000), t.sample_count);
}

TEST(LapTrim, CalledBeforeExtractionOrTwiceChangesNothing) {
    GetRpyInfo fresh;
    EXPECT_EQ(fresh.TrimToLap(1), GetRpyInfo::kEndNotFound);
    EXPECT_FALSE(fresh.trimmed);
    EXPECT_TRUE(fresh.distance.empty());

    const RaceGenerator gen(SmallRace());
    auto r = Load(gen.Spec());
    GetRpyInfo info;
    ASSERT_EQ(info.ExtractLap(*r->drivers, kPlayer, 1, 1), 0);
    ASSERT_EQ(info.TrimToLap(1), 0);
    const uint32_t n = info.sample_count;
    const uint32_t first = info.distance_raw[1];
    EXPECT_EQ(info.TrimToLap(1), 0);
    EXPECT_EQ(info.sample_count, n);
    EXPECT_EQ(info.distance_raw[1], first);
}

// Engine readings of kept sample k go into the block of that sample.
struct Reading {
    int sample;  // kept sample, 1-based
    bool record; // false: the block has no engine record
    fixture::EngineFields stored;
    double oil, water;  // expected after trimming
    uint16_t fuel, value4;
};

TEST(LapTrim, EngineReadingsAreHeldAndTheirTemperaturesWrapAt128) {
    const RaceGenerator gen(SmallRace());
    ReplaySpec spec = gen.Spec();
    const LapTruth& t = gen.Lap(kPlayer, 1, 2);
    const uint32_t kept = t.FirstKeptBlock(1);
    auto block = [&](uint32_t b) -> FrameBlock& { return spec.frames[b - 1]; };
    // No engine records from the extraction's start to sample 14, but one
    // early reading that stands in entry 0.
    for (uint32_t b = t.start_block; b < kept + 13; ++b) {
        auto& recs = block(b).records;
        recs.erase(recs.begin() + FindRecord(block(b), 2));
    }
    auto put = [&](uint32_t b, fixture::EngineFields e) {
        block(b).records.insert(block(b).records.begin() + 3, Record{2, 8, CarRecordPacker::Engine(e)});
    };
    put(t.start_block + 3, {70, 60, 10, 5});

    const Reading readings[] = {
        {1, false, {}, 70, 60, 10, 5},  // before any reading of the lap: entry 0
        {2, false, {}, 70, 60, 10, 5},
        {3, false, {}, 70, 60, 10, 5},
        {4, true, {0, 61, 11, 6}, 70, 60, 10, 5},  // no oil temperature yet: still entry 0
        {5, true, {80, 65, 12, 7}, 80, 65, 12, 7},
        {6, false, {}, 80, 65, 12, 7},             // held
        {7, false, {}, 80, 65, 12, 7},
        {8, true, {127, 90, 13, 8}, 127, 90, 13, 8},
        {9, true, {0, 91, 14, 9}, 128, 91, 14, 9},  // 128 stored as 0 after 127
        {10, true, {1, 92, 15, 10}, 1, 92, 15, 10}, // then the stored values
        {11, true, {0, 0, 16, 11}, 1, 92, 15, 10},  // both temperatures 0: held
        {12, true, {5, 127, 17, 12}, 5, 127, 17, 12},
        {13, true, {6, 0, 18, 13}, 6, 128, 18, 13},
    };
    for (const Reading& r : readings)
        if (r.record) put(kept + r.sample - 1, r.stored);

    auto replay = Load(spec);
    GetRpyInfo info;
    ASSERT_EQ(info.ExtractLap(*replay->drivers, kPlayer, 2, 1), 0);
    EXPECT_EQ(info.oil_temperature[0], 70.0);
    ASSERT_EQ(info.TrimToLap(1), 0);
    ASSERT_EQ(info.sample_count, t.TrimmedCount(1));
    for (const Reading& r : readings) {
        SCOPED_TRACE("sample " + std::to_string(r.sample));
        EXPECT_EQ(info.oil_temperature[r.sample], r.oil);
        EXPECT_EQ(info.water_temperature[r.sample], r.water);
        EXPECT_EQ(info.fuel_pressure[r.sample], r.fuel);
        EXPECT_EQ(info.engine_value4[r.sample], r.value4);
    }
    // From sample 14 on every block has its reading again.
    const fixture::CarState s = gen.StateAt(kPlayer, kept + 13);
    EXPECT_EQ(info.oil_temperature[14], s.oil_temperature);
    EXPECT_EQ(info.water_temperature[14], s.water_temperature);
}

struct GapCase {
    const char* name;
    // Absent blocks, relative to the lap's last block before the start line
    // (a) and to its last extracted block (z), of the lap without gaps.
    std::function<std::vector<std::pair<uint32_t, uint32_t>>(uint32_t a, uint32_t z)> absent;
    uint32_t missing;
    uint32_t longest_run;
};

const GapCase kGaps[] = {
    {"BeforeTheStartLine", [](uint32_t a, uint32_t) { return std::vector<std::pair<uint32_t, uint32_t>>{{a - 20, a - 15}}; },
     6, 6},
    {"LastSample", [](uint32_t, uint32_t z) { return std::vector<std::pair<uint32_t, uint32_t>>{{z, z}}; }, 1, 1},
    {"AtTheLine", [](uint32_t a, uint32_t) { return std::vector<std::pair<uint32_t, uint32_t>>{{a, a + 1}}; }, 2, 2},
    {"OneInTheLap", [](uint32_t a, uint32_t) { return std::vector<std::pair<uint32_t, uint32_t>>{{a + 40, a + 40}}; },
     1, 1},
    {"TwoRuns",
     [](uint32_t a, uint32_t z) {
         return std::vector<std::pair<uint32_t, uint32_t>>{{a - 30, a - 28}, {a + 50, a + 51}, {z, z}};
     },
     6, 3},
};

class MissingSamples : public testing::TestWithParam<GapCase> {};

TEST_P(MissingSamples, AreNotTakenForTheLine) {
    const LapTruth plain = RaceGenerator(SmallRace()).Lap(kOther, 1, 2);
    RacePlan plan = SmallRace();
    plan.cars[kOther].absent = GetParam().absent(plain.before_start_block, plain.start_block + plain.sample_count - 1);
    const RaceGenerator gen(plan);
    const LapTruth& t = gen.Lap(kOther, 1, 2);
    auto r = Load(gen.Spec());
    GetRpyInfo info;
    ASSERT_EQ(info.ExtractLap(*r->drivers, kOther, 2, 1), 0);
    EXPECT_EQ(info.missing_count, GetParam().missing);
    EXPECT_EQ(info.longest_missing_run, GetParam().longest_run);
    EXPECT_EQ(info.decoded_count, info.sample_count - GetParam().missing);
    ASSERT_EQ(info.TrimToLap(1), 0);
    EXPECT_EQ(info.first_kept_frame, t.before_start_block);
    EXPECT_EQ(info.last_kept_frame, t.after_end_block - 1);
    EXPECT_EQ(info.sample_count, t.TrimmedCount(1));
    EXPECT_EQ(info.marker_lap_time_ms, t.marker_lap_ms);
}

INSTANTIATE_TEST_SUITE_P(Gaps, MissingSamples, testing::ValuesIn(kGaps),
                         [](const testing::TestParamInfo<GapCase>& info) { return info.param.name; });

TEST(MissingSamples, FirstSampleAloneIsARunOfOne) {
    const LapTruth plain = RaceGenerator(SmallRace()).Lap(kOther, 1, 2);
    RacePlan plan = SmallRace();
    plan.cars[kOther].absent = {{plain.start_block, plain.start_block}};
    const RaceGenerator gen(plan);
    auto r = Load(gen.Spec());
    GetRpyInfo info;
    ASSERT_EQ(info.ExtractLap(*r->drivers, kOther, 2, 1), 0);
    EXPECT_EQ(info.missing_count, 1u);
    EXPECT_EQ(info.longest_missing_run, 1u);
    EXPECT_EQ(info.last_missing_index, 1u);
}

TEST(MissingSamples, CarsSpreadOverTwoRecordsAreFoundInEither) {
    RacePlan plan = SmallRace();
    plan.split_every = 1;
    const RaceGenerator gen(plan);
    auto r = Load(gen.Spec());
    for (int driver : {0, kOther}) {
        GetRpyInfo info;
        ASSERT_EQ(info.ExtractLap(*r->drivers, driver, 1, 1), 0);
        EXPECT_EQ(info.missing_count, 0u);
        EXPECT_EQ(info.decoded_count, info.sample_count);
        ASSERT_EQ(info.TrimToLap(1), 0);
        EXPECT_EQ(info.sample_count, gen.Lap(driver, 1, 1).TrimmedCount(1));
    }
}

// A practice of one driver, one lap from 5000 ms to 5300 ms, a marker in
// every block at 10 ms steps from 2980 ms to 5400 ms, and the player's
// distance in block b given by `distance` (no car record when it returns
// a negative value).
ReplaySpec HandBuilt(const std::function<int64_t(uint32_t)>& distance) {
    ReplaySpec spec;
    spec.drivers = {fixture::DriverSpec{}};
    spec.layout = fixture::TableLayout::kPracticeOnly;
    spec.practice = {fixture::EntryFromLaps(0, 5000, {300})};
    uint32_t b = 1;
    for (uint32_t t = 2980; t <= 5400; t += 10, ++b) {
        FrameBlock block;
        block.records = {fixture::Marker(0, t)};
        const int64_t d = distance(b);
        if (d >= 0) {
            fixture::PlayerCarFields car;
            car.distance = static_cast<uint32_t>(d);
            block.records.push_back(Record{1, 32, CarRecordPacker::PlayerCar(car)});
        }
        spec.frames.push_back(block);
    }
    return spec;
}

struct Kept {
    uint32_t count;
    uint32_t first_frame;  // block of the last sample before the start line
    uint32_t last_frame;   // block of the last sample before the line at the end
};

struct LineCase {
    const char* name;
    std::function<int64_t(uint32_t)> distance;
    // The trimmed lap with margin 1, given the extracted count n and the
    // start block s.
    std::function<Kept(uint32_t n, uint32_t s)> kept;
};

const LineCase kLines[] = {
    // No crossing: the line lies before the first sample and after the
    // last, and the lap is all the samples.
    {"NeverCrossed", [](uint32_t b) { return int64_t{b} * 100; },
     [](uint32_t n, uint32_t s) { return Kept{n, s - 1, s + n - 1}; }},
    {"NoCarRecords", [](uint32_t) { return int64_t{-1}; },
     [](uint32_t n, uint32_t s) { return Kept{n, s - 1, s + n - 1}; }},
    {"OnlyTheFirstSampleHasData", [](uint32_t b) { return b == 4 ? int64_t{500} : int64_t{-1}; },
     [](uint32_t n, uint32_t s) { return Kept{n, s - 1, s + n - 1}; }},
    // A standing car reads as a crossing at every sample: the first and the
    // last pair bound the lap.
    {"StandingCar", [](uint32_t) { return int64_t{777}; },
     [](uint32_t n, uint32_t s) { return Kept{n, s, s + n - 2}; }},
    // One crossing only, between blocks 99 and 100: the line before and
    // after the lap is the same, so the lap is that sample pair and the
    // margin.
    {"OneCrossing", [](uint32_t b) { return b < 100 ? 900000 + int64_t{b} : int64_t{b}; },
     [](uint32_t, uint32_t) { return Kept{3, 99, 99}; }},
};

class FewCrossings : public testing::TestWithParam<LineCase> {};

TEST_P(FewCrossings, TrimStaysInsideTheSamples) {
    auto r = Load(HandBuilt(GetParam().distance));
    GetRpyInfo info;
    ASSERT_EQ(info.ExtractLap(*r->drivers, 0, 1, 0), 0);
    const uint32_t n = info.sample_count;
    const Kept want = GetParam().kept(n, info.start_block);
    ASSERT_EQ(info.TrimToLap(1), 0);
    EXPECT_EQ(info.sample_count, want.count);
    EXPECT_EQ(info.first_kept_frame, want.first_frame);
    EXPECT_EQ(info.last_kept_frame, want.last_frame);
    EXPECT_EQ(info.distance.size(), info.sample_count + 2u);
    EXPECT_EQ(info.gear.size(), info.sample_count + 2u);
}

INSTANTIATE_TEST_SUITE_P(Lines, FewCrossings, testing::ValuesIn(kLines),
                         [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

}  // namespace
