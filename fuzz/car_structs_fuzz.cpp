// Packed car records: the player-car, other-car and engine layouts unpacked
// from the front of the input, and the other-car layout from every 16-byte
// entry, as a type 3 frame record holds them.

#include <cstddef>
#include <cstdint>
#include <span>

#include "replay/parse_car_structs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using P = ParseCarStructs;
    const std::span<const uint8_t> bytes(data, size);
    P parser;
    if (const auto* a = parser.ParseCarRecordA(bytes)) {
        (void)P::Signed((*a)[P::kPlayerAttitude], P::kPlayerRollLow, P::kRollBits);
        (void)P::Signed((*a)[P::kPlayerLateral], 0, P::kPlayerLateralBits);
    }
    for (size_t e = 0; e + P::kOtherCarBytes <= size; e += P::kOtherCarBytes) {
        const auto* b = parser.ParseCarRecordB(bytes.subspan(e, P::kOtherCarBytes));
        if (!b) __builtin_trap();
        (void)P::Signed((*b)[P::kOtherAttitude], P::kOtherOrientationLow, P::kOrientationBits);
    }
    (void)parser.ParseCarRecordB(bytes);
    (void)parser.ParseCarRecordC(bytes);
    return 0;
}
