// The graphical race report and the race history graph on generated races:
// the chart's size, the winner's row, lapped and retired drivers at known
// pixels, the palette of the saved bitmaps, and the graph's scale, marks
// and guards against races and sizes that leave nothing to divide by.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <filesystem>

#include "replay/drivers.h"
#include "replay/header.h"
#include "reports/bmp_image.h"
#include "reports/graphical_race_layout.h"
#include "reports/race_history.h"
#include "reports/ui/graphical_race_report.h"
#include "reports/ui/relative_race_graph.h"
#include "support/recording_interaction.h"
#include "support/screenshot.h"
#include "support/session_fixture.h"
#include "support/temp_dir.h"

namespace {

using fixture::DriverLaps;

constexpr uint32_t kInvalid = 0x10000000;

// A race of n drivers: driver i starts 1000 + 10i ms behind the line and
// laps in 60000 + 50i ms, `laps` laps; changes may alter any driver.
struct Race {
    std::vector<DriverLaps> drivers;
    bool practice = true;
    Race(int n, int laps) {
        for (int i = 0; i < n; ++i) {
            DriverLaps d{fixture::NamedDriver("Driver", std::string("Number") + std::to_string(i), static_cast<uint32_t>(i))};
            d.race_start = 1000 + 10 * i;
            d.race_laps.assign(static_cast<size_t>(laps), 60000 + 50 * i);
            // The fastest in practice is the last driver: the grid is reversed.
            d.practice_start = 2000;
            d.practice_laps = {95000u - 100u * static_cast<uint32_t>(i)};
            drivers.push_back(d);
        }
    }
    struct Loaded {
        Header header;
        Drivers drivers;
    };
    std::unique_ptr<Loaded> Load(const fixture::TempDir& dir) const {
        const std::string path = dir.File("race.rpy");
        fixture::WriteFile(path, fixture::BuildReplay(fixture::SessionReplay(drivers, practice, true)));
        auto loaded = std::make_unique<Loaded>();
        EXPECT_EQ(loaded->header.Load(path), 0);
        EXPECT_EQ(loaded->drivers.LoadReplay(path), 0);
        return loaded;
    }
};

QRgb Rgb(uint32_t colorref) { return qRgb(colorref & 0xFF, colorref >> 8 & 0xFF, colorref >> 16 & 0xFF); }

// Twenty drivers over ten laps; the last laps in 90 s and is lapped from
// lap 2 on; driver 18 retires after lap 5.
Race TwentyDriverRace() {
    Race race(20, 10);
    race.drivers[19].race_laps.assign(10, 90000);
    race.drivers[18].race_laps.resize(5);
    return race;
}

TEST(GraphicalRaceReport, ChartOfTwentyDriversOverTenLaps) {
    fixture::TempDir dir;
    const auto replay = TwentyDriverRace().Load(dir);
    fixture::RecordingInteraction ui;
    GraphicalRaceReport report(ui);
    report.SetReplay(nullptr, &replay->drivers, &replay->header);
    ASSERT_TRUE(report.BuildChart());
    const QImage chart = report.Chart().GetImage();
    ASSERT_EQ(chart.size(), QSize(416, 410));
    const auto cell = [](int column, int row) { return QPoint(196 + 18 * column, 28 + 18 * row); };
    // The top left corner of a cell, which no line reaches.
    const auto corner = [](int column, int row) { return QPoint(188 + 18 * column + 1, 20 + 18 * row + 1); };
    const auto& colours = GraphicalRaceReport::DriverColours();

    for (int c = 1; c <= 10; ++c) EXPECT_EQ(chart.pixel(cell(c, 0)), Rgb(colours[0])) << "winner leads lap " << c;
    EXPECT_EQ(chart.pixel(cell(0, 0)), Rgb(colours[19])) << "pole from practice";
    EXPECT_EQ(chart.pixel(corner(1, 19)), Rgb(GraphicalRaceReport::kGrid)) << "all on the lead lap after lap 1";
    for (int c = 2; c <= 10; ++c) {
        EXPECT_EQ(chart.pixel(corner(c, 19)), Rgb(GraphicalRaceReport::kLapped)) << c;
        EXPECT_EQ(chart.pixel(corner(c, 17)), Rgb(GraphicalRaceReport::kGrid)) << c;
    }
    // Without driver 18 the lapped car is 19th from lap 6; the empty row
    // below counts as lapped.
    EXPECT_EQ(chart.pixel(cell(6, 18)), Rgb(colours[19]));
    EXPECT_EQ(chart.pixel(corner(6, 18)), Rgb(GraphicalRaceReport::kLapped));
    EXPECT_EQ(chart.pixel(cell(5, 18)), Rgb(colours[18]));
    for (int x = cell(5, 0).x() + 4; x < chart.width(); ++x)
        for (int y = 20; y < 20 + 18 * 20; ++y) ASSERT_NE(chart.pixel(x, y), Rgb(colours[18])) << x << "," << y;

    // The saved bitmap holds the chart's palette and its pixels exactly.
    ASSERT_TRUE(report.SaveBitmap(dir.File("chart.bmp")));
    BmpImage saved;
    ASSERT_EQ(saved.Read(dir.File("chart.bmp")), BmpImage::Result::kRead);
    EXPECT_EQ(saved.bit_depth, 8);
    EXPECT_EQ(saved.width, 416);
    EXPECT_EQ(saved.rows[cell(3, 0).y()][cell(3, 0).x()], 4);  // driver colour 0
    EXPECT_EQ(saved.rows[corner(3, 19).y()][corner(3, 19).x()], 24);
    EXPECT_EQ(saved.rows[0][chart.width() - 1], 1);
    EXPECT_TRUE(report.Chart().IsEmpty()) << "SaveBitmap closes as OK does";
    fixture::CheckScreenshot(chart, "graphical_race_report_chart");
}

TEST(GraphicalRaceReport, WithoutPracticeTheOrderAfterLapOneStartsAndLinesBeginAtLapOne) {
    fixture::TempDir dir;
    Race race(4, 3);
    race.practice = false;
    // Drivers 1 and 2 tie after lap 1: the lower index stands first.
    race.drivers[2].race_start = race.drivers[1].race_start;
    race.drivers[2].race_laps = {60050, 60000, 60000};
    const auto replay = race.Load(dir);
    const GraphicalRaceLayout layout(replay->drivers);
    EXPECT_FALSE(layout.has_practice());
    EXPECT_EQ(layout.starting_order(), (std::vector<int>{0, 1, 2, 3}));
    for (const auto& segment : layout.segments()) EXPECT_GE(segment.from_column, 1);
    EXPECT_EQ(layout.RowAt(2, 2), 1) << "faster second lap";

    fixture::RecordingInteraction ui;
    GraphicalRaceReport report(ui);
    report.SetReplay(nullptr, &replay->drivers, &replay->header);
    ASSERT_TRUE(report.BuildChart());
    const QImage chart = report.Chart().GetImage();
    EXPECT_EQ(chart.size(), QSize(4 * 18 + 218, 4 * 18 + 50));
    // A "?" in each driver's colour in column S.
    for (int r = 0; r < 4; ++r) {
        const QRgb colour = Rgb(GraphicalRaceReport::DriverColours()[layout.starting_order()[r]]);
        int hits = 0;
        for (int x = 189; x < 207; ++x)
            for (int y = 20 + 18 * r; y < 38 + 18 * r; ++y) hits += chart.pixel(x, y) == colour;
        EXPECT_GT(hits, 3) << r;
    }
}

TEST(GraphicalRaceReport, ExportAppendsTheExtensionAndReportsAFailedWrite) {
    fixture::TempDir dir;
    const auto replay = Race(3, 2).Load(dir);
    fixture::RecordingInteraction ui;
    GraphicalRaceReport report(ui);
    report.SetReplay(nullptr, &replay->drivers, &replay->header);
    ui.paths = {dir.File("one.BmP"), dir.File("two"), dir.File("no/such/folder/three.bmp"), std::nullopt};
    for (int i = 0; i < 4; ++i) report.OnExportToBmp();
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "one.BmP"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "two.bmp"));
    EXPECT_EQ(ui.proposed_names.front(), "Monza_RaceReport.bmp");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "The bitmap could not be written to\n" + dir.File("no/such/folder/three.bmp"));
}

