#include "track/track_path_tracer.h"

#include "track/core_display.h"
#include "track/section.h"
#include "track/track.h"

TrackPathTracer::TrackPathTracer(const Track& track, int32_t colour_index)
    : track_(&track), colour_index_(colour_index) {}

void TrackPathTracer::Reset() {
    first_move_ = true;
    current_ = {};
    previous_ = {};
}

std::optional<PixelPoint> TrackPathTracer::MoveTo(CoreDisplay& painter, double distance, double lateral,
                                                  bool no_draw) {
    // Only one lap is folded back: the samples of a trimmed lap run at most
    // a few metres past the line. Anything from two laps on is not a lap
    // position, and findSection refuses it below instead of the line
    // jumping to a folded guess.
    const double lap = track_->GetLength();
    double d = distance;
    if (d >= lap) d -= lap;

    const int i = track_->findSection(d);
    if (i < 0) return std::nullopt;
    const Section& s = track_->GetSection(static_cast<size_t>(i));
    const WorldPoint world = s.LocalToWorld(d - s.GetStartDistance(), lateral);

    if (first_move_) {
        current_ = previous_ = world;
        first_move_ = false;
        position_ = {};
        return position_;
    }
    previous_ = current_;
    current_ = world;
    position_ = painter.DrawSegment(current_, previous_, colour_index_, no_draw);
    return position_;
}
