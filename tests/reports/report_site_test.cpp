// The report site: every page of sites of full, practice-only and
// race-only replays equals its checked-in file byte for byte; replay text
// is escaped; the index takes its values whole and in one pass; failures
// are named and never called a complete site; the clean-up removes only
// what a run of Ostrevan left, and a folder held elsewhere is waited on
// for a bounded time.

#include "reports/report_site.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "golden.h"
#include "report_scenarios.h"
#include "reports/png_status_line.h"
#include "reports/report_site_images.h"
#include "settings/atomic_file.h"
#include "support/bmp_fixture.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace report_scenarios;
using Drawn = ReportSiteImages::Result;

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Small 8-bit bitmaps in place of the charts, as files or (in_memory) as
// bytes; any picture can be made to fail.
class FakeImages : public ReportSiteImages {
public:
    Drawn race = Drawn::kWritten, history = Drawn::kWritten, track = Drawn::kWritten;
    int track_edge = 0;
    std::vector<std::string> paths;  // every bitmap path asked for
    bool in_memory = false;
    bool DrawsIntoMemory() const override { return in_memory; }
    Result SaveRaceGraphics(const std::string& p, std::string* bytes) override { return Make(p, bytes, race, 4); }
    Result SaveRaceHistory(const std::string& p, std::string* bytes) override { return Make(p, bytes, history, 5); }
    Result SaveTrackMap(const std::string& p, int edge, std::string* bytes) override {
        track_edge = edge;
        return Make(p, bytes, track, edge);
    }

protected:
    Drawn Make(const std::string& path, std::string* bytes, Drawn what, int edge) {
        paths.push_back(path);
        return MakeBitmap(path, bytes, what, edge);
    }

private:
    Drawn MakeBitmap(const std::string& path, std::string* bytes, Drawn what, int edge) const {
        if (what != Drawn::kWritten) return what;
        fixture::BmpSpec spec;
        spec.width = spec.height = edge;
        spec.colours = {0xFFFFFF, 0x0000FF};
        spec.pixel = [](int x, int y) { return static_cast<uint32_t>((x + y) & 1); };
        if (in_memory && bytes)
            *bytes = fixture::BuildBmp(spec);
        else
            fixture::WriteBmp(path, spec);
        return Drawn::kWritten;
    }
};

class ReportSite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { UseUtc(); }
    report_site::Result Write(const ReportInput& in, const std::string& parent) {
        return report_site::WriteReportSite(in, parent, images, &status);
    }
    fixture::TempDir dir;
    FakeImages images;
    std::ostringstream png_log;
    PngStatusLine status{png_log};
};