TEST(RaceHistory, ValuesWinnerMarksAndOrder) {
    fixture::TempDir dir;
    Race race(4, 5);
    race.drivers[0].race_laps.assign(5, 90123);
    race.drivers[0].race_start = 1000;
    // Driver 1 sets the fastest laps, one of them invalid; driver 2 ties
    // driver 3 on time and retires after lap 3; driver 3 is a lap down.
    race.drivers[1].race_laps = {91000, 89000, 88000, 92000, 92000};
    race.drivers[1].race_flags = {0, 0, kInvalid, 0, 0};
    race.drivers[2].race_laps = {95000, 95000, 95000};
    race.drivers[3].race_start = race.drivers[2].race_start;
    race.drivers[3].race_laps = {95000, 95000, 95000, 95000};
    const auto replay = race.Load(dir);
    const RaceHistory history(replay->drivers);
    EXPECT_EQ(history.winner(), 0);
    EXPECT_DOUBLE_EQ(history.average_lap_ms(), 90123.0);
    EXPECT_DOUBLE_EQ(history.Value(0, 5), 0.0);
    EXPECT_GT(history.Value(1, 5), 0.0);
    EXPECT_EQ(history.finishing_order(), (std::vector<int>{0, 1, 3, 2}));
    // Lap 1: driver 0's 90123 (the first lower than nothing). Lap 2:
    // driver 1's 89000. Lap 3's 88000 is invalid and lowers nothing.
    ASSERT_EQ(history.fastest_lap_marks().size(), 2u);
    EXPECT_EQ(history.fastest_lap_marks()[0].lap, 1);
    EXPECT_EQ(history.fastest_lap_marks()[0].driver, 0);
    EXPECT_EQ(history.fastest_lap_marks()[1].lap, 2);
    EXPECT_EQ(history.fastest_lap_marks()[1].driver, 1);
    // Both stopped before the winner finished.
    ASSERT_EQ(history.retired_marks().size(), 2u);
    EXPECT_EQ(history.retired_marks()[0].driver, 2);
    EXPECT_EQ(history.retired_marks()[0].lap, 3);
}

