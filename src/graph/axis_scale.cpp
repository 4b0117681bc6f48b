#include "graph/axis_scale.h"

#include <algorithm>
#include <cmath>

namespace {

// The mantissa-1 and mantissa-2 steps below each power of ten are the
// single-precision 0.1 and 0.2, as the rulers have always used them; the
// difference shows: over 0 to 100 the tick for 100 lies just outside.
constexpr double kTenth = static_cast<double>(0.1f);      // 0.10000000149011612
constexpr double kTwoTenths = static_cast<double>(0.2f);  // 0.20000000298023224

// A tick list never holds more than this, whatever the range's arithmetic.
constexpr size_t kMaxTicks = 10000;

double PowerOfTen(int exponent) { return std::pow(10.0, exponent); }

// v times 10 to the minus exponent; for exponents whose power is beyond a
// double (values near the smallest doubles) the same by division.
double Scaled(double v, int exponent) {
    const double f = PowerOfTen(-exponent);
    return std::isfinite(f) ? v * f : v / PowerOfTen(exponent);
}

}  // namespace

void AxisScale::SetRange(double p0, double p1, double v0, double v1) {
    p0_ = p0;
    p1_ = p1;
    v0_ = v0;
    v1_ = v1;
    k_ = p0 == p1 ? 0.0 : (v1 - v0) / (p1 - p0);
}

double AxisScale::ValueToPixel(double value) const {
    if (k_ == 0.0 || !std::isfinite(k_)) return p0_;
    return p0_ + (value - v0_) / k_;
}

double AxisScale::PixelToValue(double pixel) const {
    if (v0_ == v1_) return v0_;
    return v0_ + (pixel - p0_) * k_;
}

int32_t AxisScale::ToIntPixel(double pixel) {
    if (std::isnan(pixel)) return 0;
    const double held = std::clamp(pixel, -static_cast<double>(kPixelLimit), static_cast<double>(kPixelLimit));
    return static_cast<int32_t>(held);
}

int AxisScale::DecimalExponent(double x) {
    const double a = std::fabs(x);
    if (a == 0.0 || !std::isfinite(a)) return 0;
    const double l = std::log10(a);
    if (a >= 1.0) return static_cast<int>(std::trunc(l));
    return -static_cast<int>(std::trunc(std::fabs(l) + 1.0));
}

double AxisScale::NiceStep(int n, double a, double b) {
    if (n == 0) return kTenth;
    const double need = std::fabs(a - b) / n;
    if (!(need <= kTenth)) {
        // Walk the powers of ten; a need beyond every double (or not a
        // number) ends at the largest candidate instead of looping.
        for (double power = 1.0; std::isfinite(power); power *= 10.0) {
            for (double c : {power * kTenth, power * kTwoTenths, power * 0.5}) {
                if (c >= need) return c;
            }
        }
        return std::fabs(a - b);
    }
    return kTenth;
}

void AxisScale::BuildTicks(double step, double a, double b, int exponent, Ticks& ticks) const {
    const double lo = std::min(a, b);
    const double hi = std::max(a, b);
    if (!(step > 0.0) || !std::isfinite(step) || hi - lo < step) return;

    // The multiple of the step nearest to a within a..b, searched among the
    // few multiples around a.
    const double m = std::trunc(a / step) - 2.0;
    bool found = false;
    double start = 0.0;
    for (int i = 0; i <= 4; ++i) {
        const double c = step * (m + i);
        if (c < lo || c > hi) continue;
        if (!found || std::fabs(c - a) < std::fabs(start - a)) start = c;
        found = true;
    }
    if (!found) return;

    const double direction = b >= a ? 1.0 : -1.0;
    const double scale = PowerOfTen(exponent);
    const double first = std::round(start / step);
    for (size_t j = 0; ticks.values.size() < kMaxTicks; ++j) {
        const double multiple = step * (first + direction * static_cast<double>(j));
        if (multiple < lo || multiple > hi) break;
        const double value = multiple * scale;
        ticks.values.push_back(value);
        ticks.positions.push_back(ValueToPixel(value));
    }
}

AxisScale::Ticks AxisScale::ComputeTicks(int n) const {
    Ticks ticks;
    ticks.exponent = DecimalExponent(std::fabs(v1_) > std::fabs(v0_) ? v1_ : v0_);
    if (v0_ == v1_) {
        const size_t count = static_cast<size_t>(std::clamp<int>(n, 0, static_cast<int>(kMaxTicks)));
        ticks.positions.assign(count, p0_);
        ticks.values.assign(count, v0_);
        return ticks;
    }
    double a = Scaled(v0_, ticks.exponent);
    double b = Scaled(v1_, ticks.exponent);
    // Narrow ranges are shown in a smaller unit until they span at least
    // 0.2 of it. The span grows tenfold each time, so this ends.
    while (std::fabs(a - b) < 0.2 && a < 100.0 && b < 100.0 && std::isfinite(a) && std::isfinite(b)) {
        --ticks.exponent;
        a = Scaled(v0_, ticks.exponent);
        b = Scaled(v1_, ticks.exponent);
    }
    ticks.step = NiceStep(n, a, b);
    BuildTicks(ticks.step, a, b, ticks.exponent, ticks);
    return ticks;
}
