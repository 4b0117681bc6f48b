// The "Points" bar and the "Properties" sheet of a graph window, offscreen:
// reaching both from the plot's menu, the sheet's pages applied on OK and
// left alone on Cancel, refused decimals, the bar's own menu, and the
// screenshots.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "graph/graph_commands.h"
#include "graph/ui/3d_list_ctrl.h"
#include "graph/ui/graph_frame.h"
#include "graph/ui/graph_panel.h"
#include "graph/ui/graph_props_combo_box.h"
#include "graph/ui/graphics_property_page.h"
#include "graph/ui/graph_wnd.h"
#include "graph/ui/point_view_bar.h"
#include "graph/ui/property_sheet.h"
#include "support/recording_interaction.h"
#include "support/screenshot.h"

namespace {

namespace gc = graph_command;

// A graph set up as the telemetry graph window sets it up: the bar hidden
// and frozen, coordinates on, distance in metres; then three curves.
struct Graph {
    Graph() {
        wnd.SetInteraction(&interaction);
        wnd.ShowPointsBar(2 + 4);
        wnd.resize(700, 400);
        wnd.LayOut();
        wnd.SetPanelFlags(1 + 4 + 16, false);
        wnd.SetAxisLabel("Meter", "Meter", 0, 1, true);
        wnd.SetAxisLabel("Speed", "km/h", 1, 0, true);
        const uint32_t colours[] = {0x0000FF, 0xFF0000, 0x38FB00};
        for (int c = 0; c < 3; ++c) {
            wnd.AddGraph(colours[c], "Lap " + std::to_string(c + 1), false);
            for (int i = 0; i <= 100; ++i) wnd.AddPoint(c, i * 30.0, 100 + 50 * std::sin(i / 8.0 + c) + c * 10, false);
        }
        wnd.SetRange(0, 3000, 0, 200, true);
    }
    CGraphPanel& Panel() { return *wnd.GetPanel(); }
    CPointViewBar& Bar() { return *wnd.GetFrame()->GetPointViewBar(); }

    fixture::RecordingInteraction interaction;
    CGraphWnd wnd{32, 0};
};

QStringList Texts(QMenu& menu) {
    QStringList texts;
    for (QAction* a : menu.actions()) texts << a->text();
    return texts;
}

QAction* Find(QMenu& menu, int id) {
    for (QAction* a : menu.actions())
        if (a->data().toInt() == id) return a;
    return nullptr;
}

// Runs `act` on the property sheet as soon as it is open; a sheet that
// `act` leaves open is cancelled.
void OnSheet(std::function<void(CPropertySheet&)> act) {
    QTimer::singleShot(0, qApp, [act] {
        auto* sheet = dynamic_cast<CPropertySheet*>(QApplication::activeModalWidget());
        if (sheet == nullptr) {
            ADD_FAILURE() << "no property sheet open";
            return;
        }
        act(*sheet);
        if (sheet->isVisible()) sheet->reject();
    });
}

// The sheet's "Graphs" page (found by type: the pages are not QObject
// types of their own).
CGraphicsPropertyPage* GraphsPage(CPropertySheet& sheet) {
    for (int i = 0; i < sheet.GetPageCount(); ++i)
        if (auto* page = dynamic_cast<CGraphicsPropertyPage*>(sheet.GetPage(i))) return page;
    return nullptr;
}

QStringList PageTitles(CPropertySheet& sheet) {
    auto* tabs = sheet.findChild<QTabWidget*>("pages");
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i) titles << tabs->tabText(i);
    return titles;
}

void SetEdit(CPropertySheet& sheet, const char* name, const QString& text) {
    auto* edit = sheet.findChild<QLineEdit*>(name);
    ASSERT_NE(edit, nullptr) << name;
    edit->setText(text);
}

// Every kind of change the three pages offer.
void ChangeEverything(CPropertySheet& sheet) {
    SetEdit(sheet, "x1Edit", "500");
    SetEdit(sheet, "y2Edit", "250.5");
    sheet.findChild<QCheckBox*>("pointMarksCheck")->setChecked(true);
    sheet.findChild<QCheckBox*>("mouseCoordinatesCheck")->setChecked(false);
    sheet.findChild<QCheckBox*>("axisCheck")->setChecked(true);
    SetEdit(sheet, "xTitleEdit", "Distance");
    SetEdit(sheet, "xPrecisionEdit", "2");
    SetEdit(sheet, "yUnitEdit", "mph");
    auto* graphs = GraphsPage(sheet);
    graphs->SetColourChooser([](uint32_t) { return 0x00FF00u; });
    graphs->SetTitleChooser([](const std::string&) { return std::string("Best lap"); });
    graphs->SelectGraph(1);
    graphs->findChild<QPushButton*>("colorButton")->click();
    graphs->findChild<QPushButton*>("titleButton")->click();
    graphs->findChild<QPushButton*>("hideButton")->click();
    EXPECT_EQ(graphs->GetHideButton()->text(), "Show");
    EXPECT_EQ(graphs->GetTitleField(), "Best lap");
}

