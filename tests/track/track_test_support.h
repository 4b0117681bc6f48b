#pragma once
// Helpers shared by the track tests: writing fixture tracks to files and
// comparing points to closed-form values.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/replay_fixture.h"
#include "support/temp_dir.h"
#include "support/track_fixture.h"
#include "track/world_point.h"

namespace track_test {

// Metres of one track unit and the tolerance of closed-form checks.
inline constexpr double kUnit = fixture::kTrackUnit;
inline constexpr double kMm = 1e-3;

inline std::string Write(const fixture::TempDir& dir, const std::string& name, const std::string& bytes) {
    const std::string path = dir.File(name);
    fixture::WriteFile(path, bytes);
    return path;
}

inline std::string WriteBlock(const fixture::TempDir& dir, const std::string& name,
                              const fixture::TrackBlockSpec& spec) {
    return Write(dir, name, fixture::BuildTrackBlock(spec));
}

inline testing::AssertionResult Near(const WorldPoint& p, double x, double y, double tolerance = kMm) {
    if (std::fabs(p.x - x) <= tolerance && std::fabs(p.y - y) <= tolerance) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "(" << p.x << ", " << p.y << ") is not within " << tolerance << " of ("
                                       << x << ", " << y << ")";
}

inline testing::AssertionResult Near(const WorldPoint& p, const WorldPoint& q, double tolerance = kMm) {
    return Near(p, q.x, q.y, tolerance);
}

}  // namespace track_test
