// The "Points" bar's state over a graph model: which curve it shows, its
// rows following the notices, freezing and thawing, and the row texts;
// and the rules by which the property pages read their edit boxes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graph/data_exchange.h"
#include "graph/graph_frame_link.h"
#include "graph/graph_model.h"
#include "graph/point_list_state.h"
#include "graph/point_list_view.h"

namespace {

// Keeps the rows as the list would, failing on any row operation a list
// could not carry out.
struct RowsView : PointListView {
    void BeginQuiet() override { ++quiet; }
    void EndQuiet() override { --quiet; }
    void InsertRow(int row) override {
        ASSERT_TRUE(row >= 0 && row <= rows);
        ++rows;
    }
    void DeleteRow(int row) override {
        ASSERT_TRUE(row >= 0 && row < rows);
        --rows;
    }
    void SetRowCount(int count) override { rows = count; }
    void RepaintRows(int first, int last) override { ASSERT_TRUE(first >= 0 && last < rows && first <= last); }
    void RepaintCombo(bool) override {}
    int rows = 0;
    int quiet = 0;
};

// A frame that hands the model's notices to the point list alone.
struct ListFrame : GraphFrameLink {
    explicit ListFrame(GraphModel& graph) : model(graph), state(view) { model.SetFrameLink(this); }
    void SendGraphCommand(GraphNotifyCode code, const GraphNotice& notice) override {
        // Freezing and thawing come from the frame, not the model.
        state.OnGraphNotify(code, notice, notice.sender != nullptr ? notice.sender : &model, true);
        EXPECT_EQ(view.quiet, 0);
    }
    int GetPanelMode() const override { return 0; }
    bool GetAxisRange(double&, double&, double&, double&) const override { return false; }
    void ShowPointsBar(int flags) override {
        if ((flags & 4) != 0) SendGraphCommand(GraphNotifyCode::ListFrozen, {});
        if ((flags & 8) != 0) SendGraphCommand(GraphNotifyCode::ListLive, {});
    }
    GraphModel& model;
    RowsView view;
    PointListState state;
};

TEST(PointList, ShowsTheFirstCurveAndFollowsItsPointsOnly) {
    GraphModel model(4);
    ListFrame frame(model);
    const int a = model.AddGraph(0xFF, "a", false);
    EXPECT_EQ(frame.state.GetCurrentGraph(), a);  // selected at once
    const int b = model.AddGraph(0xFF00, "b", false);
    EXPECT_EQ(frame.state.GetCurrentGraph(), a);  // later curves leave it
    EXPECT_EQ(frame.state.GetEntries(), (std::vector<int>{a, b}));

    for (double x : {3.0, 1.0, 2.0}) model.AddPoint(a, x, x * 10, false);
    model.AddPoint(b, 5, 5, false);  // not the curve shown
    EXPECT_EQ(frame.view.rows, 3);
    // A point at an x already present replaces that point: still one row
    // per point. An insert the curve refuses adds no row.
    model.AddPoint(a, 2.0, 99, true);
    model.AddPoint(a, 7, 7, true, 42);
    EXPECT_EQ(frame.view.rows, model.GetGraph(a)->GetCount());
    model.RemovePoint(a, 0, false);
    model.RemovePoint(a, 17, false);
    EXPECT_EQ(frame.view.rows, 2);
    model.ClearPoints(b, false);
    EXPECT_EQ(frame.view.rows, 2);
    model.ClearPoints(-1, false);
    EXPECT_EQ(frame.view.rows, 0);
}

TEST(PointList, RemovingTheCurrentCurveShowsEntryZero) {
    GraphModel model(4);
    ListFrame frame(model);
    const int a = model.AddGraph(0xFF, "a", false);
    const int b = model.AddGraph(0xFF00, "b", false);
    const int c = model.AddGraph(0xFF0000, "c", false);
    for (int i = 0; i < 4; ++i) model.AddPoint(b, i, i, false);
    for (int i = 0; i < 6; ++i) model.AddPoint(c, i, i, false);

    frame.state.SelectEntry(2, &model);  // the user picks "c"
    EXPECT_EQ(frame.view.rows, 6);
    model.RemoveGraph(a, true);  // another curve: "c" stays shown
    EXPECT_EQ(frame.state.GetCurrentGraph(), c);
    model.RemoveGraph(c, true);
    EXPECT_EQ(frame.state.GetSelectedEntry(), 0);
    EXPECT_EQ(frame.state.GetCurrentGraph(), b);
    EXPECT_EQ(frame.view.rows, 4);
    model.RemoveGraph(b, true);
    EXPECT_TRUE(frame.state.GetEntries().empty());
    EXPECT_EQ(frame.state.GetCurrentGraph(), -1);
    EXPECT_EQ(frame.view.rows, 0);
}

TEST(PointList, FrozenListSkipsPointsAndCatchesUpWhenLive) {
    GraphModel model(4);
    ListFrame frame(model);
    model.ShowPointsBar(4);
    const int a = model.AddGraph(0xFF, "a", false);  // curves still come
    EXPECT_EQ(frame.state.GetCurrentGraph(), a);
    for (int i = 0; i < 500; ++i) model.AddPoint(a, i, i, false);
    model.Redraw(-1);
    EXPECT_EQ(frame.view.rows, 0);
    model.ShowPointsBar(8);
    EXPECT_TRUE(frame.state.IsLive());
    EXPECT_EQ(frame.view.rows, 500);
    // Clears empty the list even while frozen.
    model.ShowPointsBar(4);
    model.ClearPoints(a, false);
    EXPECT_EQ(frame.view.rows, 0);
}

TEST(PointList, RowsReadAsTheAxisLabelsFormat) {
    GraphModel model(2);
    ListFrame frame(model);
    const int a = model.AddGraph(0xFF, "a", false);
    model.AddPoint(a, 1234.5678, -3.25, false);
    model.SetAxisLabel("Meter", "Meter", 0, 1, true);
    model.SetAxisLabel("Speed", "km/h", 1, 0, true);
    EXPECT_EQ(PointListState::RowText(&model, a, 0, 0), "1235 Meter");
    EXPECT_EQ(PointListState::RowText(&model, a, 0, 1), "-3.2 km/h");
    EXPECT_EQ(PointListState::RowText(&model, a, 1, 0), "");
    EXPECT_EQ(PointListState::RowText(&model, a, 0, 2), "");
    EXPECT_EQ(PointListState::RowText(&model, 1, 0, 0), "");
}

TEST(DataExchange, ReadsWholeNumbersAndNumbersOnly) {
    namespace dx = data_exchange;
    const struct {
        const char* text;
        std::optional<int> integer;
        std::optional<double> number;
    } cases[] = {
        {"10", 10, 10.0},      {" -1 ", -1, -1.0},  {"+3", 3, 3.0},   {"2.5", std::nullopt, 2.5},
        {"1e3", std::nullopt, 1000.0}, {"", std::nullopt, std::nullopt}, {"7x", std::nullopt, std::nullopt},
        {"99999999999", std::nullopt, 99999999999.0}, {"nan", std::nullopt, std::nullopt},
        {"1e999", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dx::ParseInt(c.text), c.integer) << c.text;
        EXPECT_EQ(dx::ParseDouble(c.text), c.number) << c.text;
    }
    for (double v : {0.1, 1.0 / 3.0, -1e-9, 123456789.125}) EXPECT_EQ(dx::ParseDouble(dx::FormatDouble(v)), v);
    EXPECT_EQ(dx::FormatDouble(100.0), "100");
    EXPECT_EQ(dx::IntegerRangeMessage(0, 10), "Please enter an integer between 0 and 10.");
}

}  // namespace
