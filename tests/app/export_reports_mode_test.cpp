// The unattended report export, as the command line runs it.

#include "app/export_reports_mode.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "interaction/batch_interaction.h"
#include "app/command_line.h"
#include "report_scenarios.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/temp_dir.h"

namespace {

using namespace report_scenarios;

class ExportReportsMode : public ::testing::Test {
protected:
    void SetUp() override { UseUtc(); }
    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "ostrevan");
        return RunExportReports(ParseCommandLine(args), settings, ui, out);
    }
    fixture::ScopedConfigDir config;
    fixture::TempDir dir;
    Settings settings;
    std::ostringstream err, out;
    BatchInteraction ui{&err};
};

TEST_F(ExportReportsMode, WritesEveryReportAndTheMechanicalOneOnRequest) {
    WriteAndLoad(PracticeAndRace(), dir.File("monza.rpy"));
    std::filesystem::create_directories(dir.path() / "out");
    EXPECT_EQ(Run({"-expreports", "--" + dir.File("monza.rpy"), "--" + dir.File("out/"), "-mech"}), 0);
    for (const char* suffix : {"_Practice", "_Race", "_LapChart", "_LapByLap", "_Complete", "_Mechanical"})
        EXPECT_TRUE(std::filesystem::exists(dir.path() / "out" / (std::string("monza") + suffix + ".txt"))) << suffix;
    const std::string listed = out.str();
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 6);
    EXPECT_EQ(err.str(), "");

    std::filesystem::remove_all(dir.path() / "out");
    std::filesystem::create_directories(dir.path() / "out");
    EXPECT_EQ(Run({"-expreports", "--" + dir.File("monza.rpy"), "--" + dir.File("out/")}), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "out" / "monza_Mechanical.txt"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "out" / "monza_Complete.txt"));
}

TEST_F(ExportReportsMode, FailuresGoToStandardErrorWithAFailingStatus) {
    EXPECT_EQ(Run({"-expreports", "--" + dir.File("missing.rpy"), "--" + dir.File("x_")}), 1);
    EXPECT_EQ(err.str(), "HeaderClass: Error reading file!\n" + dir.File("missing.rpy") + "\n");

    err.str("");
    // A replay whose driver table cannot be read.
    auto spec = PracticeAndRace();
    spec.frames[0].size_override = 2;
    fixture::WriteFile(dir.File("bad.rpy"), fixture::BuildReplay(spec));
    EXPECT_EQ(Run({"-expreports", "--" + dir.File("bad.rpy"), "--" + dir.File("x_")}), 1);
    EXPECT_EQ(err.str(), "DriversClass: Error reading file!\n");

    err.str("");
    WriteAndLoad(PracticeAndRace(), dir.File("monza.rpy"));
    EXPECT_EQ(Run({"-expreports", "--" + dir.File("monza.rpy"), "--" + dir.File("no-folder/")}), 1);
    EXPECT_EQ(err.str(), "Error creating file!\n" + dir.File("no-folder/monza_Practice.txt") + "\n");
}

// A FIFO given as the replay, or standing where a report goes, is refused
// at once instead of waiting in open() for a writer or reader.
TEST_F(ExportReportsMode, FifosAreRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo(dir.File("pipe.rpy").c_str(), 0600), 0);
    EXPECT_EQ(Run({"-expreports", "--" + dir.File("pipe.rpy"), "--" + dir.File("x_")}), 1);
    EXPECT_EQ(err.str(), "HeaderClass: Error reading file!\n" + dir.File("pipe.rpy") + "\n");

    err.str("");
    WriteAndLoad(PracticeAndRace(), dir.File("monza.rpy"));
    ASSERT_EQ(::mkfifo(dir.File("x_monza_LapChart.txt").c_str(), 0600), 0);
    EXPECT_EQ(Run({"-expreports", "--" + dir.File("monza.rpy"), "--" + dir.File("x_")}), 1);
    EXPECT_EQ(err.str(), "Error creating file!\n" + dir.File("x_monza_LapChart.txt") + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("x_monza_Practice.txt")));
}

}  // namespace
