#pragma once
// The fields of the packed car records that the scanning reports read, taken
// straight out of the bit stream (stream bit n is bit n mod 8 of byte n / 8,
// fields least significant bit first), without unpacking every field.
//
// Player car (frame record type 1, 28 bytes): distance bits 0-25, gear
// field 27-29, lateral offset 32-51 (signed), engine-speed code 64-73,
// rev fraction 113-120. Other car (one 16-byte entry of a type 3 record):
// engine-speed code 21-30, distance 32-57, record id 58-63, lateral offset
// 64-79 (signed), rev fraction 80-84, gear field 125-127.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "replay/byte_reader.h"

struct CarSample {
    static constexpr size_t kPlayerBytes = 28;
    static constexpr size_t kOtherBytes = 16;

    int record_id = -1;    // other cars only; -1 for the player's record
    uint32_t distance = 0; // raw, along the lap
    int gear = 0;          // the gear field minus 1: 0 = no gear engaged
    int value_a = 0;       // lateral offset, scaled to the player's unit (other cars x 16)
    int code = 0;          // engine-speed code
    int scale = 0;         // rev fraction field (8 bits player, 5 bits other cars)

    // The record's size is checked once by the caller (rec.payload.first<
    // kPlayerBytes>() after a size test); the fields are taken out of two
    // little-endian words.
    static CarSample Player(std::span<const uint8_t, kPlayerBytes> bytes) {
        const uint64_t low = ByteReader::LoadU64(bytes.data());
        const uint64_t high = ByteReader::LoadU64(bytes.data() + 8);
        CarSample s;
        s.distance = static_cast<uint32_t>(Bits(low, 0, 26));
        s.gear = static_cast<int>(Bits(low, 27, 3)) - 1;
        s.value_a = Signed(Bits(low, 32, 20), 20);
        s.code = static_cast<int>(Bits(high, 0, 10));
        s.scale = static_cast<int>(Bits(high, 113 - 64, 8));
        return s;
    }
    static CarSample Other(std::span<const uint8_t, kOtherBytes> bytes) {
        const uint64_t low = ByteReader::LoadU64(bytes.data());
        const uint64_t high = ByteReader::LoadU64(bytes.data() + 8);
        CarSample s;
        s.code = static_cast<int>(Bits(low, 21, 10));
        s.distance = static_cast<uint32_t>(Bits(low, 32, 26));
        s.record_id = static_cast<int>(Bits(low, 58, 6));
        s.value_a = Signed(Bits(high, 0, 16), 16) * 16;
        s.scale = static_cast<int>(Bits(high, 80 - 64, 5));
        s.gear = static_cast<int>(Bits(high, 125 - 64, 3)) - 1;
        return s;
    }

    // What raw distances of the replay are multiplied by to give 1/2000 m:
    // 4 when the low byte of the data section's second word is 0x40 (the
    // coarse unit, 1/500 m), else 1 (also when it cannot be read).
    static uint32_t DistanceScale(const std::string& path, uint32_t data_offset);

private:
    static uint64_t Bits(uint64_t word, unsigned low, unsigned width) { return (word >> low) & ((uint64_t{1} << width) - 1); }
    static int Signed(uint64_t v, unsigned width) {
        const uint64_t sign = uint64_t{1} << (width - 1);
        return static_cast<int>(static_cast<int64_t>(v ^ sign) - static_cast<int64_t>(sign));
    }
};
