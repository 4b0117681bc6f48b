#include "settings/path_lookup.h"

#include <gtest/gtest.h>

#include "support/config_dir.h"
#include "support/replay_fixture.h"
#include "support/temp_dir.h"
#include "support/wine_fixture.h"

namespace {

namespace fs = std::filesystem;

class PathLookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.path() / "QEL" / "Replay");
        fs::create_directories(dir.path() / "QEL" / "tracks" / "Monza");
        fixture::WriteFile((dir.path() / "QEL" / "QEL.EXE").string(), "MZ");
        for (const char* name : {"b.RPY", "a.rpy", "c.txt", "Z.Rpy"})
            fixture::WriteFile((dir.path() / "QEL" / "Replay" / name).string(), "x");
        fs::create_directories(dir.path() / "QEL" / "Replay" / "sub.rpy");
    }
    fixture::TempDir dir;
};

TEST_F(PathLookupTest, FindsEachComponentWithoutRegardToCaseAndEitherSeparator) {
    const fs::path qel = dir.path() / "QEL";
    EXPECT_EQ(path_lookup::Find(qel, "replay\\A.RPY"), qel / "Replay" / "a.rpy");
    EXPECT_EQ(path_lookup::Find(qel, "TRACKS/monza"), qel / "tracks" / "Monza");
    EXPECT_EQ(path_lookup::Find(qel, ""), qel);
    EXPECT_FALSE(path_lookup::Find(qel, "replay\\missing.rpy"));
    EXPECT_FALSE(path_lookup::Find(dir.path() / "nothing", "x"));
    EXPECT_EQ(path_lookup::Resolve(qel, "REPLAY/ZAVRO_CDDB/new.rdb"), qel / "Replay" / "ZAVRO_CDDB" / "new.rdb");
}

TEST_F(PathLookupTest, ExactCaseWinsOverOtherCases) {
    const fs::path r = dir.path() / "QEL" / "Replay";
    fixture::WriteFile((r / "A.rpy").string(), "y");
    EXPECT_EQ(path_lookup::Find(r, "A.rpy"), r / "A.rpy");
    EXPECT_EQ(path_lookup::Find(r, "a.rpy"), r / "a.rpy");
    // No exact match: the first in sorted order ("A.rpy" < "a.rpy").
    EXPECT_EQ(path_lookup::Find(r, "a.RPY"), r / "A.rpy");
}

TEST_F(PathLookupTest, ListsMatchingFilesSorted) {
    const fs::path r = dir.path() / "QEL" / "Replay";
    const auto files = path_lookup::ListFiles(r, "*.rpy");
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].filename(), "Z.Rpy");
    EXPECT_EQ(files[1].filename(), "a.rpy");
    EXPECT_EQ(files[2].filename(), "b.RPY");
    EXPECT_TRUE(path_lookup::ListFiles(r / "none", "*").empty());
    EXPECT_EQ(path_lookup::ListFolders(dir.path() / "QEL").size(), 2u);
}

TEST(PathLookup, WildcardsAndSplitting) {
    EXPECT_TRUE(path_lookup::MatchesNoCase("Monza.TRK", "*.trk"));
    EXPECT_TRUE(path_lookup::MatchesNoCase("a.rpy", "?.RPY"));
    EXPECT_TRUE(path_lookup::MatchesNoCase("abcabc.rpy", "*abc*.rpy"));
    EXPECT_FALSE(path_lookup::MatchesNoCase("a.rpy.bak", "*.rpy"));
    EXPECT_FALSE(path_lookup::MatchesNoCase("", "?"));
    EXPECT_EQ(path_lookup::SplitComponents("\\\\a/./b\\c//"), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(PathLookupTest, SimulatorFolderHoldsQelExe) {
    EXPECT_TRUE(path_lookup::IsSimulatorFolder(dir.path() / "QEL"));
    EXPECT_FALSE(path_lookup::IsSimulatorFolder(dir.path()));
    fs::create_directories(dir.path() / "fake" / "qel.exe");
    EXPECT_FALSE(path_lookup::IsSimulatorFolder(dir.path() / "fake"));
}

TEST(PathLookupWine, WindowsPathsMapThroughThePrefixsDriveLinks) {
    fixture::ScopedConfigDir config;  // points WINEPREFIX at a scratch prefix
    const fs::path prefix = config.wine_prefix();
    const fs::path elsewhere = config.scratch() / "replays";
    fixture::WriteWinePrefix(prefix, "", {{"c:", "../drive_c"}, {"D:", elsewhere.string()}, {"f:", "../gone"}});
    fs::remove(prefix / "gone");  // f: now leads nowhere
    fs::create_directories(elsewhere);
    fs::create_directories(prefix / "drive_c" / "Games" / "QEL" / "Replay");
    fixture::WriteFile(prefix / "drive_c" / "Games" / "QEL" / "qel.exe", "MZ");
    const fs::path c = fs::canonical(prefix / "drive_c");
    const fs::path qel = c / "Games" / "QEL";

    struct Case {
        const char* stored;
        std::optional<fs::path> expected;
    };
    const Case cases[] = {
        {"C:\\Games\\QEL", qel},
        {"c:/games/qel/", qel},  // Windows names are found without regard to case
        {"C:\\Games\\QEL\\replay\\New.rpy", qel / "Replay" / "New.rpy"},
        {"C:\\..\\..\\Games\\.\\QEL", qel},  // never above the drive
        {"C:", c},
        {"\\Games\\QEL", qel},  // rooted on the simulator's drive
        {"d:\\", fs::canonical(elsewhere)},
        {"E:\\QEL", std::nullopt},  // no such drive
        {"F:\\QEL", std::nullopt},  // a link that leads nowhere
        {"\\\\server\\share\\QEL", std::nullopt},
        {"/home/jim/QEL", fs::path("/home/jim/QEL")},
        {"replays", fs::path("replays")},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(path_lookup::ToLocalPath(c.stored), c.expected);
    }
    EXPECT_TRUE(path_lookup::IsSimulatorFolder("C:\\GAMES\\qel"));
    EXPECT_FALSE(path_lookup::IsSimulatorFolder("F:\\Games\\QEL"));

    EXPECT_EQ(path_lookup::WinePrefix(), prefix);
    ::setenv("WINEPREFIX", "relative/prefix", 1);
    EXPECT_EQ(path_lookup::WinePrefix(), fs::path());
    EXPECT_EQ(path_lookup::ToLocalPath("C:\\Games"), std::nullopt);
    ::unsetenv("WINEPREFIX");
    if (const char* home = std::getenv("HOME")) {
        EXPECT_EQ(path_lookup::WinePrefix(), fs::path(home) / ".wine");
    }
}

}  // namespace
