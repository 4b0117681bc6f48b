// A driver's car carries one name in every window: the name of its car
// index, whatever the record's engine index says.

#include <gtest/gtest.h>

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

TEST(CarNames, EveryWindowNamesTheCarByItsCarIndex) {
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

    fixture::RacePlan plan;
    plan.lap_length_m = length;
    fixture::CarPlan clark;
    clark.driver.first_name = "Jim";
    clark.driver.last_name = "Clark";
    clark.driver.slot = 0;
    clark.driver.car_byte = 5 + 1;      // car index 5 of 1967: the Lotus
    clark.driver.engine_index = 1;      // which, read as a car index, is the BRM
    clark.practice_speeds = {40, 45, 45};
    clark.race_speeds = {30, 44, 45};
    plan.cars = {clark};
    const fixture::RaceGenerator race(plan);
    const fs::path path = sim / "replay" / "cars.rpy";
    fixture::WriteFile(path, fixture::BuildReplay(race.Spec()));

    Settings settings;
    settings.SetQELDirectory(sim.string());
    settings.SetDontShowQualReport(1);
    fixture::RecordingInteraction ui;
    CRpyGraphDoc doc(settings, ui);
    ASSERT_TRUE(doc.AddLapFromCommandLine(path.string(), 0, 0, 2));
    const LapSlot& slot = doc.GetSlot(0);

    ChooselapModel chooser;
    chooser.Fill(*slot.header, *slot.drivers);
    const std::vector<ChooselapEntry> tree = chooser.BuildTree(false);
    ASSERT_FALSE(tree.empty());
    const ChooselapModel::SelectionUpdate picked = chooser.Select(&tree.front());
    ASSERT_TRUE(picked.driver);
    EXPECT_EQ(picked.driver->car_class, "Lotus (1967)");
    EXPECT_EQ(LoadedLapsArranger::RowCells(doc, 0)[2], "Lotus");
    EXPECT_NE(lap_file_names::DefaultLapFileName(slot, ".rpy").find("_Lotus_"), std::string::npos);
    EXPECT_EQ(CollectToolLaps(doc).at(0).car_name, "Lotus");
    EXPECT_NE(WriteSpeedReport(ReportLapPicker::CollectLoadedLaps(doc)).find("J. Clark(Lot)"), std::string::npos);

    RaceReplayModel bar;
    ASSERT_TRUE(bar.LoadRace(*slot.drivers, *slot.header, *doc.GetTrack(), ui));
    EXPECT_EQ(bar.GetComboEntries().at(0), "J Clark (Lotus)");
}

}  // namespace
