// Which of a driver record's indexes names the car: the lap chooser, the
// loaded-laps arranger, the default file names and the race bar name it by
// the engine index; the reports and the analysis tools by the car index. A
// computer driver's record holds no car index: its engine index stands in
// where the season has such a car.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/chooselap_model.h"
#include "app/loaded_laps_arranger.h"
#include "app/race_replay_model.h"
#include "document/lap_file_names.h"
#include "document/report_lap_picker.h"
#include "document/rpy_graph_doc.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "reports/speed_report.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/race_generator.h"
#include "support/recording_interaction.h"
#include "support/replay_fixture.h"
#include "support/track_fixture.h"
#include "tools/tool_lap.h"
#include "track/track.h"

namespace {

namespace fs = std::filesystem;

TEST(CarNames, WindowsNameTheEngineIndexReportsAndToolsTheCarIndex) {
    fixture::ScopedConfigDir config;
    const fs::path sim = config.scratch() / "QEL";
    fs::create_directories(sim / "tracks" / "fixturering");
    fs::create_directories(sim / "replay");
    fixture::WriteFile(sim / "qel.exe", "MZ");
    fixture::WriteFile(sim / "tracks" / "fixturering" / "fixturering.trk",
                       fixture::BuildTrackBlock(fixture::StadiumCircuit()));
    const auto track = Track::Load(sim, "fixturering");
    const double length = track->GetLength();
    track->Clear();

    struct Case {
        const char* what;
        int8_t season_offset;
        uint8_t car_byte;
        bool ai;
        uint32_t engine_index;
        const char* window_name;  // engine index
        const char* report_name;  // car index
        const char* report_short;
    };
    const Case cases[] = {
        // Car index 5 of 1967 is the Lotus; engine index 1 names the BRM.
        {"human 1967", 82, 5 + 1, false, 1, "BRM", "Lotus", "(Lot)"},
        // The car byte of a computer driver is not read: its engine index
        // names the car everywhere.
        {"AI 1955", 70, 0 + 1, true, 3, "Maserati", "Maserati", "(Mas)"},
        // An engine index beyond the season's cars leaves car 0.
        {"AI beyond the table", 82, 4 + 1, true, 9, "Unknown", "Brabham", "(Bra)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fixture::RacePlan plan;
        plan.lap_length_m = length;
        // The player, whose season the computer cars run; then the car named.
        fixture::CarPlan player;
        player.driver.first_name = "Jack";
        player.driver.last_name = "Brabham";
        player.driver.slot = 0;
        player.driver.season_offset = c.season_offset;
        player.practice_speeds = {40, 44, 44};
        player.race_speeds = {30, 43, 44};
        fixture::CarPlan car;
        car.driver.first_name = "Jim";
        car.driver.last_name = "Clark";
        car.driver.slot = 1;
        car.driver.season_offset = c.season_offset;
        car.driver.car_byte = c.car_byte;
        car.driver.ai = c.ai;
        car.driver.engine_index = c.engine_index;
        car.practice_speeds = {40, 45, 45};
        car.race_speeds = {30, 44, 45};
        plan.cars = {player, car};
        const fixture::RaceGenerator race(plan);
        const fs::path path = sim / "replay" / "cars.rpy";
        fixture::WriteFile(path, fixture::BuildReplay(race.Spec()));

        Settings settings;
        settings.SetQELDirectory(sim.string());
        settings.SetDontShowQualReport(1);
        fixture::RecordingInteraction ui;
        CRpyGraphDoc doc(settings, ui);
        ASSERT_TRUE(doc.AddLapFromCommandLine(path.string(), 0, 1, 2));
        const LapSlot& slot = doc.GetSlot(0);
        const std::string year = c.season_offset == 70 ? " (1955)" : " (1967)";

        ChooselapModel chooser;
        chooser.Fill(*slot.header, *slot.drivers);
        const std::vector<ChooselapEntry> tree = chooser.BuildTree(false);
        const auto clark = std::find_if(tree.begin(), tree.end(), [](const ChooselapEntry& e) { return e.driver == 1; });
        ASSERT_NE(clark, tree.end());
        const ChooselapModel::SelectionUpdate picked = chooser.Select(&*clark);
        ASSERT_TRUE(picked.driver);
        EXPECT_EQ(picked.driver->car_class, c.window_name + year);
        EXPECT_EQ(LoadedLapsArranger::RowCells(doc, 0)[2], c.window_name);
        EXPECT_NE(lap_file_names::DefaultLapFileName(slot, ".rpy").find(std::string("_") + c.window_name + "_"),
                  std::string::npos);
        RaceReplayModel bar;
        ASSERT_TRUE(bar.LoadRace(*slot.drivers, *slot.header, *doc.GetTrack(), ui));
        EXPECT_EQ(bar.GetComboEntries().at(1), std::string("J Clark (") + c.window_name + ")");

        EXPECT_EQ(CollectToolLaps(doc).at(0).car_name, c.report_name);
        EXPECT_NE(WriteSpeedReport(ReportLapPicker::CollectLoadedLaps(doc)).find(std::string("J. Clark") +
                                                                                  c.report_short),
                  std::string::npos);
    }
}

}  // namespace
