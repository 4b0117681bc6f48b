// Packed car records: every field packed by the fixture's bit packer comes
// back from the unpacker in its output word, alone, at its edges (all bits
// set, the sign bit alone) and among its neighbours.

#include "replay/parse_car_structs.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "support/car_record_packer.h"

namespace {

using fixture::CarRecordPacker;
using fixture::EngineFields;
using fixture::OtherCarFields;
using fixture::PlayerCarFields;

std::span<const uint8_t> Span(const std::string& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
}

// One field of a layout: where the tables put it, and how to set it in the
// packer's field structure. `whole` fields fill their word; the others sit
// at bit `low` of a shared word. Gear fields come out as the value minus 1.
template <typename Fields>
struct FieldCase {
    const char* name;
    unsigned width;
    bool is_signed;
    size_t word;
    unsigned low;
    bool whole;
    bool gear;
    std::function<void(Fields&, int64_t)> set;
};

template <typename Fields>
using Table = std::vector<FieldCase<Fields>>;

#define FIELD(F, member, width, sgn, word, low, whole, gear)                                           \
    FieldCase<F> {                                                                                    \
        #member, width, sgn, word, low, whole, gear,                                                  \
            [](F& f, int64_t v) { f.member = static_cast<decltype(f.member)>(v); }                    \
    }

const Table<PlayerCarFields>& PlayerTable() {
    using F = PlayerCarFields;
    static const Table<F> t = {
        FIELD(F, distance, 26, false, 0, 0, true, false),      FIELD(F, unused2, 1, false, 1, 0, true, false),
        FIELD(F, gear_field, 3, false, 2, 0, true, true),      FIELD(F, wheel_state1, 2, false, 3, 0, true, false),
        FIELD(F, lateral, 20, true, 4, 0, false, false),       FIELD(F, height, 12, false, 5, 0, true, false),
        FIELD(F, revs, 10, false, 6, 0, true, false),          FIELD(F, orientation, 12, true, 7, 0, false, false),
        FIELD(F, pitch, 10, true, 7, 12, false, false),        FIELD(F, roll, 10, true, 7, 22, false, false),
        FIELD(F, tyre_squeal, 7, false, 8, 0, true, false),    FIELD(F, fraction, 8, false, 9, 0, true, false),
        FIELD(F, steering, 7, true, 10, 0, false, false),      FIELD(F, wheel_state2, 2, false, 11, 0, true, false),
        FIELD(F, wheel_value1, 10, false, 12, 0, true, false), FIELD(F, suspension1, 10, true, 13, 0, false, false),
        FIELD(F, wheel_value2, 10, false, 14, 0, true, false), FIELD(F, wheel_state3, 2, false, 15, 0, true, false),
        FIELD(F, suspension2, 10, true, 16, 0, false, false),  FIELD(F, wheel_value3, 10, false, 17, 0, true, false),
        FIELD(F, suspension3, 10, true, 18, 0, false, false),  FIELD(F, wheel_state4, 2, false, 19, 0, true, false),
        FIELD(F, wheel_value4, 10, false, 20, 0, true, false), FIELD(F, suspension4, 10, true, 21, 0, false, false),
        FIELD(F, oil_pressure, 7, false, 22, 0, true, false),  FIELD(F, unused26, 3, false, 23, 0, true, false),
    };
    return t;
}

const Table<OtherCarFields>& OtherTable() {
    using F = OtherCarFields;
    static const Table<F> t = {
        FIELD(F, unused1, 1, false, 0, 0, true, false),     FIELD(F, unused2, 10, false, 1, 0, true, false),
        FIELD(F, pitch, 10, true, 2, 0, false, false),      FIELD(F, revs, 10, false, 3, 0, true, false),
        FIELD(F, unused5, 1, false, 4, 0, true, false),     FIELD(F, distance, 26, false, 5, 0, true, false),
        FIELD(F, slot, 6, false, 6, 0, true, false),        FIELD(F, lateral, 16, true, 7, 0, false, false),
        FIELD(F, fraction, 5, false, 8, 0, true, false),    FIELD(F, state_high, 2, false, 9, 0, true, false),
        FIELD(F, height, 9, false, 10, 0, true, false),     FIELD(F, steering, 7, true, 11, 0, false, false),
        FIELD(F, orientation, 12, true, 11, 7, false, false), FIELD(F, roll, 10, true, 11, 19, false, false),
        FIELD(F, gear_field, 3, false, 12, 0, true, true),
    };
    return t;
}

const Table<EngineFields>& EngineTable() {
    using F = EngineFields;
    static const Table<F> t = {
        FIELD(F, oil_temperature, 7, false, 0, 0, true, false),
        FIELD(F, water_temperature, 7, false, 1, 0, true, false),
        FIELD(F, fuel_pressure, 7, false, 2, 0, true, false),
        FIELD(F, value4, 11, false, 3, 0, true, false),
    };
    return t;
}

#undef FIELD

// The field as a reader takes it out of its word, written out here rather
// than through the unpacker's helpers.
template <typename Fields>
int64_t Read(const FieldCase<Fields>& f, const uint32_t* words) {
    const uint32_t w = words[f.word];
    if (f.whole) return f.gear ? static_cast<int32_t>(w) : int64_t{w};
    const uint32_t v = (w >> f.low) & ((1u << f.width) - 1);
    if (f.is_signed && (v >> (f.width - 1)) != 0) return int64_t{v} - (int64_t{1} << f.width);
    return v;
}

// The value a reader should see for a packed value.
template <typename Fields>
int64_t Expected(const FieldCase<Fields>& f, int64_t packed) {
    return f.gear ? packed - 1 : packed;
}

int64_t AllSet(unsigned width, bool is_signed) { return is_signed ? -1 : (int64_t{1} << width) - 1; }

std::string Pack(const PlayerCarFields& f) { return CarRecordPacker::PlayerCar(f); }
std::string Pack(const OtherCarFields& f) { return CarRecordPacker::OtherCar(f); }
std::string Pack(const EngineFields& f) { return CarRecordPacker::Engine(f); }

const uint32_t* Unpack(ParseCarStructs& p, const PlayerCarFields&, const std::string& b) {
    return p.ParseCarRecordA(Span(b))->data();
}
const uint32_t* Unpack(ParseCarStructs& p, const OtherCarFields&, const std::string& b) {
    return p.ParseCarRecordB(Span(b))->data();
}
const uint32_t* Unpack(ParseCarStructs& p, const EngineFields&, const std::string& b) {
    return p.ParseCarRecordC(Span(b))->data();
}

// Sets one field to all ones (then to its sign bit alone, for signed
// fields) with every other field 0, and checks that exactly that field
// comes back: a field one bit too wide, too narrow or out of place shows in
// itself or in a neighbour.
template <typename Fields>
void CheckEachFieldAlone(const Table<Fields>& table) {
    ParseCarStructs parser;
    for (const auto& f : table) {
        std::vector<int64_t> values = {AllSet(f.width, f.is_signed)};
        if (f.is_signed) values.push_back(-(int64_t{1} << (f.width - 1)));
        else values.push_back(int64_t{1} << (f.width - 1));
        for (int64_t value : values) {
            Fields fields{};
            f.set(fields, value);
            const uint32_t* words = Unpack(parser, fields, Pack(fields));
            for (const auto& other : table) {
                const int64_t want = Expected(other, &other == &f ? value : 0);
                EXPECT_EQ(Read(other, words), want) << f.name << " = " << value << ", reading " << other.name;
            }
        }
    }
}

TEST(ParseCarStructs, EachPlayerFieldComesBackAloneAtItsEdges) { CheckEachFieldAlone(PlayerTable()); }
TEST(ParseCarStructs, EachOtherCarFieldComesBackAloneAtItsEdges) { CheckEachFieldAlone(OtherTable()); }
TEST(ParseCarStructs, EachEngineFieldComesBackAloneAtItsEdges) { CheckEachFieldAlone(EngineTable()); }

// Random values in every field at once, many records through one parser:
// neighbours do not bleed into each other, and nothing of an earlier
// record stays behind in the shared words.
template <typename Fields>
void CheckRandomRecords(const Table<Fields>& table) {
    std::mt19937 rng(4);
    ParseCarStructs parser;
    for (int round = 0; round < 300; ++round) {
        Fields fields{};
        std::vector<int64_t> values;
        for (const auto& f : table) {
            const int64_t span = int64_t{1} << f.width;
            int64_t v = std::uniform_int_distribution<int64_t>(0, span - 1)(rng);
            if (f.is_signed) v -= span / 2;
            f.set(fields, v);
            values.push_back(v);
        }
        const uint32_t* words = Unpack(parser, fields, Pack(fields));
        for (size_t i = 0; i < table.size(); ++i)
            ASSERT_EQ(Read(table[i], words), Expected(table[i], values[i])) << "round " << round << ", " << table[i].name;
    }
}

TEST(ParseCarStructs, RandomPlayerRecordsRoundTrip) { CheckRandomRecords(PlayerTable()); }
TEST(ParseCarStructs, RandomOtherCarRecordsRoundTrip) { CheckRandomRecords(OtherTable()); }
TEST(ParseCarStructs, RandomEngineRecordsRoundTrip) { CheckRandomRecords(EngineTable()); }

TEST(ParseCarStructs, AllBitsSetGiveTheLargestFieldsAndMinusOnes) {
    ParseCarStructs parser;
    const std::vector<uint8_t> ones(28, 0xFF);
    const auto& a = *parser.ParseCarRecordA(ones);
    EXPECT_EQ(a[ParseCarStructs::kPlayerDistance], 67108863u);
    EXPECT_EQ(static_cast<int32_t>(a[ParseCarStructs::kPlayerGear]), 6);
    // Orientation, pitch and roll fill word 7 completely.
    EXPECT_EQ(a[ParseCarStructs::kPlayerAttitude], 0xFFFFFFFFu);
    EXPECT_EQ(ParseCarStructs::Signed(a[ParseCarStructs::kPlayerAttitude], ParseCarStructs::kPlayerPitchLow,
                                      ParseCarStructs::kPitchBits),
              -1);
    // Shared words carry nothing outside their fields' ranges.
    EXPECT_EQ(a[ParseCarStructs::kPlayerLateral], 0xFFFFFu);
    EXPECT_EQ(a[ParseCarStructs::kPlayerSteering], 0x7Fu);

    const auto& b = *parser.ParseCarRecordB(std::span(ones).first(16));
    EXPECT_EQ(b[ParseCarStructs::kOtherDistance], 67108863u);
    EXPECT_EQ(b[ParseCarStructs::kOtherAttitude], 0x1FFFFFFFu);
    EXPECT_EQ(b[ParseCarStructs::kOtherSlot], 63u);

    const uint8_t engine[] = {0xFF, 0xFF, 0xFF, 0xFF};
    const auto& c = *parser.ParseCarRecordC(engine);
    EXPECT_EQ(c[0], 127u);
    EXPECT_EQ(c[1], 127u);
    EXPECT_EQ(c[2], 127u);
    EXPECT_EQ(c[3], 2047u);
}

TEST(ParseCarStructs, GearFieldZeroReadsMinusOneAndOneReadsNeutral) {
    ParseCarStructs parser;
    for (uint32_t stored : {0u, 1u, 7u}) {
        PlayerCarFields a;
        a.gear_field = stored;
        EXPECT_EQ(static_cast<int32_t>((*parser.ParseCarRecordA(Span(CarRecordPacker::PlayerCar(a))))[2]),
                  static_cast<int32_t>(stored) - 1);
        OtherCarFields b;
        b.gear_field = stored;
        EXPECT_EQ(static_cast<int32_t>((*parser.ParseCarRecordB(Span(CarRecordPacker::OtherCar(b))))[12]),
                  static_cast<int32_t>(stored) - 1);
    }
}

TEST(ParseCarStructs, OtherCarSlotIsTheTopSixBitsOfByte7) {
    ParseCarStructs parser;
    for (uint8_t byte7 : {0x00, 0x03, 0x04, 0xB7, 0xFC, 0xFF}) {
        std::vector<uint8_t> entry(16, 0x5A);
        entry[7] = byte7;
        EXPECT_EQ((*parser.ParseCarRecordB(entry))[ParseCarStructs::kOtherSlot], uint32_t{byte7} >> 2);
    }
}

TEST(ParseCarStructs, ShortRecordsAreRefusedAndLeaveTheBlock) {
    ParseCarStructs parser;
    PlayerCarFields a;
    a.distance = 12345;
    const std::string packed = CarRecordPacker::PlayerCar(a);
    const auto* block = parser.ParseCarRecordA(Span(packed));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(parser.ParseCarRecordA(Span(packed).first(27)), nullptr);
    EXPECT_EQ((*block)[0], 12345u);
    EXPECT_EQ(parser.ParseCarRecordB(Span(packed).first(15)), nullptr);
    EXPECT_EQ(parser.ParseCarRecordC(Span(packed).first(3)), nullptr);
    // Bytes after the layout are not read.
    std::string longer = packed + std::string(8, '\xFF');
    EXPECT_EQ((*parser.ParseCarRecordA(Span(longer)))[ParseCarStructs::kPlayerUnused26], 0u);
}

}  // namespace