TEST_F(ReportSite, PagesOfFullPracticeOnlyAndRaceOnlySitesMatchTheirGoldenFiles) {
    const struct {
        const char* name;
        fixture::ReplaySpec spec;
    } cases[] = {{"both", PracticeAndRace()}, {"practice", PracticeOnly()}, {"race", RaceOnly()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto r = WriteAndLoad(c.spec, dir.File(std::string(c.name) + ".rpy"));
        r->input.retire_in_race_report = true;
        const auto result = Write(r->input, dir.path().string());
        ASSERT_TRUE(result.complete()) << (result.problems.empty() ? "" : result.problems[0]);
        EXPECT_EQ(result.folder, dir.path().string() + "/" + c.name + "/");
        for (const char* page : {"Practice", "Race", "LapChart", "LapByLap", "Mechanical", "index"})
            ExpectGolden(std::string("site_") + c.name + "_" + page + ".html", Slurp(result.folder + page + ".html"));
        std::set<std::string> files;
        for (const auto& e : fs::directory_iterator(result.folder)) files.insert(e.path().filename().string());
        EXPECT_EQ(files, (std::set<std::string>{"Practice.html", "Race.html", "LapChart.html", "LapByLap.html",
                                                "Mechanical.html", "index.html", "RaceGraphics.png", "RaceGraphics2.png",
                                                "track.png", "zavro.css", "RaceGraphics.html", "RaceGraphics2.html",
                                                "spacer_clear.gif"}));
        EXPECT_EQ(images.track_edge, 300);
    }
    // The fixed files are the same in every site.
    const std::string folder = dir.path().string() + "/both/";
    ExpectGolden("site_zavro.css", Slurp(folder + "zavro.css"));
    ExpectGolden("site_RaceGraphics.html", Slurp(folder + "RaceGraphics.html"));
    ExpectGolden("site_RaceGraphics2.html", Slurp(folder + "RaceGraphics2.html"));
    EXPECT_EQ(Slurp(folder + "spacer_clear.gif").size(), 43u);
}

TEST_F(ReportSite, ReplayTextIsEscapedAndPlaceholderNamesStayAsWritten) {
    using fixture::DriverLaps;
    DriverLaps a{fixture::NamedDriver("<b>", "winman&Datum", 0, 1)};
    a.practice_start = 1000;
    a.practice_laps = {90000};
    a.race_start = 2000;
    a.race_laps = {95000, 94000};
    DriverLaps b{fixture::NamedDriver("ant_start", "Trackname", 1, 2)};
    b.practice_start = 1000;
    b.practice_laps = {91000};
    b.race_start = 2000;
    b.race_laps = {96000, 95000};
    // Windows-1252 bytes go into the pages as they are.
    DriverLaps c{fixture::NamedDriver("Pedro", "Rodr\xedguez", 2, 3)};
    c.practice_start = 1000;
    c.practice_laps = {92000};
    auto r = WriteAndLoad(fixture::SessionReplay({a, b, c}, true, true, "monza"), dir.File("odd.rpy"));
    const auto result = Write(r->input, dir.path().string());
    ASSERT_TRUE(result.complete());
    const std::string index = Slurp(result.folder + "index.html");
    EXPECT_NE(index.find("<p>Pole: &lt;b&gt; winman&amp;Datum (1m30.000s)</p>"), std::string::npos);
    EXPECT_NE(index.find("<p>Winner: &lt;b&gt; winman&amp;Datum ("), std::string::npos);
    EXPECT_NE(index.find("<p>Most laps led: &lt;b&gt; winman&amp;Datum (2 laps)</p>"), std::string::npos);
    EXPECT_NE(index.find("<p>Drivers: 3</p>"), std::string::npos);
    EXPECT_NE(Slurp(result.folder + "Practice.html").find("Pedro Rodr\xedguez"), std::string::npos);
    for (const char* page : {"Practice", "Race", "LapChart", "LapByLap", "index"}) {
        const std::string text = Slurp(result.folder + page + ".html");
        EXPECT_EQ(text.find("<b>winman"), std::string::npos) << page;
        EXPECT_EQ(text.find("<b> winman"), std::string::npos) << page;
    }
}

TEST_F(ReportSite, LeaderCountOfHundredLapsAndMoreIsReadWhole) {
    using fixture::DriverLaps;
    DriverLaps a{fixture::NamedDriver("Jim", "Clark", 0, 1)}, b{fixture::NamedDriver("Graham", "Hill", 1, 2)};
    a.race_start = b.race_start = 2000;
    a.race_laps.assign(123, 90000);
    b.race_laps.assign(123, 91000);
    auto r = WriteAndLoad(fixture::SessionReplay({a, b}, false, true, "monza"), dir.File("long.rpy"));
    const auto result = Write(r->input, dir.path().string());
    ASSERT_FALSE(result.folder.empty());
    EXPECT_NE(Slurp(result.folder + "index.html").find("<p>Most laps led: Jim Clark (123 laps)</p>"),
              std::string::npos);
}

// The race page carries the official reasons of the mechanical scan, as the
// race report does, whenever the setting asks for the column.
TEST_F(ReportSite, RacePageShowsTheScansReasonsWhenAskedFor) {
    using fixture::DriverLaps;
    DriverLaps a{fixture::NamedDriver("Jim", "Clark", 0, 5)}, b{fixture::NamedDriver("Graham", "Hill", 1, 1)};
    a.race_start = b.race_start = 2000;
    a.race_laps = {60000, 60000};
    b.race_laps = {61000};
    auto spec = fixture::SessionReplay({a, b}, false, true, "monza");
    fixture::FrameBlock start, retire;
    start.records = {fixture::Marker(2, 10)};
    retire.records = {fixture::Marker(2, 65000), fixture::CarStatus(1, {{13, 84}})};
    spec.frames = {start, retire};
    auto r = WriteAndLoad(spec, dir.File("retired.rpy"));
    for (bool column : {false, true}) {
        r->input.retire_in_race_report = column;
        const auto result = Write(r->input, dir.path().string());
        const std::string race = Slurp(result.folder + "Race.html");
        EXPECT_EQ(race.find("Problem") != std::string::npos, column);
        EXPECT_EQ(race.find("1 lap(s)  Oil Press\r\n") != std::string::npos, column) << race;
        EXPECT_NE(Slurp(result.folder + "Mechanical.html").find("Oil Pressure"), std::string::npos);
    }
}

TEST_F(ReportSite, PagesAreNeverCutAtTheTextBoxLimit) {
    using fixture::DriverLaps;
    std::vector<DriverLaps> field;
    for (uint32_t d = 0; d < 20; ++d) {
        DriverLaps x{fixture::NamedDriver("Driver", "Number" + std::to_string(d), d, 1)};
        x.race_start = x.practice_start = 2000;
        x.race_laps.assign(140, 90000 + d * 37);
        x.practice_laps.assign(140, 91000 + d * 41);
        field.push_back(x);
    }
    auto r = WriteAndLoad(fixture::SessionReplay(field, true, true, "monza"), dir.File("big.rpy"));
    const auto result = Write(r->input, dir.path().string());
    ASSERT_FALSE(result.folder.empty());
    const std::string chart = Slurp(result.folder + "LapChart.html");
    EXPECT_GT(chart.size(), 100000u);
    EXPECT_NE(chart.find("Number19"), std::string::npos);
    EXPECT_EQ(chart.substr(chart.size() - 9), "</html>\r\n");
}

TEST_F(ReportSite, FailuresAreNamedAndNeverACompleteSite) {
    auto r = WriteAndLoad(PracticeAndRace(), dir.File("monza.rpy"));
    // No parent: nothing at the root of the file system.
    auto none = Write(r->input, "");
    EXPECT_FALSE(none.complete());
    EXPECT_TRUE(none.folder.empty());
    EXPECT_FALSE(fs::exists("/monza"));
    // A parent that does not exist: nothing written.
    auto missing = Write(r->input, dir.File("nowhere"));
    EXPECT_TRUE(missing.folder.empty());
    EXPECT_FALSE(fs::exists(dir.File("nowhere")));
    // A chart that cannot be drawn, and a bitmap the converter refuses.
    images.race = Drawn::kFailed;
    auto drawn = Write(r->input, dir.path().string());
    EXPECT_FALSE(drawn.complete());
    ASSERT_EQ(drawn.problems.size(), 1u);
    EXPECT_NE(drawn.problems[0].find("RaceGraphics.png"), std::string::npos);
    images.race = Drawn::kWritten;
    images.history = Drawn::kWritten;
    images.track = Drawn::kNoTrack;  // said by the caller already: not a failure
    EXPECT_TRUE(Write(r->input, dir.path().string()).complete());
    EXPECT_FALSE(fs::exists(dir.File("monza/track.bmp")));
    // A folder where a page should go: the earlier site stays whole.
    const std::string before = Slurp(dir.File("monza/Practice.html"));
    fs::remove(dir.File("monza/index.html"));
    fs::create_directory(dir.File("monza/index.html"));
    auto blocked = Write(r->input, dir.path().string());
    EXPECT_TRUE(blocked.folder.empty());
    EXPECT_EQ(Slurp(dir.File("monza/Practice.html")), before);
}

TEST_F(ReportSite, ABrokenBitmapIsReportedAndRemoved) {
    class BadBitmap : public FakeImages {
        Result SaveRaceHistory(const std::string& p, std::string*) override {
            std::ofstream(p, std::ios::binary) << "BMnot a bitmap";
            return Drawn::kWritten;
        }
    } bad;
    auto r = WriteAndLoad(PracticeAndRace(), dir.File("monza.rpy"));
    const auto result = report_site::WriteReportSite(r->input, dir.path().string(), bad, &status);
    EXPECT_FALSE(result.complete());
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_NE(result.problems[0].find("RaceGraphics2.png"), std::string::npos);
    EXPECT_FALSE(fs::exists(result.folder + "RaceGraphics2.bmp"));
    EXPECT_TRUE(fs::exists(result.folder + "RaceGraphics.png"));
}

TEST_F(ReportSite, TheSiteFolderIsAlwaysAFolderOfItsOwnInTheParent) {
    struct Case {
        const char* replay;
        const char* site;
    };
    const Case cases[] = {
        {"monza.rpy", "monza"},   {"...rpy", "__"},         {"..rpy", "_"},      {".rpy", "_"},
        {"x\\...rpy", "__"},     {"C:\\a\\..rpy", "_"}, {"a\tb.rpy", "a_b"}, {"...x.rpy", "...x"},
    };
    for (const Case& c : cases) EXPECT_EQ(report_site::SiteFolder("/out", c.replay), "/out/" + std::string(c.site) + "/") << c.replay;

    // A replay named so that its title is "..": the site goes into "__", and
    // neither the parent nor its parent gains a page.
    fs::create_directories(dir.path() / "in" / "out");
    auto r = WriteAndLoad(PracticeAndRace(), dir.File("in/...rpy"));
    const auto result = Write(r->input, dir.File("in/out"));
    EXPECT_TRUE(result.complete());
    EXPECT_EQ(result.folder, dir.File("in/out") + "/__/");
    EXPECT_TRUE(fs::exists(dir.path() / "in" / "out" / "__" / "index.html"));
    EXPECT_FALSE(fs::exists(dir.path() / "in" / "index.html"));
    EXPECT_FALSE(fs::exists(dir.path() / "in" / "out" / "index.html"));
}

TEST_F(ReportSite, LinksAndSpecialFilesInTheSiteFolderAreNeverWrittenThroughNorDeleted) {
    auto r = WriteAndLoad(PracticeAndRace(), dir.File("monza.rpy"));
    const fs::path outside = dir.path() / "outside", site = dir.path() / "out" / "monza";
    fs::create_directories(outside);
    fs::create_directories(site);
    const std::vector<std::string> planted = {"Race.html", "track.bmp", "track.png", "zavro.css", "RaceGraphics.bmp"};
    for (const std::string& name : planted) {
        fixture::WriteFile(outside / name, "mine");
        fs::create_symlink(outside / name, site / name);
    }
    ASSERT_EQ(::mkfifo((site / "RaceGraphics2.bmp").c_str(), 0600), 0);
    const auto result = Write(r->input, dir.File("out"));
    EXPECT_TRUE(result.complete()) << (result.problems.empty() ? "" : result.problems[0]);
    for (const std::string& name : planted) EXPECT_EQ(Slurp(outside / name), "mine") << name;
    // The site's own files replace the links; the bitmaps' names were never the site's to touch.
    for (const char* name : {"Race.html", "track.png", "zavro.css"})
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(site / name))) << name;
    EXPECT_NE(Slurp(site / "Race.html").find("RACE REPORT"), std::string::npos);
    EXPECT_TRUE(fs::is_symlink(site / "track.bmp"));
    EXPECT_TRUE(fs::is_symlink(site / "RaceGraphics.bmp"));
    EXPECT_TRUE(fs::is_fifo(site / "RaceGraphics2.bmp"));

    // A link standing where the site folder goes is not followed.
    fs::create_directories(dir.path() / "out2");
    fs::create_directory_symlink(outside, dir.path() / "out2" / "monza");
    const auto linked = Write(r->input, dir.File("out2"));
    EXPECT_TRUE(linked.folder.empty());
    EXPECT_FALSE(linked.problems.empty());
    EXPECT_FALSE(fs::exists(outside / "index.html"));
}

