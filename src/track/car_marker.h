#pragma once
// Places a car on the track map from its distance along the lap and
// lateral offset, and draws it as the car's outline turned to its heading
// or as a dot of fixed size. The race playback draws every car of a race
// with one marker.

#include <array>
#include <cstdint>
#include <optional>

#include "track/core_display.h"
#include "track/pixel_point.h"
#include "track/world_point.h"

class Track;

class CarMarker {
public:
    using Outline = std::array<WorldPoint, CoreDisplay::kCarOutlinePoints>;

    // The car seen from above in metres, x across the car and y along it,
    // 3 m long; the last point repeats the first. The wheels on the two
    // sides are not quite symmetric (x 0.71 and -0.72), as the simulator's
    // own drawing has them.
    static constexpr Outline kOutline{{
        {0.15, -1.5}, {0.25, -0.73}, {0.44, -0.73}, {0.44, -0.96}, {0.71, -0.96}, {0.71, -0.44},
        {0.44, -0.44}, {0.44, -0.67}, {0.25, -0.67}, {0.25, 1.16}, {0.43, 1.16}, {0.43, 0.94},
        {0.75, 0.94}, {0.75, 1.46}, {0.43, 1.46}, {0.43, 1.23}, {0.25, 1.23}, {0.25, 1.5},
        {-0.25, 1.5}, {-0.25, 1.23}, {-0.43, 1.23}, {-0.43, 1.46}, {-0.75, 1.46}, {-0.75, 0.94},
        {-0.43, 0.94}, {-0.43, 1.16}, {-0.25, 1.16}, {-0.25, -0.67}, {-0.44, -0.67}, {-0.44, -0.44},
        {-0.72, -0.44}, {-0.72, -0.96}, {-0.44, -0.96}, {-0.44, -0.73}, {-0.25, -0.73}, {-0.15, -1.5},
        {0.15, -1.5},
    }};

    // The track is not owned and must outlive the marker.
    explicit CarMarker(const Track& track);

    // The logical pixel of a car at `distance` metres along the lap and
    // `lateral` metres off the centre line. No lap is folded: nullopt when
    // the distance lies on no section (at or beyond the lap length).
    std::optional<PixelPoint> PlaceAtDistance(CoreDisplay& painter, double distance, double lateral) const;

    // The outline turned to `heading` (degrees) at a logical position, in
    // the colour of colour_index, twice the size when oversize is set. The
    // painter scales the outline with the map, so the car keeps its size in
    // metres.
    void DrawOutline(CoreDisplay& painter, PixelPoint position, double heading, int32_t colour_index,
                     bool oversize) const;
    // The car as a dot of fixed device size.
    void DrawExtra(CoreDisplay& painter, PixelPoint position, int32_t colour_index) const;

    // The outline turned by heading x pi / 180 - pi / 2 radians (heading 90
    // leaves it as it is), doubled when oversize is set.
    static Outline Rotate(double heading, bool oversize);

private:
    const Track* track_;
};
