// Queries of a loaded track: which section holds a distance, the split
// lines, the highlighted stretch and the drawing calls they make.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <vector>

#include "recording_display.h"
#include "track/curve.h"
#include "track/section.h"
#include "track/split_line.h"
#include "track/track.h"
#include "track/zavro_exception.h"
#include "track_test_support.h"

namespace {

using Kind = RecordingDisplay::Kind;
using track_test::kMm;
using track_test::kUnit;
using track_test::Near;

constexpr double kPi = std::numbers::pi;
const double kStraight = fixture::kStadiumStraight * kUnit;
const double kRadius = fixture::kStadiumRadius * kUnit;
const double kEdge = 140000 * kUnit;

// The lookup as the format's tools define it: the first section whose end
// is beyond the distance.
int LinearFind(const Track& t, double d) {
    for (size_t i = 0; i < t.GetSectionCount(); ++i) {
        if (t.GetSection(i).GetEnd() > d) return static_cast<int>(i);
    }
    return -1;
}

std::string ThrownBy(const std::function<void()>& f) {
    try {
        f();
    } catch (const ZAVROException& e) {
        return e.GetMessage();
    }
    return "";
}

class TrackQueryTest : public testing::Test {
protected:
    std::unique_ptr<Track> Load(const fixture::TrackBlockSpec& spec) {
        return std::make_unique<Track>(track_test::WriteBlock(dir, "t.trk", spec));
    }
    // The calls drawing the sections, grouped by section.
    static std::vector<std::string> LettersBySection(const Track& t) {
        std::vector<std::string> out;
        for (size_t i = 0; i < t.GetSectionCount(); ++i) {
            RecordingDisplay d;
            t.GetSection(i).Draw(d);
            out.push_back(d.Letters());
        }
        return out;
    }
    fixture::TempDir dir;
};

TEST_F(TrackQueryTest, FindSectionBoundaries) {
    const auto t = Load(fixture::StadiumCircuit());
    const double end0 = t->GetSection(0).GetEnd();
    EXPECT_EQ(t->findSection(0), 0);
    EXPECT_EQ(t->findSection(-5), 0);
    EXPECT_EQ(t->findSection(std::nextafter(end0, 0.0)), 0);
    EXPECT_EQ(t->findSection(end0), 1);
    EXPECT_EQ(t->findSection(t->GetLength()), -1);
    EXPECT_EQ(t->findSection(t->GetLength() + 1), -1);
    EXPECT_EQ(t->findSection(std::nextafter(t->GetLength(), 0.0)), 3);
    EXPECT_EQ(t->findSection(std::numeric_limits<double>::quiet_NaN()), -1);
    EXPECT_EQ(t->findSection(std::numeric_limits<double>::infinity()), -1);
    EXPECT_EQ(t->findSection(-std::numeric_limits<double>::infinity()), 0);
}

TEST_F(TrackQueryTest, FindSectionAgreesWithTheLinearLookup) {
    // The winding circuit, and a track whose second section is a curve of
    // negative length (radius and angle of opposite signs), where the ends
    // along the lap are out of order.
    fixture::TrackBlockSpec backwards = fixture::StadiumCircuit();
    for (size_t j = 0; j < backwards.sections[1].cross.size(); ++j) {
        backwards.sections[1].cross[j][6] = -fixture::kStadiumRadius - fixture::kStadiumTraces[j];
    }
    for (const auto& spec : {fixture::WindingCircuit(), backwards}) {
        const auto t = Load(spec);
        std::vector<double> probes{-1.0, 0.0};
        for (size_t i = 0; i < t->GetSectionCount(); ++i) {
            const double e = t->GetSection(i).GetEnd();
            probes.insert(probes.end(), {e, std::nextafter(e, -1e9), std::nextafter(e, 1e9)});
        }
        for (double d = -3; d < t->GetLength() + 3; d += 0.731) probes.push_back(d);
        for (double d : probes) EXPECT_EQ(t->findSection(d), LinearFind(*t, d)) << d;
    }
    // The damaged curve really breaks the order.
    const auto t = Load(backwards);
    EXPECT_LT(t->GetSection(1).GetComputedLength(), 0.0);
}

TEST_F(TrackQueryTest, GetSectionOutOfRangeThrows) {
    const auto t = Load(fixture::StadiumCircuit());
    EXPECT_EQ(ThrownBy([&] { t->GetSection(4); }), "sectionIndex >= _sectionList.size()");
    EXPECT_EQ(ThrownBy([&] { t->GetSection(static_cast<size_t>(-1)); }), "sectionIndex >= _sectionList.size()");
    EXPECT_EQ(ThrownBy([&] { t->GetSection(3); }), "");
}

TEST_F(TrackQueryTest, SplitLinesCrossTheTrackAtQuartersOfTheComputedLap) {
    const auto t = Load(fixture::StadiumCircuit());
    t->ComputeSplitLines();
    RecordingDisplay d;
    t->DrawSplitLines(d);
    ASSERT_EQ(d.Letters(), "XXXX");
    // Each line runs from the last trace (left, +edge) to the first.
    const auto& start = d.calls[0].points;
    EXPECT_TRUE(Near(start[0], 0, kEdge));
    EXPECT_TRUE(Near(start[1], 0, -kEdge));
    // A quarter lap is pi/2 - 1 radians into the first half circle (the
    // straights are one diameter long); three quarters as far into the
    // second.
    const double th = kPi / 2 - kStraight / (2 * kRadius);
    const auto& quarter = d.calls[1].points;
    EXPECT_TRUE(Near(quarter[0], kStraight + (kRadius - kEdge) * std::sin(th), kRadius - (kRadius - kEdge) * std::cos(th)));
    EXPECT_TRUE(Near(quarter[1], kStraight + (kRadius + kEdge) * std::sin(th), kRadius - (kRadius + kEdge) * std::cos(th)));
    const auto& half = d.calls[2].points;
    EXPECT_TRUE(Near(half[0], kStraight, 2 * kRadius - kEdge));
    EXPECT_TRUE(Near(half[1], kStraight, 2 * kRadius + kEdge));
    const auto& three = d.calls[3].points;
    EXPECT_TRUE(Near(three[0], -(kRadius - kEdge) * std::sin(th), kRadius + (kRadius - kEdge) * std::cos(th)));
    EXPECT_TRUE(Near(three[1], -(kRadius + kEdge) * std::sin(th), kRadius + (kRadius + kEdge) * std::cos(th)));
}

TEST_F(TrackQueryTest, SplitLinesMeasureFromTheStartTheFileStores) {
    // The first half circle's stored start placed 2 m later than the lap
    // puts it: the quarter line moves 2 m back along the curve.
    fixture::TrackBlockSpec spec = fixture::StadiumCircuit();
    const int32_t shift = 39370;  // 2 m in track units
    spec.sections[1].start += shift;
    const auto t = Load(spec);
    EXPECT_NEAR(t->GetSection(1).GetStartDistance(), kStraight, kMm);
    t->ComputeSplitLines();
    RecordingDisplay d;
    t->DrawSplitLines(d);
    const double th = kPi / 2 - kStraight / (2 * kRadius) - shift * kUnit / kRadius;
    EXPECT_TRUE(Near(d.calls[1].points[0], kStraight + (kRadius - kEdge) * std::sin(th),
                     kRadius - (kRadius - kEdge) * std::cos(th)));
}

TEST_F(TrackQueryTest, SplitLineOffTheLapThrowsAndATracelessSectionGivesAPoint) {
    const auto t = Load(fixture::StadiumCircuit());
    SplitLine line;
    EXPECT_EQ(ThrownBy([&] { line.Compute(*t, t->GetLength()); }), "findSection returned -1");

    fixture::TrackBlockSpec bare = fixture::StadiumCircuit();
    bare.sections[0].traces.clear();
    const auto u = Load(bare);
    line.Compute(*u, 10);
    EXPECT_TRUE(Near(line.GetFirstPoint(), 10, 0));
    EXPECT_TRUE(Near(line.GetSecondPoint(), 10, 0));
}

TEST_F(TrackQueryTest, RangeInsideOneStraightDrawsPlainHighlightedPlain) {
    const auto t = Load(fixture::StadiumCircuit());
    t->SetHighlightRange(50, 100);
    EXPECT_EQ(LettersBySection(*t), (std::vector<std::string>{"lhl", "S", "S", "S"}));
    RecordingDisplay d;
    t->GetSection(0).Draw(d);
    EXPECT_TRUE(Near(d.calls[0].points[0], 0, 0));
    EXPECT_TRUE(Near(d.calls[0].points[1], 50, 0));
    EXPECT_TRUE(Near(d.calls[1].points[1], 100, 0));
    EXPECT_TRUE(Near(d.calls[2].points[1], kStraight, 0));
}

TEST_F(TrackQueryTest, RangeOverSeveralSections) {
    const auto t = Load(fixture::StadiumCircuit());
    const double l = t->GetLength();
    t->SetHighlightRange(100, l - 100);
    auto letters = LettersBySection(*t);
    EXPECT_EQ(letters[0], "lh");
    EXPECT_EQ(letters[1], "H");
    EXPECT_EQ(letters[2], "H");
    // The last section is a curve highlighted up to 100 m before the line:
    // the plain outline, then a run from its start point to that place.
    RecordingDisplay d;
    t->GetSection(3).Draw(d);
    ASSERT_GE(d.calls.size(), 3u);
    EXPECT_EQ(d.calls[0].kind, Kind::kSection);
    EXPECT_TRUE(Near(d.calls[1].points[0], 0, 2 * kRadius));
    const double th = kPi - 100 / kRadius;
    EXPECT_TRUE(Near(d.calls.back().points[1], -kRadius * std::sin(th), kRadius + kRadius * std::cos(th)));
    // The run follows consecutive outline points.
    const auto& outline = t->GetSection(3).GetShape().GetPoints();
    for (size_t i = 1; i + 1 < d.calls.size(); ++i) {
        EXPECT_EQ(d.calls[i].kind, Kind::kHighlightedLine);
        if (i + 2 < d.calls.size()) {
            const WorldPoint& p = d.calls[i].points[1];
            EXPECT_TRUE(std::any_of(outline.begin(), outline.end(), [&](const WorldPoint& q) { return Near(p, q, 0); }));
        }
    }
    // The outline has c = 66 points; the run takes Round(c g / Lc) of them
    // for the stretch g of the curve that is highlighted.
    const Section& s = t->GetSection(3);
    const double g = (l - 100) - s.GetStartDistance();
    EXPECT_EQ(d.calls.size() - 2, static_cast<size_t>(std::llround(66 * g / s.GetComputedLength())));

    // A range ending at or beyond the lap length highlights the last
    // section to its end.
    t->SetHighlightRange(l - 400, l + 50);
    letters = LettersBySection(*t);
    EXPECT_EQ(letters[1], "S");
    EXPECT_EQ(letters[2], "lh");
    EXPECT_EQ(letters[3].substr(0, 2), "Sh");
    EXPECT_TRUE(t->GetSection(3).IsRangeTo());
    EXPECT_DOUBLE_EQ(t->GetSection(3).GetHighlightTo(), s.GetEnd());
}

TEST_F(TrackQueryTest, HighlightAroundTheStartLineDoesNotWrap) {
    const auto t = Load(fixture::StadiumCircuit());
    t->HighlightAround(0, 5);
    const Section& first = t->GetSection(0);
    EXPECT_TRUE(first.IsRangeFrom());
    EXPECT_TRUE(first.IsRangeTo());
    EXPECT_EQ(first.GetHighlightFrom(), 0.0);
    EXPECT_NEAR(first.GetHighlightTo(), 0.05 * t->GetLength(), 1e-9);
    EXPECT_EQ(LettersBySection(*t), (std::vector<std::string>{"lhl", "S", "S", "S"}));

    // The graph window asks for 1 % around its position.
    t->HighlightAround(t->GetLength() / 2, 1);
    EXPECT_EQ(LettersBySection(*t), (std::vector<std::string>{"S", "Shhh", "hl", "S"}));
}

// Ranges that highlight nothing, and ranges that throw, leave the track
// cleared and usable for the next call.
TEST_F(TrackQueryTest, EmptyAndInvalidRangesLeaveTheTrackUsable) {
    const auto t = Load(fixture::StadiumCircuit());
    const double l = t->GetLength();
    const std::vector<std::string> plain{"S", "S", "S", "S"};
    struct Case {
        double from;
        double to;
        const char* thrown;
    };
    const Case cases[] = {
        {l, l + 10, ""},            // from exactly at the lap length
        {l + 1, l + 10, ""},        // beyond it
        {l * 1.5, l * 2, ""},
        {-20, -10, ""},             // before the line
        {std::numeric_limits<double>::quiet_NaN(), 10, ""},
        {10, std::numeric_limits<double>::quiet_NaN(), ""},
        {500, 100, "ERROR! last < first"},  // backwards across sections
    };
    for (const Case& c : cases) {
        t->SetHighlightRange(100, l - 100);
        EXPECT_EQ(ThrownBy([&] { t->SetHighlightRange(c.from, c.to); }), c.thrown) << c.from << " " << c.to;
        EXPECT_EQ(LettersBySection(*t), plain) << c.from << " " << c.to;
        t->SetHighlightRange(50, 100);
        EXPECT_EQ(LettersBySection(*t)[0], "lhl") << c.from << " " << c.to;
        t->HighlightAround(l, 5);  // the window at the line: the lap's last 5 %
        EXPECT_TRUE(t->GetSection(3).IsRangeFrom() && t->GetSection(3).IsRangeTo());
        EXPECT_EQ(LettersBySection(*t)[0], "S");
        t->HighlightAround(l * 1.2, 5);
        EXPECT_EQ(LettersBySection(*t), plain);
    }
    t->SetHighlightRange(10, 500);
    t->ClearHighlight();
    EXPECT_EQ(LettersBySection(*t), plain);
}

TEST_F(TrackQueryTest, ACurveOfNoLengthHighlightsAsOneLine) {
    // A curve of angle 0, a straight and a half circle.
    const auto traces = fixture::ParallelTraces({-100000, 100000}, {1, 1});
    fixture::CircuitBuilder b({-100000, 100000});
    b.Curve(1000000, 0, traces).Straight(2000000, traces).Curve(1000000, 2 * fixture::kAngleQuarter, traces);
    fixture::TrackBlockSpec spec = b.Build(0);
    spec.sections[0].length = 1000;  // a stored length of 0 is refused
    const auto t = Load(spec);
    ASSERT_EQ(t->GetSection(0).GetComputedLength(), 0.0);
    t->SetHighlightRange(-1, 5);
    RecordingDisplay d;
    t->DrawSections(d);
    EXPECT_EQ(d.Letters(), "Shhl" "S");
    for (const auto& c : d.calls) {
        for (const WorldPoint& p : c.points) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    }
}

TEST_F(TrackQueryTest, DrawSurfacesAndSectionsInLapOrder) {
    const auto t = Load(fixture::StadiumCircuit());
    RecordingDisplay d;
    t->DrawSurfaces(d);
    ASSERT_EQ(d.Letters(), std::string(12, 'F'));
    for (size_t i = 0; i < 12; ++i) EXPECT_EQ(d.calls[i].colour, i % 3 == 1 ? 7 : 9) << i;
    EXPECT_EQ(d.calls[0].points.size(), 4u);
    EXPECT_EQ(d.calls[3].points.size(), 130u);

    RecordingDisplay s;
    t->DrawSections(s);
    EXPECT_EQ(s.Letters(), "SSSS");
    EXPECT_EQ(s.calls[1].points.size(), 66u);
}

}  // namespace
