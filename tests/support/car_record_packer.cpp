#include "support/car_record_packer.h"

#include <stdexcept>

namespace fixture {

CarRecordPacker::CarRecordPacker(size_t bytes) : bytes_(bytes, '\0') {}

CarRecordPacker& CarRecordPacker::Unsigned(uint32_t value, unsigned width) {
    if (width == 0 || width > 32 || (width < 32 && value >> width != 0))
        throw std::out_of_range("fixture: " + std::to_string(value) + " does not fit " + std::to_string(width) +
                                " bits");
    if (bit_ + width > bytes_.size() * 8) throw std::out_of_range("fixture: field runs past the packed record");
    // One bit at a time, least significant first; the record is written
    // often enough (every car of every frame) to keep this loop lean.
    char* data = bytes_.data();
    for (unsigned i = 0; i < width; ++i, ++bit_) {
        if (((value >> i) & 1u) == 0) continue;
        data[bit_ / 8] = static_cast<char>(static_cast<uint8_t>(data[bit_ / 8]) | (1u << (bit_ % 8)));
    }
    return *this;
}

CarRecordPacker& CarRecordPacker::Signed(int32_t value, unsigned width) {
    if (width == 0 || width > 31) throw std::out_of_range("fixture: signed width " + std::to_string(width));
    const int64_t lowest = -(int64_t{1} << (width - 1));
    const int64_t highest = (int64_t{1} << (width - 1)) - 1;
    if (value < lowest || value > highest)
        throw std::out_of_range("fixture: " + std::to_string(value) + " does not fit " + std::to_string(width) +
                                " signed bits");
    const uint32_t twos = static_cast<uint32_t>(value) & ((1u << width) - 1);
    return Unsigned(twos, width);
}

std::string CarRecordPacker::Bytes() const {
    if (bit_ != bytes_.size() * 8)
        throw std::logic_error("fixture: packed " + std::to_string(bit_) + " of " +
                               std::to_string(bytes_.size() * 8) + " bits");
    return bytes_;
}

std::string CarRecordPacker::PlayerCar(const PlayerCarFields& f) {
    CarRecordPacker p(28);
    p.Unsigned(f.distance, 26)
        .Unsigned(f.unused2, 1)
        .Unsigned(f.gear_field, 3)
        .Unsigned(f.wheel_state1, 2)
        .Signed(f.lateral, 20)
        .Unsigned(f.height, 12)
        .Unsigned(f.revs, 10)
        .Signed(f.orientation, 12)
        .Signed(f.pitch, 10)
        .Signed(f.roll, 10)
        .Unsigned(f.tyre_squeal, 7)
        .Unsigned(f.fraction, 8)
        .Signed(f.steering, 7)
        .Unsigned(f.wheel_state2, 2)
        .Unsigned(f.wheel_value1, 10)
        .Signed(f.suspension1, 10)
        .Unsigned(f.wheel_value2, 10)
        .Unsigned(f.wheel_state3, 2)
        .Signed(f.suspension2, 10)
        .Unsigned(f.wheel_value3, 10)
        .Signed(f.suspension3, 10)
        .Unsigned(f.wheel_state4, 2)
        .Unsigned(f.wheel_value4, 10)
        .Signed(f.suspension4, 10)
        .Unsigned(f.oil_pressure, 7)
        .Unsigned(f.unused26, 3);
    return p.Bytes();
}

std::string CarRecordPacker::OtherCar(const OtherCarFields& f) {
    CarRecordPacker p(16);
    p.Unsigned(f.unused1, 1)
        .Unsigned(f.unused2, 10)
        .Signed(f.pitch, 10)
        .Unsigned(f.revs, 10)
        .Unsigned(f.unused5, 1)
        .Unsigned(f.distance, 26)
        .Unsigned(f.slot, 6)
        .Signed(f.lateral, 16)
        .Unsigned(f.fraction, 5)
        .Unsigned(f.state_high, 2)
        .Unsigned(f.height, 9)
        .Signed(f.steering, 7)
        .Signed(f.orientation, 12)
        .Signed(f.roll, 10)
        .Unsigned(f.gear_field, 3);
    return p.Bytes();
}

std::string CarRecordPacker::Engine(const EngineFields& f) {
    CarRecordPacker p(4);
    p.Unsigned(f.oil_temperature, 7).Unsigned(f.water_temperature, 7).Unsigned(f.fuel_pressure, 7).Unsigned(f.value4, 11);
    return p.Bytes();
}

}  // namespace fixture