TEST_F(ReportSite, BitmapsAreDrawnUnderNamesOfTheRunsOwn) {
    auto r = WriteAndLoad(PracticeAndRace(), dir.File("monza.rpy"));
    fs::create_directories(dir.path() / "monza");
    // Another run's bitmap, still being converted.
    fixture::WriteFile(dir.path() / "monza" / "RaceGraphics.bmp", "theirs");
    ASSERT_TRUE(Write(r->input, dir.path().string()).complete());
    const std::vector<std::string> first = images.paths;
    images.paths.clear();
    ASSERT_TRUE(Write(r->input, dir.path().string()).complete());
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(images.paths.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NE(first[i], images.paths[i]);
        EXPECT_NE(fs::path(first[i]).parent_path(), dir.path() / "monza");
        EXPECT_FALSE(fs::exists(first[i]));
    }
    EXPECT_EQ(Slurp(dir.path() / "monza" / "RaceGraphics.bmp"), "theirs");
    // Nothing of the runs' own is left behind.
    for (const auto& e : fs::directory_iterator(dir.path() / "monza"))
        EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
}

TEST_F(ReportSite, TemporariesOfInterruptedRunsAreRemovedUnlessARunIsWriting) {
    auto r = WriteAndLoad(PracticeAndRace(), dir.File("monza.rpy"));
    const fs::path site = dir.path() / "monza";
    const fs::path bitmaps = site / ".bitmaps.ostrevan-Ab12Cd";
    fs::create_directories(bitmaps);
    fixture::WriteFile(site / ".Mechanical.html.ostrevan-Xy9Zz0", std::string(4096, 'm'));
    fixture::WriteFile(site / ".track.png.ostrevan-a1B2c3", "png");
    fixture::WriteFile(bitmaps / "track.bmp", "bmp");
    fixture::WriteFile(bitmaps / ".RaceGraphics.bmp.ostrevan-q1W2e3", "half a bmp");
    // What merely looks like ours stays: the user's backups, another tool's
    // temporary files (rsync's), names near ours, a link and a FIFO, and a
    // bitmap folder that holds anything besides the bitmaps.
    const std::vector<std::string> users = {
        ".index.html.backup", ".zavro.css.mycopy", ".Race.html.Ab12Cd", ".notes.ostrevan-Xy9Zz0",
        ".Race.html.ostrevan-toolong1", ".index.html.ostrevan-ab.def"};
    for (const std::string& name : users) fixture::WriteFile(site / name, "mine");
    fixture::WriteFile(dir.path() / "target", "mine");
    fs::create_symlink(dir.path() / "target", site / ".Race.html.ostrevan-Lnk123");
    ASSERT_EQ(::mkfifo((site / ".index.html.ostrevan-Fifo12").c_str(), 0600), 0);
    for (const char* folder : {".bitmaps.Ab12Cd", ".bitmaps.ostrevan-Mine12"}) {
        fs::create_directories(site / folder);
        fixture::WriteFile(site / folder / "track.bmp", "mine");
    }
    fixture::WriteFile(site / ".bitmaps.ostrevan-Mine12" / "notes.txt", "mine");

    // While another run holds the site, nothing of it is touched.
    {
        const int held = ::open(site.c_str(), O_RDONLY | O_DIRECTORY);
        ASSERT_GE(held, 0);
        ASSERT_EQ(::flock(held, LOCK_SH), 0);
        ASSERT_TRUE(Write(r->input, dir.path().string()).complete());
        ::close(held);
    }
    EXPECT_TRUE(fs::exists(site / ".Mechanical.html.ostrevan-Xy9Zz0"));
    EXPECT_TRUE(fs::exists(bitmaps / "track.bmp"));

    ASSERT_TRUE(Write(r->input, dir.path().string()).complete());
    EXPECT_FALSE(fs::exists(site / ".Mechanical.html.ostrevan-Xy9Zz0"));
    EXPECT_FALSE(fs::exists(site / ".track.png.ostrevan-a1B2c3"));
    EXPECT_FALSE(fs::exists(bitmaps));
    for (const std::string& name : users) EXPECT_EQ(Slurp(site / name), "mine") << name;
    EXPECT_TRUE(fs::is_symlink(site / ".Race.html.ostrevan-Lnk123"));
    EXPECT_TRUE(fs::is_fifo(site / ".index.html.ostrevan-Fifo12"));
    EXPECT_EQ(Slurp(dir.path() / "target"), "mine");
    EXPECT_EQ(Slurp(site / ".bitmaps.Ab12Cd" / "track.bmp"), "mine");
    EXPECT_EQ(Slurp(site / ".bitmaps.ostrevan-Mine12" / "track.bmp"), "mine");
    EXPECT_EQ(Slurp(site / ".bitmaps.ostrevan-Mine12" / "notes.txt"), "mine");
}

