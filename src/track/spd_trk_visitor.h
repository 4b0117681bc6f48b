#pragma once
// Lays a series of values along a lap on the track as coloured bands (the
// speed-along-track tool passes the speed difference of two laps, one value
// per sample). The lap is cut into pieces of equal length, one per value in
// order; each piece is a band 20 m wide centred on the centre line, green
// for a value of 0 or more and red for a negative one, the brighter the
// larger its magnitude (full brightness at the edge of the colour range).
//
// Track::Accept drives the visitor over the sections in lap order; after
// it the pieces cover the lap. A piece that spans a section boundary
// becomes two polygons of the same colour, one in each section. Straight
// pieces are quadrilaterals; curve pieces follow the arc with a point every
// half metre along each edge. Visiting a second time goes on from where the
// first visit stopped.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "track/bounding_box.h"
#include "track/section_visitor.h"
#include "track/world_point.h"

class Section;

class SpdTrkVisitor : public SectionVisitor {
public:
    struct Rgb {
        uint8_t red = 0;
        uint8_t green = 0;
        uint8_t blue = 0;
    };
    // One coloured polygon, in metres.
    struct Piece {
        Rgb colour;
        std::vector<WorldPoint> points;
    };

    // Half the width of the band, metres.
    static constexpr double kHalfWidth = 10.0;

    // lap_length is the track's lap length in metres (Track::GetLength);
    // each piece is lap_length / values.size() long. With fixed_scale the
    // colour range is -scale to +scale, otherwise the smallest to the
    // largest value. An empty value list, or a lap length that gives no
    // positive piece length, makes no pieces. When the lap length is
    // shorter than the track's, the last value's piece runs on to the end
    // of the track.
    SpdTrkVisitor(double lap_length, std::vector<double> values, bool fixed_scale, int32_t scale);

    void VisitCurve(const Curve& curve) override;
    void VisitStraight(const Straight& straight) override;

    const std::vector<Piece>& GetPieces() const { return pieces_; }

    // The larger magnitude of the colour range's two ends.
    double GetMaxAbsValue() const;
    // The colour of one value: hue green (0.33) or red, full saturation,
    // brightness |value| / GetMaxAbsValue() kept within 0 to 1, each
    // channel x 255 truncated. A colour range of no magnitude gives black.
    Rgb ValueColour(double value) const;

    // How many piece boundaries still to come fall before the section's end
    // along the lap (one at the end itself belongs to the next section).
    // Never more than the values left after the current one, so the value
    // index stays below the number of values.
    int64_t CountBoundaries(const Section& section) const;

    double GetPieceLength() const { return piece_length_; }
    // The value the piece under construction takes its colour from.
    size_t GetValueIndex() const { return value_index_; }

    // Box of the bands' corner points gathered so far; the speed-along-
    // track tool fits the map to it.
    const BoundingBox& GetBounds() const { return bounds_; }
    double GetMinX() const { return bounds_.GetMinX(); }
    double GetMaxX() const { return bounds_.GetMaxX(); }
    double GetMinY() const { return bounds_.GetMinY(); }
    double GetMaxY() const { return bounds_.GetMaxY(); }

private:
    bool MakesPieces() const;
    // The colour of the value at the value index.
    Rgb CurrentColour() const;
    // The curve from `from` to `to` metres along it, out along the +10 m
    // edge and back along the -10 m edge.
    Piece CurvePiece(const Curve& curve, double from, double to);
    WorldPoint Corner(const Section& section, double along, double lateral, bool widen);

    std::vector<double> values_;
    double piece_length_ = 0.0;
    std::vector<Piece> pieces_;
    double next_boundary_ = 0.0;
    size_t value_index_ = 0;
    double minimum_ = 0.0;
    double maximum_ = 0.0;
    BoundingBox bounds_;
};