// The drawing's pixel at a point, as the dialog holds it.
QRgb At(const RelativeRaceGraph& graph, int x, int y) { return graph.Image().GetImage().pixel(x, y); }

TEST(RelativeRaceGraph, ZeroLineLiesOneSecondAndTheLargestValueAboveTheBottom) {
    fixture::TempDir dir;
    const auto replay = TwentyDriverRace().Load(dir);
    fixture::RecordingInteraction ui;
    RelativeRaceGraph graph(ui);
    graph.drawing_area()->setFixedSize(700, 400);
    graph.SetReplay(nullptr, &replay->drivers, &replay->header);
    ASSERT_FALSE(graph.Image().IsEmpty());
    ASSERT_EQ(graph.Image().GetImage().size(), QSize(700, 400));
    EXPECT_EQ(graph.title_edit()->text(), "Monza - 10 laps");

    const RaceHistory history(replay->drivers);
    const auto zero_line = [&](double largest) {
        double range = largest + std::fabs(history.smallest_ms()) + 2000.0;
        if (history.smallest_ms() >= -7000.0) range += 7000.0;
        const double q = (400 - 40) / (range / 1000.0);
        return static_cast<int>(400 - 18 - (largest + 1000.0) * q / 1000.0);
    };
    int y0 = zero_line(history.largest_ms());
    EXPECT_EQ(At(graph, 32, y0), qRgb(0, 0, 0));
    EXPECT_EQ(At(graph, 32, y0 - 1), Rgb(RelativeRaceGraph::kBackground));

    graph.fixed_scale()->click();
    graph.max_seconds()->setText("10");
    graph.fixed_scale()->click();
    y0 = zero_line(10000.0);
    EXPECT_EQ(At(graph, 32, y0), qRgb(0, 0, 0));
    fixture::CheckScreenshot(graph.Image().GetImage(), "race_history_graph_image");

}

