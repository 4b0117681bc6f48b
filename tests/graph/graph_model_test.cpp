// The graph model's slots and notices, the panel state's range arithmetic
// and mouse tools, and the pixels a curve is drawn with.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "graph/graph_commands.h"
#include "graph/graph_frame_link.h"
#include "graph/graph_model.h"
#include "graph/graph_panel_state.h"
#include "graph/segment_list.h"

namespace {

// A frame that records the notices and holds a panel state.
struct RecordingFrame : GraphFrameLink {
    void SendGraphCommand(GraphNotifyCode code, const GraphNotice& notice) override {
        codes.push_back(code);
        notices.push_back(notice);
        if (code == GraphNotifyCode::RangeSet) {
            panel.SetFlags(notice.flags);
            panel.SetRange(notice.x0, notice.x1, notice.y0, notice.y1);
        }
    }
    int GetPanelMode() const override { return panel.GetFlags(); }
    bool GetAxisRange(double& x0, double& x1, double& y0, double& y1) const override {
        panel.GetRange(x0, x1, y0, y1);
        return true;
    }
    void ShowPointsBar(int) override {}

    GraphPanelState panel;
    std::vector<GraphNotifyCode> codes;
    std::vector<GraphNotice> notices;
};

TEST(GraphModel, SlotsFillLowestFirstAndAreReused) {
    GraphModel model(2);
    RecordingFrame frame;
    model.SetFrameLink(&frame);
    EXPECT_EQ(model.AddGraph(0xFF, "a", false), 0);
    EXPECT_EQ(model.AddGraph(0xFF00, "b", false), 1);
    EXPECT_EQ(model.AddGraph(0xFF0000, "c", false), -1);
    EXPECT_EQ(frame.codes.size(), 2u);
    EXPECT_EQ(model.RemoveGraph(0, true), 0);
    EXPECT_EQ(model.RemoveGraph(0, true), -1);
    EXPECT_EQ(model.RemoveGraph(7, true), -1);
    int position = 99;
    EXPECT_EQ(model.GetFirstGraph(position)->GetTitle(), "b");
    EXPECT_EQ(position, 1);
    EXPECT_EQ(model.GetNextGraph(position), nullptr);
    EXPECT_EQ(position, -1);
    EXPECT_EQ(model.AddGraph(0xFF, "d", false), 0);
    EXPECT_EQ(model.GetGraphCount(), 2);
    EXPECT_EQ(model.GetGraph(-1), nullptr);
    EXPECT_EQ(model.GetGraph(2), nullptr);
}

TEST(GraphModel, PointOperationsReturnAndAnnounceAsCallersExpect) {
    GraphModel model(4);
    RecordingFrame frame;
    model.SetFrameLink(&frame);
    const int g = model.AddGraph(0xFF, "a", false);
    model.AddPoint(g, 5, 1, false);
    // Index -1 returns -1 even though the point was placed; the notice
    // carries where it landed.
    EXPECT_EQ(model.AddPoint(g, 2, 1, true), -1);
    EXPECT_EQ(frame.notices.back().point, 0);
    EXPECT_EQ(frame.notices.back().sender, &model);
    EXPECT_EQ(model.AddPoint(3, 1, 1, true), -1);  // no such graph: no notice
    EXPECT_EQ(frame.codes.back(), GraphNotifyCode::PointAdded);
    EXPECT_EQ(model.SetPoint(g, 0, 9, 9, true), 1);
    EXPECT_EQ(frame.notices.back().point, 0);  // the index given
    EXPECT_EQ(model.RemovePoint(g, 1, true), 1);
    EXPECT_EQ(model.GetGraph(g)->GetMax().x, 5);
    model.AddGraph(0xFF00, "b", false);
    model.AddPoint(1, 0, 0, false);
    const size_t before = frame.codes.size();
    model.ClearPoints(-1, true);
    ASSERT_EQ(frame.codes.size(), before + 1);
    EXPECT_EQ(frame.codes.back(), GraphNotifyCode::PointsCleared);
    EXPECT_EQ(frame.notices.back().graph, -1);
    EXPECT_EQ(model.GetGraph(0)->GetCount() + model.GetGraph(1)->GetCount(), 0);
}

TEST(GraphModel, WorksWithoutAFrameButAnnouncesNothing) {
    GraphModel model(1);
    EXPECT_EQ(model.AddGraph(0xFF, "a", true), 0);
    model.AddPoint(0, 1, 2, true);
    EXPECT_EQ(model.SetRange(0, 1, 0, 1, true), 0);
    double x0, x1, y0, y1;
    model.GetRange(x0, x1, y0, y1);
    EXPECT_EQ(x1, 10);
    EXPECT_EQ(y1, 10);
    EXPECT_EQ(model.GetPanelFlags(), 0);
}

TEST(GraphModel, DataBoundsCoverVisibleCurvesWithPoints) {
    GraphModel model(3);
    model.AddGraph(0xFF, "a", false);
    model.AddGraph(0xFF, "hidden", false);
    model.AddGraph(0xFF, "empty", false);
    double x0 = -1, x1 = -1, y0 = -1, y1 = -1;
    EXPECT_FALSE(model.GetDataBounds(x0, x1, y0, y1));
    EXPECT_EQ(x0, -1);
    model.AddPoint(0, 1, 5, false);
    model.AddPoint(0, 4, -2, false);
    model.AddPoint(1, 100, 100, false);
    model.GetGraph(1)->SetVisible(false);
    ASSERT_TRUE(model.GetDataBounds(x0, x1, y0, y1));
    EXPECT_EQ(std::vector<double>({x0, x1, y0, y1}), std::vector<double>({1, 4, -2, 5}));
}

TEST(GraphModel, AxisNumbersAsCallersUseThem) {
    GraphModel model(1);
    model.SetAxisLabel("Distance", "m", 0, 5, false);  // any nonzero axis is x
    EXPECT_EQ(model.GetAxisLabel(1)->GetTitle(), "Distance");
    EXPECT_EQ(model.GetAxisLabel(5)->GetTitle(), "");  // only 1 is x here
    EXPECT_EQ(model.FormatAxisValue(12.4, 5, 1), "12 m");
    EXPECT_EQ(model.FormatAxisValue(12.4, 0, 0), "12.400");
}

TEST(GraphPanelState, PointsOutsideTheRangeExtendIt) {
    GraphModel model(1);
    model.AddGraph(0xFF, "a", false);
    GraphPanelState s;
    s.SetFlags(GraphPanelState::kAutoExtend);
    s.SetClientSize(100, 100);
    CGraphProps& curve = *model.GetGraph(0);
    curve.AddPoint(12, 5, true);
    EXPECT_EQ(s.OnPointAdded(curve, 0, true, true), GraphPanelState::PointAdded::Render);
    curve.AddPoint(5, -3, true);
    EXPECT_EQ(s.OnPointAdded(curve, 0, false, true), GraphPanelState::PointAdded::Nothing);
    double x0, x1, y0, y1;
    s.GetRange(x0, x1, y0, y1);
    EXPECT_EQ(std::vector<double>({x0, x1, y0, y1}), std::vector<double>({0, 12, -3, 10}));
    // Reversed: the end holding the smaller value moves.
    s.SetRange(10, 0, 0, 10);
    s.ExtendXMin(-4);
    s.ExtendYMax(20);
    s.GetRange(x0, x1, y0, y1);
    EXPECT_EQ(std::vector<double>({x0, x1, y0, y1}), std::vector<double>({10, -4, 0, 20}));
    // Inside the range: the ends draw alone, the middle renders.
    s.SetFlags(0);
    curve.AddPoint(8, 1, true);
    EXPECT_EQ(s.OnPointAdded(curve, 1, true, true), GraphPanelState::PointAdded::Render);
    EXPECT_EQ(s.OnPointAdded(curve, 2, true, true), GraphPanelState::PointAdded::Incremental);
    EXPECT_EQ(s.OnPointAdded(curve, 2, true, false), GraphPanelState::PointAdded::Nothing);
    EXPECT_EQ(s.OnPointAdded(curve, 3, true, true), GraphPanelState::PointAdded::Nothing);
}

TEST(GraphPanelState, ZeroWidthRangesAreWidenedAndFitHandlesConstantData) {
    GraphPanelState s;
    s.SetClientSize(200, 100);
    const struct {
        double x0, x1, y0, y1;
        std::vector<double> range;
    } cases[] = {
        {5, 5, 0, 0, {4.5, 5.5, -1, 1}},
        {-20, -20, 3, 4, {-22, -18, 3, 4}},
        {0, 1, 7, 7, {0, 1, 6.3, 7.7}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(s.SetRange(c.x0, c.x1, c.y0, c.y1));
        double x0, x1, y0, y1;
        s.GetRange(x0, x1, y0, y1);
        EXPECT_NEAR(x0, c.range[0], 1e-12);
        EXPECT_NEAR(x1, c.range[1], 1e-12);
        EXPECT_NEAR(y0, c.range[2], 1e-12);
        EXPECT_NEAR(y1, c.range[3], 1e-12);
        if (c.x0 == c.x1) {
            EXPECT_EQ(s.XScale().ValueToIntPixel(c.x0), 100);
        }
    }
    EXPECT_FALSE(s.SetRange(0, 1, 7, 7));  // the same widened range again
    EXPECT_FALSE(s.SetRange(0, NAN, 0, 1));

    GraphModel model(1);
    EXPECT_FALSE(s.FitToData(graph_command::kFitPage, model));
    model.AddGraph(0xFF, "flat", false);
    model.AddPoint(0, 0, 50, false);
    model.AddPoint(0, 100, 50, false);
    ASSERT_TRUE(s.FitToData(graph_command::kFitHeight, model));
    double x0, x1, y0, y1;
    s.GetRange(x0, x1, y0, y1);
    EXPECT_EQ(std::vector<double>({x0, x1, y0, y1}), std::vector<double>({0, 1, 45, 55}));
    EXPECT_EQ(s.YScale().ValueToIntPixel(50), 50);
}

TEST(GraphPanelState, PanBandAndZoomRectangle) {
    GraphPanelState s;
    s.SetClientSize(100, 100);  // 0..10 on both axes: 10 pixels a unit
    s.BeginPan(50, 50);
    EXPECT_TRUE(s.PanTo(60, 40));
    EXPECT_TRUE(s.EndPan(70, 40));
    double x0, x1, y0, y1;
    s.GetRange(x0, x1, y0, y1);
    EXPECT_EQ(std::vector<double>({x0, x1, y0, y1}), std::vector<double>({-2, 8, -1, 9}));

    s.SetRange(0, 10, 0, 10);
    s.BeginBand(20, 20);
    s.EndBand(20, 20);
    EXPECT_FALSE(s.IsZoomToolOn());  // released where it started
    s.BeginBand(19, 29);
    s.MoveBand(60, 50);
    s.EndBand(59, 69);
    ASSERT_TRUE(s.IsZoomToolOn());
    // Drag the inside by (1, 1): the outer rectangle becomes 20..61, 30..71.
    ASSERT_TRUE(s.BeginTrack(40, 50));
    s.TrackTo(41, 51);
    s.EndTrack();
    EXPECT_EQ(s.TrackerOuter(), (GraphPanelState::Rect{19, 29, 61, 71}));
    ASSERT_TRUE(s.ApplyZoom());
    EXPECT_FALSE(s.IsZoomToolOn());
    s.GetRange(x0, x1, y0, y1);
    EXPECT_NEAR(x0, 1.9, 1e-12);
    EXPECT_NEAR(x1, 6.1, 1e-12);
    EXPECT_NEAR(y0, 2.9, 1e-12);
    EXPECT_NEAR(y1, 7.1, 1e-12);
    EXPECT_EQ(GraphPanelState::ToggledFlags(11, 2), 9);
    EXPECT_EQ(GraphPanelState::ToggledFlags(9, 2 + 8), 11);
}

TEST(SegmentList, RepeatedPixelsAreNeitherConnectedNorMarkedAgain) {
    const AxisScale xs(0, 100, 0, 100);
    const AxisScale ys(100, 0, 0, 100);
    CPointsCollection same(true, false);
    for (int i = 0; i < 10; ++i) same.AddPoint(50 + i * 0.01, 50, false);
    SegmentList list;
    list.Build(same, xs, ys, true, true);
    EXPECT_EQ(list.GetSegmentCount(), 0u);
    EXPECT_EQ(list.GetMarks().size(), 1u);

    CPointsCollection zigzag(true, false);
    for (double x : {0.0, 0.5, 10.0, 10.2, 20.0}) zigzag.AddPoint(x, std::floor(x), false);
    list.Build(zigzag, xs, ys, true, false);
    ASSERT_EQ(list.GetRunCount(), 1u);
    const std::vector<SegmentList::Pixel> expected{{0, 100}, {10, 90}, {20, 80}};
    EXPECT_EQ(list.GetPoints(), expected);
    EXPECT_TRUE(list.GetMarks().empty());
    list.Build(zigzag, xs, ys, false, true);  // marks without lines
    EXPECT_EQ(list.GetSegmentCount(), 0u);
    EXPECT_EQ(list.GetMarks().size(), 3u);
}

TEST(SegmentList, RunsWithinOnePixelColumnKeepFirstLowestHighestAndLast) {
    const AxisScale xs(0, 100, 0, 100);
    const AxisScale ys(0, 100, 0, 100);  // y pixel = y value here
    CPointsCollection c(false, false);
    for (const GraphPoint& p : std::vector<GraphPoint>{
             {4, 4}, {5, 10}, {5.2, 3}, {5.4, 12}, {5.6, 8}, {5.8, 6}, {6, 6}, {7, 1}, {7.5, 2}, {7.9, 3}})
        c.AddPoint(p, false);
    SegmentList list;
    list.Build(c, xs, ys, true, false);
    const std::vector<SegmentList::Pixel> expected{{4, 4}, {5, 10}, {5, 3}, {5, 12}, {5, 6},
                                                   {6, 6}, {7, 1},  {7, 2}, {7, 3}};
    EXPECT_EQ(list.GetPoints(), expected);
}

TEST(SegmentList, DeepZoomCutsLinesAtTheLimitKeepingTheirSlope) {
    // 1e-9 units across 1000 pixels: the neighbours lie ~1e12 pixels out.
    const AxisScale xs(0, 1000, 5.0, 5.0 + 1e-9);
    const AxisScale ys(1000, 0, 5.0, 5.0 + 1e-9);
    CPointsCollection line(true, false);
    line.AddPoint(0, 0, false);
    line.AddPoint(10, 10, false);
    SegmentList list;
    list.Build(line, xs, ys, true, true);
    ASSERT_EQ(list.GetRunCount(), 1u);
    ASSERT_EQ(list.GetPoints().size(), 2u);
    for (const SegmentList::Pixel& p : list.GetPoints()) {
        EXPECT_LE(std::abs(p.x), AxisScale::kPixelLimit);
        // On the diagonal through (0, 1000): x + y = 1000 within a pixel.
        EXPECT_NEAR(p.x + p.y, 1000, 2);
    }
    EXPECT_TRUE(list.GetMarks().empty());
}

}  // namespace
