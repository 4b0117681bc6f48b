#include "settings/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/ini_fixture.h"
#include "support/replay_fixture.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A driver profile as the simulator leaves it on a Windows disk.
std::string Profile() {
    return fixture::IniText("\r\n")
        .Key("stray", "before any section")
        .Section("Personal Information")
        .Comment("firstName=Commented")
        .Key("firstName", "  Jim  ", " = ")
        .Key("lastName", "Clark\t")
        .Key("FIRSTNAME", "Duplicate")
        .Line("no equals sign here")
        .Blank()
        .Section(" monaco ")
        .Key("braT", "482917036 95.25", " = ")
        .Section("Options")
        .Key("Volume", "7")
        .Line("[broken header")
        .Key("Detail", "high")
        .Section("personal information")
        .Key("firstName", "Second")
        .Key("nickname", "Jimmy")
        .Build();
}

TEST(IniFile, FindsNamesWithoutCaseAndTrimsValues) {
    const IniFile ini(Profile());
    EXPECT_EQ(ini.GetString("PERSONAL INFORMATION", "firstname", "default"), "Jim");
    EXPECT_EQ(ini.GetString("  Personal Information ", " lastName ", "default"), "Clark");
    EXPECT_EQ(ini.GetString("Options", "volume", "default"), "7");
    // A line that opens no section leaves the keys after it where they were.
    EXPECT_EQ(ini.GetString("Options", "Detail", "default"), "high");
    EXPECT_EQ(ini.GetString("Options", "Missing", "default"), "default");
    EXPECT_EQ(ini.GetString("Nowhere", "Volume", "default"), "default");
}

TEST(IniFile, FirstDuplicateWins) {
    const IniFile ini(Profile());
    // The second "firstName" of the section and the second section of the
    // same name are never reached, not even for keys only they hold.
    EXPECT_EQ(ini.GetString("Personal Information", "firstName", ""), "Jim");
    EXPECT_FALSE(ini.Find("Personal Information", "nickname"));
}

TEST(IniFile, BlanksInsideBracketsArePartOfTheSectionName) {
    const IniFile ini(Profile());
    EXPECT_EQ(ini.SectionNames(),
              (std::vector<std::string>{"Personal Information", " monaco ", "Options", "personal information"}));
    EXPECT_FALSE(ini.Find("monaco", "braT"));
    EXPECT_FALSE(ini.Find(" monaco ", "braT"));
    // Once repaired the way driver profiles are, the section is found.
    std::string repaired = Profile();
    repaired.replace(repaired.find("[ monaco ]"), 10, "[monaco]");
    EXPECT_EQ(IniFile(repaired).GetString("monaco", "BRAT", ""), "482917036 95.25");
}

TEST(IniFile, TruncatesToTheCallersBufferAndReturnsTheCount) {
    const IniFile ini(fixture::IniText().Section("Event1").Key("name", "Monaco Grand Prix").Build());
    struct Case {
        const char* key;
        size_t buffer;
        std::string text;
    };
    const Case cases[] = {
        {"name", 0, ""},        {"name", 1, ""},          {"name", 8, "Monaco "},
        {"name", 17, "Monaco Grand Pri"}, {"name", 18, "Monaco Grand Prix"}, {"name", 100, "Monaco Grand Prix"},
        // A missing key gives the default, cut the same way: a 7-character
        // result is how callers tell that "default" came back.
        {"missing", 50, "default"}, {"missing", 5, "defa"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " in " + std::to_string(c.buffer));
        std::string out = "junk";
        EXPECT_EQ(ini.GetString("event1", c.key, "default", c.buffer, out), c.text.size());
        EXPECT_EQ(out, c.text);
    }
}

