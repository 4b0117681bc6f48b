#include "support/track_fixture.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "support/replay_fixture.h"

namespace fixture {
namespace {

constexpr size_t kRecordBytes = 32;
constexpr size_t kSectionRecordWords = 13;
constexpr size_t kSectionPaddingWords = 3;
constexpr size_t kTraceSlots = 16;

uint32_t Pattern(uint32_t base, size_t i) {
    return base + static_cast<uint32_t>(i);
}

void I32(Bytes& out, int32_t v) {
    out.U32(static_cast<uint32_t>(v));
}

double HeadingRadians(uint32_t heading) {
    return heading * std::numbers::pi / 2147483648.0;
}

int32_t RoundUnits(double v) {
    return static_cast<int32_t>(std::llround(v));
}

CrossRecord PatternCross(size_t j) {
    CrossRecord c{};
    for (size_t w = 0; w < c.size(); ++w) c[w] = static_cast<int32_t>(Pattern(0x5C5C0000, j * 8 + w));
    return c;
}

}  // namespace

std::string BuildTrackBlock(const TrackBlockSpec& spec, TrackBlockLayout* layout) {
    const size_t s = spec.sections.size();
    const size_t t = spec.trace_values.size();
    TrackBlockLayout where;
    Bytes out;

    // Header, words 0 to 6.
    out.U32(spec.magic);
    out.U32(0xA5A50001);
    I32(out, spec.stated_length);
    out.U32(spec.trace_count.value_or(static_cast<uint32_t>(t)));
    out.U32(spec.section_count.value_or(static_cast<uint32_t>(s)));
    const size_t trace_area_field = out.size();
    out.U32(0);
    out.U32(0xA5A50006);
    // The 16 per-trace slots are always there, whatever the trace count.
    for (size_t i = 0; i < kTraceSlots; ++i) {
        out.U32(i < t ? static_cast<uint32_t>(spec.trace_values[i]) : Pattern(0x7E7E0000, i));
    }
    const size_t offset_table = out.size();
    for (size_t i = 0; i < s; ++i) out.U32(0);

    // Cross records, the last section's first.
    where.cross_area = out.size();
    std::vector<uint32_t> cross_index(s);
    uint32_t record = 0;
    for (size_t i = s; i-- > 0;) {
        cross_index[i] = record;
        for (const CrossRecord& c : spec.sections[i].cross) {
            for (int32_t w : c) I32(out, w);
            ++record;
        }
    }

    // Trace records after one unused record, the last section's first.
    where.trace_area = out.size();
    for (size_t w = 0; w < kRecordBytes / 4; ++w) out.U32(Pattern(0x6B6B0000, w));
    std::vector<uint32_t> trace_index(s);
    record = 1;
    for (size_t i = s; i-- > 0;) {
        trace_index[i] = record;
        for (const TraceRecord& tr : spec.sections[i].traces) {
            I32(out, tr.start);
            I32(out, tr.end);
            I32(out, tr.flags);
            for (size_t w = 3; w < kRecordBytes / 4; ++w) out.U32(Pattern(0x6C6C0000, w));
            ++record;
        }
    }
    // The size counts bytes but is used in words: the extra 3 drops out.
    const size_t trace_bytes = out.size() - where.trace_area;
    out.PutU32At(trace_area_field, spec.trace_area_size.value_or(static_cast<uint32_t>(trace_bytes + 3)));

    // Section records after two unused words, the last section's first,
    // each followed by padding.
    where.section_area = out.size();
    out.U32(0xD1D1D1D1);
    out.U32(0xD2D2D2D2);
    where.section_records.assign(s, 0);
    for (size_t i = s; i-- > 0;) {
        const SectionRecord& r = spec.sections[i];
        where.section_records[i] = out.size();
        const bool curve = r.type == 2;
        out.U32(r.type);
        I32(out, r.start);
        I32(out, r.length);
        out.U32(r.heading);
        out.U32(0xE4E4E4E4);
        out.U32(curve ? static_cast<uint32_t>(r.centre_x) : 0xE5E5E5E5);
        out.U32(curve ? static_cast<uint32_t>(r.centre_y) : 0xE6E6E6E6);
        out.U32(curve ? static_cast<uint32_t>(r.angle) : 0xE7E7E7E7);
        out.U32(0xE8E8E8E8);
        out.U32(0xE9E9E9E9);
        out.U32(r.cross_index.value_or(cross_index[i]));
        out.U32(r.trace_count.value_or(static_cast<uint32_t>(r.traces.size())));
        out.U32(r.trace_index.value_or(trace_index[i]));
        for (size_t w = 0; w < kSectionPaddingWords; ++w) out.U32(Pattern(0xF0F00000, w));
    }
    static_assert(kSectionRecordWords == 13);

    // Offsets count bytes but are used in words: the low bits drop out.
    for (size_t i = 0; i < s; ++i) {
        const auto it = spec.section_offsets.find(i);
        const uint32_t offset = it != spec.section_offsets.end()
                                    ? it->second
                                    : static_cast<uint32_t>(where.section_records[i] - where.section_area + i % 4);
        out.PutU32At(offset_table + 4 * i, offset);
    }

    where.size = out.size();
    if (layout) *layout = where;
    return out.data;
}

std::string BuildTrackContainer(const TrackContainerSpec& spec) {
    constexpr size_t kEntryBytes = 27;
    Bytes out;
    out.U16(spec.count.value_or(static_cast<uint16_t>(spec.entries.size())));
    std::vector<size_t> entry_at;
    for (const ContainerEntry& e : spec.entries) {
        entry_at.push_back(out.size());
        out.U16(0xC3C3);
        out.U32(0);  // size, filled below
        out.U32(0xC4C4C4C4);
        out.Field(e.name, 13);
        out.U32(0);  // offset, filled below
    }
    if (out.size() != 2 + kEntryBytes * spec.entries.size()) throw std::logic_error("fixture: directory size");
    for (size_t i = 0; i < spec.entries.size(); ++i) {
        const ContainerEntry& e = spec.entries[i];
        out.Raw(std::string(5, static_cast<char>(0xB0 + i % 16)));
        const size_t data_at = out.size();
        out.Raw(e.data);
        out.PutU32At(entry_at[i] + 2, e.size.value_or(static_cast<uint32_t>(e.data.size())));
        out.PutU32At(entry_at[i] + 23, e.offset.value_or(static_cast<uint32_t>(data_at)));
    }
    return out.data;
}

CircuitBuilder::CircuitBuilder(std::vector<int32_t> trace_values, double x, double y, uint32_t heading)
    : trace_values_(std::move(trace_values)), x_(x), y_(y), heading_(heading) {}

CircuitBuilder& CircuitBuilder::Straight(int32_t length, std::vector<TraceRecord> traces) {
    const double h = HeadingRadians(heading_);
    SectionRecord r;
    r.type = 1;
    r.start = distance_;
    r.length = length;
    r.heading = heading_;
    r.traces = std::move(traces);
    // Each track trace's position at the start, offset square to the left.
    for (size_t j = 0; j < trace_values_.size(); ++j) {
        CrossRecord c = PatternCross(j);
        c[6] = RoundUnits(x_ + trace_values_[j] * std::cos(h + std::numbers::pi / 2));
        c[7] = RoundUnits(y_ + trace_values_[j] * std::sin(h + std::numbers::pi / 2));
        r.cross.push_back(c);
    }
    sections_.push_back(std::move(r));
    CourseGeometry::Piece piece;
    piece.start_m = distance_ * kTrackUnit;
    piece.length_m = length * kTrackUnit;
    piece.x = x_ * kTrackUnit;
    piece.y = y_ * kTrackUnit;
    piece.heading = h;
    course_.pieces_.push_back(piece);
    x_ += length * std::cos(h);
    y_ += length * std::sin(h);
    distance_ += length;
    course_.length_m_ = distance_ * kTrackUnit;
    return *this;
}

CircuitBuilder& CircuitBuilder::Curve(int32_t radius, int32_t angle, std::vector<TraceRecord> traces) {
    const bool left = angle >= 0;
    const double h = HeadingRadians(heading_);
    const double a = angle * std::numbers::pi / 1073741824.0;
    // The centre lies on the inside of the turn.
    const double side = left ? std::numbers::pi / 2 : -std::numbers::pi / 2;
    const double zx = x_ + radius * std::cos(h + side);
    const double zy = y_ + radius * std::sin(h + side);

    SectionRecord r;
    r.type = 2;
    r.start = distance_;
    r.length = RoundUnits(radius * std::fabs(a));
    r.heading = heading_;
    r.centre_x = RoundUnits(zx);
    r.centre_y = RoundUnits(zy);
    r.angle = angle;
    r.traces = std::move(traces);
    // Signed radius of each track trace: a trace to the left lies nearer
    // the centre of a left curve and farther from that of a right one.
    const int32_t signed_radius = left ? radius : -radius;
    for (size_t j = 0; j < trace_values_.size(); ++j) {
        CrossRecord c = PatternCross(j);
        c[6] = signed_radius - trace_values_[j];
        r.cross.push_back(c);
    }
    sections_.push_back(std::move(r));
    CourseGeometry::Piece piece;
    piece.start_m = distance_ * kTrackUnit;
    piece.length_m = sections_.back().length * kTrackUnit;
    piece.x = x_ * kTrackUnit;
    piece.y = y_ * kTrackUnit;
    piece.heading = h;
    piece.radius = (left ? radius : -radius) * kTrackUnit;
    piece.cx = zx * kTrackUnit;
    piece.cy = zy * kTrackUnit;
    course_.pieces_.push_back(piece);

    const double end_heading = h + a;
    x_ = zx + radius * std::cos(end_heading - side);
    y_ = zy + radius * std::sin(end_heading - side);
    heading_ += static_cast<uint32_t>(angle) * 2u;
    distance_ += sections_.back().length;
    course_.length_m_ = distance_ * kTrackUnit;
    return *this;
}

const CourseGeometry::Piece& CourseGeometry::PieceAt(double& distance_m) const {
    if (pieces_.empty()) throw std::logic_error("fixture: a course without sections");
    distance_m = std::fmod(distance_m, length_m_);
    if (distance_m < 0) distance_m += length_m_;
    for (size_t i = pieces_.size(); i-- > 0;)
        if (pieces_[i].start_m <= distance_m) return pieces_[i];
    return pieces_.front();
}

CourseGeometry::Point CourseGeometry::At(double distance_m, double lateral_m) const {
    const Piece& p = PieceAt(distance_m);
    const double along = distance_m - p.start_m;
    if (p.radius == 0) {
        return {p.x + along * std::cos(p.heading) - lateral_m * std::sin(p.heading),
                p.y + along * std::sin(p.heading) + lateral_m * std::cos(p.heading)};
    }
    // Around the centre: a left curve turns anticlockwise, and a point to
    // the left lies nearer its centre; a right curve the other way round.
    const double r = std::fabs(p.radius);
    const bool left = p.radius > 0;
    const double spoke =
        left ? p.heading - std::numbers::pi / 2 + along / r : p.heading + std::numbers::pi / 2 - along / r;
    const double w = left ? r - lateral_m : r + lateral_m;
    return {p.cx + w * std::cos(spoke), p.cy + w * std::sin(spoke)};
}

double CourseGeometry::Curvature(double distance_m) const {
    const Piece& p = PieceAt(distance_m);
    return p.radius == 0 ? 0.0 : 1.0 / p.radius;
}

std::pair<double, double> CourseGeometry::SectionAt(double distance_m) const {
    const Piece& p = PieceAt(distance_m);
    return {p.start_m, p.length_m};
}

TrackBlockSpec CircuitBuilder::Build(int32_t stated_length) const {
    TrackBlockSpec spec;
    spec.stated_length = stated_length;
    spec.trace_values = trace_values_;
    spec.sections = sections_;
    return spec;
}

std::vector<TraceRecord> ParallelTraces(const std::vector<int32_t>& offsets, const std::vector<int32_t>& flags) {
    std::vector<TraceRecord> traces;
    for (size_t i = 0; i < offsets.size(); ++i) {
        traces.push_back({offsets[i], offsets[i], i < flags.size() ? flags[i] : 1});
    }
    return traces;
}

namespace {

CircuitBuilder Stadium() {
    const std::vector<int32_t> values(kStadiumTraces.begin(), kStadiumTraces.end());
    const std::vector<TraceRecord> traces = ParallelTraces(values, {4, 1, 4, 0});
    CircuitBuilder b(values);
    b.Straight(kStadiumStraight, traces)
        .Curve(kStadiumRadius, 2 * kAngleQuarter, traces)
        .Straight(kStadiumStraight, traces)
        .Curve(kStadiumRadius, 2 * kAngleQuarter, traces);
    return b;
}

CircuitBuilder Winding(bool plain) {
    const std::vector<int32_t> values{-140000, -100000, 100000, 140000};
    const int32_t r = kWindingRadius;
    const int32_t q = kAngleQuarter;
    const std::vector<TraceRecord> grass = ParallelTraces(values, {4, 1, 4, 0});
    auto surfaced = [&](std::vector<TraceRecord> traces) { return plain ? grass : std::move(traces); };
    CircuitBuilder b(values);
    b.Straight(kWindingA, surfaced(ParallelTraces({-140000, -100000, 100000}, {2, 3, 5})))
        .Curve(r, q, surfaced({{-140000, -180000, 4}, {-100000, -100000, 1}, {100000, 120000, 6}, {140000, 160000, 0}}))
        .Curve(r, -q, surfaced(ParallelTraces({-160000, -100000, 0, 100000, 160000}, {0x801, 1, 10, 7, 9})))
        .Curve(r, q, surfaced(ParallelTraces(values, {4, 1, 4, 8})))
        .Straight(kWindingB,
                  surfaced(ParallelTraces({-200000, -140000, -100000, 100000, 140000, 200000}, {9, 2, 1, 3, 5, 11})))
        .Curve(r, q, grass)
        .Straight(kWindingA + 2 * r, surfaced({{-140000, -100000, 1}, {0, 0, 1}, {140000, 100000, 4}}))
        .Curve(r, q, surfaced(ParallelTraces(values, {6, 1, 7, 0})))
        .Straight(kWindingB + 2 * r, grass)
        .Curve(r, q, grass);
    return b;
}

}  // namespace

TrackBlockSpec StadiumCircuit() { return Stadium().Build(kStadiumStated); }
CourseGeometry StadiumCourse() { return Stadium().Course(); }
TrackBlockSpec WindingCircuit() { return Winding(false).Build(kWindingStated); }
TrackBlockSpec SurfacedWindingCircuit() { return Winding(true).Build(kWindingStated); }
CourseGeometry WindingCourse() { return Winding(false).Course(); }

}  // namespace fixture
