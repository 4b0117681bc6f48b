// Point sets, curve properties and axis labels.

#include <gtest/gtest.h>

#include <vector>

#include "graph/graph_axis_label.h"
#include "graph/graph_props.h"
#include "graph/points_collection.h"

namespace {

std::vector<double> Xs(const CPointsCollection& c) {
    std::vector<double> xs;
    for (const GraphPoint& p : c.GetPoints()) xs.push_back(p.x);
    return xs;
}

TEST(PointsCollection, SortedPlacesByXAndReplacesEqualX) {
    CPointsCollection c(true, false);
    EXPECT_EQ(c.AddPoint(1, 5, true), 0);
    EXPECT_EQ(c.AddPoint(3, 5, true), 1);
    EXPECT_EQ(c.AddPoint(2, 5, true), 1);
    EXPECT_EQ(Xs(c), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(c.AddPoint(2, 9, true), 1);
    EXPECT_EQ(c.GetCount(), 3);
    EXPECT_EQ(c.GetPoint(1).y, 9);
    EXPECT_EQ(c.AddPoint(0, 1, true), 0);
}

TEST(PointsCollection, DuplicatesGoInFrontOfTheEqualX) {
    CPointsCollection c(true, true);
    c.AddPoint(1, 0, true);
    c.AddPoint(2, 7, true);
    c.AddPoint(3, 0, true);
    EXPECT_EQ(c.AddPoint(2, 8, true), 1);
    EXPECT_EQ(c.GetPoint(1).y, 8);
    EXPECT_EQ(c.GetPoint(2).y, 7);
}

TEST(PointsCollection, UnsortedAppendsAndInsertsWhereTold) {
    CPointsCollection c(false, false);
    EXPECT_EQ(c.AddPoint(5, 0, true), 0);
    EXPECT_EQ(c.AddPoint(1, 0, true), 1);
    EXPECT_EQ(c.InsertPoint(2, {9, 0}, true), 2);   // index == count appends
    EXPECT_EQ(c.InsertPoint(4, {9, 0}, true), -1);  // one past the count
    EXPECT_EQ(c.InsertPoint(1, {7, 0}, true), 1);
    EXPECT_EQ(Xs(c), (std::vector<double>{5, 7, 1, 9}));
    EXPECT_EQ(c.ReplacePoint(0, {4, 4}, true), 0);
    EXPECT_EQ(c.ReplacePoint(4, {4, 4}, true), -1);
    EXPECT_EQ(Xs(c), (std::vector<double>{4, 7, 1, 9}));
}

TEST(PointsCollection, BoundsWidenAndAreRecomputedOnlyOnRequest) {
    CPointsCollection c(true, false);
    c.AddPoint(0, -2, true);
    c.AddPoint(10, 8, true);
    c.RemovePoint(1, false);
    EXPECT_EQ(c.GetMax().x, 10);
    EXPECT_EQ(c.GetMax().y, 8);
    c.RemovePoint(5, true);  // ignored
    c.RecalcBounds();
    EXPECT_EQ(c.GetMax().x, 0);
    EXPECT_EQ(c.GetMax().y, -2);
    c.Clear();
    c.RecalcBounds();
    EXPECT_EQ(c.GetMin().x, 0);
    EXPECT_EQ(c.GetMax().y, 0);
}

TEST(GraphProps, PropertyCopyHasNoPoints) {
    CGraphProps curve(0x0000FF, "Speed", false, true, 3, false, true);
    curve.AddPoint(1, 2, true);
    const CGraphProps copy(curve);
    EXPECT_EQ(copy.GetCount(), 0);
    EXPECT_TRUE(copy.IsSorted());
    EXPECT_FALSE(copy.AllowsDuplicates());
    EXPECT_EQ(copy.GetColor(), 0x0000FFu);
    EXPECT_EQ(copy.GetTitle(), "Speed");
    EXPECT_FALSE(copy.IsVisible());
    EXPECT_TRUE(copy.KeepsPens());
    EXPECT_EQ(copy.GetId(), 3);
}

TEST(GraphAxisLabel, FormatsValuesWithoutReadingTextsAsFormats) {
    CGraphAxisLabel label;
    label.SetTitle("Throttle %d %s");
    label.SetUnit("%");
    const struct {
        int decimals;
        double value;
        int style;
        const char* text;
    } cases[] = {
        {3, 12.5, 0, "12.500"},
        {3, 12.5, 1, "12.500 %"},
        {3, -0.25, 2, "Throttle %d %s: -0.250 %"},
        {0, 12.5, 0, "12"},
        {0, 13.5, 1, "14 %"},
        {2, 1e6, 0, "1000000.00"},
        {3, 1.0, 3, ""},
        {-1, 2.75, 0, "3"},
    };
    for (const auto& c : cases) {
        label.SetDecimals(c.decimals);
        EXPECT_EQ(label.FormatValue(c.value, c.style), c.text) << c.value << " style " << c.style;
    }
    EXPECT_EQ(label.GetCaption(), "Throttle %d %s, %");
}

}  // namespace
