// Lap and race playback without a window: the commands' enabled states,
// the read-out texts, a lap playback from start to end, the map following
// the leader, and a generated race played through to its end with the
// running order checked against where the generator drove the cars.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>

#include "app/playback_bars.h"
#include "app/playback_controller.h"
#include "app/playback_map.h"
#include "document/rpy_graph_doc.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/race_generator.h"
#include "support/recording_interaction.h"
#include "support/replay_fixture.h"
#include "support/sample_document.h"
#include "track/fitted_display.h"
#include "track/track.h"
#include "track/track_path_tracer.h"

namespace {

namespace fs = std::filesystem;
using P = PlaybackController;

// Places like the map's painter and counts what would be drawn.
class CountingDisplay : public FittedDisplay {
public:
    PixelPoint DrawSegment(const WorldPoint& current, const WorldPoint& previous, int32_t colour, bool no_draw) override {
        if (!no_draw) ++segments;
        return FittedDisplay::DrawSegment(current, previous, colour, no_draw);
    }
    void DrawCarShape(const CarMarker&, PixelPoint, const std::array<WorldPoint, kCarOutlinePoints>&, int32_t) override {
        ++cars;
    }
    int segments = 0;
    int cars = 0;
};

class FakeWindow : public PlaybackMap, public PlaybackBars {
public:
    void StartTimer() override { timer = true; }
    void KillTimer() override { timer = false; }
    void SetZoomToolOff() override {}
    void SetPanningToolOff() override {}
    void ZoomToBox(int64_t, int64_t, int64_t, int64_t) override { ++zoom_boxes; }
    void ZoomFull() override {}
    void CenterOn(PixelPoint p) override {
        ++centred;
        centre = p;
    }
    void InvalidateMap() override {}
    CoreDisplay& BeginCanvasDrawing() override { return display; }
    void EndCanvasDrawing() override {}
    void EraseCarMarkers() override {}

    bool IsLapTicked(int slot) const override { return slot >= 0 && slot < 5 && ticked[static_cast<size_t>(slot)]; }
    int GetPlotFocus() const override { return focus; }
    int GetPlotFocusDriver() const override { return focus_driver; }
    void EnterPlaybackLayout() override { layout = true; }
    void LeavePlaybackLayout() override { layout = false; }
    void ShowElapsedTime(const std::string& text) override { elapsed = text; }
    void ShowRealtime(int slot, const std::string& s, const std::string&, const std::string&) override {
        speed[static_cast<size_t>(slot)] = s;
    }
    void ShowSplit(int slot, int split) override { splits[static_cast<size_t>(slot)] |= 1 << split; }
    void SetOrientation(int, int) override {}
    void RefreshOrientation() override {}
    void ShowRaceBar(bool race) override { race_bar = race; }
    void RaceInfoChanged() override {}

    CountingDisplay display;
    bool timer = false;
    int zoom_boxes = 0;
    int centred = 0;
    PixelPoint centre;
    std::array<bool, 5> ticked{};
    int focus = P::kPlotFocusLeader;
    int focus_driver = 0;
    bool layout = false;
    std::string elapsed;
    std::array<std::string, 5> speed;
    std::array<int, 5> splits{};
    bool race_bar = false;
};

// Four cars on the sample's stadium circuit: cars 1 and 2 drive alike (a
// tie on the track all race long), car 3 stops after one lap and is left
// out of a few frames.
fixture::RacePlan FourCars(double lap_length) {
    fixture::RacePlan plan;
    plan.lap_length_m = lap_length;
    plan.race_code = 4;
    const struct {
        const char* last;
        std::vector<double> race;
        double lead;
    } cars[] = {{"Clark", {30, 44.5, 45.0, 44.0}, 20},
                {"Hill", {30, 43.0, 44.0, 44.5}, 40},
                {"Gurney", {30, 43.0, 44.0, 44.5}, 40},
                {"Surtees", {30, 42.0}, 60}};
    for (uint32_t i = 0; i < 4; ++i) {
        fixture::CarPlan car;
        car.driver.first_name = "Al";
        car.driver.last_name = cars[i].last;
        car.driver.slot = 3 - i;
        car.driver.engine_index = i;
        car.practice_speeds = {40, 44};
        car.race_speeds = cars[i].race;
        car.race_lead_m = cars[i].lead;
        plan.cars.push_back(car);
    }
    plan.cars[3].absent = {{0, 0}};
    return plan;
}

class PlaybackTest : public testing::Test, protected fixture::SampleDocument {
protected:
    PlaybackTest() {
        playback = std::make_unique<PlaybackController>(*doc);
        playback->SetMap(&window);
        playback->SetBars(&window);
        playback->SetLapChooser([this](const std::vector<std::string>& captions) {
            captions_ = captions;
            return chosen;
        });
    }
    // Two practice laps of the sample's driven replay, both ticked.
    void LoadTwoLaps() {
        ASSERT_TRUE(doc->AddLapFromCommandLine(replays.at(2).string(), 0, 0, 2));
        ASSERT_TRUE(doc->AddLapFromCommandLine(replays.at(2).string(), 0, 1, 2));
        window.ticked = {true, true, false, false, false};
        window.display.FitToSurfaceBounds(50, 50, 50000, 50000);
    }
    int TickUntilStopped(int limit) {
        int ticks = 0;
        while (playback->playing && ticks < limit) {
            playback->OnTimer();
            ++ticks;
        }
        return ticks;
    }

