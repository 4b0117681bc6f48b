// The sample simulator folder read back through the program's own readers:
// it must look like a recorded session, because it is the first replay
// anyone opens. Every lap it offers loads with data, headings follow the
// track (in the lap telemetry, the race stream and the car marker), shifts
// pass through neutral, readings stay within their graphs' ranges, and race
// mode finds every car. Each car's engine is detected as its own make, the
// header counts the computer drivers its records flag, every car is an F1
// car, no two recordings share their numbers, no two laps of a driver lie
// on top of each other, and the player's profile holds laps of the
// sample's tracks. Writing the sample again keeps what the user saved in it.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <numbers>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "document/lap_file_names.h"
#include "document/merge_parameters_model.h"
#include "document/merged_replay_writer.h"
#include "document/rpy_graph_doc.h"
#include "records/best_lap_cell.h"
#include "records/export_records_model.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "replay/header.h"
#include "replay/race_stream.h"
#include "reports/engine_detection_report.h"
#include "support/replay_fixture.h"
#include "support/sample_document.h"
#include "support/sample_simulator.h"
#include "tools/gear_change_analysis.h"
#include "track/car_marker.h"
#include "track/section.h"
#include "track/track.h"

namespace {

// The difference of two angles in degrees, folded into -180 .. 180.
double AngleBetween(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d < -180.0) d += 360.0;
    return d;
}

struct LapId {
    std::string replay;
    int session = 0;
    int driver = 0;
    int lap = 0;
};

std::string Name(const LapId& id) {
    return std::filesystem::path(id.replay).filename().string() + (id.session == 0 ? " practice" : " race") +
           " driver " + std::to_string(id.driver) + " lap " + std::to_string(id.lap);
}

class SampleFolderTest : public fixture::SampleDocument, public ::testing::Test {
protected:
    // Every lap that the replays' lap tables mark selectable.
    std::vector<LapId> SelectableLaps() const {
        std::vector<LapId> laps;
        for (const auto& replay : replays) {
            Drivers drivers;
            EXPECT_EQ(drivers.LoadReplay(replay.string()), 0) << replay;
            for (int d = 0; d < drivers.driver_count; ++d) {
                const auto i = static_cast<size_t>(d);
                for (int session = 0; session < 2; ++session) {
                    if (!(session == 0 ? drivers.practice_present : drivers.race_present)) continue;
                    const int count = session == 0 ? drivers.practice_lap_count[i] : drivers.race_lap_count[i];
                    const auto& selectable = session == 0 ? drivers.practice_selectable[i] : drivers.race_selectable[i];
                    for (int lap = 1; lap <= count; ++lap)
                        if (selectable[static_cast<size_t>(lap)]) laps.push_back({replay.string(), session, d, lap});
                }
            }
        }
        return laps;
    }

    // Loads one lap alone, with its derived channels.
    const GetRpyInfo* Load(const LapId& id) {
        doc->OnNewDocument();
        if (!doc->AddLapFromCommandLine(id.replay, id.session, id.driver, id.lap)) return nullptr;
        return doc->GetSlot(0).telemetry.get();
    }
};

TEST_F(SampleFolderTest, EverySelectableLapLoadsDrawsAndHasData) {
    const auto laps = SelectableLaps();
    // Practice and race of six cars, a race of three, practice and race of three.
    ASSERT_GE(laps.size(), 60u);
    for (const LapId& id : laps) {
        SCOPED_TRACE(Name(id));
        ui.messages.clear();
        const GetRpyInfo* lap = Load(id);
        ASSERT_NE(lap, nullptr);
        EXPECT_EQ(lap->missing_count, 0u);
        // The lap time in the table is the one the car's frames give.
        for (const std::string& message : ui.messages) EXPECT_EQ(message.find("ZAVRO has detected"), std::string::npos);
        ASSERT_GT(lap->sample_count, 36u * 20);
        for (int split = 0; split < 3; ++split) EXPECT_GT(lap->split_time_ms[static_cast<size_t>(split)], 0);
        for (uint32_t i = 2; i + 1 < lap->sample_count; ++i) {
            // A race's first lap begins just after the standing start.
            ASSERT_GT(lap->speed[i], 30.0) << "sample " << i;
            ASSERT_GT(lap->revs[i], 1000.0) << "sample " << i;
        }
    }
}

