#pragma once
// One lateral trace of a section, from a 32-byte trace record of the track
// block: its lateral offset at the section's start and end (metres,
// positive to the left of the direction of travel) and its surface kind.

#include <cstdint>

class Trace {
public:
    // Surface kind for flags that name no surface of their own.
    static constexpr int32_t kOtherKind = 2049;
    // Surface kind of every trace whose flags carry bit 0x800.
    static constexpr int32_t kFlaggedKind = 2048;

    // Offsets in metres; flags as stored in the record.
    Trace(double start_offset, double end_offset, int32_t flags);

    double GetStartOffset() const { return start_offset_; }
    double GetEndOffset() const { return end_offset_; }
    // 2048 when bit 0x800 of the flags is set; else the low four bits when
    // they are 1 to 7, 9 or 10; else 2049.
    int32_t GetKind() const { return kind_; }

    static int32_t KindFromFlags(int32_t flags);

private:
    double start_offset_;
    double end_offset_;
    int32_t kind_;
};
