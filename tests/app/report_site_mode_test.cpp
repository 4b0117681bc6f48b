// The unattended report site: the whole site from the sample's driven
// replay, its PNG images holding the very pixels the charts and the track
// map draw; a missing folder, track or replay, or a busy site folder,
// writes nothing and fails.

#include "app/ui/report_site_mode.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QImage>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/command_line.h"
#include "app/ui/rpy_graph_view.h"
#include "document/rpy_graph_doc.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "reports/ui/graphical_race_report.h"
#include "reports/ui/relative_race_graph.h"
#include "support/sample_document.h"
#include "support/temp_dir.h"
#include "track/track.h"

namespace {

namespace fs = std::filesystem;

class ReportSiteMode : public fixture::SampleDocument, public ::testing::Test {
protected:
    CommandLine Command(const std::string& replay, const std::string& folder) {
        return ParseCommandLine({"ostrevan", "-reportsite", "--" + replay, "--" + folder});
    }
    fixture::TempDir out_dir;
    std::ostringstream out;
};

// The same pixels, whatever the file's palette order.
void ExpectSamePixels(const QImage& png, const QImage& drawn) {
    ASSERT_FALSE(png.isNull());
    ASSERT_EQ(png.size(), drawn.size());
    const QImage a = png.convertToFormat(QImage::Format_RGB32), b = drawn.convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(a == b);
}

TEST_F(ReportSiteMode, WritesTheWholeSiteWithTheChartsPixels) {
    ASSERT_EQ(RunReportSite(Command(DrivenReplay(), out_dir.path().string()), settings, ui, out), 0)
        << (ui.messages.empty() ? "" : ui.messages[0]);
    const std::string site = out_dir.path().string() + "/monza_driven/";
    EXPECT_EQ(out.str(), site + "\n");
    EXPECT_TRUE(ui.messages.empty());
    for (const char* bmp : {"RaceGraphics.bmp", "RaceGraphics2.bmp", "track.bmp"}) EXPECT_FALSE(fs::exists(site + bmp));

    Header header;
    ASSERT_EQ(header.Load(DrivenReplay()), 0);
    Drivers drivers;
    ASSERT_EQ(drivers.LoadReplay(DrivenReplay()), 0);
    GraphicalRaceReport chart(ui);
    chart.SetReplay(doc.get(), &drivers, &header);
    ASSERT_TRUE(chart.SaveBitmap(out_dir.File("chart.bmp")));
    ExpectSamePixels(QImage(QString::fromStdString(site + "RaceGraphics.png")), QImage(QString::fromStdString(out_dir.File("chart.bmp"))));
    RelativeRaceGraph graph(ui);
    graph.SetReplay(doc.get(), &drivers, &header);
    ASSERT_TRUE(graph.SaveBitmap(out_dir.File("graph.bmp")));
    ExpectSamePixels(QImage(QString::fromStdString(site + "RaceGraphics2.png")), QImage(QString::fromStdString(out_dir.File("graph.bmp"))));

    doc->LendTrackSlot(Track::Load(sim, "monza"));
    doc->SetBMPSizeInPixel(300);
    CRpyGraphView view(*doc);
    ASSERT_TRUE(view.SaveTrackMapBitmap(out_dir.File("track.bmp")));
    const QImage track(QString::fromStdString(site + "track.png"));
    EXPECT_EQ(track.size(), QSize(300, 300));
    EXPECT_LT(fixture::PixelsOf(track.convertToFormat(QImage::Format_RGB32), Qt::white), 300 * 300 - 1000);
    ExpectSamePixels(track, QImage(QString::fromStdString(out_dir.File("track.bmp"))));
    doc->LendTrackSlot(nullptr);
}

TEST_F(ReportSiteMode, NothingIsWrittenWithoutFolderTrackOrReadableReplay) {
    // No folder argument and no export path: nothing at the file system's root.
    settings.SetRecordsPath("");
    EXPECT_NE(RunReportSite(ParseCommandLine({"ostrevan", "-reportsite", "--" + DrivenReplay()}), settings, ui, out), 0);
    EXPECT_EQ(ui.messages.at(0), "No export path set. Please set this\r\npath in File->Settings dialog.");
    EXPECT_FALSE(fs::exists("/monza_driven"));
    // A replay that is not one.
    ui.messages.clear();
    EXPECT_NE(RunReportSite(Command(out_dir.File("none.rpy"), out_dir.path().string()), settings, ui, out), 0);
    EXPECT_EQ(ui.messages.at(0), "HeaderClass: Error reading file!");
    // The track's folder gone.
    ui.messages.clear();
    fs::remove_all(sim / "tracks" / "monza");
    EXPECT_NE(RunReportSite(Command(DrivenReplay(), out_dir.path().string()), settings, ui, out), 0);
    EXPECT_EQ(ui.messages.at(0).substr(0, 33), "Can't find track for this replay!");
    EXPECT_FALSE(fs::exists(out_dir.File("monza_driven")));
    EXPECT_TRUE(out.str().empty());
}

// A site folder that another program holds is waited on for a bounded
// time, then named, and the run fails without writing.
TEST_F(ReportSiteMode, ABusySiteFolderIsNamedAndNothingIsWritten) {
    const fs::path site = out_dir.path() / "monza_driven";
    fs::create_directories(site);
    const int held = ::open(site.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    report_site::FolderWait wait;
    wait.limit = std::chrono::milliseconds(0);
    EXPECT_NE(RunReportSite(Command(DrivenReplay(), out_dir.path().string()), settings, ui, out, wait), 0);
    ::close(held);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"The report site folder " + site.string() +
                                                    "/ is busy: another program is using it. Nothing was written."});
    EXPECT_TRUE(fs::is_empty(site));
    EXPECT_TRUE(out.str().empty());
}

// An unattended run changes nothing in the settings: a read-only file in
// the user's own layout is neither replaced nor complained about.
TEST_F(ReportSiteMode, LeavesTheSettingsFileAsItIs) {
    doc.reset();
    const fs::path file = config.folder() / "current_user.reg";
    fs::create_directories(config.folder());
    const std::string text = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Ostrevan\\Ostrevan\\Settings]\n"
                             "\"QELDirectory\"=\"" + sim.string() + "\"\n\"RecordsPath\"=hex(2):2f,00\n\n";
    std::ofstream(file, std::ios::binary) << text;
    fs::permissions(file, fs::perms::owner_read);
    const auto before = fs::last_write_time(file);
    Settings own;
    own.Load();
    ASSERT_EQ(RunReportSite(Command(DrivenReplay(), out_dir.path().string()), own, ui, out), 0)
        << (ui.messages.empty() ? "" : ui.messages[0]);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0];
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), text);
    EXPECT_EQ(fs::last_write_time(file), before);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read);
}

}  // namespace
