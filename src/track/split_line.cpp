#include "track/split_line.h"

#include "track/section.h"
#include "track/track.h"
#include "track/zavro_exception.h"

void SplitLine::Compute(const Track& track, double distance) {
    const int i = track.findSection(distance);
    if (i == -1) throw ZAVROException("findSection returned -1");
    const Section& s = track.GetSection(static_cast<size_t>(i));
    // Measured from the start distance the file stores, not from the start
    // along the computed lap: both programs place the lines so, and the two
    // differ by the rounding of the stored lengths only.
    const double along = distance - s.GetStart();
    const size_t traces = s.GetLateralLineCount();
    if (traces == 0) {
        first_ = second_ = s.LocalToWorld(along, 0.0);
        return;
    }
    second_ = s.TracePointAt(along, s.GetLateralLine(0));
    first_ = s.TracePointAt(along, s.GetLateralLine(traces - 1));
}