TEST(IniFile, EditsInPlaceAndKeepsEveryOtherLine) {
    // Windows-1252 text, comments, blank lines and "key = value" spacing
    // survive an edit byte for byte; only the edited line is rewritten.
    IniFile ini(fixture::IniText("\n")
                    .Comment(" Varnholm season \xA9 1967")
                    .Section("Season")
                    .Key("numEvents", "2", " = ")
                    .Blank()
                    .Section("Event1")
                    .Key("name", "N\xFCrburgring", " = ")
                    .Key("trackDirectory", "nurbur")
                    .Blank()
                    .Blank()
                    .Section("Event2")
                    .Key("name", "Monza")
                    .Build());
    EXPECT_TRUE(ini.WriteString("season", "NumEvents", "3"));
    EXPECT_TRUE(ini.WriteString("Event1", "day", "6"));
    EXPECT_TRUE(ini.WriteString("Event3", "name", "Monaco"));
    EXPECT_TRUE(ini.WriteString("EVENT2", "NAME", " Monza "));
    EXPECT_EQ(ini.Text(), fixture::IniText("\r\n")
                              .Comment(" Varnholm season \xA9 1967")
                              .Section("Season")
                              .Key("numEvents", "3")
                              .Blank()
                              .Section("Event1")
                              .Key("name", "N\xFCrburgring", " = ")
                              .Key("trackDirectory", "nurbur")
                              .Key("day", "6")
                              .Blank()
                              .Blank()
                              .Section("Event2")
                              .Key("name", " Monza ")
                              .Section("Event3")
                              .Key("name", "Monaco")
                              .Build());
    EXPECT_EQ(ini.GetString("Event2", "name", ""), "Monza");
}

TEST(IniFile, DeletesEverySectionOfTheName) {
    IniFile ini(fixture::IniText()
                    .Section("Event1")
                    .Key("name", "a")
                    .Section("Event2")
                    .Key("name", "b")
                    .Comment("belongs to Event2")
                    .Blank()
                    .Section("event2")
                    .Key("name", "c")
                    .Section("Event3")
                    .Key("name", "d")
                    .Build());
    EXPECT_TRUE(ini.DeleteSection("EVENT2"));
    EXPECT_FALSE(ini.DeleteSection("Event2"));
    EXPECT_EQ(ini.Text(), fixture::IniText().Section("Event1").Key("name", "a").Section("Event3").Key("name", "d").Build());
    EXPECT_EQ(ini.GetString("Event3", "name", ""), "d");
}

TEST(IniFile, AppendsToAFileWhoseLastLineHasNoLineEnd) {
    // The lap-times file starts as one line without a line end, and the
    // sections are then added through the ini writer.
    IniFile ini("season = qel67");
    ASSERT_TRUE(ini.WriteString("monaco", "braT", "482917036 95.25"));
    ASSERT_TRUE(ini.WriteString("monaco", "braR", "482917036 96.5"));
    EXPECT_EQ(ini.Text(), "season = qel67\r\n[monaco]\r\nbraT=482917036 95.25\r\nbraR=482917036 96.5\r\n");
}

TEST(IniFile, RefusesWritesThatWouldNotReadBack) {
    IniFile ini(fixture::IniText().Section("A").Key("k", "v").Build());
    const std::string before = ini.Text();
    EXPECT_FALSE(ini.WriteString("A", "k", "two\r\nlines"));
    EXPECT_FALSE(ini.WriteString("A", "a=b", "v"));
    EXPECT_FALSE(ini.WriteString("A", "[k", "v"));
    EXPECT_FALSE(ini.WriteString("A", ";k", "v"));
    EXPECT_FALSE(ini.WriteString("A", "  ", "v"));
    EXPECT_FALSE(ini.WriteString("", "k", "v"));
    EXPECT_FALSE(ini.WriteString("A\nB", "k", "v"));
    EXPECT_EQ(ini.Text(), before);
}

TEST(IniFile, LoadsAndSavesFiles) {
    fixture::TempDir dir;
    const fs::path file = dir.path() / "67season.ini";
    IniFile ini;
    EXPECT_FALSE(ini.Load(file));
    ini.WriteString("Season", "NumEvents", "0");
    ASSERT_TRUE(ini.Save(file));
    EXPECT_EQ(ReadAll(file), "[Season]\r\nNumEvents=0\r\n");

    // An existing file keeps its permissions; nothing is left beside it.
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    IniFile again;
    ASSERT_TRUE(again.Load(file));
    again.WriteString("Season", "numEvents", "1");
    ASSERT_TRUE(again.Save(file));
    EXPECT_EQ(ReadAll(file), "[Season]\r\nNumEvents=1\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    // A save that cannot happen is reported and leaves nothing behind; a
    // folder is not a file.
    EXPECT_FALSE(again.Save(dir.path() / "missing" / "x.ini"));
    fs::create_directory(dir.path() / "taken.ini");
    EXPECT_FALSE(again.Save(dir.path() / "taken.ini"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
    EXPECT_FALSE(again.Load(dir.path() / "taken.ini"));
    EXPECT_EQ(again.Text(), "");
}

}  // namespace