    FakeWindow window;
    std::unique_ptr<PlaybackController> playback;
    std::vector<std::string> captions_;
    int chosen = 0;
};

TEST_F(PlaybackTest, CommandsAreEnabledAndCheckedByTheirTable) {
    const int ids[] = {P::kStart, P::kPause, P::kFastForward, P::kFastReverse, P::kStop, P::kMoveToEnd,
                       P::kBeginningOfLap, P::kToggleRace};
    struct Row {
        bool lap, playing, race, paused;
        std::array<bool, 8> enabled;  // in the order of ids
    };
    const Row rows[] = {
        {false, false, false, false, {0, 0, 0, 0, 0, 0, 0, 0}},
        {false, true, true, false, {0, 0, 0, 1, 0, 0, 0, 0}},
        {true, false, false, false, {1, 0, 0, 0, 0, 0, 0, 1}},
        {true, false, false, true, {1, 0, 0, 0, 0, 0, 0, 1}},
        {true, true, false, false, {1, 1, 1, 0, 1, 1, 1, 1}},
        {true, true, true, false, {1, 1, 1, 1, 1, 1, 1, 1}},
        {true, false, true, true, {1, 0, 0, 0, 0, 0, 0, 1}},
    };
    for (const Row& row : rows) {
        if (row.lap && doc->GetLoadedCount() == 0) {
            ASSERT_TRUE(doc->AddLapFromCommandLine(replays.at(2).string(), 0, 0, 2));
        }
        playback->playing = row.playing;
        playback->race_mode = row.race;
        playback->paused = row.paused;
        for (size_t i = 0; i < std::size(ids); ++i)
            EXPECT_EQ(playback->IsEnabled(ids[i]), row.enabled[i])
                << "id " << ids[i] << " lap " << row.lap << " playing " << row.playing << " race " << row.race;
    }
    playback->playing = playback->fast_forward = true;
    EXPECT_TRUE(playback->IsChecked(P::kStart));
    EXPECT_TRUE(playback->IsChecked(P::kFastForward));
    EXPECT_FALSE(playback->IsChecked(P::kFastReverse));
    EXPECT_TRUE(playback->IsChecked(P::kToggleRace));
    EXPECT_FALSE(playback->IsChecked(P::kPause));

    // The report-site listener has a busy flag of its own: reports and file
    // commands wait for it, playback does not think it is playing.
    playback->playing = playback->paused = playback->fast_forward = playback->race_mode = false;
    playback->SetListenerOpen(true);
    EXPECT_TRUE(playback->IsBusy());
    EXPECT_FALSE(playback->FileCommandsAllowed());
    EXPECT_TRUE(playback->IsEnabled(P::kStart));
    EXPECT_FALSE(playback->IsEnabled(P::kPause));
    playback->SetListenerOpen(false);
    EXPECT_TRUE(playback->FileCommandsAllowed());
    playback->race_mode = true;
    EXPECT_FALSE(playback->IsBusy());
    EXPECT_FALSE(playback->FileCommandsAllowed());
}

TEST_F(PlaybackTest, ReadOutTexts) {
    const struct {
        uint32_t position;
        const char* text;
    } clock[] = {{2, "0:00"}, {35, "0:00"}, {36, "0:01"}, {359, "0:09"}, {360, "0:10"}, {2159, "0:59"},
                 {2160, "1:00"}, {2196, "1:01"}, {21600, "10:00"}};
    for (const auto& c : clock) EXPECT_EQ(P::ElapsedText(c.position), c.text) << c.position;

    EXPECT_EQ(P::SpeedText(100.9, true), "62");  // 100 x 0.621, after truncation
    EXPECT_EQ(P::SpeedText(100.9, false), "100");
    // Gear 0 is neutral, as the simulator records a shift; first gear is 1.
    EXPECT_EQ(P::GearText(-1), "R");
    EXPECT_EQ(P::GearText(0), "N");
    EXPECT_EQ(P::GearText(1), "1");
    EXPECT_EQ(P::GearText(6), "6");
    EXPECT_EQ(P::GearText(7), "");
    EXPECT_EQ(P::GearText(-2), "");
    EXPECT_EQ(P::RevsText(8449.9), "84");
    EXPECT_EQ(P::RevsText(8450.0), "85");

    const struct {
        int orientation, index;
    } heading[] = {{1024, 0}, {1152, 0}, {896, 0}, {768, 1}, {128, 3}, {127, 4}, {-128, 4}, {-129, 5},
                   {2048, 12}, {-2048, 12}, {2176, 12}, {-2176, 12}, {2177, -1}, {-2177, -1}, {1920, 12}, {1919, 13}, {1281, 15}};
    for (const auto& h : heading)
        EXPECT_EQ(P::HeadingToDirection(static_cast<int16_t>(h.orientation)), h.index) << h.orientation;
}

TEST_F(PlaybackTest, LapsPlayToTheirEndAndLeaveTheirLines) {
    LoadTwoLaps();
    const GetRpyInfo& a = *doc->GetSlot(0).telemetry;
    window.ticked[1] = false;
    ASSERT_TRUE(playback->Run(P::kStart));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(window.timer && window.layout && playback->playing);
    EXPECT_EQ(window.zoom_boxes, 1);

    // Normal speed: 2 samples a tick until the lap's second-to-last sample.
    const int ticks = TickUntilStopped(100000);
    EXPECT_EQ(ticks, static_cast<int>((a.sample_count - 2) / 2) + 1);
    EXPECT_FALSE(window.timer || window.layout || playback->playing);
    EXPECT_EQ(playback->position, 0u);
    EXPECT_EQ(window.splits[0], 7);
    EXPECT_FALSE(window.speed[0].empty());
    EXPECT_GT(window.display.segments, static_cast<int>(a.sample_count / 2) - 10);

    // The leader is followed: the lap furthest along, here the only one.
    EXPECT_GT(window.centred, ticks - 5);
}

TEST_F(PlaybackTest, FastForwardFromTheStartBeginsNewLines) {
    LoadTwoLaps();
    ASSERT_TRUE(playback->Run(P::kStart));
    // The tracers still stand at the end of the lines drawn before.
    for (int i = 0; i < 2; ++i) doc->GetSlot(i).tracer->MoveTo(window.display, 300.0, 0.0, true);
    ASSERT_TRUE(playback->Run(P::kFastForward));
    window.display.segments = 0;
    playback->OnTimer();
    EXPECT_EQ(playback->position, 4u);
    // The first point of each line is placed, not joined to the old end.
    EXPECT_EQ(window.display.segments, 0);
    playback->OnTimer();
    EXPECT_EQ(window.display.segments, 2);
}

TEST_F(PlaybackTest, FocusFollowsOnlyLapsThatRun) {
    LoadTwoLaps();
    ASSERT_TRUE(playback->Run(P::kStart));
    window.focus = P::kPlotFocusManual;
    playback->OnTimer();
    EXPECT_EQ(window.centred, 0);

    // "Focus Driver:" on a lap that is not ticked: nothing to follow.
    window.focus = P::kPlotFocusDriver;
    window.focus_driver = 1;
    window.ticked[1] = false;
    playback->OnTimer();
    EXPECT_EQ(window.centred, 0);
    window.focus_driver = -1;
    playback->OnTimer();
    EXPECT_EQ(window.centred, 0);

    // "Focus Leader": the lap furthest along at the position.
    window.ticked[1] = true;
    window.focus = P::kPlotFocusLeader;
    for (int i = 0; i < 40; ++i) playback->OnTimer();
    const uint32_t p = playback->position;
    const int leader = doc->GetSlot(1).telemetry->distance[p] > doc->GetSlot(0).telemetry->distance[p] ? 1 : 0;
    EXPECT_EQ(window.centre.x, playback->CarPoints()[static_cast<size_t>(leader)].x);
    EXPECT_EQ(window.centre.y, playback->CarPoints()[static_cast<size_t>(leader)].y);
}

TEST_F(PlaybackTest, MoveToEndOfLapDrawsTheRestAndHalts) {
    LoadTwoLaps();
    ASSERT_TRUE(playback->Run(P::kStart));
    for (int i = 0; i < 3; ++i) playback->OnTimer();
    ASSERT_TRUE(playback->Run(P::kMoveToEnd));
    const uint32_t longest =
        std::max(doc->GetSlot(0).telemetry->sample_count, doc->GetSlot(1).telemetry->sample_count);
    // The last even position at which a lap still runs.
    EXPECT_EQ(playback->position, (longest - 2) / 2 * 2);
    EXPECT_FALSE(playback->playing || window.timer);
    EXPECT_TRUE(window.layout);
    EXPECT_EQ(window.splits[0], 7);
    EXPECT_EQ(window.splits[1], 7);
}

TEST_F(PlaybackTest, RaceModeRefusalsAndAFailedLoadLeaveDrivingLines) {
    LoadTwoLaps();
    chosen = -1;
    EXPECT_FALSE(playback->Run(P::kToggleRace) && playback->race_mode);
    EXPECT_EQ(captions_, (std::vector<std::string>{"\"monza_driven\" - Jim Clark", "\"monza_driven\" - Jim Clark"}));

    // The replay's race cannot be read any more (its data section is gone).
    const fs::path path = replays.at(2);
    fs::resize_file(path, doc->GetSlot(0).drivers->data_section_offset + 20);
    chosen = 0;
    ASSERT_TRUE(playback->Run(P::kToggleRace));
    EXPECT_FALSE(playback->race_mode);
    EXPECT_FALSE(window.race_bar);
    EXPECT_FALSE(playback->Race().IsLoaded());
}

TEST_F(PlaybackTest, AGeneratedRacePlaysToItsEndInTrackOrder) {
    LoadTwoLaps();
    const double lap_length = doc->GetTrack()->GetLength();
    const fixture::RaceGenerator gen(FourCars(lap_length));
    fixture::ReplaySpec spec = gen.Spec();
    spec.track = "monza";
    const fs::path race = sim / "replay" / "four.rpy";
    fixture::WriteFile(race, fixture::BuildReplay(spec));
    ASSERT_TRUE(doc->AddLapFromCommandLine(race.string(), 1, 0, 2));
    chosen = 2;
    ASSERT_TRUE(playback->Run(P::kToggleRace));
    ASSERT_TRUE(playback->race_mode);
    EXPECT_TRUE(window.race_bar);
    const RaceReplayModel& model = playback->Race();
    ASSERT_TRUE(model.IsLoaded());
    const uint32_t first = gen.practice_blocks() + 1;
    ASSERT_EQ(model.GetLastStep(), static_cast<int>(gen.block_count() - first));
    // The wait box's bar moved every 10 s of race, out of the race's steps.
    const int steps = model.GetLastStep() + 1;
    ASSERT_GE(steps, 360);
    ASSERT_EQ(ui.progress_steps.size(), static_cast<size_t>(steps / 360));
    EXPECT_EQ(ui.progress_steps.front(), std::make_pair(360, steps));

    // The lap table: car 3 ran one lap only; its later rows never happened
    // and it leads no row beyond it.
    EXPECT_NE(model.GetCrossing(1, 3), RaceReplayModel::kNever);
    EXPECT_EQ(model.GetCrossing(2, 3), RaceReplayModel::kNever);
    for (int row = 2; row < 5; ++row) EXPECT_NE(model.GetLeaderAtRow(row), 3);
    const auto clock = gen.LapClock(0, 1);
    EXPECT_EQ(model.GetCrossing(3, 0), clock.at(3) & 0xFFFFFF);

    // Fast reverse near the start stops at step 0.
    ASSERT_TRUE(playback->Run(P::kStart));
    playback->position = 2;
    ASSERT_TRUE(playback->Run(P::kFastReverse));
    playback->OnTimer();
    EXPECT_EQ(playback->position, 0u);
    playback->OnTimer();
    EXPECT_EQ(playback->position, 0u);
    ASSERT_TRUE(playback->Run(P::kStart));
    EXPECT_FALSE(playback->fast_reverse);

    // Play to the end, checking the order by track position on the way.
    int checked = 0;
    int ticks = 0;
    while (playback->playing && ticks++ < 100000) {
        playback->OnTimer();
        if (ticks % 97 != 0) continue;
        const int step = static_cast<int>(playback->position);
        std::vector<std::pair<uint32_t, int>> expected;  // key, car
        for (int car = 0; car < 4; ++car) {
            const fixture::CarState st = gen.StateAt(static_cast<uint32_t>(car), first + static_cast<uint32_t>(step));
            const bool on_map = st.present && st.distance_m < lap_length;
            expected.push_back({on_map ? static_cast<uint32_t>(st.distance_m * 10) : 0u, car});
        }
        std::stable_sort(expected.begin(), expected.end(), [](auto& a, auto& b) { return a.first > b.first; });
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(model.GetOrder()[k], expected[k].second) << "step " << step << " place " << k;
            EXPECT_EQ(model.GetPositionKeys()[k], expected[k].first) << "step " << step << " place " << k;
        }
        ++checked;
    }
    EXPECT_GT(checked, 10);
    // The race halts on its last step, the cars left where they finished.
    EXPECT_EQ(playback->position, static_cast<uint32_t>(model.GetLastStep()));
    EXPECT_TRUE(playback->paused);
    EXPECT_FALSE(window.timer);
    EXPECT_EQ(model.GetInfo().status, "All cars finished");

