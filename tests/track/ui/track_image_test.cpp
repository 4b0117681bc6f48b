// The track map drawn into a QImage offscreen and checked by pixel: the
// stadium's surfaces and lines, and driving lines traced from a generated
// replay of the same circuit.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <memory>

#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "support/map_colours.h"
#include "support/race_generator.h"
#include "support/replay_fixture.h"
#include "support/temp_dir.h"
#include "support/track_fixture.h"
#include "track/section.h"
#include "track/track.h"
#include "track/track_path_tracer.h"
#include "track/ui/mfc_display.h"

namespace {

const QColor kTarmac(128, 128, 128);  // colour-table entry 7, surface kind 1
const QColor kGrass(50, 128, 50);     // entry 9, kind 4

// A white canvas with a painter bound to it and fitted to the track's
// surfaces with margins of 50.
struct Canvas {
    explicit Canvas(int size) : image(size, size, QImage::Format_RGB32) {
        image.fill(Qt::white);
        painter.begin(&image);
        display.BeginDraw(painter, image.rect(), fixture::kMapColours);
        display.FitToSurfaceBounds(50, 50, static_cast<uint32_t>(size), static_cast<uint32_t>(size));
    }
    QColor At(const WorldPoint& p) {
        const PixelPoint px = display.WorldToPixel(p);
        return image.pixelColor(px.x, px.y);
    }
    QImage& Done() {
        painter.end();
        return image;
    }

    QImage image;
    QPainter painter;
    MFCDisplay display{0x000000, 0xFFFFFF};
};

class TrackImageTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string path = dir.File("stadium.trk");
        fixture::WriteFile(path, fixture::BuildTrackBlock(fixture::StadiumCircuit()));
        track = std::make_unique<Track>(path);
        track->ComputeSplitLines();
    }
    void TearDown() override { track->Clear(); }

    fixture::TempDir dir;
    std::unique_ptr<Track> track;
};

TEST_F(TrackImageTest, StadiumShowsItsSurfacesCentreLineAndSplitLines) {
    Canvas c(1000);
    track->DrawSurfaces(c.display);
    track->DrawSections(c.display);
    track->DrawSplitLines(c.display);
    const double straight = fixture::kStadiumStraight * fixture::kTrackUnit;
    const double radius = fixture::kStadiumRadius * fixture::kTrackUnit;
    const struct {
        WorldPoint p;
        QColor colour;
    } cases[] = {
        {{straight / 2, 0}, Qt::black},  // centre line
        {{straight / 2, 3}, kTarmac},
        {{straight / 2, -3}, kTarmac},
        {{straight / 2, 6.1}, kGrass},
        {{straight / 2, -6.1}, kGrass},
        {{straight / 2, 12}, Qt::white},
        {{straight / 2, 2 * radius + 3}, kTarmac},
        {{straight, radius}, Qt::white},  // the infield
        {{straight + radius, radius}, Qt::black},
        {{0, 0}, Qt::red},              // start/finish line over the centre line
        {{0, 6}, Qt::red},
        {{straight / 2, 20}, Qt::white},
    };
    for (const auto& k : cases) EXPECT_EQ(c.At(k.p), k.colour) << k.p.x << ", " << k.p.y;
    // The map stays inside its margins.
    const QImage& image = c.Done();
    for (int i = 0; i < image.width(); ++i) {
        for (int edge : {0, 49, 951, 999}) {
            ASSERT_EQ(image.pixelColor(i, edge), QColor(Qt::white)) << i << ", " << edge;
            ASSERT_EQ(image.pixelColor(edge, i), QColor(Qt::white)) << edge << ", " << i;
        }
    }
}

// Two cars on the stadium circuit, the player and another, a little off the
// centre line (at most 4 m, the tarmac being 5.08 m to each side).
fixture::RacePlan StadiumRace(double lap_length) {
    fixture::RacePlan plan;
    plan.lap_length_m = lap_length;
    plan.player = 0;
    plan.race = false;
    fixture::CarPlan a;
    a.driver.first_name = "Jim";
    a.driver.last_name = "Clark";
    a.driver.slot = 0;
    a.practice_speeds = {40, 45, 44};
    fixture::CarPlan b;
    b.driver.first_name = "Dan";
    b.driver.last_name = "Gurney";
    b.driver.slot = 3;
    b.practice_speeds = {38, 42, 43};
    plan.cars = {a, b};
    return plan;
}

