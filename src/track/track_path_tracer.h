#pragma once
// Draws a lap's driving line on the track map. Replay samples give a car's
// position as a distance along the lap and a lateral offset from the centre
// line (metres, positive to the left); the tracer is moved from sample to
// sample and hands the painter one straight segment per move, from the
// previous position to the new one. The first move after construction or
// Reset only places the tracer, so a line never starts with a stray
// segment from wherever the last line ended.

#include <cstdint>
#include <optional>

#include "track/pixel_point.h"
#include "track/world_point.h"

class CoreDisplay;
class Track;

class TrackPathTracer {
public:
    // The track is not owned and must outlive the tracer. colour_index is
    // the colour-table entry the line is drawn in (the document passes the
    // lap slot number).
    TrackPathTracer(const Track& track, int32_t colour_index);

    // The next move starts a new line without drawing.
    void Reset();

    // Moves to `distance` metres along the lap and `lateral` metres off the
    // centre line. A distance from one lap length up to (not including) two
    // is taken one lap back, so a lap's samples past the line continue the
    // line on the next lap. Unless no_draw is set, the segment from the
    // previous position is drawn in the tracer's colour.
    //
    // Returns the logical pixel of the new position: (0, 0) on the first
    // move, which draws nothing. Returns nullopt and changes nothing when
    // the distance lies on no section even after that: two laps or more,
    // NaN, or a track without sections. (A negative distance lies on the
    // first section, before its start.)
    std::optional<PixelPoint> MoveTo(CoreDisplay& painter, double distance, double lateral, bool no_draw);

    // The logical pixel after the last successful move.
    const PixelPoint& GetPosition() const { return position_; }
    const WorldPoint& GetCurrentPoint() const { return current_; }
    const WorldPoint& GetPreviousPoint() const { return previous_; }
    bool IsFirstMove() const { return first_move_; }
    int32_t GetColourIndex() const { return colour_index_; }

private:
    WorldPoint current_;
    WorldPoint previous_;
    const Track* track_;
    bool first_move_ = true;
    PixelPoint position_;
    int32_t colour_index_;
};
