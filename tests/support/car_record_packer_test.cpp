// Self-check of the car record packer: bytes worked out by hand from the bit
// tables of the packed layouts (little-endian bit stream, fields least
// significant bit first, no gaps).

#include "support/car_record_packer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace fixture {
namespace {

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<uint8_t>(c);
        if (!out.empty()) out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

TEST(CarRecordPacker, PlayerDistanceFillsTheFirst26Bits) {
    PlayerCarFields f;
    f.distance = 0x3FFFFFF;
    EXPECT_EQ(Hex(CarRecordPacker::PlayerCar(f)),
              "FF FF FF 03 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    // Gear (3 bits) follows the distance and the unused bit: stream bits 27-29.
    PlayerCarFields g;
    g.gear_field = 5;
    EXPECT_EQ(Hex(CarRecordPacker::PlayerCar(g)).substr(0, 11), "00 00 00 28");
}

TEST(CarRecordPacker, PlayerLastFieldsEndTheRecord) {
    // Oil pressure takes stream bits 214-220, the unused field 221-223.
    PlayerCarFields f;
    f.oil_pressure = 0x7F;
    f.unused26 = 0x5;
    EXPECT_EQ(Hex(CarRecordPacker::PlayerCar(f)).substr(3 * 26), "C0 BF");
}

TEST(CarRecordPacker, SignedFieldsAreTwosComplementInTheirWidth) {
    // Lateral offset, 20 bits from stream bit 32: byte 4 onwards.
    PlayerCarFields f;
    f.lateral = -1;
    EXPECT_EQ(Hex(CarRecordPacker::PlayerCar(f)).substr(3 * 4, 3 * 3 - 1), "FF FF 0F");
    f.lateral = -524288;  // only the sign bit
    EXPECT_EQ(Hex(CarRecordPacker::PlayerCar(f)).substr(3 * 4, 3 * 3 - 1), "00 00 08");
}

TEST(CarRecordPacker, OtherCarSlotIsTheTopSixBitsOfByte7) {
    OtherCarFields f;
    f.slot = 0x2D;
    EXPECT_EQ(Hex(CarRecordPacker::OtherCar(f)), "00 00 00 00 00 00 00 B4 00 00 00 00 00 00 00 00");
    // Distance (26 bits) from stream bit 32 stops right below the slot.
    OtherCarFields d;
    d.distance = 0x3FFFFFF;
    EXPECT_EQ(Hex(CarRecordPacker::OtherCar(d)), "00 00 00 00 FF FF FF 03 00 00 00 00 00 00 00 00");
    // Gear ends the record: stream bits 125-127.
    OtherCarFields g;
    g.gear_field = 7;
    EXPECT_EQ(Hex(CarRecordPacker::OtherCar(g)).substr(3 * 15), "E0");
}

TEST(CarRecordPacker, EngineFieldsShareFourBytes) {
    EXPECT_EQ(Hex(CarRecordPacker::Engine({127, 127, 127, 2047})), "FF FF FF FF");
    EXPECT_EQ(Hex(CarRecordPacker::Engine({1, 0, 0, 0})), "01 00 00 00");
    EXPECT_EQ(Hex(CarRecordPacker::Engine({0, 1, 0, 0})), "80 00 00 00");
    EXPECT_EQ(Hex(CarRecordPacker::Engine({0, 0, 1, 0})), "00 40 00 00");
    EXPECT_EQ(Hex(CarRecordPacker::Engine({0, 0, 0, 1})), "00 00 20 00");
}

TEST(CarRecordPacker, RefusesValuesOutsideTheirFields) {
    PlayerCarFields f;
    f.distance = 0x4000000;
    EXPECT_THROW(CarRecordPacker::PlayerCar(f), std::out_of_range);
    OtherCarFields o;
    o.lateral = 32768;
    EXPECT_THROW(CarRecordPacker::OtherCar(o), std::out_of_range);
    CarRecordPacker short_record(1);
    short_record.Unsigned(1, 7);
    EXPECT_THROW(short_record.Bytes(), std::logic_error);
    EXPECT_THROW(short_record.Unsigned(0, 2), std::out_of_range);
}

}  // namespace
}  // namespace fixture