TEST_F(SampleFolderTest, HeadingsFollowTheDirectionOfTravel) {
    for (const LapId& id : SelectableLaps()) {
        SCOPED_TRACE(Name(id));
        const GetRpyInfo* lap = Load(id);
        ASSERT_NE(lap, nullptr);
        // The slip angle is the car's heading less the direction of travel
        // worked out from its successive places on the map.
        for (uint32_t i = 3; i + 1 < lap->sample_count; ++i) ASSERT_LT(std::fabs(lap->slip_angle[i]), 8.0) << i;
    }
}

TEST_F(SampleFolderTest, RaceModeFindsEveryCarHeadingAlongTheTrack) {
    for (const auto& replay : replays) {
        SCOPED_TRACE(replay.filename().string());
        Header header;
        ASSERT_EQ(header.Load(replay.string()), 0);
        Drivers drivers;
        ASSERT_EQ(drivers.LoadReplay(replay.string()), 0);
        const auto track = Track::Load(sim, header.track_folder);
        ASSERT_TRUE(track);
        RaceStream race;
        ASSERT_EQ(race.Load(drivers), RaceStream::Result::kLoaded);

        std::set<int> states;
        int all_present = 0;
        for (int step = 1; step + 1 < race.step_count(); ++step) {
            states.insert(race.StepState(step));
            bool every = true;
            for (int car = 0; car < race.car_count(); ++car) {
                every = every && race.Present(step, car);
                if (!race.Present(step - 1, car) || !race.Present(step + 1, car)) continue;
                // Where the car goes, from its places a frame before and after.
                auto at = [&](int s) {
                    const double d = race.Distance(s, car);
                    const int i = track->findSection(d);
                    const Section& section = track->GetSection(static_cast<size_t>(i));
                    return section.LocalToWorld(d - section.GetStartDistance(), race.Lateral(s, car));
                };
                const WorldPoint from = at(step - 1);
                const WorldPoint to = at(step + 1);
                const double moved = std::hypot(to.x - from.x, to.y - from.y);
                if (moved < 0.5 || moved > 4.0) continue;  // standing, across the line, or put back on track
                const double travel = std::atan2(to.y - from.y, to.x - from.x) * 180.0 / std::numbers::pi;
                // The marker's nose, on the map whose y runs downwards.
                const auto outline = CarMarker::Rotate(race.Heading(step, car), false);
                const double nose_x = (outline[0].x + outline[35].x) - (outline[17].x + outline[18].x);
                const double nose_y = (outline[0].y + outline[35].y) - (outline[17].y + outline[18].y);
                const double drawn = std::atan2(-nose_y, nose_x) * 180.0 / std::numbers::pi;
                ASSERT_LT(std::fabs(AngleBetween(drawn, travel)), 8.0) << "step " << step << " car " << car;
            }
            all_present += every ? 1 : 0;
        }
        EXPECT_GT(all_present, race.step_count() / 2);
        // Lining up, the green flag raised and dropped, racing, the chequered flag.
        EXPECT_EQ(states, (std::set<int>{1, 2, 3, 4, 8}));
        // Each team in its own colour: the marker's colour follows the engine.
        std::set<uint32_t> teams;
        for (int car = 0; car < drivers.driver_count; ++car)
            teams.insert(drivers.engine_index[static_cast<size_t>(car)] % 7);
        EXPECT_GE(teams.size(), 3u);
    }
}

