#include "graph/telemetry_curve.h"

#include <algorithm>

#include "graph/graph_kind.h"
#include "replay/get_rpy_info.h"

namespace {

using namespace graph_kind;

constexpr double kTick = 1.0 / 36.0;
constexpr double kDegreesPerUnit = 0.087890625;  // 360 / 4096
constexpr double kPressureFactor = 0.805;
constexpr double kTemperatureFactor = 1.2;

template <typename T>
bool Covers(const std::vector<T>& channel, size_t last) {
    return channel.size() > last;
}

// Adds the point as a sorted curve without duplicates takes it.
void Place(std::vector<GraphPoint>& points, GraphPoint p) {
    if (points.empty() || p.x > points.back().x) {
        points.push_back(p);
        return;
    }
    const auto at = std::lower_bound(points.begin(), points.end(), p.x,
                                     [](const GraphPoint& q, double v) { return q.x < v; });
    if (at != points.end() && at->x == p.x)
        *at = p;
    else
        points.insert(at, p);
}

}  // namespace

TelemetryCurve BuildTelemetryCurve(const GetRpyInfo& lap, int kind, int wheel, bool mph) {
    TelemetryCurve curve;
    const GraphKindInfo& info = graph_kind::Info(kind);
    const int64_t count = lap.sample_count;
    if (info.kind == kNoKind || count <= 5) return curve;
    if (info.by_wheel && (wheel < 0 || wheel > 3)) return curve;
    const size_t first = 2;
    const size_t last = static_cast<size_t>(count - info.last_from_end);
    const size_t w = static_cast<size_t>(std::clamp(wheel, 0, 3));

    bool ok = Covers(lap.distance, last);
    switch (kind) {
    case kSpeed: ok = ok && Covers(lap.speed, last); break;
    case kGear: ok = ok && Covers(lap.gear, last); break;
    case kRpm: ok = ok && Covers(lap.revs, last); break;
    case kSlipAngle: ok = ok && Covers(lap.slip_angle, last); break;
    case kAccelLong: ok = ok && Covers(lap.accel_long, last); break;
    case kAccelLat:
    case kTransitionRate: ok = ok && Covers(lap.accel_lat, last); break;
    case kAccelTotal: ok = ok && Covers(lap.accel_total, last); break;
    case kHeight: ok = ok && Covers(lap.height, last); break;
    case kPitch: ok = ok && Covers(lap.pitch, last); break;
    case kRoll: ok = ok && Covers(lap.roll, last); break;
    case kSteering: ok = ok && Covers(lap.steering, last); break;
    case kSuspension: ok = ok && Covers(lap.suspension[w], last); break;
    case kOrientation: ok = ok && Covers(lap.orientation, last); break;
    case kOilPressure: ok = ok && Covers(lap.oil_pressure, last); break;
    case kLockedWheels: ok = ok && Covers(lap.locked_wheel[w], last); break;
    case kFuelPressure: ok = ok && Covers(lap.fuel_pressure, last); break;
    case kOilTemperature: ok = ok && Covers(lap.oil_temperature, last); break;
    case kWaterTemperature: ok = ok && Covers(lap.water_temperature, last); break;
    case kTyreSqueal: ok = ok && Covers(lap.tyre_squeal, last); break;
    default: break;
    }
    if (!ok) return curve;

    curve.points.reserve(last - first + 1);
    for (size_t i = first; i <= last; ++i) {
        double y = 0.0;
        switch (kind) {
        case kSpeed: y = mph ? lap.speed[i] * kGraphMphFactor : lap.speed[i]; break;
        case kGear:
            if (lap.gear[i] == 0) continue;  // neutral: the line bridges it
            y = lap.gear[i];
            break;
        case kRpm: y = lap.revs[i]; break;
        case kSlipAngle: y = lap.slip_angle[i]; break;
        case kAccelLong: y = lap.accel_long[i]; break;
        case kAccelLat: y = lap.accel_lat[i]; break;
        case kAccelTotal: y = lap.accel_total[i]; break;
        case kHeight: y = lap.height[i] * 100.0; break;
        case kPitch: y = lap.pitch[i]; break;
        case kRoll: y = lap.roll[i]; break;
        case kSteering: y = lap.steering[i]; break;
        case kSuspension: y = lap.suspension[w][i]; break;
        case kOrientation: y = 180.0 - lap.orientation[i] * kDegreesPerUnit; break;
        case kElapsedTime: y = static_cast<double>(i) * kTick; break;
        case kOilPressure: y = lap.oil_pressure[i] * kPressureFactor; break;
        case kTransitionRate: y = (lap.accel_lat[i] - lap.accel_lat[i - 1]) * 36.0; break;
        case kLockedWheels: y = lap.locked_wheel[w][i]; break;
        case kFuelPressure: y = lap.fuel_pressure[i] * kPressureFactor; break;
        case kOilTemperature: y = lap.oil_temperature[i] * kTemperatureFactor; break;
        case kWaterTemperature: y = lap.water_temperature[i] * kTemperatureFactor; break;
        case kTyreSqueal: y = lap.tyre_squeal[i]; break;
        default: break;
        }
        const GraphPoint p{lap.distance[i], y};
        Place(curve.points, p);
        curve.plotted = true;
        curve.last_x = p.x;
        curve.last_y = p.y;
    }
    return curve;
}
