#include "replay/parse_car_structs.h"

#include <algorithm>

namespace {

// How a field lands in its output word: alone (the word becomes the value),
// alone as a gear (the value minus 1), or in a bit range of a shared word.
enum class Into : uint8_t { kWord, kGear, kRange };

struct Field {
    uint8_t width;
    uint8_t word;
    uint8_t low;  // first bit of the range, for Into::kRange
    Into into;
};

constexpr Field W(uint8_t width, uint8_t word) { return {width, word, 0, Into::kWord}; }
constexpr Field G(uint8_t width, uint8_t word) { return {width, word, 0, Into::kGear}; }
constexpr Field R(uint8_t width, uint8_t word, uint8_t low) { return {width, word, low, Into::kRange}; }

// Fields in stream order; the widths of each layout add up to its size.
constexpr Field kPlayerFields[] = {
    W(26, 0),     W(1, 1),      G(3, 2),      W(2, 3),      R(20, 4, 0),  W(12, 5),     W(10, 6),
    R(12, 7, 0),  R(10, 7, 12), R(10, 7, 22), W(7, 8),      W(8, 9),      R(7, 10, 0),  W(2, 11),
    W(10, 12),    R(10, 13, 0), W(10, 14),    W(2, 15),     R(10, 16, 0), W(10, 17),    R(10, 18, 0),
    W(2, 19),     W(10, 20),    R(10, 21, 0), W(7, 22),     W(3, 23),
};
constexpr Field kOtherFields[] = {
    W(1, 0), W(10, 1), R(10, 2, 0), W(10, 3),     W(1, 4),       W(26, 5),      W(6, 6),  R(16, 7, 0),
    W(5, 8), W(2, 9),  W(9, 10),    R(7, 11, 0),  R(12, 11, 7),  R(10, 11, 19), G(3, 12),
};
constexpr Field kEngineFields[] = {W(7, 0), W(7, 1), W(7, 2), W(11, 3)};

template <size_t N>
constexpr unsigned TotalBits(const Field (&fields)[N]) {
    unsigned total = 0;
    for (const Field& f : fields) total += f.width;
    return total;
}
static_assert(TotalBits(kPlayerFields) == ParseCarStructs::kPlayerCarBytes * 8);
static_assert(TotalBits(kOtherFields) == ParseCarStructs::kOtherCarBytes * 8);
static_assert(TotalBits(kEngineFields) == ParseCarStructs::kEngineBytes * 8);

constexpr uint32_t Mask(unsigned width) { return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1; }

// Unpacks the fields in stream order. The record is copied into a buffer
// with eight zero bytes behind it, so every field (at most 26 bits, starting
// anywhere in a byte) comes out of one 64-bit little-endian load and a shift.
template <size_t Bytes, size_t Words, size_t N>
void Unpack(std::span<const uint8_t> packed, const Field (&fields)[N], std::array<uint32_t, Words>& out) {
    uint8_t buf[Bytes + 8] = {};
    std::copy_n(packed.begin(), Bytes, buf);
    unsigned bit = 0;
    for (const Field& f : fields) {
        const uint8_t* p = buf + bit / 8;
        uint64_t chunk = 0;
        for (int b = 7; b >= 0; --b) chunk = (chunk << 8) | p[b];
        const uint32_t value = static_cast<uint32_t>(chunk >> (bit % 8)) & Mask(f.width);
        bit += f.width;
        uint32_t& word = out[f.word];
        switch (f.into) {
        case Into::kWord:
            word = value;
            break;
        case Into::kGear:
            word = value - 1u;
            break;
        case Into::kRange:
            word = (word & ~(Mask(f.width) << f.low)) | (value << f.low);
            break;
        }
    }
}

}  // namespace

ParseCarStructs::ParseCarStructs() = default;
ParseCarStructs::~ParseCarStructs() = default;

const ParseCarStructs::PlayerCarWords* ParseCarStructs::ParseCarRecordA(std::span<const uint8_t> packed) {
    if (packed.size() < kPlayerCarBytes) return nullptr;
    Unpack<kPlayerCarBytes>(packed, kPlayerFields, player_);
    return &player_;
}

const ParseCarStructs::OtherCarWords* ParseCarStructs::ParseCarRecordB(std::span<const uint8_t> packed) {
    if (packed.size() < kOtherCarBytes) return nullptr;
    Unpack<kOtherCarBytes>(packed, kOtherFields, other_);
    return &other_;
}

const ParseCarStructs::EngineWords* ParseCarStructs::ParseCarRecordC(std::span<const uint8_t> packed) {
    if (packed.size() < kEngineBytes) return nullptr;
    Unpack<kEngineBytes>(packed, kEngineFields, engine_);
    return &engine_;
}

uint32_t ParseCarStructs::Bits(uint32_t word, unsigned low, unsigned width) {
    return (word >> low) & Mask(width);
}

int32_t ParseCarStructs::Signed(uint32_t word, unsigned low, unsigned width) {
    const uint32_t v = Bits(word, low, width);
    const uint32_t sign = 1u << (width - 1);
    return static_cast<int32_t>(v ^ sign) - static_cast<int32_t>(sign);
}
