#pragma once
// Packs the car records of a replay's frame records bit by bit, from the
// field tables of the three packed layouts: the player-car layout (28 bytes,
// frame record type 1), the other-car layout (16 bytes, one entry of a frame
// record type 3) and the engine layout (4 bytes, frame record type 2).
//
// A packed record is a little-endian bit stream: stream bit n is bit n mod 8
// of byte n / 8, each field is written least significant bit first, and the
// fields follow each other without gaps from bit 0. This writer sets one
// bit at a time and shares nothing with the program's unpacker.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fixture {

// Player-car layout, fields in stream order with their widths. Signed
// fields take two's complement values within their width; the gear field
// is the stored value (the gear plus 1).
struct PlayerCarFields {
    uint32_t distance = 0;      // 26
    uint32_t unused2 = 0;       // 1
    uint32_t gear_field = 0;    // 3
    uint32_t wheel_state1 = 0;  // 2
    int32_t lateral = 0;        // 20, signed
    uint32_t height = 0;        // 12
    uint32_t revs = 0;          // 10
    int32_t orientation = 0;    // 12, signed
    int32_t pitch = 0;          // 10, signed
    int32_t roll = 0;           // 10, signed
    uint32_t tyre_squeal = 0;   // 7
    uint32_t fraction = 0;      // 8
    int32_t steering = 0;       // 7, signed
    uint32_t wheel_state2 = 0;  // 2
    uint32_t wheel_value1 = 0;  // 10
    int32_t suspension1 = 0;    // 10, signed
    uint32_t wheel_value2 = 0;  // 10
    uint32_t wheel_state3 = 0;  // 2
    int32_t suspension2 = 0;    // 10, signed
    uint32_t wheel_value3 = 0;  // 10
    int32_t suspension3 = 0;    // 10, signed
    uint32_t wheel_state4 = 0;  // 2
    uint32_t wheel_value4 = 0;  // 10
    int32_t suspension4 = 0;    // 10, signed
    uint32_t oil_pressure = 0;  // 7
    uint32_t unused26 = 0;      // 3
};

// Other-car layout.
struct OtherCarFields {
    uint32_t unused1 = 0;      // 1
    uint32_t unused2 = 0;      // 10
    int32_t pitch = 0;         // 10, signed
    uint32_t revs = 0;         // 10
    uint32_t unused5 = 0;      // 1
    uint32_t distance = 0;     // 26
    uint32_t slot = 0;         // 6, the driver's lap-table slot
    int32_t lateral = 0;       // 16, signed
    uint32_t fraction = 0;     // 5
    uint32_t state_high = 0;   // 2
    uint32_t height = 0;       // 9
    int32_t steering = 0;      // 7, signed
    int32_t orientation = 0;   // 12, signed
    int32_t roll = 0;          // 10, signed
    uint32_t gear_field = 0;   // 3, the gear plus 1
};

// Engine layout.
struct EngineFields {
    uint32_t oil_temperature = 0;    // 7
    uint32_t water_temperature = 0;  // 7
    uint32_t fuel_pressure = 0;      // 7
    uint32_t value4 = 0;             // 11
};

class CarRecordPacker {
public:
    // A record of `bytes` bytes, all bits clear.
    explicit CarRecordPacker(size_t bytes);

    // Write the next field of `width` bits. Throw std::out_of_range when
    // the value does not fit the width (for Signed: lies outside
    // -2^(width-1) .. 2^(width-1)-1) or the field runs past the record.
    CarRecordPacker& Unsigned(uint32_t value, unsigned width);
    CarRecordPacker& Signed(int32_t value, unsigned width);

    // The packed bytes. Throws std::logic_error unless the fields written
    // fill the record exactly.
    std::string Bytes() const;

    static std::string PlayerCar(const PlayerCarFields& f);
    static std::string OtherCar(const OtherCarFields& f);
    static std::string Engine(const EngineFields& f);

private:
    std::string bytes_;
    size_t bit_ = 0;
};

}  // namespace fixture
