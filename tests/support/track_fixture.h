#pragma once
// Fixture writer for track files. Lays out every byte from the documented
// track format (bare track block, or a container whose directory names its
// entries), independently of the program's reader, so a misreading on
// either side shows up in the tests.
//
// All numbers are little-endian; lengths are in track units (1/500 inch,
// kTrackUnit metres). Words the format leaves unused get non-zero pattern
// values, and the block is laid out so that a reader must follow every
// index: cross records, trace records and section records are stored in
// reverse lap order, the trace-record area starts with an unused record,
// the section offsets and the trace-area size carry low bits that the
// format drops (they count words, 4 bytes each), and section records are
// padded apart.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fixture {

inline constexpr uint32_t kTrackMagic = 0x5452414B;  // bytes "KART"
inline constexpr double kTrackUnit = 5.08000000002032e-05;
// Heading words are unsigned fractions of a turn: 2^32 is 2 pi.
inline constexpr uint32_t kHeadingQuarter = 1u << 30;
// Curve angle words are signed: 2^30 is pi, positive turns left.
inline constexpr int32_t kAngleQuarter = 1 << 29;

// One 32-byte trace record (offsets 0, 4 and 8; the rest is pattern).
struct TraceRecord {
    int32_t start = 0;  // lateral offset at the section's start
    int32_t end = 0;    // at its end
    int32_t flags = 1;  // surface kind
};

// One 32-byte cross record, eight words as written.
using CrossRecord = std::array<int32_t, 8>;

// One section record and the cross and trace records it points at.
struct SectionRecord {
    uint32_t type = 1;     // word 0: 1 straight, 2 curve
    int32_t start = 0;     // word 1
    int32_t length = 0;    // word 2
    uint32_t heading = 0;  // word 3
    int32_t centre_x = 0;  // words 5, 6, 7: written for type 2 only
    int32_t centre_y = 0;
    int32_t angle = 0;
    std::vector<CrossRecord> cross;    // the section's cross records (one per track trace)
    std::vector<TraceRecord> traces;   // the section's own traces
    // Replace words 10, 11 and 12 (for damaged files); the records are
    // still written where they would be.
    std::optional<uint32_t> cross_index;
    std::optional<uint32_t> trace_count;
    std::optional<uint32_t> trace_index;
};

struct TrackBlockSpec {
    uint32_t magic = kTrackMagic;
    int32_t stated_length = 0;
    // Per-trace values; the trace count T is their number. At most 16 fit
    // the 16 slots (the rest of the slots get pattern values).
    std::vector<int32_t> trace_values;
    std::vector<SectionRecord> sections;  // in lap order
    // Replace words 3, 4 and 5 (for damaged files); everything is still
    // written from trace_values and sections.
    std::optional<uint32_t> trace_count;
    std::optional<uint32_t> section_count;
    std::optional<uint32_t> trace_area_size;
    // Replace entries of the section offset table, by section index.
    std::map<size_t, uint32_t> section_offsets;
};

// Byte offsets inside a built block.
struct TrackBlockLayout {
    size_t cross_area = 0;
    size_t trace_area = 0;
    size_t section_area = 0;
    std::vector<size_t> section_records;  // by section index
    size_t size = 0;
};

std::string BuildTrackBlock(const TrackBlockSpec& spec, TrackBlockLayout* layout = nullptr);

// One entry of a track container: its name in the 13-byte name field (a
// longer name is cut to 13 bytes, a name of 13 has no NUL) and its data.
struct ContainerEntry {
    ContainerEntry(std::string entry_name, std::string entry_data, std::optional<uint32_t> size_field = {},
                   std::optional<uint32_t> offset_field = {})
        : name(std::move(entry_name)), data(std::move(entry_data)), size(size_field), offset(offset_field) {}

    std::string name;
    std::string data;
    std::optional<uint32_t> size;    // replaces the size field
    std::optional<uint32_t> offset;  // replaces the offset field
};

struct TrackContainerSpec {
    TrackContainerSpec(std::vector<ContainerEntry> container_entries = {}, std::optional<uint16_t> count_field = {})
        : entries(std::move(container_entries)), count(count_field) {}

    std::vector<ContainerEntry> entries;
    std::optional<uint16_t> count;  // replaces the entry count
};

// Entry count, 27-byte directory entries, then each entry's data after a
// few pattern bytes (so data offsets are not aligned).
std::string BuildTrackContainer(const TrackContainerSpec& spec);

