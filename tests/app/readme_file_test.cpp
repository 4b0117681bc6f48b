// Where Help > View Readme file finds Ostrevan.txt: the current folder
// first, then the program's folder (a build), then the install's doc folder.

#include "app/readme_file.h"

#include <gtest/gtest.h>

#include <map>

#include "app/desktop_registration.h"
#include "support/replay_fixture.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(ReadmeFile, TheFirstFolderHoldingTheReadmeWins) {
    enum Where { kCurrent = 1, kProgram = 2, kInstall = 4 };
    const struct {
        int held;  // the folders that hold a readme
        int found;
    } table[] = {
        {0, 0},
        {kCurrent, kCurrent},
        {kProgram, kProgram},
        {kInstall, kInstall},
        {kCurrent | kProgram | kInstall, kCurrent},
        {kProgram | kInstall, kProgram},
    };
    for (const auto& row : table) {
        fixture::TempDir folder;
        const fs::path current = folder.path() / "laps";
        const fs::path program = folder.path() / "prefix/bin";
        const fs::path install =
            (program / DesktopRegistration::DataFromProgramFolder() / "doc/ostrevan").lexically_normal();
        const std::map<Where, fs::path> places = {{kCurrent, current}, {kProgram, program}, {kInstall, install}};
        for (const auto& [where, place] : places) {
            fs::create_directories(place);
            // A folder of that name is no readme.
            if (row.held & where) fixture::WriteFile(place / readme_file::kName, "Ostrevan\r\n");
            else fs::create_directory(place / readme_file::kName);
        }
        const std::vector<fs::path> folders = readme_file::Folders(current, program);
        EXPECT_EQ(folders, (std::vector<fs::path>{current, program, install}));
        const auto found = readme_file::Find(folders);
        if (row.found == 0) EXPECT_EQ(found, std::nullopt) << row.held;
        else EXPECT_EQ(found, places.at(Where(row.found)) / readme_file::kName) << row.held;
    }
    // Started in its own folder, or from nowhere known: each folder once.
    EXPECT_EQ(readme_file::Folders("/opt/o/bin", "/opt/o/bin").size(), 2u);
    EXPECT_EQ(readme_file::Folders("/home/jim", ""), std::vector<fs::path>{"/home/jim"});
}

}  // namespace