TEST_F(SampleFolderTest, ShiftsPassThroughNeutral) {
    for (const LapId& id : SelectableLaps()) {
        SCOPED_TRACE(Name(id));
        const GetRpyInfo* lap = Load(id);
        ASSERT_NE(lap, nullptr);
        const uint32_t n = lap->sample_count;
        for (uint32_t i = 2; i < n; ++i) {
            // Never straight from one gear into another.
            if (lap->gear[i] != 0 && lap->gear[i - 1] != 0) {
                ASSERT_EQ(lap->gear[i], lap->gear[i - 1]) << i;
            }
            // A shift takes a realistic time in neutral: 0.2 to 0.35 s.
            if (lap->gear[i - 1] != 0 && lap->gear[i] == 0) {
                uint32_t j = i;
                while (j <= n && lap->gear[j] == 0) ++j;
                if (j <= n) {
                    EXPECT_TRUE(j - i >= 7 && j - i <= 12) << i << ": " << j - i << " ticks";
                }
            }
        }
        const GearChangeResult changes = AnalyseGearChanges(*lap);
        EXPECT_GE(changes.stats.changes, 4);
        EXPECT_GE(changes.upshifts, 2);
        EXPECT_GE(changes.downshifts, 2);
    }
}

TEST_F(SampleFolderTest, ReadingsStayWithinTheirGraphs) {
    // The player's laps carry every channel; other cars' laps the attitude.
    for (const LapId& id : SelectableLaps()) {
        SCOPED_TRACE(Name(id));
        const GetRpyInfo* lap = Load(id);
        ASSERT_NE(lap, nullptr);
        const bool player = id.driver == 0;
        int turns = 0;
        for (uint32_t i = 2; i + 2 < lap->sample_count; ++i) {
            ASSERT_LE(std::abs(lap->pitch[i]), 128) << i;
            ASSERT_LE(std::abs(lap->roll[i]), 128) << i;
            ASSERT_LE(std::abs(lap->steering[i]), 64) << i;
            ASSERT_LE(std::fabs(lap->slip_angle[i]), 25.0) << i;
            ASSERT_GE(lap->height[i] * 100, 20.0) << i;
            ASSERT_LE(lap->height[i] * 100, 40.0) << i;
            // Pitch, roll and steering move smoothly, not in walls.
            ASSERT_LE(std::abs(lap->pitch[i] - lap->pitch[i - 1]), 12) << i;
            ASSERT_LE(std::abs(lap->roll[i] - lap->roll[i - 1]), 12) << i;
            ASSERT_LE(std::abs(lap->steering[i] - lap->steering[i - 1]), 12) << i;
            // The orientation graph (180 - v x 360/4096 over 0 .. 360) jumps
            // once a lap, where the car heads due west.
            const double before = 180.0 - lap->orientation[i - 1] * 0.087890625;
            const double now = 180.0 - lap->orientation[i] * 0.087890625;
            if (std::fabs(now - before) > 90.0) ++turns;
            else ASSERT_LE(std::fabs(now - before), 5.0) << i;
            if (!player) continue;
            for (double t : {lap->oil_temperature[i], lap->water_temperature[i]}) {
                ASSERT_GE(t * 1.2, 20.0) << i;
                ASSERT_LE(t * 1.2, 120.0) << i;
            }
            for (double p : {lap->oil_pressure[i] * 0.805, lap->fuel_pressure[i] * 0.805}) {
                ASSERT_GT(p, 0.0) << i;
                ASSERT_LE(p, 100.0) << i;
            }
            ASSERT_LE(lap->tyre_squeal[i], 50) << i;
            for (const auto& wheel : lap->suspension) {
                ASSERT_GE(wheel[i], -20) << i;
                ASSERT_LE(wheel[i], 40) << i;
            }
        }
        EXPECT_LE(turns, 2);
    }
}

TEST_F(SampleFolderTest, EachCarIsDetectedAsItsOwnMake) {
    for (const auto& replay : replays) {
        SCOPED_TRACE(replay.filename().string());
        Drivers drivers;
        ASSERT_EQ(drivers.LoadReplay(replay.string()), 0);
        const std::string report = EngineDetectionReport::Write(drivers);
        for (int d = 0; d < drivers.driver_count; ++d) {
            const auto i = static_cast<size_t>(d);
            SCOPED_TRACE(drivers.last_names[i]);
            // The 1967 engine index is the make's index; a driver's own car
            // runs its own engine.
            const std::string make = EngineDetectionReport::MakeText(static_cast<int>(drivers.engine_index[i]));
            if (!drivers.ai[i]) {
                EXPECT_EQ(drivers.car_index[i], drivers.engine_index[i]);
            }
            const size_t at = report.find("\r\n" + drivers.first_names[i] + " " + drivers.last_names[i] + "\r\n");
            ASSERT_NE(at, std::string::npos);
            const bool local = static_cast<uint32_t>(d) == drivers.player_index;
            for (const char method : {'A', 'B', 'C', 'D'}) {
                const size_t line = report.find(std::string("Detected engine method ") + method + "(", at);
                ASSERT_NE(line, std::string::npos) << method;
                // The verdict stands from column 53 to the line's end.
                const std::string verdict = report.substr(line + 53, report.find("\r\n", line) - line - 53);
                EXPECT_EQ(verdict, method == 'D' && !local ? "This test only for local driver" : make) << method;
            }
        }
    }
}

