// The race stream against the race generator: every step of the race with
// each car where the generator drove it, the completed times and states,
// and damaged data sections that end the read where they are met.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "replay/drivers.h"
#include "replay/race_stream.h"
#include "support/config_dir.h"
#include "support/race_generator.h"
#include "support/replay_fixture.h"

namespace {

namespace fs = std::filesystem;

fixture::RacePlan ThreeCars() {
    fixture::RacePlan plan;
    plan.lap_length_m = 400.0;
    plan.practice_clock_ms = 1000;
    plan.race_clock_ms = 500;
    plan.split_every = 5;
    plan.filler_bytes = 24;
    const char* names[] = {"Clark", "Hill", "Gurney"};
    for (uint32_t i = 0; i < 3; ++i) {
        fixture::CarPlan car;
        car.driver.last_name = names[i];
        car.driver.slot = i * 2 + 1;  // slots that are not the record order
        car.practice_speeds = {40, 44};
        car.race_speeds = {30, 44.0 - i, 43.5};
        car.race_lead_m = 20.0 + 10.0 * i;
        plan.cars.push_back(car);
    }
    plan.cars[2].absent = {{0, 0}};
    return plan;
}

class RaceStreamTest : public testing::Test {
protected:
    // Writes the spec and loads its driver table.
    Drivers& Load(const fixture::ReplaySpec& spec) {
        path = config.scratch() / ("race" + std::to_string(++written) + ".rpy");
        fixture::WriteFile(path, fixture::BuildReplay(spec));
        drivers = std::make_unique<Drivers>();
        EXPECT_EQ(drivers->LoadReplay(path.string()), 0);
        return *drivers;
    }
    fixture::ScopedConfigDir config;
    fs::path path;
    int written = 0;
    std::unique_ptr<Drivers> drivers;
};

TEST_F(RaceStreamTest, TellsItsProgressEvery360StepsOutOfTheRacesSteps) {
    const fixture::RaceGenerator gen(ThreeCars());
    std::vector<std::pair<int, int>> calls;
    RaceStream stream;
    ASSERT_EQ(stream.Load(Load(gen.Spec()), [&calls](int step, int steps) { calls.emplace_back(step, steps); }),
              RaceStream::Result::kLoaded);
    const int steps = stream.step_count();
    ASSERT_GE(steps, 720);
    ASSERT_EQ(calls.size(), static_cast<size_t>(steps / 360));
    for (size_t i = 0; i < calls.size(); ++i)
        EXPECT_EQ(calls[i], std::make_pair(static_cast<int>(i + 1) * 360, steps));
}

TEST_F(RaceStreamTest, ReadsEveryStepOfTheRaceWhereTheGeneratorDroveTheCars) {
    fixture::RacePlan plan = ThreeCars();
    const fixture::RaceGenerator probe(plan);
    const uint32_t first = probe.practice_blocks() + 1;
    plan.cars[2].absent = {{first + 40, first + 45}};
    const fixture::RaceGenerator gen(plan);
    RaceStream stream;
    ASSERT_EQ(stream.Load(Load(gen.Spec())), RaceStream::Result::kLoaded);

    // The race's first frame to the replay's last, the last one included.
    const int steps = static_cast<int>(gen.block_count() - gen.practice_blocks());
    ASSERT_EQ(stream.step_count(), steps);
    EXPECT_EQ(stream.start_frame_number(), first);
    EXPECT_EQ(stream.race_start_time(), plan.race_clock_ms);
    EXPECT_FALSE(stream.missing_frame_number());
    for (int step : {0, 1, 42, steps / 2, steps - 1}) {
        const uint32_t block = first + static_cast<uint32_t>(step);
        EXPECT_EQ(stream.StepTime(step), (plan.race_clock_ms + static_cast<uint32_t>(step) * 1000 / 36) / 10 * 10);
        for (int car = 0; car < 3; ++car) {
            const fixture::CarState st = gen.StateAt(static_cast<uint32_t>(car), block);
            ASSERT_EQ(stream.Present(step, car), st.present) << "step " << step << " car " << car;
            if (!st.present) continue;
            EXPECT_NEAR(stream.Distance(step, car), st.distance_m, 1e-9);
            EXPECT_NEAR(stream.Heading(step, car), 180.0 - st.orientation * 0.087890625, 1e-9);
            if (car == 0) {
                // Within a raw unit of the lateral the generator meant.
                EXPECT_NEAR(stream.Lateral(step, car), st.lateral_m, 1e-4);
            }
        }
    }
}

TEST_F(RaceStreamTest, CompletesMissingTimesAndTurnsRawWordsIntoStates) {
    // Times: 0 marks a step without a time record; raw -1 one without a
    // state record.
    std::vector<uint32_t> times = {1000, 0, 0, 0, 2000, 0, 0, 0, 0};
    std::vector<int32_t> raw = {7, 12, -1, 32, 40, 4, 0x14, 0x34, 0x34};
    std::vector<int16_t> states;
    RaceStream::CompleteTimesAndStates(times, raw, states);
    EXPECT_EQ(times, (std::vector<uint32_t>{1000, 1027, 1055, 1083, 2000, 2027, 2055, 2083, 2111}));
    EXPECT_EQ(raw[0], 0);
    EXPECT_EQ(raw[2], 12);
    EXPECT_EQ(states, (std::vector<int16_t>{0, 1, 1, 2, 3, 4, 4, 8, 8}));

    // Staying at 0x34 keeps state 8; a change to 4 after it gives 4.
    times = {5, 0, 0};
    raw = {0, 0x34, 4};
    RaceStream::CompleteTimesAndStates(times, raw, states);
    EXPECT_EQ(states, (std::vector<int16_t>{0, 8, 4}));
}

TEST_F(RaceStreamTest, DamageEndsTheReadWhereItIsMet) {
    const fixture::RaceGenerator gen(ThreeCars());
    const uint32_t practice = gen.practice_blocks();
    struct Case {
        const char* what;
        std::function<void(fixture::ReplaySpec&, Drivers&)> damage;
        RaceStream::Result result;
        int steps;  // -1: the whole race
    };
    const int race_steps = static_cast<int>(gen.block_count() - practice);
    const auto frame = [practice](fixture::ReplaySpec& s, uint32_t step) -> fixture::FrameBlock& {
        return s.frames.at(practice + step);
    };
    const Case cases[] = {
        {"a frame of length 0", [&](auto& s, auto&) { frame(s, 30).size_override = 0; }, RaceStream::Result::kLoaded,
         30},
        {"a record of length 0",
         [&](auto& s, auto&) { frame(s, 12).records.insert(frame(s, 12).records.begin() + 1, {13, 0, ""}); },
         RaceStream::Result::kLoaded, 12},
        {"an unknown record type",
         [&](auto& s, auto&) { frame(s, 5).records.push_back({7, 8, "abcd"}); }, RaceStream::Result::kUnknownType, 0},
        {"no marker of the race session", [](auto&, Drivers& d) { d.race_session_code = 9; },
         RaceStream::Result::kNoRaceStart, 0},
        {"a last frame before the race start", [&](auto&, Drivers& d) { d.last_frame_number = practice; },
         RaceStream::Result::kNoSteps, 0},
        {"frame numbers far beyond the file", [](auto&, Drivers& d) { d.last_frame_number = 0xFFFFFFF0; },
         RaceStream::Result::kLoaded, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The driver table comes from the sound replay (the lap was loaded
        // from it); the race is then read from the damaged one.
        fixture::ReplaySpec spec = gen.Spec();
        Drivers& d = Load(spec);
        c.damage(spec, d);
        fixture::WriteFile(path, fixture::BuildReplay(spec));
        RaceStream stream;
        EXPECT_EQ(stream.Load(d), c.result);
        EXPECT_EQ(stream.step_count(), c.steps < 0 ? race_steps : c.steps);
    }
}

TEST_F(RaceStreamTest, RunsFromFrameZeroWhenNoFrameNumberCameBeforeTheStart) {
    const fixture::RaceGenerator gen(ThreeCars());
    fixture::ReplaySpec spec = gen.Spec();
    for (uint32_t b = 0; b <= gen.practice_blocks(); ++b) {
        auto& records = spec.frames[b].records;
        records.erase(std::remove_if(records.begin(), records.end(), [](const auto& r) { return r.type == 14; }),
                      records.end());
    }
    RaceStream stream;
    ASSERT_EQ(stream.Load(Load(spec)), RaceStream::Result::kLoaded);
    EXPECT_TRUE(stream.missing_frame_number());
    EXPECT_EQ(stream.start_frame_number(), 0u);
    // More steps are claimed than there are frames: those there are read.
    EXPECT_EQ(stream.step_count(), static_cast<int>(gen.block_count() - gen.practice_blocks()));
}

}  // namespace
