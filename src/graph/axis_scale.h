#pragma once
// Value-to-pixel mapping of one graph axis, and the "nice" ticks of its
// range: steps of 1, 2 or 5 times a power of ten.
//
// The scale maps the value range V0..V1 onto the pixel range P0..P1 with
// k = (V1 - V0) / (P1 - P0) values per pixel (0 when P0 equals P1). Either
// range may run backwards (the y axis runs from the bottom pixel up).
// A scale without pixel extent or without value extent maps every value to
// P0 and every pixel to V0, so nothing divides by zero.

#include <cstdint>
#include <vector>

class AxisScale {
public:
    // Integer pixels are held within +-kPixelLimit, far outside any picture
    // but well inside what a painter takes, so deep zoom cannot overflow.
    static constexpr int32_t kPixelLimit = 1 << 22;

    struct Ticks {
        int exponent = 0;   // decimal exponent of the axis
        double step = 0.0;  // in units of 10 to the exponent
        std::vector<double> positions;  // pixels, not truncated
        std::vector<double> values;     // axis values
    };

    AxisScale() = default;
    AxisScale(double p0, double p1, double v0, double v1) { SetRange(p0, p1, v0, v1); }

    void SetRange(double p0, double p1, double v0, double v1);

    // The pixel of a value, as a double; P0 without extent.
    double ValueToPixel(double value) const;
    // The pixel truncated toward zero and held within +-kPixelLimit.
    int32_t ValueToIntPixel(double value) const { return ToIntPixel(ValueToPixel(value)); }
    // The value at a pixel; V0 when the value range has no extent.
    double PixelToValue(double pixel) const;
    static int32_t ToIntPixel(double pixel);

    // The ticks for about `n` labels (n the count that fits).
    Ticks ComputeTicks(int n) const;

    // 0 for 0; trunc(log10 |x|) for |x| >= 1; -trunc(|log10 |x|| + 1) below
    // (0.5 gives -1, 0.1 gives -2).
    static int DecimalExponent(double x);
    // The first of 0.1, 0.2, 0.5, 1, 2, 5, 10, ... not below |a - b| / n,
    // the mantissas 1 and 2 formed with the single-precision 0.1 and 0.2
    // (0.1 when n is 0).
    static double NiceStep(int n, double a, double b);
    // The ticks of the scaled range a..b (values times 10 to the minus
    // exponent) for a step; appended to `ticks`.
    void BuildTicks(double step, double a, double b, int exponent, Ticks& ticks) const;

    double P0() const { return p0_; }
    double P1() const { return p1_; }
    double V0() const { return v0_; }
    double V1() const { return v1_; }
    double K() const { return k_; }

private:
    double p0_ = 0.0;
    double p1_ = 0.0;
    double v0_ = 0.0;
    double v1_ = 0.0;
    double k_ = 0.0;
};
