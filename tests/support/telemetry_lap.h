#pragma once
// Laps built by hand for the telemetry graph tests: every channel sized as
// a trimmed lap has it (samples 1..count and one beyond), the car moving a
// fixed distance per sample from the start line.

#include <algorithm>
#include <cstdint>
#include <memory>

#include "replay/get_rpy_info.h"

namespace fixture {

inline std::unique_ptr<GetRpyInfo> HandLap(uint32_t count, double metres_per_sample) {
    auto lap = std::make_unique<GetRpyInfo>();
    lap->sample_count = count;
    const size_t n = count + 2;
    lap->distance.resize(n);
    lap->distance_raw.resize(n);
    for (size_t i = 0; i < n; ++i) {
        lap->distance[i] = (static_cast<double>(i) - 1.0) * metres_per_sample;
        // 0.5 mm raw units, the car 0.4 samples past the line at sample 2.
        const double raw = (static_cast<double>(i) - 1.6) * metres_per_sample * 2000.0;
        lap->distance_raw[i] = static_cast<uint32_t>(std::max(0.0, raw));
    }
    lap->start_distance_step = static_cast<int32_t>(metres_per_sample * 2000.0);
    lap->speed.assign(n, metres_per_sample * 36.0 * 3.6);
    lap->gear.assign(n, 3);
    lap->revs.assign(n, 9000.0);
    lap->slip_angle.assign(n, 0.0);
    lap->accel_long.assign(n, 0.0);
    lap->accel_lat.assign(n, 0.0);
    lap->accel_total.assign(n, 0.0);
    lap->height.assign(n, 0.3);
    lap->pitch.assign(n, 0);
    lap->roll.assign(n, 0);
    lap->steering.assign(n, 0);
    lap->orientation.assign(n, 0);
    lap->oil_pressure.assign(n, 0);
    lap->fuel_pressure.assign(n, 0);
    lap->oil_temperature.assign(n, 0.0);
    lap->water_temperature.assign(n, 0.0);
    lap->tyre_squeal.assign(n, 0);
    for (int w = 0; w < 4; ++w) {
        lap->suspension[static_cast<size_t>(w)].assign(n, 0);
        lap->locked_wheel[static_cast<size_t>(w)].assign(n, 0);
    }
    return lap;
}

}  // namespace fixture