    // Next and Prev. wrap round the cars on the track.
    RaceReplayModel& race_model = playback->Race();
    const auto& order = model.GetOrder();
    int on_track = 0;
    while (on_track < 4 && model.GetPositionKeys()[static_cast<size_t>(on_track)] != 0) ++on_track;
    ASSERT_GE(on_track, 2);
    race_model.SetFocus(RaceReplayModel::kFocusDriver);
    race_model.SetComboDriver(order[0]);
    playback->RaceFocusChanged();
    ASSERT_EQ(model.GetFocusDriver(), order[0]);
    ASSERT_TRUE(race_model.OnNextDriver());
    EXPECT_EQ(model.GetFocusDriver(), order[static_cast<size_t>(on_track - 1)]);
    EXPECT_EQ(model.GetComboDriver(), model.GetFocusDriver());
    ASSERT_TRUE(race_model.OnPrevDriver());
    EXPECT_EQ(model.GetFocusDriver(), order[0]);
    ASSERT_TRUE(race_model.OnPrevDriver());
    EXPECT_EQ(model.GetFocusDriver(), order[1]);
    // Cars 1 and 2 run side by side: the closest fight, its rear car 2.
    ASSERT_TRUE(race_model.OnClosestFight());
    EXPECT_EQ(model.GetFocusDriver(), 2);

