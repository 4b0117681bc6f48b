#pragma once
// Unpacks the bit-packed car records of a replay's frame records into blocks
// of plain 32-bit words: the player-car layout (28 bytes, frame record type
// 1), the other-car layout (16 bytes, one entry of a frame record type 3) and
// the engine layout (4 bytes, frame record type 2).
//
// A packed record is a little-endian bit stream: stream bit n is bit n mod 8
// of byte n / 8, and each field is read least significant bit first, the
// fields back to back from bit 0. A field goes to one output word. Most fields
// fill their word alone; a few share a word, each in its own bit range (the
// k...Low / k...Bits constants below), and readers take such a field out with
// Bits() or, for the signed ones, Signed(). Bits of a shared word outside
// every range are 0. The gear words hold the stored field minus 1, so a
// stored 0 reads as 0xFFFFFFFF (-1 as a signed word).
//
// Each unpack overwrites the block of its layout and returns it; the block
// stays valid until the next unpack of the same layout or the object goes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

class ParseCarStructs {
public:
    static constexpr size_t kPlayerCarBytes = 28;
    static constexpr size_t kOtherCarBytes = 16;
    static constexpr size_t kEngineBytes = 4;

    using PlayerCarWords = std::array<uint32_t, 24>;
    using OtherCarWords = std::array<uint32_t, 13>;
    using EngineWords = std::array<uint32_t, 4>;

    // Output words of the player-car layout.
    enum PlayerWord : size_t {
        kPlayerDistance = 0,      // 26 bits, distance along the lap, raw
        kPlayerUnused2 = 1,
        kPlayerGear = 2,          // stored value minus 1
        kPlayerWheelState1 = 3,
        kPlayerLateral = 4,       // bits 0-19, signed
        kPlayerHeight = 5,        // 12 bits
        kPlayerRevs = 6,          // 10 bits
        kPlayerAttitude = 7,      // orientation, pitch and roll, see below
        kPlayerTyreSqueal = 8,
        kPlayerFraction = 9,      // 8 bits
        kPlayerSteering = 10,     // bits 0-6, signed
        kPlayerWheelState2 = 11,
        kPlayerWheelValue1 = 12,
        kPlayerSuspension1 = 13,  // bits 0-9, signed
        kPlayerWheelValue2 = 14,
        kPlayerWheelState3 = 15,
        kPlayerSuspension2 = 16,  // bits 0-9, signed
        kPlayerWheelValue3 = 17,
        kPlayerSuspension3 = 18,  // bits 0-9, signed
        kPlayerWheelState4 = 19,
        kPlayerWheelValue4 = 20,
        kPlayerSuspension4 = 21,  // bits 0-9, signed
        kPlayerOilPressure = 22,  // 7 bits
        kPlayerUnused26 = 23,
    };
    // Output words of the other-car layout.
    enum OtherWord : size_t {
        kOtherUnused1 = 0,
        kOtherUnused2 = 1,
        kOtherPitch = 2,          // bits 0-9, signed
        kOtherRevs = 3,           // 10 bits
        kOtherUnused5 = 4,
        kOtherDistance = 5,       // 26 bits
        kOtherSlot = 6,           // 6 bits: the driver's lap-table slot
        kOtherLateral = 7,        // bits 0-15, signed
        kOtherFraction = 8,       // 5 bits
        kOtherStateHigh = 9,      // 2 bits
        kOtherHeight = 10,        // 9 bits
        kOtherAttitude = 11,      // steering, orientation and roll, see below
        kOtherGear = 12,          // stored value minus 1
    };
    enum EngineWord : size_t {
        kEngineOilTemperature = 0,    // 7 bits
        kEngineWaterTemperature = 1,  // 7 bits
        kEngineFuelPressure = 2,      // 7 bits
        kEngineValue4 = 3,            // 11 bits
    };

    // Bit ranges of the fields that share a word.
    static constexpr unsigned kPlayerLateralBits = 20;
    static constexpr unsigned kOrientationBits = 12;  // both layouts
    static constexpr unsigned kPitchBits = 10;        // both layouts
    static constexpr unsigned kRollBits = 10;         // both layouts
    static constexpr unsigned kSteeringBits = 7;      // both layouts
    static constexpr unsigned kSuspensionBits = 10;
    static constexpr unsigned kOtherLateralBits = 16;
    static constexpr unsigned kPlayerOrientationLow = 0;  // in kPlayerAttitude
    static constexpr unsigned kPlayerPitchLow = 12;
    static constexpr unsigned kPlayerRollLow = 22;
    static constexpr unsigned kOtherSteeringLow = 0;      // in kOtherAttitude
    static constexpr unsigned kOtherOrientationLow = 7;
    static constexpr unsigned kOtherRollLow = 19;

    ParseCarStructs();
    virtual ~ParseCarStructs();

    // Unpack one packed record. Return the layout's block, or nullptr (and
    // leave the block as it was) when fewer bytes than the layout's size are
    // given; bytes beyond the layout's size are not read.
    const PlayerCarWords* ParseCarRecordA(std::span<const uint8_t> packed);
    const OtherCarWords* ParseCarRecordB(std::span<const uint8_t> packed);
    const EngineWords* ParseCarRecordC(std::span<const uint8_t> packed);

    // The field of `width` bits at bit `low` of `word`, as stored and
    // sign-extended from its width.
    static uint32_t Bits(uint32_t word, unsigned low, unsigned width);
    static int32_t Signed(uint32_t word, unsigned low, unsigned width);

private:
    PlayerCarWords player_{};
    OtherCarWords other_{};
    EngineWords engine_{};
};