TEST_F(TrackImageTest, TracedLapsOfAGeneratedReplayLieOnTheTarmac) {
    const fixture::RaceGenerator race(StadiumRace(track->GetLength()));
    const std::string path = dir.File("stadium.rpy");
    fixture::WriteFile(path, fixture::BuildReplay(race.Spec()));
    Drivers drivers;
    ASSERT_EQ(drivers.LoadReplay(path), 0);

    // Without the lines the canvas shows where the tarmac is; a larger
    // canvas leaves the 1.08 m between line and edge a few pixels wide.
    constexpr int kSize = 2000;
    Canvas surfaces(kSize);
    track->DrawSurfaces(surfaces.display);
    const QImage& reference = surfaces.Done();

    const double lap_length = track->GetLength();
    for (int driver : {0, 1}) {
        GetRpyInfo lap;
        ASSERT_EQ(lap.ExtractLap(drivers, driver, 2, 0), 0) << driver;
        ASSERT_EQ(lap.TrimToLap(1), 0) << driver;
        ASSERT_GT(lap.sample_count, 500u) << driver;
        // The trimmed lap starts before the line and ends after it.
        ASSERT_GT(lap.distance[1], lap_length - 10.0) << driver;
        ASSERT_LT(lap.distance[lap.sample_count], 10.0) << driver;

        Canvas lines(kSize);
        TrackPathTracer tracer(*track, driver);
        for (uint32_t k = 1; k <= lap.sample_count; ++k) {
            ASSERT_TRUE(tracer.MoveTo(lines.display, lap.distance[k], lap.lateral_offset[k], false))
                << driver << " sample " << k << " at " << lap.distance[k];
        }
        const double scale = lines.display.GetScale();
        const QImage& drawn = lines.Done();
        const QColor colour = MFCDisplay::ToQColor(fixture::kMapColours[static_cast<size_t>(driver)]);

        int line_pixels = 0;
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                const QColor c = drawn.pixelColor(x, y);
                if (c == QColor(Qt::white)) continue;
                ASSERT_EQ(c, colour) << x << ", " << y;
                ASSERT_EQ(reference.pixelColor(x, y), kTarmac) << driver << ": off the tarmac at " << x << ", " << y;
                ++line_pixels;
            }
        }
        // The line passes where the generator drove the car, sample by
        // sample, and not on the mirror image across the centre line.
        const auto near_line = [&](const WorldPoint& p) {
            const PixelPoint c = surfaces.display.WorldToPixel(p);
            for (int y = c.y - 1; y <= c.y + 1; ++y) {
                for (int x = c.x - 1; x <= c.x + 1; ++x) {
                    if (drawn.pixelColor(x, y) == colour) return true;
                }
            }
            return false;
        };
        const auto on_track = [&](double d, double lateral) {
            const Section& s = track->GetSection(static_cast<size_t>(track->findSection(d)));
            return s.LocalToWorld(d - s.GetStartDistance(), lateral);
        };
        const uint32_t first_block = race.Lap(static_cast<uint32_t>(driver), 0, 2).FirstKeptBlock(1);
        for (uint32_t k = 1; k <= lap.sample_count; k += 7) {
            const fixture::CarState truth = race.StateAt(static_cast<uint32_t>(driver), first_block + k - 1);
            EXPECT_TRUE(near_line(on_track(truth.distance_m, truth.lateral_m))) << driver << " sample " << k;
            if (std::fabs(truth.lateral_m) > 2.0) {
                EXPECT_FALSE(near_line(on_track(truth.distance_m, -truth.lateral_m))) << driver << " sample " << k;
            }
        }
        EXPECT_GT(line_pixels, 0.5 * lap_length / scale) << driver;
    }
}

}  // namespace
