// The track map's zoom and scroll arithmetic on a 50000-unit square map.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_profile.h"
#include "app/zoom_model.h"
#include "support/config_dir.h"

namespace {

ZoomModel Fitted(int64_t w, int64_t h) {
    ZoomModel z;
    z.SetZoomSizes(50000, 50000);
    z.SetClientSize({w, h});
    z.DoZoomFull();
    return z;
}

TEST(ZoomModel, FitsTheSquareIntoTheClientAndCentresIt) {
    const struct {
        int64_t w, h;
        int64_t side;      // fitted device size of the square
        int64_t origin_x;  // centring offset
        int64_t origin_y;
    } cases[] = {{1000, 600, 600, 200, 0}, {600, 1000, 600, 0, 200}, {800, 800, 800, 0, 0}, {1, 1, 1, 0, 0}};
    for (const auto& c : cases) {
        const ZoomModel z = Fitted(c.w, c.h);
        EXPECT_EQ(z.GetTotalDeviceSize().width, c.side) << c.w << "x" << c.h;
        EXPECT_EQ(z.GetTotalDeviceSize().height, c.side) << c.w << "x" << c.h;
        EXPECT_EQ(z.GetOrigin().x, c.origin_x) << c.w << "x" << c.h;
        EXPECT_EQ(z.GetOrigin().y, c.origin_y) << c.w << "x" << c.h;
        EXPECT_FALSE(z.HasHorizontalBar() || z.HasVerticalBar());
    }
    // A client without height keeps the zoom it had: nothing divides by 0.
    ZoomModel z = Fitted(1000, 600);
    z.SetClientSize({1000, 0});
    z.DoZoomFull();
    EXPECT_DOUBLE_EQ(z.GetZoomFactor(), 600.0 / 50000.0);
}

TEST(ZoomModel, ClicksZoomBy125AboutThePointAndBoxesFillTheClient) {
    ZoomModel z = Fitted(500, 500);
    const double fitted = z.GetZoomFactor();
    // A box under 10 pixels both ways is a click.
    z.DoZoomIn({25000, 25000, 25100, 25100});
    EXPECT_DOUBLE_EQ(z.GetZoomFactor(), fitted * 1.25);
    EXPECT_NEAR(z.GetLogicalCenterPoint().x, 25050, 50000.0 / 625.0);
    // A box of 10000 x 5000 units: the tighter direction decides.
    z.DoZoomIn({10000, 10000, 20000, 15000});
    EXPECT_DOUBLE_EQ(z.GetZoomFactor(), 501.0 / 10000.0);
    // Scroll positions are whole pixels: the centre is within one of them.
    EXPECT_NEAR(z.GetLogicalCenterPoint().x, 15000, 10000.0 / 501.0);
    EXPECT_NEAR(z.GetLogicalCenterPoint().y, 12500, 10000.0 / 501.0);
    // In and out again: the same factor, the device size within a pixel.
    const auto before = z.GetTotalDeviceSize();
    z.ZoomInBy(nullptr, 1.25);
    z.ZoomOutBy(nullptr, 1.25);
    EXPECT_NEAR(z.GetTotalDeviceSize().width, before.width, 1);
}

TEST(ZoomModel, ManyZoomStepsStayInsideTheLimits) {
    ZoomModel z = Fitted(800, 600);
    for (int i = 0; i < 500; ++i) z.ZoomInBy(nullptr, 1.25);
    EXPECT_LE(z.GetTotalDeviceSize().width, ZoomModel::kMaxDeviceSize);
    EXPECT_GT(z.GetScrollLimit().width, 0);
    // Each step keeps the centre to a whole pixel of the zoom it started at.
    EXPECT_NEAR(z.GetLogicalCenterPoint().x, 25000, 250);
    // Round trips stay exact enough at the deepest zoom.
    const ZoomModel::Point p{25001, 24999};
    const ZoomModel::Point back = z.DeviceToLogical(z.LogicalToDevice(p));
    EXPECT_EQ(back.x, p.x);
    EXPECT_EQ(back.y, p.y);
    for (int i = 0; i < 1000; ++i) z.ZoomOutBy(nullptr, 1.25);
    EXPECT_GE(z.GetTotalDeviceSize().width, 1);
    EXPECT_GT(z.GetZoomFactor(), 0.0);
}

TEST(ZoomModel, StepsScrollOnlyWithBothBarsAndStopAtTheEnds) {
    ZoomModel z = Fitted(400, 400);
    z.ZoomInBy(nullptr, 4.0);  // 1600 x 1600 in 400 x 400: both bars
    const ZoomModel::Point start = z.GetScrollPosition();
    EXPECT_TRUE(z.ScrollByStep(4, 8));
    EXPECT_EQ(z.GetScrollPosition().x, start.x + 8);
    EXPECT_TRUE(z.ScrollByStep(1, -390));  // Page Down scrolls up by a negative amount
    EXPECT_EQ(z.GetScrollPosition().y, start.y + 390);
    EXPECT_TRUE(z.ScrollByStep(2, 100000));
    EXPECT_EQ(z.GetScrollPosition().x, 0);
    EXPECT_FALSE(z.ScrollByStep(2, 10));

    // Only a horizontal bar: the image does not move.
    ZoomModel wide = Fitted(400, 2000);
    wide.ZoomInBy(nullptr, 2.0);
    ASSERT_TRUE(wide.HasHorizontalBar());
    ASSERT_FALSE(wide.HasVerticalBar());
    EXPECT_FALSE(wide.ScrollByStep(4, 50));
}

TEST(AppProfile, PlacementNeedsAllFiveValues) {
    fixture::ScopedConfigDir config;
    EXPECT_FALSE(AppProfile::ReadPlacement());
    ASSERT_TRUE(AppProfile::WritePlacement({3, 100, -50, 700, 850}));
    const auto p = AppProfile::ReadPlacement();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->status, 3);
    EXPECT_EQ(p->left, -50);
    ASSERT_TRUE(AppProfile::WritePlacement({1, -1, 0, 10, 10}));
    EXPECT_FALSE(AppProfile::ReadPlacement());  // -1 counts as missing
}