    // The focused driver's fields at the finish, from the lap tables: car 2
    // crossed the line for the third time level with car 1 and behind car 0.
    race_model.ShowInfoAt(model.GetLastStep());
    const auto c0 = gen.LapClock(0, 1);
    const auto c2 = gen.LapClock(2, 1);
    const RaceReplayModel::Info& info = model.GetInfo();
    EXPECT_EQ(info.name, "A Gurney");
    EXPECT_EQ(info.driver_lap, "4");
    const bool behind_car0 = (c0.at(3) & 0xFFFFFF) < (c2.at(3) & 0xFFFFFF);
    EXPECT_EQ(info.position, behind_car0 ? "2" : "1");
    if (behind_car0) {
        EXPECT_EQ(info.gap_ahead, RaceReplayModel::FormatGap((c2.at(3) & 0xFFFFFF) - (c0.at(3) & 0xFFFFFF)));
    }
    EXPECT_EQ(info.last_lap_time, RaceReplayModel::FormatGap((c2.at(3) - c2.at(2)) & 0xFFFFFF));
    EXPECT_EQ(info.current_lap, "4");
    EXPECT_EQ(RaceReplayModel::FormatElapsed(65499), "1:05");
    EXPECT_EQ(RaceReplayModel::FormatElapsed(65500), "1:06");
    EXPECT_EQ(RaceReplayModel::FormatGap(61234), "1:01.234");
}

}  // namespace
