#include "reports/car_sample.h"

#include "replay/byte_reader.h"
#include "replay/replay_file.h"

namespace {

// The field of `width` bits starting at stream bit `low`; low mod 8 + width
// is at most 31.
uint32_t Field(std::span<const uint8_t> b, unsigned low, unsigned width) {
    uint32_t word = 0;
    const size_t first = low / 8;
    for (size_t i = 0; i < 4 && first + i < b.size(); ++i) word |= uint32_t{b[first + i]} << (8 * i);
    return (word >> (low % 8)) & ((1u << width) - 1);
}

int32_t SignedField(std::span<const uint8_t> b, unsigned low, unsigned width) {
    const uint32_t v = Field(b, low, width);
    const uint32_t sign = 1u << (width - 1);
    return static_cast<int32_t>(v ^ sign) - static_cast<int32_t>(sign);
}

}  // namespace

CarSample CarSample::Player(std::span<const uint8_t> b) {
    CarSample s;
    s.distance = Field(b, 0, 26);
    s.gear = static_cast<int>(Field(b, 27, 3)) - 1;
    s.value_a = SignedField(b, 32, 20);
    s.code = static_cast<int>(Field(b, 64, 10));
    s.scale = static_cast<int>(Field(b, 113, 8));
    return s;
}

CarSample CarSample::Other(std::span<const uint8_t> b) {
    CarSample s;
    s.code = static_cast<int>(Field(b, 21, 10));
    s.distance = Field(b, 32, 26);
    s.record_id = static_cast<int>(Field(b, 58, 6));
    s.value_a = SignedField(b, 64, 16) * 16;
    s.scale = static_cast<int>(Field(b, 80, 5));
    s.gear = static_cast<int>(Field(b, 125, 3)) - 1;
    return s;
}

uint32_t CarSample::DistanceScale(const std::string& path, uint32_t data_offset) {
    ReplayFile file(64);
    if (!file.Open(path)) return 1;
    const auto word = file.View(uint64_t{data_offset} + 4, 4);
    return !word.empty() && word[0] == 0x40 ? 4 : 1;
}
