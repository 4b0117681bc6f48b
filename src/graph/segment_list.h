#pragma once
// The pixels a curve is drawn with: its points mapped through an x and a
// y scale, consecutive points that land on the same pixel dropped (they
// are neither connected nor marked again), as polylines and mark centres.
//
// Many points share a pixel column when a long curve is shown whole; the
// segments within one column are vertical and together cover the column
// from their lowest to their highest pixel, so a run of them is kept as
// its first, lowest, highest and last pixel: the same pixels, far fewer
// segments.
//
// Pixels are the mapped values truncated toward zero. Lines reaching far
// outside the picture (deep zoom) are cut at +-AxisScale::kPixelLimit
// with their slope kept, so a painter never sees a coordinate it cannot
// hold; marks that far out are dropped.

#include <cstddef>
#include <cstdint>
#include <vector>

class AxisScale;
class CPointsCollection;

class SegmentList {
public:
    struct Pixel {
        int32_t x = 0;
        int32_t y = 0;
        bool operator==(const Pixel&) const = default;
    };

    // Replaces the lists with those of `points`. `lines` builds the
    // polylines (no connecting lines when false), `marks` the mark centres.
    void Build(const CPointsCollection& points, const AxisScale& x_scale, const AxisScale& y_scale, bool lines,
               bool marks);

    // All polyline points; polyline i runs from RunStart(i) to RunStart(i + 1)
    // (the last one to the end). Every polyline has at least two points.
    const std::vector<Pixel>& GetPoints() const { return points_; }
    size_t GetRunCount() const { return run_starts_.size(); }
    size_t RunStart(size_t run) const { return run < run_starts_.size() ? run_starts_[run] : points_.size(); }
    const std::vector<Pixel>& GetMarks() const { return marks_; }
    // Number of segments drawn.
    size_t GetSegmentCount() const { return points_.size() - run_starts_.size(); }

private:
    void AddSegment(int64_t x0, int64_t y0, int64_t x1, int64_t y1);
    // Shortens every run of more than four points in one pixel column.
    void CompressColumns();

    std::vector<Pixel> points_;
    std::vector<size_t> run_starts_;
    std::vector<Pixel> marks_;
    // The current polyline ends at the last drawn pixel.
    bool run_open_ = false;
};
