#include "track/trace.h"

Trace::Trace(double start_offset, double end_offset, int32_t flags)
    : start_offset_(start_offset), end_offset_(end_offset), kind_(KindFromFlags(flags)) {}

int32_t Trace::KindFromFlags(int32_t flags) {
    if (flags & 0x800) return kFlaggedKind;
    const int32_t low = flags & 0xF;
    switch (low) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 9: case 10:
        return low;
    default:
        return kOtherKind;
    }
}