TEST(PropertySheet, CancelChangesNothing) {
    Graph g;
    OnSheet([](CPropertySheet& sheet) {
        EXPECT_EQ(PageTitles(sheet), (QStringList{"General", "Axis", "Graphs"}));
        ChangeEverything(sheet);
        sheet.reject();
    });
    CGraphBaseClass::SendCommandUp(&g.Panel(), gc::kProperties);
    double x0, x1, y0, y1;
    g.wnd.GetRange(x0, x1, y0, y1);
    EXPECT_EQ(std::vector<double>({x0, x1, y0, y1}), std::vector<double>({0, 3000, 0, 200}));
    EXPECT_EQ(g.wnd.GetPanelFlags(), 1 + 4 + 16);
    EXPECT_EQ(g.wnd.FormatAxisValue(12.345, 1, 2), "Meter: 12 Meter");
    EXPECT_EQ(g.wnd.FormatAxisValue(12.345, 0, 2), "Speed: 12.3 km/h");
    const CGraphProps* curve = g.wnd.GetGraph(1);
    EXPECT_EQ(curve->GetColor(), 0xFF0000u);
    EXPECT_EQ(curve->GetTitle(), "Lap 2");
    EXPECT_TRUE(curve->IsVisible());
    EXPECT_EQ(curve->GetCount(), 101);
}

TEST(PropertySheet, OkAppliesEveryPageAndShowAllBringsCurvesBack) {
    Graph g;
    OnSheet([](CPropertySheet& sheet) {
        ChangeEverything(sheet);
        sheet.accept();
    });
    CGraphBaseClass::SendCommandUp(&g.Panel(), gc::kProperties);
    double x0, x1, y0, y1;
    g.wnd.GetRange(x0, x1, y0, y1);
    EXPECT_EQ(std::vector<double>({x0, x1, y0, y1}), std::vector<double>({500, 3000, 0, 250.5}));
    // Flags 2, 4 and 8 from the page; 1 and 16 as they were.
    EXPECT_EQ(g.wnd.GetPanelFlags(), 1 + 2 + 8 + 16);
    EXPECT_EQ(g.wnd.FormatAxisValue(12.345, 1, 2), "Distance: 12.35 Meter");
    EXPECT_EQ(g.wnd.FormatAxisValue(12.345, 0, 1), "12.3 mph");
    const CGraphProps* curve = g.wnd.GetGraph(1);
    EXPECT_EQ(curve->GetColor(), 0x00FF00u);
    EXPECT_EQ(curve->GetTitle(), "Best lap");
    EXPECT_FALSE(curve->IsVisible());
    EXPECT_EQ(curve->GetCount(), 101);
    EXPECT_EQ(g.wnd.GetGraph(0)->GetColor(), 0x0000FFu);

    // A hidden curve is left out of "Fit...": the tallest curve is hidden.
    g.wnd.GetGraph(2)->SetVisible(false);
    g.Panel().OnGraphCommand(gc::kFitHeight);
    g.wnd.GetRange(x0, x1, y0, y1);
    EXPECT_LT(y1, 151);

    OnSheet([](CPropertySheet& sheet) {
        sheet.findChild<QPushButton*>("showAllButton")->click();
        sheet.accept();
    });
    CGraphBaseClass::SendCommandUp(&g.Panel(), gc::kProperties);
    for (int c = 0; c < 3; ++c) EXPECT_TRUE(g.wnd.GetGraph(c)->IsVisible()) << c;
}

TEST(PropertySheet, AxisPageRefusesDecimalsOutsideZeroToTen) {
    Graph g;
    OnSheet([&g](CPropertySheet& sheet) {
        auto* tabs = sheet.findChild<QTabWidget*>("pages");
        tabs->setCurrentIndex(1);  // "Axis"
        const struct {
            const char* edit;
            const char* text;
            const char* message;
        } refused[] = {
            {"xPrecisionEdit", "11", "Please enter an integer between 0 and 10."},
            {"yPrecisionEdit", "-1", "Please enter an integer between 0 and 10."},
            {"xPrecisionEdit", "2.5", "Please enter an integer."},
        };
        for (const auto& r : refused) {
            SetEdit(sheet, "xPrecisionEdit", "3");
            SetEdit(sheet, "yPrecisionEdit", "3");
            SetEdit(sheet, r.edit, r.text);
            g.interaction.messages.clear();
            sheet.accept();
            EXPECT_TRUE(sheet.isVisible()) << r.text;
            tabs->setCurrentIndex(2);  // cannot leave the page either
            EXPECT_EQ(tabs->currentIndex(), 1) << r.text;
            EXPECT_EQ(g.interaction.messages, (std::vector<std::string>(2, r.message))) << r.text;
        }
        SetEdit(sheet, "xPrecisionEdit", "0");
        SetEdit(sheet, "yPrecisionEdit", "10");
        sheet.accept();
        EXPECT_FALSE(sheet.isVisible());
    });
    EXPECT_EQ(CGraphBaseClass::RunPropertySheet(&g.Panel()), 1);
    EXPECT_EQ(g.wnd.FormatAxisValue(1234.5, 1, 1), "1234 Meter");  // whole numbers
    EXPECT_EQ(g.wnd.FormatAxisValue(0.5, 0, 0), "0.5000000000");
}

