#pragma once
// The time by which one lap trails another along the distance, without any
// window: at N evenly spaced distance steps the time lap A needed to reach
// the distance lap B had reached, less lap B's time, in milliseconds (a
// positive value: lap A is behind). It also places the values on a graph's
// y axis (scale and centre) and writes the texts of the information window.
//
// Sound behaviour where the arithmetic would divide by nothing: a standing
// car (two samples at one distance) interpolates from the earlier sample,
// a lap with no distance or a lap of fewer than two samples gives no steps,
// a start step of zero gives no start offset, and two laps that never
// differ are drawn on the centre line.

#include <cstdint>
#include <string>
#include <vector>

class GetRpyInfo;

class TimeDifference {
public:
    // Computes the difference of `a` against `b`; lap times are lap-time
    // words (low 24 bits milliseconds); y_min..y_max is the y range of the
    // graph the curve is drawn on.
    void Compute(const GetRpyInfo& a, const GetRpyInfo& b, uint32_t lap_time_a, uint32_t lap_time_b, double y_min,
                 double y_max);

    // Number of distance steps (1000, or half the shorter lap's samples
    // when that has fewer than 1000), and the step in metres.
    int GetStepCount() const { return n_; }
    double GetStep() const { return step_; }
    // value[k] for k = 3 .. N - 1, and the finish difference at the finish
    // step N + 1 (4 for N of 3 or less). Other entries are 0. Sized for
    // every step it holds.
    const std::vector<double>& GetValues() const { return values_; }
    int GetFinishStep() const { return finish_step_; }
    double GetMaxBehind() const { return max_diff_; }  // >= 0
    double GetMaxAhead() const { return min_diff_; }   // <= 0
    // Lap time of A less lap time of B, ms.
    int64_t GetFinish() const { return finish_; }
    // The end of the zero line: the last step's distance.
    double GetLastTarget() const { return last_target_; }
    double GetCentre() const { return centre_; }
    // Graph y units per millisecond; 0 when the laps never differ.
    double GetScale() const { return scale_; }

    // Points of the difference curve (x metres, y on the graph's axis),
    // the finish point last.
    struct Point {
        double x = 0.0;
        double y = 0.0;
    };
    std::vector<Point> CurvePoints() const;

    // Texts of the information window.
    std::string FinishText() const;
    std::string MaxAheadText() const;
    std::string MaxBehindText() const;
    std::string SpreadText() const;
    // The difference at the step nearest to distance x ("" outside steps
    // 3 .. N - 1), and the ", timediff=..." text of a graph y value.
    std::string AtDistanceText(double x) const;
    std::string CursorText(double y) const;

    // "+" or "-" and the minutes-seconds-milliseconds text of a value in
    // milliseconds, held to what a lap-time word can say.
    static std::string SignedTime(bool positive, double ms);

private:
    int n_ = 0;
    double step_ = 0.0;
    std::vector<double> values_;
    int finish_step_ = 0;
    double max_diff_ = 0.0;
    double min_diff_ = 0.0;
    int64_t finish_ = 0;
    double last_target_ = 0.0;
    double centre_ = 0.0;
    double scale_ = 0.0;
};