// The run's own temporary files carry the mark its clean-up looks for.
TEST_F(ReportSite, TheRunsTemporaryNamesCarryTheMarkTheCleanUpKnows) {
    auto r = WriteAndLoad(PracticeAndRace(), dir.File("monza.rpy"));
    ASSERT_TRUE(Write(r->input, dir.path().string()).complete());
    ASSERT_EQ(images.paths.size(), 3u);
    for (const std::string& path : images.paths)
        EXPECT_TRUE(atomic_file::IsTemporaryOf(fs::path(path).parent_path().filename().string(), "bitmaps")) << path;
    const fs::path site = dir.path() / "monza";
    AtomicFile page;
    ASSERT_TRUE(page.Begin(site / "index.html"));
    EXPECT_TRUE(atomic_file::IsTemporaryOf(page.temp_path().filename().string(), "index.html"))
        << page.temp_path();
}

// Held exclusively by something else, the site folder is waited on for the
// wait's limit (its steps passed here at once), then named as busy, with
// nothing written; freed during the wait, the site is written.
TEST_F(ReportSite, AFolderHeldElsewhereIsWaitedOnForABoundedTimeThenNamedAsBusy) {
    auto r = WriteAndLoad(PracticeAndRace(), dir.File("monza.rpy"));
    const fs::path site = dir.path() / "monza";
    fs::create_directories(site);
    fixture::WriteFile(site / ".index.html.ostrevan-Xy9Zz0", "left by an interrupted run");
    // Locks belong to an open file description: a second open conflicts.
    const int held = ::open(site.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    std::vector<std::chrono::milliseconds> pauses;
    report_site::FolderWait wait;
    wait.limit = std::chrono::milliseconds(400);
    wait.pause = [&](std::chrono::milliseconds step) { pauses.push_back(step); };
    const auto busy = report_site::WriteReportSite(r->input, dir.path().string(), images, &status, wait);
    EXPECT_TRUE(busy.busy);
    EXPECT_TRUE(busy.folder.empty());
    ASSERT_EQ(busy.problems.size(), 1u);
    EXPECT_NE(busy.problems[0].find(site.string() + "/"), std::string::npos) << busy.problems[0];
    EXPECT_EQ(pauses, std::vector<std::chrono::milliseconds>(8, report_site::FolderWait::kStep));
    EXPECT_TRUE(images.paths.empty());
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(site)) names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{".index.html.ostrevan-Xy9Zz0"});

    pauses.clear();
    wait.pause = [&](std::chrono::milliseconds step) {
        pauses.push_back(step);
        if (pauses.size() == 3) ::flock(held, LOCK_UN);
    };
    const auto freed = report_site::WriteReportSite(r->input, dir.path().string(), images, &status, wait);
    EXPECT_TRUE(freed.complete()) << (freed.problems.empty() ? "" : freed.problems[0]);
    EXPECT_FALSE(freed.busy);
    EXPECT_EQ(pauses.size(), 3u);
    EXPECT_FALSE(fs::exists(site / ".index.html.ostrevan-Xy9Zz0"));
    ::close(held);
}

