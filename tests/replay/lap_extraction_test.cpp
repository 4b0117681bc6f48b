// Lap extraction over generated replays: every lap of every car, in practice
// and race, in both distance units, comes out with the sample count, lap
// time, frame positions and channels the race generator drove.

#include "replay/get_rpy_info.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "replay/drivers.h"
#include "support/race_generator.h"
#include "telemetry_support.h"

namespace {

using fixture::LapTruth;
using fixture::RaceGenerator;
using fixture::RacePlan;
using telemetry_test::Load;
using telemetry_test::SmallRace;

struct PlanCase {
    const char* name;
    RacePlan (*plan)();
};

RacePlan FineUnitPracticeAndRace() {
    RacePlan p = SmallRace();
    p.filler_bytes = 40;
    p.split_every = 5;
    return p;
}

RacePlan CoarseUnitPracticeAndRace() {
    RacePlan p = SmallRace();
    p.distance_unit = 0x40;
    p.lap_length_m = 1500.0;  // the coarse unit with laps too long for the fine one's fixture speeds
    p.player = 0;
    p.race_code = 1;
    for (auto& car : p.cars) {
        for (double& v : car.practice_speeds) v *= 3;
        for (double& v : car.race_speeds) v *= 3;
    }
    p.filler_bytes = 12;
    return p;
}

RacePlan RaceOnlyCoarse() {
    RacePlan p = SmallRace();
    p.practice = false;
    p.distance_unit = 0x40;
    p.race_code = 7;
    p.race_clock_ms = 3000;
    p.plain_first_every = 3;
    return p;
}

RacePlan PracticeOnlyWithGaps() {
    RacePlan p = SmallRace();
    p.race = false;
    p.player = 2;
    // Hill drops out of the records in the middle of his second and third
    // laps, for one frame and for a run of twelve.
    p.cars[0].absent = {{400, 400}, {700, 711}};
    return p;
}

class EveryLap : public testing::TestWithParam<PlanCase> {};

// Compares the trimmed channels sample by sample with what the generator
// wrote into each frame.
void ExpectChannels(const GetRpyInfo& info, const RaceGenerator& gen, const LapTruth& t, bool player) {
    const uint32_t first_block = t.FirstKeptBlock(1);
    for (uint32_t k = 1; k <= info.sample_count; ++k) {
        const fixture::CarState s = gen.StateAt(t.driver, first_block + k - 1);
        SCOPED_TRACE("sample " + std::to_string(k));
        if (!s.present) {
            EXPECT_EQ(info.distance_raw[k], 0u);
            EXPECT_EQ(info.gear[k], 0);
            EXPECT_EQ(info.lateral_raw[k], 0);
            EXPECT_EQ(info.height_raw[k], 0u);
            EXPECT_EQ(info.revs_raw[k], 0);
            continue;
        }
        EXPECT_EQ(info.distance_raw[k], s.distance_raw);
        EXPECT_DOUBLE_EQ(info.distance[k], s.distance_m);
        EXPECT_EQ(info.gear[k], s.gear);
        EXPECT_EQ(info.lateral_raw[k], s.lateral_raw);
        EXPECT_NEAR(info.lateral_offset[k], s.lateral_m, player ? 1e-4 : 1e-3);
        EXPECT_EQ(info.height_raw[k], s.height_raw);
        EXPECT_NEAR(info.height[k], s.height_m, player ? 1e-3 : 5e-3);
        EXPECT_EQ(info.revs_raw[k], static_cast<int>(s.revs_raw));
        EXPECT_NEAR(info.revs[k], s.revs_rpm, 25.0);
        EXPECT_EQ(info.orientation[k], s.orientation);
        EXPECT_EQ(info.pitch[k], s.pitch);
        EXPECT_EQ(info.roll[k], s.roll);
        EXPECT_EQ(info.steering[k], s.steering);
        if (player) {
            EXPECT_NEAR(info.fraction[k], s.fraction_raw / 255.0, 1e-6);
            EXPECT_EQ(info.state_bits[k], s.fraction_raw >> 3);
            EXPECT_EQ(info.tyre_squeal[k], s.tyre_squeal);
            for (int w = 0; w < 4; ++w) {
                EXPECT_EQ(info.wheel_state[w][k], s.wheel_state[w]) << "wheel " << w;
                EXPECT_EQ(info.wheel_value[w][k], s.wheel_value[w]) << "wheel " << w;
                EXPECT_EQ(info.suspension[w][k], s.suspension[w]) << "wheel " << w;
            }
            EXPECT_EQ(info.oil_pressure[k], s.oil_pressure);
            EXPECT_EQ(info.oil_temperature[k], s.oil_temperature);
            EXPECT_EQ(info.water_temperature[k], s.water_temperature);
            EXPECT_EQ(info.fuel_pressure[k], s.fuel_pressure);
            EXPECT_EQ(info.engine_value4[k], s.engine_value4);
        } else {
            EXPECT_NEAR(info.fraction[k], 0.305114 * std::tan(s.fraction_raw * 0.04122431), 1e-9);
            EXPECT_EQ(info.state_bits[k], s.fraction_raw + 32 * s.state_high);
            EXPECT_EQ(info.tyre_squeal[k], 0);
            for (int w = 0; w < 4; ++w) {
                EXPECT_EQ(info.wheel_value[w][k], 0u);
                EXPECT_EQ(info.suspension[w][k], 0);
                EXPECT_EQ(info.wheel_state[w][k], 0);
            }
            EXPECT_EQ(info.oil_pressure[k], 0);
            EXPECT_EQ(info.oil_temperature[k], 0.0);
            EXPECT_EQ(info.water_temperature[k], 0.0);
        }
    }
}

// File offset of a block, from the sizes of the blocks written before it.
uint64_t BlockOffset(const fixture::ReplaySpec& spec, uint32_t block) {
    uint64_t at = fixture::LayoutOf(spec).data_section + 12;
    for (uint32_t b = 1; b < block; ++b) {
        at += 8;
        for (const auto& r : spec.frames[b - 1].records) at += 4 + r.payload.size();
    }
    return at;
}

TEST_P(EveryLap, ComesOutAsDriven) {
    const RaceGenerator gen(GetParam().plan());
    const fixture::ReplaySpec spec = gen.Spec();
    auto replay = Load(spec);
    const Drivers& d = *replay->drivers;
    ASSERT_GE(gen.laps().size(), 7u);

    for (const LapTruth& t : gen.laps()) {
        SCOPED_TRACE("driver " + std::to_string(t.driver) + " session " + std::to_string(t.session) + " lap " +
                     std::to_string(t.lap));
        const bool player = t.driver == gen.plan().player;
        // The driver table agrees with the generator about the lap.
        const auto& times = t.session == 0 ? d.practice_times[t.driver] : d.race_times[t.driver];
        ASSERT_EQ(Drivers::LapMs(times[t.lap]), t.lap_ms);

        GetRpyInfo info;
        ASSERT_EQ(info.ExtractLap(*replay->drivers, static_cast<int>(t.driver), t.lap, t.session), 0);
        EXPECT_EQ(info.status, 0);
        EXPECT_EQ(info.distance_unit, gen.plan().distance_unit);
        EXPECT_EQ(replay->drivers->distance_unit, gen.plan().distance_unit);
        EXPECT_EQ(info.start_block, t.start_block);
        EXPECT_EQ(info.end_block, t.end_block);
        EXPECT_EQ(info.start_marker_ms, t.start_marker_ms);
        EXPECT_EQ(info.end_marker_ms, t.end_marker_ms);
        EXPECT_EQ(info.sample_count, t.sample_count);
        EXPECT_EQ(info.missing_count, t.missing);
        EXPECT_EQ(info.longest_missing_run, t.longest_missing_run);
        EXPECT_EQ(info.decoded_count, t.sample_count - t.missing);
        // Frame positions, which the replay writers copy blocks by.
        EXPECT_EQ(info.first_block_pos, BlockOffset(spec, t.start_block));
        EXPECT_EQ(info.after_last_pos, BlockOffset(spec, t.start_block + t.sample_count));
        EXPECT_EQ(info.last_block_size,
                  BlockOffset(spec, t.start_block + t.sample_count) -
                      BlockOffset(spec, t.start_block + t.sample_count - 1));

        ASSERT_EQ(info.TrimToLap(1), 0);
        EXPECT_TRUE(info.trimmed);
        ASSERT_EQ(info.sample_count, t.TrimmedCount(1));
        EXPECT_EQ(info.marker_lap_time_ms, t.marker_lap_ms);
        // Whatever the rounding of markers and lap words, the lap from the
        // markers is the frames of the lap at 1/36 s each.
        EXPECT_NEAR(info.marker_lap_time_ms, t.lap_ms, 40);
        EXPECT_EQ(info.first_kept_frame, t.before_start_block);
        EXPECT_EQ(info.last_kept_frame, t.after_end_block - 1);
        EXPECT_EQ(info.start_distance_step, static_cast<int32_t>(t.speed_raw));
        EXPECT_EQ(info.end_distance_step, static_cast<int32_t>(t.speed_raw));
        // The trimmed lap runs from just before the line to just after it.
        EXPECT_GT(info.distance_raw[1], info.distance_raw[2]);
        EXPECT_LT(info.distance_raw[info.sample_count - 1], info.distance_raw[info.sample_count - 2]);

        // Speed from the distance channel: the lap's speed in every step
        // inside the lap.
        const double speed = t.speed_raw * gen.unit_m() * 36.0;
        for (uint32_t k = 2; k + 2 < info.sample_count; ++k) {
            if (info.distance_raw[k] == 0 || info.distance_raw[k + 1] == 0) continue;  // missing samples
            ASSERT_NEAR((info.distance[k + 1] - info.distance[k]) * 36.0, speed, 1e-6) << "sample " << k;
        }

        ExpectChannels(info, gen, t, player);
        for (auto* v : {&info.speed, &info.slip_angle, &info.accel_long, &info.accel_lat, &info.accel_total})
            EXPECT_EQ(v->size(), info.sample_count + 2u);
        EXPECT_EQ(info.locked_wheel[3].size(), info.sample_count + 2u);
    }
}

INSTANTIATE_TEST_SUITE_P(Generated, EveryLap,
                         testing::Values(PlanCase{"FineUnitPracticeAndRace", FineUnitPracticeAndRace},
                                         PlanCase{"CoarseUnitPracticeAndRace", CoarseUnitPracticeAndRace},
                                         PlanCase{"RaceOnlyCoarse", RaceOnlyCoarse},
                                         PlanCase{"PracticeOnlyWithGaps", PracticeOnlyWithGaps}),
                         [](const testing::TestParamInfo<PlanCase>& info) { return info.param.name; });

}  // namespace
