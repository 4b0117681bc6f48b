#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

using Mode = CommandLine::Mode;

CommandLine Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "ostrevan");
    return ParseCommandLine(args);
}

TEST(CommandLine, ModeWordsAreExactAndNeedAnArgument) {
    EXPECT_EQ(Parse({"-expreports", "--a.rpy"}).mode, Mode::kExpReports);
    EXPECT_EQ(Parse({"-EXPREPORTS", "--a.rpy"}).mode, Mode::kNone);
    EXPECT_EQ(Parse({"-expreports"}).mode, Mode::kNone);
    EXPECT_EQ(Parse({"-loadrpy", "xx0"}).mode, Mode::kLoadRpy);
    EXPECT_EQ(Parse({"-reportsite", "xxa.rpy"}).mode, Mode::kReportSite);
    EXPECT_EQ(Parse({"-other", "xxa.rpy"}).mode, Mode::kNone);
}

TEST(CommandLine, PrefixesAndNumbers) {
    EXPECT_EQ(DropPrefix("--/out/x_"), "/out/x_");
    EXPECT_EQ(DropPrefix("a"), "");
    EXPECT_EQ(ArgumentNumber("xx12abc"), 12);
    EXPECT_EQ(ArgumentNumber("xxabc12"), 0);
    EXPECT_EQ(ArgumentNumber("xx-5"), 0);
    EXPECT_EQ(ArgumentNumber("x"), 0);
    EXPECT_EQ(ArgumentNumber("xx99999999999999"), 2147483647);
}

TEST(CommandLine, ExpReportsTakesMechOnlyAsTheFourthArgument) {
    const auto c = Parse({"-expreports", "--/sim/replay/monza.rpy", "--/out/", "-mech"});
    EXPECT_EQ(c.replay_path, "/sim/replay/monza.rpy");
    EXPECT_EQ(c.output_prefix, "/out/");
    EXPECT_TRUE(c.mech);
    EXPECT_FALSE(Parse({"-expreports", "--a.rpy", "--/out/", "--mech"}).mech);
    EXPECT_FALSE(Parse({"-expreports", "--a.rpy", "--/out/", "-mech", "-mech"}).mech);
    const auto alone = Parse({"-expreports", "--a.rpy"});
    EXPECT_EQ(alone.output_prefix, "");
    EXPECT_FALSE(alone.mech);
}

TEST(CommandLine, LoadRpyReadsOnlyTheGroupsGiven) {
    const auto c = Parse({"-loadrpy", "xx3", "--a.rpy", "xx1", "xx4", "xx12", "--b.rpy", "xx0", "xx0", "xx2",
                          "--c.rpy", "xx1"});
    ASSERT_EQ(c.laps.size(), 2u);
    EXPECT_EQ(c.laps[0].path, "a.rpy");
    EXPECT_EQ(c.laps[0].session, 1);
    EXPECT_EQ(c.laps[0].driver, 4);
    EXPECT_EQ(c.laps[0].lap, 12);
    EXPECT_EQ(c.laps[1].path, "b.rpy");
    EXPECT_TRUE(Parse({"-loadrpy", "xx0", "--a.rpy"}).laps.empty());
}

TEST(CommandLine, AReplayNamedAloneIsOpenedAtStart) {
    const struct {
        std::vector<std::string> args;
        const char* open;
    } cases[] = {
        {{"/sim/replay/monza.rpy"}, "/sim/replay/monza.rpy"},
        {{"monza.rpy"}, "monza.rpy"},  // no prefix is dropped
        {{"-loadrpy"}, ""},
        {{}, ""},
        {{"a.rpy", "b.rpy"}, ""},
        {{"-reportsite", "--a.rpy"}, ""},
    };
    for (const auto& c : cases) {
        const auto line = Parse(c.args);
        EXPECT_EQ(line.open_path, c.open) << c.args.size();
        EXPECT_EQ(line.mode, c.args.size() == 2 && c.args[0] == "-reportsite" ? Mode::kReportSite : Mode::kNone);
    }
}

TEST(CommandLine, ReportSiteFolderIsOptional) {
    EXPECT_EQ(Parse({"-reportsite", "--a.rpy"}).folder, "");
    EXPECT_EQ(Parse({"-reportsite", "--a.rpy", "--/site"}).folder, "/site");
}

// Without a display the window that a mode word alone would open could
// never be closed: the run says what is missing instead.
TEST(CommandLine, AModeWordAloneWithoutADisplaySaysWhatIsMissing) {
    EXPECT_EQ(MissingModeArguments({"ostrevan", "-reportsite"}, false),
              "-reportsite needs a replay: ostrevan -reportsite xxREPLAY.rpy [xxFOLDER]");
    EXPECT_EQ(MissingModeArguments({"ostrevan", "-expreports"}, false),
              "-expreports needs a replay: ostrevan -expreports xxREPLAY.rpy xxOUTPUT-PREFIX [-mech]");
    EXPECT_EQ(MissingModeArguments({"ostrevan", "-reportsite"}, true), "");
    EXPECT_EQ(MissingModeArguments({"ostrevan", "-reportsite", "--a.rpy"}, false), "");
    EXPECT_EQ(MissingModeArguments({"ostrevan", "-loadrpy"}, false), "");
    EXPECT_EQ(MissingModeArguments({"ostrevan"}, false), "");
}

TEST(CommandLine, ADisplayIsThereWhenQtsPlatformCanReachOne) {
    struct Case {
        const char* platform;
        const char* x;
        const char* wayland;
        bool display;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, false}, {nullptr, ":0", nullptr, true},     {nullptr, "", "", false},
        {nullptr, nullptr, "wayland-0", true}, {"offscreen", ":0", nullptr, false}, {"minimal", ":0", "w", false},
        {"xcb", nullptr, "wayland-0", false}, {"xcb", ":1", nullptr, true},     {"wayland-egl", nullptr, "w", true},
        {"wayland", ":0", nullptr, false},  {"vnc:size=800x600", nullptr, nullptr, true},
        {"offscreen:fontengine=freetype", ":0", nullptr, false}, {"", ":0", nullptr, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DisplayAvailable(c.platform, c.x, c.wayland), c.display)
            << (c.platform ? c.platform : "-") << " " << (c.x ? c.x : "-") << " " << (c.wayland ? c.wayland : "-");
}

}  // namespace