TEST(PropertySheet, GraphsPageWithoutCurvesDoesNothing) {
    CGraphWnd empty(4, 0);
    bool asked = false;
    OnSheet([&asked](CPropertySheet& sheet) {
        EXPECT_EQ(PageTitles(sheet), (QStringList{"General", "Axis", "Graphs"}));
        auto* page = GraphsPage(sheet);
        page->SetColourChooser([&asked](uint32_t c) {
            asked = true;
            return c;
        });
        page->SetTitleChooser([&asked](const std::string& t) {
            asked = true;
            return t;
        });
        EXPECT_EQ(page->GetCombo()->count(), 0);
        for (const char* b : {"hideButton", "titleButton", "colorButton", "showAllButton"})
            page->findChild<QPushButton*>(b)->click();
        EXPECT_EQ(page->GetHideButton()->text(), "Hide");
        sheet.accept();
    });
    EXPECT_EQ(CGraphBaseClass::RunPropertySheet(empty.GetPanel()), 1);
    EXPECT_FALSE(asked);
}

TEST(PointsBar, PlotMenuShowsTheFrozenBarWithTheCurvesPoints) {
    Graph g;
    g.wnd.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g.wnd));
    EXPECT_FALSE(g.wnd.GetFrame()->IsPointsBarShown());
    EXPECT_EQ(g.Bar().GetList()->model()->rowCount(), 0);  // frozen while loading

    std::unique_ptr<QMenu> menu(g.Panel().BuildPopupMenu());
    QAction* points = Find(*menu, gc::kPointsBar);
    ASSERT_NE(points, nullptr);
    EXPECT_EQ(points->text(), "Points");
    EXPECT_FALSE(points->isChecked());
    points->trigger();
    EXPECT_TRUE(g.wnd.GetFrame()->IsPointsBarShown());
    EXPECT_TRUE(g.Bar().IsLive());
    const QAbstractItemModel* rows = g.Bar().GetList()->model();
    ASSERT_EQ(rows->rowCount(), 101);
    EXPECT_EQ(rows->headerData(0, Qt::Horizontal).toString(), "X");
    EXPECT_EQ(rows->index(1, 0).data().toString(), "30 Meter");
    EXPECT_EQ(rows->index(0, 1).data().toString(), "100.0 km/h");

    // Live now: a point added shows at once, a point of another curve not.
    g.wnd.AddPoint(0, 15, 1, true);
    g.wnd.AddPoint(1, 15, 1, true);
    EXPECT_EQ(rows->rowCount(), 102);
    EXPECT_EQ(rows->index(1, 0).data().toString(), "15 Meter");
    g.Bar().GetCombo()->setCurrentIndex(2);  // the user picks "Lap 3"
    EXPECT_EQ(g.Bar().GetCurrentGraph(), 2);
    EXPECT_EQ(rows->rowCount(), 101);

    std::unique_ptr<QMenu> again(g.Panel().BuildPopupMenu());
    EXPECT_TRUE(Find(*again, gc::kPointsBar)->isChecked());
    Find(*again, gc::kPointsBar)->trigger();
    EXPECT_FALSE(g.wnd.GetFrame()->IsPointsBarShown());
}

TEST(PointsBar, ItsMenuOffersPropertiesWithTheGraphWindowsPages) {
    Graph g;
    g.wnd.ShowPointsBar(1 + 8);
    for (QMenu* menu : {g.Bar().BuildPopupMenu(), g.Bar().GetList()->BuildPopupMenu()}) {
        std::unique_ptr<QMenu> owned(menu);
        EXPECT_EQ(Texts(*menu), QStringList{"Properties"});
        OnSheet([](CPropertySheet& sheet) {
            EXPECT_EQ(PageTitles(sheet), (QStringList{"Axis", "Graphs"}));
            EXPECT_EQ(sheet.windowTitle(), "Properties");
            sheet.accept();
        });
        menu->actions()[0]->trigger();
    }
}

TEST(GraphScreenshot, PointsBarAndPropertySheet) {
    Graph g;
    g.wnd.SetPanelFlags(4 + 8, false);
    g.wnd.ShowPointsBar(1 + 8);
    g.wnd.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g.wnd));
    QApplication::processEvents();
    fixture::CheckScreenshot(g.wnd.grab().toImage(), "graph_points_bar");
    // The list's rows and the combo's swatch are drawn.
    EXPECT_GT(g.Bar().GetList()->visualRect(g.Bar().GetList()->model()->index(3, 0)).bottom(), 0);

    for (int page : {0, 1, 2}) {
        OnSheet([page](CPropertySheet& sheet) {
            sheet.SetActivePage(page);
            QApplication::processEvents();
            const char* names[] = {"graph_properties_general", "graph_properties_axis", "graph_properties_graphs"};
            fixture::CheckScreenshot(sheet.grab().toImage(), names[page]);
            sheet.reject();
        });
        CGraphBaseClass::RunPropertySheet(&g.Panel());
    }
}

}  // namespace