TEST_F(ReportSite, TheIndexReadsItsTablesWhereTheyStandWhateverTheDriversAreCalled) {
    using fixture::DriverLaps;
    DriverLaps a{fixture::NamedDriver("LAPS", "LED", 0, 1)}, b{fixture::NamedDriver("RACE", "FASTEST LAPS", 1, 2)};
    a.race_start = b.race_start = 2000;
    a.race_laps = {90000, 89000};
    b.race_laps = {91000, 92000};
    auto r = WriteAndLoad(fixture::SessionReplay({a, b}, false, true, "monza"), dir.File("names.rpy"));
    const auto result = Write(r->input, dir.path().string());
    ASSERT_FALSE(result.folder.empty());
    const std::string index = Slurp(result.folder + "index.html");
    EXPECT_NE(index.find("<p>Fastest lap: LAPS LED (1m29.000s)</p>"), std::string::npos) << index;
    EXPECT_NE(index.find("<p>Most laps led: LAPS LED (2 laps)</p>"), std::string::npos);
}

TEST_F(ReportSite, BitmapsDrawnIntoMemoryGiveTheSameImagesAndStatusWithoutTouchingTheDisk) {
    auto r = WriteAndLoad(PracticeAndRace(), dir.File("monza.rpy"));
    fs::create_directory(dir.File("files"));
    const auto from_files = Write(r->input, dir.File("files"));
    ASSERT_TRUE(from_files.complete());
    std::map<std::string, std::string> png;
    for (const char* name : {"RaceGraphics.png", "RaceGraphics2.png", "track.png"}) png[name] = Slurp(from_files.folder + name);
    const std::string file_log = png_log.str();

    fs::create_directory(dir.File("memory"));
    images.in_memory = true;
    png_log.str("");
    // A BMP where a drawn one would go is never read, nor touched.
    fs::create_directory(dir.File("memory/monza"));
    std::ofstream(dir.File("memory/monza/track.bmp"), std::ios::binary) << "BMnot a bitmap";
    const auto from_memory = Write(r->input, dir.File("memory"));
    ASSERT_TRUE(from_memory.complete()) << (from_memory.problems.empty() ? "" : from_memory.problems[0]);
    for (const auto& [name, bytes] : png) {
        ASSERT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(Slurp(from_memory.folder + name), bytes) << name;
    }
    EXPECT_EQ(Slurp(from_memory.folder + "track.bmp"), "BMnot a bitmap");
    std::string memory_log = png_log.str();
    // The status lines name the same files.
    for (size_t at; (at = memory_log.find("/memory/")) != std::string::npos;) memory_log.replace(at, 8, "/files/");
    EXPECT_EQ(memory_log, file_log);
}

}  // namespace
