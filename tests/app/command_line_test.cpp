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

}  // namespace