TEST(AppProfile, APlacementIsBoundedAndKeepsItsTitleBarOnAScreenThatExists) {
    using Rect = AppProfile::Rect;
    constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    const std::vector<Rect> primary{{0, 0, 1024, 768}};
    const std::vector<Rect> with_left{{0, 0, 1024, 768}, {-1280, 0, 1280, 1024}};
    const struct {
        const char* what;
        AppProfile::Placement stored;  // status, top, left, bottom, right
        std::vector<Rect> screens;
        Rect expected;
    } cases[] = {
        {"negative coordinates stay", {1, 100, -50, 700, 850}, primary, {-50, 130, 900, 600}},
        {"from a larger screen: an icon inside the right and bottom edges", {1, 900, 1500, 1500, 2300}, primary,
         {1024 - 32, 768 - 32, 800, 600}},
        {"on the monitor left of the primary one", {1, 70, -1200, 670, -400}, with_left, {-1200, 100, 800, 600}},
        {"that monitor gone: an icon's width on the primary one", {1, 70, -1200, 670, -400}, primary,
         {32 - 800, 100, 800, 600}},
        {"title bar above the screen", {1, -530, 100, 70, 900}, primary, {100, 16, 800, 600}},
        {"extreme numbers: no larger than the screens", {1, kMin, kMin, kMax, kMax}, primary, {32 - 1024, 16, 1024, 768}},
        {"as large as both screens", {1, -30, -1280, 994, 1024}, with_left, {-1280, 16, 2304, 1024}},
        {"reversed extremes", {1, kMax, kMax, kMin, kMin}, primary, {1023, 768 - 32, 0, 0}},
        {"no screen: bounded only", {1, kMin, kMax, kMax, kMin}, {}, {32767, -32767 + 30, 0, 32767}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Rect r = AppProfile::PlaceOnScreen(c.stored, {0, 30, 1024, 738}, c.screens, 32, 32);
        EXPECT_EQ(r.x, c.expected.x);
        EXPECT_EQ(r.y, c.expected.y);
        EXPECT_EQ(r.width, c.expected.width);
        EXPECT_EQ(r.height, c.expected.height);
    }
}

TEST(AppProfile, RecentFilesKeepTheNewestSevenOnce) {
    fixture::ScopedConfigDir config;
    std::vector<std::string> files;
    for (int i = 1; i <= 9; ++i) files = AppProfile::AddRecentFile(files, "/r/" + std::to_string(i) + ".rpy");
    files = AppProfile::AddRecentFile(files, "/r/5.rpy");
    ASSERT_TRUE(AppProfile::WriteRecentFiles(files));
    EXPECT_EQ(AppProfile::ReadRecentFiles(),
              (std::vector<std::string>{"/r/5.rpy", "/r/9.rpy", "/r/8.rpy", "/r/7.rpy", "/r/6.rpy", "/r/4.rpy",
                                        "/r/3.rpy"}));
}

TEST(AppProfile, AFileUnreadableAtStartIsLeftAloneWithoutAFailureToReport) {
    fixture::ScopedConfigDir config;
    std::filesystem::create_directories(config.folder());
    const auto file = config.folder() / "current_user.reg";
    const std::string damaged = "REGEDTI4\r\n";
    { std::ofstream(file, std::ios::binary) << damaged; }
    EXPECT_FALSE(AppProfile::ReadPlacement());
    // Mended by the user while the program runs: still left alone, and the
    // frame has nothing new to tell at close.
    const std::string mended = "REGEDIT4\r\n";
    { std::ofstream(file, std::ios::binary) << mended; }
    EXPECT_TRUE(AppProfile::WritePlacement({1, 10, 10, 500, 700}));
    EXPECT_TRUE(AppProfile::WriteRecentFiles({"/r/1.rpy"}));
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), mended);
}

}  // namespace
