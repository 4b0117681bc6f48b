#pragma once
// One section of a track, a Straight or a Curve, built from one section
// record of the track block. A section knows its place on the lap (start
// and end distance along the lap, metres), its start and end points in the
// plane, its own lateral traces, and its drawable geometry: the outline
// (centre line as a polyline) and one surface polygon between each pair of
// adjacent traces.
//
// Geometry is in metres, x to the right and y up; headings are radians
// counter-clockwise from the x axis; a lateral offset is positive to the
// left of the direction of travel. "Along" distances are measured from the
// section's start point along the section.
//
// The track reader builds a section in this order: constructor,
// ComputeStartPoint, SetEndPoint (the next section's start point),
// ComputeLength, SetStart, BuildOutline, BuildSurfaces. Only the highlight
// state changes afterwards.

#include <cstdint>
#include <memory>
#include <vector>

#include "track/surface_polygon.h"
#include "track/trace.h"
#include "track/track_point_list.h"
#include "track/track_section_data.h"
#include "track/world_point.h"

class CoreDisplay;
class SectionVisitor;
class Track;
class TrackBlock;

class Section {
public:
    // Creates the section whose record starts at word `word_index` of the
    // block: type 1 a Straight, 2 a Curve. Any other type throws
    // ZAVROException "Unknown section type with value " followed by the
    // type's low byte as one character. A record, cross records or trace
    // records outside the block, and a stored length of 0, throw the
    // block's path followed by the condition. The track must already hold
    // its trace count and per-trace values; it is not owned.
    static std::unique_ptr<Section> CreateSection(const Track& track, const TrackBlock& block, uint64_t word_index);

    virtual ~Section();
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

    virtual void ComputeStartPoint() = 0;
    // Needs the end point and the computed length.
    virtual void BuildSurfaces() = 0;
    virtual void BuildOutline() = 0;
    // The world point at `along` metres from the start and `lateral` metres
    // off the centre line.
    virtual WorldPoint LocalToWorld(double along, double lateral) const = 0;
    // The point of a trace at `along`, its offset interpolated in
    // proportion to the stored length (not the computed one).
    virtual WorldPoint TracePointAt(double along, const Trace& trace) const = 0;
    virtual void Accept(SectionVisitor& visitor) const = 0;
    // Computes, stores and returns the length in metres.
    virtual double ComputeLength() = 0;
    // Draws a section that is highlighted only in part.
    virtual void DrawPartial(CoreDisplay& painter) const = 0;

    // Whole: highlighted outline; in part: DrawPartial; else plain outline.
    void Draw(CoreDisplay& painter) const;

    // Highlighting, distances along the lap in metres. SetRangeFrom clamps
    // to the section's start, SetRangeTo to its end; both clear the whole
    // flag. SelectWhole clears the from and to flags.
    void SetRangeFrom(double distance);
    void SetRangeTo(double distance);
    void SelectWhole();
    void ClearSelection();
    bool IsRangeFrom() const { return range_from_; }
    bool IsRangeTo() const { return range_to_; }
    bool IsWhole() const { return whole_; }
    double GetHighlightFrom() const { return highlight_from_; }
    double GetHighlightTo() const { return highlight_to_; }

    // The section's own traces, in file order; i < GetLateralLineCount().
    const Trace& GetLateralLine(size_t i) const { return traces_.at(i); }
    size_t GetLateralLineCount() const { return traces_.size(); }
    // Surface polygons, one fewer than the traces (none for one trace).
    const SurfacePolygon& GetExtraShape(size_t i) const { return surfaces_.at(i); }
    size_t GetExtraShapeCount() const { return surfaces_.size(); }
    // The cross records, one per track trace.
    const TrackSectionData& GetCrossRecord(size_t i) const { return cross_.at(i); }
    size_t GetCrossRecordCount() const { return cross_.size(); }
    const TrackPointList& GetShape() const { return outline_; }

    // Start distance as the file stores it.
    double GetStart() const { return start_; }
    // Start and end along the computed lap.
    double GetStartDistance() const { return start_distance_; }
    double GetEnd() const { return end_distance_; }
    // Length as the file stores it, and as computed from the geometry.
    double GetLength() const { return length_; }
    double GetComputedLength() const { return computed_length_; }
    double GetHeading() const { return heading_; }
    double GetEndHeading() const { return end_heading_; }
    const WorldPoint& GetStartPoint() const { return start_point_; }
    const WorldPoint& GetEndPoint() const { return end_point_; }

    // Start along the lap := distance, end := distance + computed length.
    void SetStart(double distance);
    void SetEndPoint(const WorldPoint& p) { end_point_ = p; }

protected:
    Section(const Track& track, const TrackBlock& block, uint64_t word_index);
    // Sets the end heading and its sine and cosine.
    void SetEndHeading(double heading);

    const Track* track_;
    std::vector<Trace> traces_;
    std::vector<TrackSectionData> cross_;
    // Each polygon points into traces_, which is never resized after the
    // constructor.
    std::vector<SurfacePolygon> surfaces_;
    TrackPointList outline_;
    double start_ = 0.0;
    double start_distance_ = 0.0;
    double end_distance_ = 0.0;
    double length_ = 0.0;
    double computed_length_ = 0.0;
    double heading_ = 0.0;
    double end_heading_ = 0.0;
    WorldPoint start_point_;
    WorldPoint end_point_;
    double sin_heading_ = 0.0;
    double cos_heading_ = 1.0;
    double sin_end_heading_ = 0.0;
    double cos_end_heading_ = 1.0;
    bool range_from_ = false;
    bool range_to_ = false;
    bool whole_ = false;
    double highlight_from_ = 0.0;
    double highlight_to_ = 0.0;
};