TEST_F(SampleFolderTest, HeaderCountsTheComputerDriversAndEveryCarIsFormula1) {
    for (const auto& replay : replays) {
        SCOPED_TRACE(replay.filename().string());
        Header header;
        ASSERT_EQ(header.Load(replay.string()), 0);
        Drivers drivers;
        ASSERT_EQ(drivers.LoadReplay(replay.string()), 0);
        int ai = 0;
        for (int d = 0; d < drivers.driver_count; ++d) {
            const auto i = static_cast<size_t>(d);
            ai += drivers.ai[i];
            EXPECT_EQ(drivers.driver_code[i], 3) << drivers.last_names[i];
        }
        EXPECT_EQ(ai, header.ai_cars);
        EXPECT_EQ(drivers.ai[drivers.player_index], 0);
    }
}

TEST_F(SampleFolderTest, NoTwoReplaysShareALapTime) {
    // The milliseconds of every time word: the time before the line and
    // each lap.
    std::vector<std::set<uint32_t>> times;
    for (const auto& replay : replays) {
        Drivers drivers;
        ASSERT_EQ(drivers.LoadReplay(replay.string()), 0);
        std::set<uint32_t>& own = times.emplace_back();
        for (int d = 0; d < drivers.driver_count; ++d) {
            const auto i = static_cast<size_t>(d);
            for (int session = 0; session < 2; ++session) {
                if (!(session == 0 ? drivers.practice_present : drivers.race_present)) continue;
                const int count = session == 0 ? drivers.practice_lap_count[i] : drivers.race_lap_count[i];
                const auto& words = session == 0 ? drivers.practice_times[i] : drivers.race_times[i];
                for (int lap = 0; lap <= count; ++lap) own.insert(Drivers::LapMs(words[static_cast<size_t>(lap)]));
            }
        }
    }
    for (size_t a = 0; a < times.size(); ++a) {
        for (size_t b = a + 1; b < times.size(); ++b) {
            std::vector<uint32_t> shared;
            std::set_intersection(times[a].begin(), times[a].end(), times[b].begin(), times[b].end(),
                                  std::back_inserter(shared));
            EXPECT_TRUE(shared.empty()) << replays[a].filename() << " and " << replays[b].filename() << " share "
                                        << shared.front() << " ms";
        }
    }
}

TEST_F(SampleFolderTest, NoTwoLapsOfADriverLieOnTopOfEachOther) {
    // Each lap's line, by track and driver: the lateral offset at each
    // metre of the lap.
    std::map<std::pair<std::string, std::string>, std::vector<std::pair<std::string, std::vector<double>>>> lines;
    for (const LapId& id : SelectableLaps()) {
        const GetRpyInfo* lap = Load(id);
        ASSERT_NE(lap, nullptr) << Name(id);
        const LapSlot& slot = doc->GetSlot(0);
        const auto driver = static_cast<size_t>(id.driver);
        std::vector<double> line(static_cast<size_t>(doc->GetTrack()->GetLength()), NAN);
        for (uint32_t i = 1; i <= lap->sample_count; ++i) {
            const double d = lap->distance[i];
            if (d >= 0 && d < static_cast<double>(line.size())) line[static_cast<size_t>(d)] = lap->lateral_offset[i];
        }
        const auto who = std::make_pair(slot.header->track_folder,
                                        slot.drivers->first_names[driver] + " " + slot.drivers->last_names[driver]);
        lines[who].emplace_back(Name(id), std::move(line));
    }
    for (const auto& [who, laps] : lines) {
        for (size_t a = 0; a < laps.size(); ++a) {
            for (size_t b = a + 1; b < laps.size(); ++b) {
                double apart = 0;
                for (size_t m = 0; m < laps[a].second.size(); ++m)
                    if (!std::isnan(laps[a].second[m]) && !std::isnan(laps[b].second[m]))
                        apart = std::max(apart, std::fabs(laps[a].second[m] - laps[b].second[m]));
                EXPECT_GT(apart, 0.3) << laps[a].first << " and " << laps[b].first;
            }
        }
    }
}