// The centre line of a circuit as CircuitBuilder lays it, in metres, for
// driving cars on it. Distances run along the centre line from the
// start/finish line, as the sections' stored start distances and lengths
// give them; lateral offsets are positive to the left of the direction of
// travel, as the track traces are.
class CourseGeometry {
public:
    struct Point {
        double x = 0;
        double y = 0;
    };
    // The world point (y grows northwards) at a distance (folded into the
    // lap) and a lateral offset.
    Point At(double distance_m, double lateral_m) const;
    // The centre line's curvature (1 / radius, in 1/m) at a distance:
    // positive in a left curve, negative in a right one, 0 on a straight.
    double Curvature(double distance_m) const;
    // Where the section holding a distance starts and how long it is.
    std::pair<double, double> SectionAt(double distance_m) const;
    double Length() const { return length_m_; }

private:
    friend class CircuitBuilder;
    struct Piece {
        double start_m = 0;
        double length_m = 0;
        double x = 0, y = 0;    // start point
        double heading = 0;     // radians at the start
        double radius = 0;      // curves: signed, positive to the left; 0 on a straight
        double cx = 0, cy = 0;  // curves: centre
    };
    const Piece& PieceAt(double& distance_m) const;
    std::vector<Piece> pieces_;
    double length_m_ = 0;
};

// Lays sections end to end from a start point and heading, filling every
// record from the geometry: start distances as running sums of the stored
// lengths, straights' cross records with each track trace's position at
// the section's start, curves' centres and their cross records with each
// track trace's signed radius (negative on a right curve). Positions are
// carried exactly and rounded only where a record is written.
class CircuitBuilder {
public:
    // Per-trace values in track units, the first being the rightmost trace
    // (negative); start point in track units; heading word.
    explicit CircuitBuilder(std::vector<int32_t> trace_values, double x = 0.0, double y = 0.0,
                            uint32_t heading = 0);

    CircuitBuilder& Straight(int32_t length, std::vector<TraceRecord> traces);
    // radius > 0; angle word signed (kAngleQuarter is a quarter turn left).
    CircuitBuilder& Curve(int32_t radius, int32_t angle, std::vector<TraceRecord> traces);

    TrackBlockSpec Build(int32_t stated_length) const;
    CourseGeometry Course() const { return course_; }
    // Where the next section would start (track units).
    double x() const { return x_; }
    double y() const { return y_; }

private:
    std::vector<int32_t> trace_values_;
    double x_;
    double y_;
    uint32_t heading_;
    int32_t distance_ = 0;
    std::vector<SectionRecord> sections_;
    CourseGeometry course_;
};

// Traces at the given offsets, the same at both ends, with flags.
std::vector<TraceRecord> ParallelTraces(const std::vector<int32_t>& offsets, const std::vector<int32_t>& flags);

// A closed stadium circuit driven anticlockwise from (0, 0) heading east:
// straight (kStadiumStraight) to the east, left half circle (radius
// kStadiumRadius, centre (straight, radius)), straight to the west, left
// half circle (centre (0, radius)). Track traces at kStadiumTraces; every
// section has the four as its own traces with surfaces 4, 1, 4 (grass,
// tarmac, grass). Stated length kStadiumStated.
inline constexpr int32_t kStadiumStraight = 4000000;  // 203.2 m
inline constexpr int32_t kStadiumRadius = 2000000;    // 101.6 m
inline constexpr int32_t kStadiumStated = 20500000;
inline constexpr std::array<int32_t, 4> kStadiumTraces{-140000, -100000, 100000, 140000};
TrackBlockSpec StadiumCircuit();
CourseGeometry StadiumCourse();

// A closed winding circuit with ten sections and curves of both
// directions, all of radius kWindingRadius and a quarter turn, from (0, 0)
// heading east: straight A, left, right, left, straight B (north), left,
// straight C = A + 2 R (west), left, straight D = B + 2 R (south), left.
// Sections have three to six traces of their own, some tapering, with
// surface flags 1 to 10, 0x801 and 0. Stated length kWindingStated.
inline constexpr int32_t kWindingRadius = 1000000;  // 50.8 m
inline constexpr int32_t kWindingA = 2000000;
inline constexpr int32_t kWindingB = 1500000;
inline constexpr int32_t kWindingStated = 20000000;
TrackBlockSpec WindingCircuit();
// The same circuit surfaced as a real one: grass, tarmac, grass throughout.
TrackBlockSpec SurfacedWindingCircuit();
CourseGeometry WindingCourse();

}  // namespace fixture