TEST(RelativeRaceGraph, LinesAndMarksStayInsideThePlotAtItsTop) {
    fixture::TempDir dir;
    // The winner's last lap takes 500 s, so the laps before it run far
    // ahead of his average; driver 1 stops after lap 4, further ahead
    // still: his retired mark sits on the plot's top edge.
    Race race(2, 5);
    race.drivers[0].race_laps = {60000, 60000, 60000, 60000, 500000};
    race.drivers[1].race_laps = {59000, 59000, 59000, 59000};
    const auto replay = race.Load(dir);
    const RaceHistory history(replay->drivers);
    ASSERT_EQ(history.retired_marks().size(), 1u);
    fixture::RecordingInteraction ui;
    RelativeRaceGraph graph(ui);
    graph.drawing_area()->setFixedSize(700, 400);
    graph.SetReplay(nullptr, &replay->drivers, &replay->header);
    graph.title_edit()->setText("");
    graph.auto_scale()->click();

    const double range = history.largest_ms() + std::fabs(history.smallest_ms()) + 2000.0;
    const double q = (400 - 40) / (range / 1000.0);
    const int y0 = static_cast<int>(400 - 18 - (history.largest_ms() + 1000.0) * q / 1000.0);
    const int mark_top = static_cast<int>(history.Value(1, 4) * q / 1000.0 + y0) - 3;
    ASSERT_LT(mark_top, 22) << "the mark would reach over the plot's top";
    for (int y = 3; y < 22; ++y)
        for (int x = 80; x < 690 - 100; ++x)
            ASSERT_EQ(At(graph, x, y), Rgb(RelativeRaceGraph::kBackground)) << x << "," << y;
}

TEST(RelativeRaceGraph, RacesAndSizesWithNothingToDivideByStillDraw) {
    fixture::TempDir dir;
    fixture::RecordingInteraction ui;
    const struct {
        const char* name;
        Race race;
        int scheduled;
        QSize size;
    } cases[] = {
        {"one driver", Race(1, 4), 4, QSize(500, 300)},
        {"no laps", Race(3, 0), 10, QSize(500, 300)},
        {"no scheduled laps", Race(3, 4), 0, QSize(500, 300)},
        {"negative scheduled laps", Race(3, 4), -5, QSize(500, 300)},
        {"huge scheduled laps", Race(3, 4), 2000000000, QSize(500, 300)},
        {"small height", Race(20, 4), 4, QSize(300, 20)},
        {"small width", Race(20, 4), 4, QSize(10, 300)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto replay = c.race.Load(dir);
        replay->header.race_laps = c.scheduled;
        RelativeRaceGraph graph(ui);
        graph.drawing_area()->setFixedSize(c.size);
        graph.SetReplay(nullptr, &replay->drivers, &replay->header);
        ASSERT_FALSE(graph.Image().IsEmpty());
        EXPECT_EQ(graph.Image().GetImage().size(), c.size);
        EXPECT_TRUE(graph.SaveBitmap(dir.File("graph.bmp")));
    }
}

TEST(RaceCharts, DialogsDrawOnScreen) {
    fixture::TempDir dir;
    const auto replay = TwentyDriverRace().Load(dir);
    fixture::RecordingInteraction ui;
    GraphicalRaceReport report(ui);
    report.SetReplay(nullptr, &replay->drivers, &replay->header);
    report.show();
    fixture::CheckScreenshot(report.grab().toImage(), "graphical_race_report");
    report.scroll_bar()->setValue(100);
    EXPECT_EQ(report.scroll_position(), 100);
    EXPECT_EQ(report.ChartLeft(), 10 - std::max(0, 416 + 20 - report.width()));

    RelativeRaceGraph graph(ui);
    graph.SetReplay(nullptr, &replay->drivers, &replay->header);
    // Never shown, as the report site uses it: the default size.
    EXPECT_EQ(graph.Image().GetImage().size(), QSize(RelativeRaceGraph::kDefaultWidth, RelativeRaceGraph::kDefaultHeight));
    graph.show();
    QApplication::processEvents();
    fixture::CheckScreenshot(graph.grab().toImage(), "race_history_graph");
    // Resizing the dialog draws again at the area's new size.
    graph.resize(graph.width() + 100, graph.height() + 50);
    QApplication::processEvents();
    EXPECT_EQ(graph.Image().GetImage().size(), graph.drawing_area()->size());
}

}  // namespace
