#pragma once
// One 32-byte cross record of the track block: eight int32 words, kept in
// file order. A section holds one per track trace. The geometry reads only
// words 6 and 7 (track units): on a straight the position of the trace at
// the section's start, on a curve word 6 is the trace's signed radius.

#include <array>
#include <cstdint>

struct TrackSectionData {
    std::array<int32_t, 8> words{};
};