TEST_F(SampleFolderTest, ProfileHoldsLapsOfTheSampleTracks) {
    // The fastest lap anyone drove at each track of the replays.
    std::map<std::string, uint32_t> fastest;
    for (const auto& replay : replays) {
        Header header;
        ASSERT_EQ(header.Load(replay.string()), 0);
        Drivers drivers;
        ASSERT_EQ(drivers.LoadReplay(replay.string()), 0);
        uint32_t& best = fastest.try_emplace(header.track_folder, UINT32_MAX).first->second;
        for (int d = 0; d < drivers.driver_count; ++d) {
            const auto i = static_cast<size_t>(d);
            for (int lap = 1; drivers.race_present && lap <= drivers.race_lap_count[i]; ++lap)
                best = std::min(best, Drivers::LapMs(drivers.race_times[i][static_cast<size_t>(lap)]));
            for (int lap = 1; drivers.practice_present && lap <= drivers.practice_lap_count[i]; ++lap)
                best = std::min(best, Drivers::LapMs(drivers.practice_times[i][static_cast<size_t>(lap)]));
        }
    }
    // Without scanning the replays, the rows of the profile's tracks hold
    // the profile's times alone.
    ExportRecordsModel records;
    ExportRecordsModel::Options options;
    options.simulator_folder = sim.string();
    ASSERT_EQ(records.Run(0, options, ui), ExportRecordsModel::Result::kDone);
    int profile_times = 0;
    for (int row = 0; row < records.GetNumTracks(); ++row) {
        const std::string track = records.GetTrackDirectory(row);
        SCOPED_TRACE(track);
        ASSERT_TRUE(fastest.count(track));
        for (int car = 0; car < records.GetNumCars(); ++car) {
            for (uint32_t t : {records.GetTrainingTime(car, row), records.GetPracticeTime(car, row),
                               records.GetRaceTime(car, row)}) {
                if (t == BestLapCell::kNoTime) continue;
                ++profile_times;
                EXPECT_GT(t, fastest[track] * 0.97);
                EXPECT_LT(t, fastest[track] * 1.05);
            }
        }
    }
    EXPECT_GE(profile_times, 2);
}

}  // namespace

namespace {

// The sample's laps merged through each option of the merge dialog's model
// and loaded back one by one: every lap keeps its samples and distances,
// its start line and its end line, and the laps cross the start line as
// many ticks apart as their start advantages.
TEST_F(SampleFolderTest, MergedLapsReloadWholeWithTheirAdvantages) {
    using Model = MergeParametersModel;
    const LapId clark{DrivenReplay(), 0, 0, 2};
    const LapId hill{DrivenReplay(), 0, 1, 2};
    const LapId gurney_from_grid{DrivenReplay(), 1, 2, 1};
    const struct {
        const char* name;
        std::vector<LapId> laps;
        Model::Option option;
        std::vector<std::string> typed;  // under the manual option, per row
        std::vector<uint32_t> advantages_ms;
    } cases[] = {
        {"start of lap", {clark, hill}, Model::kStartOfLap, {}, {0, 0}},
        {"end of lap", {clark, hill}, Model::kEndOfLap, {}, {0, 73}},
        {"same difference", {clark, hill}, Model::kSameDifference, {}, {0, 36}},
        {"manual", {clark, hill}, Model::kManual, {"0", "0.014"}, {0, 14}},
        {"three laps", {gurney_from_grid, clark, hill}, Model::kManual, {"1.5", "0", "0,073"}, {1500, 0, 73}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        doc->OnNewDocument();
        for (const LapId& id : c.laps)
            ASSERT_TRUE(doc->AddLapFromCommandLine(id.replay, id.session, id.driver, id.lap));
        std::vector<std::vector<double>> sources;
        std::vector<uint32_t> lap_ms;
        for (size_t k = 0; k < c.laps.size(); ++k) {
            const LapSlot& slot = doc->GetSlot(static_cast<int>(k));
            const GetRpyInfo& t = *slot.telemetry;
            sources.emplace_back(t.distance.begin() + 1, t.distance.begin() + 1 + t.sample_count);
            lap_ms.push_back(Drivers::LapMs(lap_file_names::StoredLapWord(slot)));
        }
        std::array<uint32_t, 5> chosen{};
        doc->SetMergeParametersDialog([&](CRpyGraphDoc& d) {
            Model model(d);
            model.SetOption(c.option);
            for (size_t row = 0; row < c.typed.size(); ++row)
                EXPECT_TRUE(model.CommitEdit(static_cast<int>(row), c.typed[row])) << row;
            EXPECT_EQ(model.FirstTooLarge(), -1);
            chosen = model.StartAdvantages();
            return std::optional(chosen);
        });
        const std::filesystem::path merged = sim / "replay" / "merged.rpy";
        ui.paths = {merged.string()};
        ui.messages.clear();
        doc->OnMergeAllLaps();
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(std::vector<uint32_t>(chosen.begin(), chosen.begin() + static_cast<long>(c.laps.size())),
                  c.advantages_ms);

        // The frame of each lap's last sample before its start line, moved
        // back by its advantage, is one frame for every lap.
        std::set<int64_t> start_frames;
        for (size_t k = 0; k < c.laps.size(); ++k) {
            SCOPED_TRACE(k);
            doc->OnNewDocument();
            ASSERT_TRUE(doc->AddLapFromCommandLine(merged.string(), 0, static_cast<int>(k) + 1, 1));
            const GetRpyInfo& back = *doc->GetSlot(0).telemetry;
            EXPECT_EQ(Drivers::LapMs(lap_file_names::StoredLapWord(doc->GetSlot(0))), lap_ms[k]);
            ASSERT_EQ(back.sample_count, sources[k].size());
            for (uint32_t s = 1; s <= back.sample_count; ++s)
                ASSERT_NEAR(back.distance[s], sources[k][s - 1], 0.001) << s;
            start_frames.insert(int64_t{back.first_kept_frame} + merged_replay_writer::OffsetSamples(chosen[k]));
        }
        EXPECT_EQ(start_frames.size(), 1u);
    }
}

}  // namespace

namespace {

// The regular files below folder, with their bytes.
std::map<std::filesystem::path, std::string> Contents(const std::filesystem::path& folder) {
    std::map<std::filesystem::path, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        if (!e.is_regular_file()) continue;
        std::ifstream in(e.path(), std::ios::binary);
        files[std::filesystem::relative(e.path(), folder)].assign(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

// The quick start writes the sample again on every run, and the save
// dialogs start in its replay folder: a lap saved there, and whatever an
// older sample left, stays; the sample's own files come back as they were.
TEST_F(SampleFolderTest, WritingTheSampleAgainKeepsWhatTheUserSavedInIt) {
    const auto sample = Contents(sim);
    fixture::WriteFile(sim / "replay" / "Jim_Cla_monza_Lotus_0m 26.100s.rpy", "a lap of the user's");
    fixture::WriteFile(sim / "tracks" / "old_sample.trk", "an older sample's");
    fixture::WriteFile(replays.at(0), "damaged");
    auto expected = sample;
    expected["replay/Jim_Cla_monza_Lotus_0m 26.100s.rpy"] = "a lap of the user's";
    expected["tracks/old_sample.trk"] = "an older sample's";
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(fixture::WriteSampleSimulator(sim), replays);
        EXPECT_EQ(Contents(sim), expected) << run;
    }
}

}  // namespace
