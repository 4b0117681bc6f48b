// Self-check of the replay fixture writer: the bytes land at the offsets the
// replay format gives, worked out by hand here rather than taken from the
// writer's own arithmetic.

#include "support/replay_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace fixture {
namespace {

uint16_t U16At(const std::string& b, size_t o) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b.at(o)) | static_cast<uint8_t>(b.at(o + 1)) << 8);
}

uint32_t U32At(const std::string& b, size_t o) {
    return U16At(b, o) | static_cast<uint32_t>(U16At(b, o + 2)) << 16;
}

std::string Padded(const std::string& text, size_t width) {
    return text + std::string(width - text.size(), '\0');
}

struct HeaderCase {
    uint8_t sessions;
    size_t laps_at;
    size_t other_at;
};

class HeaderFields : public testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderFields, StandAtTheirOffsets) {
    ReplaySpec spec;
    spec.version = 1;
    spec.recording_ticks = 123456;
    spec.player_index = 2;
    spec.player_first = "Jochen";
    spec.player_last = "Abcdefghijklmnop";  // 16 characters: no NUL in the file
    spec.track = "Monza";
    spec.car_set = "qel67";
    spec.game_mode = 3;
    spec.ai_cars = 19;
    spec.damage_level = 2;
    spec.sessions = GetParam().sessions;
    spec.race_laps = 0x0123;
    spec.drivers = {DriverSpec{}};
    spec.layout = TableLayout::kNone;
    // Blocks of 8 + 8 (marker) + 8 (frame number) + 24 (filler) = 48 bytes.
    spec.frames = SessionFrames(0, 0, 2, 1, 24);

    const std::string b = BuildReplay(spec);
    ASSERT_EQ(b.size(), 296u + 12 + 152 + 12 + 2 * 48);
    EXPECT_EQ(b.substr(0, 4), "YLPR");
    EXPECT_EQ(U32At(b, 4), 1u);
    EXPECT_EQ(U32At(b, 8), b.size() - 12);
    EXPECT_EQ(U32At(b, 40), 123456u);
    EXPECT_EQ(U16At(b, 48), 48u);
    EXPECT_EQ(U32At(b, 52), 2u);
    EXPECT_EQ(b.substr(56, 16), Padded("Jochen", 16));
    EXPECT_EQ(b.substr(72, 16), "Abcdefghijklmnop");
    EXPECT_NE(b[88], '\0');
    EXPECT_EQ(b.substr(112, 16), Padded("Monza", 16));
    EXPECT_EQ(b.substr(128, 16), Padded("qel67", 16));
    EXPECT_EQ(b[148], 3);
    EXPECT_EQ(U16At(b, 156), 19u);
    EXPECT_EQ(static_cast<uint8_t>(b[169]), 0x40);
    EXPECT_EQ(b[225], GetParam().sessions);
    EXPECT_EQ(U16At(b, GetParam().laps_at), 0x0123u);
    EXPECT_EQ(U16At(b, GetParam().other_at), 0xEEEEu);
    // Unlisted header bytes are never 0.
    for (size_t o : {12u, 44u, 50u, 100u, 149u, 170u, 226u, 295u}) {
        EXPECT_NE(b[o], '\0') << "offset " << o;
    }
}

INSTANTIATE_TEST_SUITE_P(RaceLaps, HeaderFields,
                         testing::Values(HeaderCase{2, 239, 247}, HeaderCase{1, 239, 247},
                                         HeaderCase{3, 247, 239}),
                         [](const testing::TestParamInfo<HeaderCase>& info) {
                             return "Sessions" + std::to_string(info.param.sessions);
                         });

TEST(DriverChunk, RecordsFollowTheChunkHeaderAt296) {
    DriverSpec graham;
    graham.first_name = "Graham";
    graham.last_name = "Hill";
    graham.country = 13;
    graham.season_offset = -3;
    graham.car_byte = 3;
    graham.car_data55 = 4;
    graham.car_data56 = 5;
    graham.car_data57 = {2, 3, 4, 5, 6, 7, 8, 9, 10};
    graham.engine_index = 7;
    graham.code_byte = 0x21;
    graham.value128 = 0x11223344;
    graham.slot = 5;
    graham.value140 = 0x55667788;
    DriverSpec jack;
    jack.first_name = "Jack";
    jack.last_name = "Brabham";
    jack.not_applicable = true;
    jack.ai = true;
    jack.slot = 9;

    ReplaySpec spec;
    spec.drivers = {graham, jack};
    spec.layout = TableLayout::kNone;
    const std::string b = BuildReplay(spec);

    EXPECT_EQ(U32At(b, 296 + 8), 2u * 152);
    EXPECT_EQ(b.substr(320, 16), Padded("Graham", 16));
    EXPECT_EQ(b.substr(336, 16), Padded("Hill", 16));
    EXPECT_EQ(b[356], 13);
    EXPECT_EQ(static_cast<uint8_t>(b[361]), 0xFD);  // 308 + 53: season offset -3
    EXPECT_EQ(b.substr(362, 4), std::string("\x03\x04\x05\x02", 4));
    EXPECT_EQ(b[373], 10);  // 308 + 65: the ninth car data value
    EXPECT_NE(b.substr(392, 2), "AI");
    EXPECT_EQ(U32At(b, 428), 7u);
    EXPECT_EQ(b[432], 0x21);
    EXPECT_EQ(U32At(b, 436), 0x11223344u);
    EXPECT_EQ(U32At(b, 444), 5u);
    EXPECT_EQ(U32At(b, 448), 0x55667788u);

    // Second record at 308 + 152 = 460.
    EXPECT_EQ(b.substr(472, 16), Padded("Jack", 16));
    EXPECT_EQ(b.substr(488, 16), Padded("Brabham", 16));
    EXPECT_EQ(b.substr(512, 15), std::string("NOT APPLICABLE\0", 15));
    EXPECT_EQ(b.substr(544, 2), "AI");
    EXPECT_EQ(U32At(b, 596), 9u);
    EXPECT_EQ(U32At(b, 612), kTagData);

    // A damaged payload length moves nothing but itself.
    spec.driver_payload_override = 1000;
    const std::string damaged = BuildReplay(spec);
    EXPECT_EQ(U32At(damaged, 304), 1000u);
    EXPECT_EQ(U32At(damaged, 612), kTagData);
    EXPECT_EQ(LayoutOf(spec).data_section, 612u);
}

struct LayoutCase {
    const char* name;
    TableLayout layout;
    uint32_t first, extra, race, data;
};

class ChunkLayout : public testing::TestWithParam<LayoutCase> {};

// One driver (records end at 460), a first table of entries with 3 and 2
// words (32 + 28 = 60 bytes), a race table of one 4-word entry (36 bytes),
// an extra chunk of 16 bytes, three blocks of 24 bytes.
TEST_P(ChunkLayout, ChunksStandWhereLayoutOfSays) {
    const LayoutCase& c = GetParam();
    ReplaySpec spec;
    spec.drivers = {DriverSpec{}};
    spec.layout = c.layout;
    spec.practice = {EntryFromLaps(0, 1000, {60000, 61000, 62000}), EntryFromLaps(1, 1200, {70000, 71000})};
    spec.race = {EntryFromLaps(0, 500, {80000, 81000, 82000, 83000})};
    spec.frames = SessionFrames(0, 0, 3);

    const ReplayLayout layout = LayoutOf(spec);
    EXPECT_EQ(layout.first_table, c.first);
    EXPECT_EQ(layout.extra_chunk, c.extra);
    EXPECT_EQ(layout.race_table, c.race);
    EXPECT_EQ(layout.data_section, c.data);
    EXPECT_EQ(layout.file_size, c.data + 12 + 72);

    // Walk the built file chunk by chunk by the payload lengths.
    const std::string b = BuildReplay(spec);
    ASSERT_EQ(b.size(), layout.file_size);
    std::vector<std::pair<uint32_t, uint32_t>> walked;
    for (uint32_t at = 296; at < b.size(); at += 12 + U32At(b, at + 8)) {
        walked.emplace_back(at, U32At(b, at));
    }
    std::vector<std::pair<uint32_t, uint32_t>> expected = {{296, kTagDrivers}};
    if (c.first != 0) expected.emplace_back(c.first, spec.first_table_tag);
    if (c.extra != 0) expected.emplace_back(c.extra, kTagExtra);
    if (c.race != 0) expected.emplace_back(c.race, kTagRaceTable);
    expected.emplace_back(c.data, kTagData);
    EXPECT_EQ(walked, expected);
    EXPECT_EQ(b.substr(c.data, 4), "PTPR");
    if (c.race != 0) {
        EXPECT_EQ(b.substr(c.race, 4), "BTPL");
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllLayouts, ChunkLayout,
    testing::Values(LayoutCase{"None", TableLayout::kNone, 0, 0, 0, 460},
                    LayoutCase{"PracticeOnly", TableLayout::kPracticeOnly, 460, 0, 0, 532},
                    LayoutCase{"PracticeThenRace", TableLayout::kPracticeThenRace, 460, 0, 532, 580},
                    LayoutCase{"PracticeExtraRace", TableLayout::kPracticeExtraRace, 460, 532, 560, 608},
                    LayoutCase{"EmptyFirstThenRace", TableLayout::kEmptyFirstThenRace, 460, 0, 472, 520},
                    LayoutCase{"RaceOnly", TableLayout::kRaceOnly, 460, 0, 0, 532}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST(LapTable, EntriesHoldSlotStartAndCumulativeWords) {
    LapEntry first = EntryFromLaps(4, 1500, {90000, 91000, 89500}, {0, 0x10000000});
    EXPECT_EQ(first.words, (std::vector<uint32_t>{91500, 0x10000000 | 182500, 272000}));
    // The clock keeps its low 24 bits only.
    EXPECT_EQ(EntryFromLaps(0, 0xFFFF00, {0x200}).words, std::vector<uint32_t>{0x100});

    LapEntry damaged = EntryFromLaps(6, 2000, {95000});
    damaged.length_override = 400;

    ReplaySpec spec;
    spec.drivers = {DriverSpec{}};
    spec.layout = TableLayout::kPracticeOnly;
    spec.practice = {first, damaged};
    const std::string b = BuildReplay(spec);

    // First table at 460; its entries from 472.
    EXPECT_EQ(U32At(b, 468), (12u + 20) + (12u + 12));
    EXPECT_EQ(U32At(b, 480), 20u);
    EXPECT_EQ(U32At(b, 484), 4u);
    EXPECT_EQ(U32At(b, 488), 1500u);
    EXPECT_EQ(U32At(b, 492), 91500u);
    EXPECT_EQ(U32At(b, 496), 0x10000000u | 182500);
    EXPECT_EQ(U32At(b, 500), 272000u);
    // Second entry at 472 + 12 + 20 = 504: only its length field lies.
    EXPECT_EQ(U32At(b, 512), 400u);
    EXPECT_EQ(U32At(b, 516), 6u);
    EXPECT_EQ(U32At(b, 520), 2000u);
    EXPECT_EQ(U32At(b, 524), 97000u);
    EXPECT_EQ(U32At(b, 528), kTagData);
}

TEST(Frames, SessionFramesCarryMarkersAndFrameNumbers) {
    const std::vector<FrameBlock> frames = SessionFrames(7, 2, 37, 50);
    ASSERT_EQ(frames.size(), 37u);
    // Block i at 2 + i * 27.78 ms rounded down, in units of 10 ms:
    // 2, 29, 57, ..., 974, 1002.
    const std::pair<uint32_t, uint32_t> ticks[] = {{0, 0}, {1, 2}, {2, 5}, {35, 97}, {36, 100}};
    for (auto [i, tens] : ticks) {
        ASSERT_EQ(frames[i].records.size(), 2u);
        const Record& marker = frames[i].records[0];
        EXPECT_EQ(marker.type, 13);
        EXPECT_EQ(marker.length, 8);
        EXPECT_EQ(U32At(marker.payload, 0), tens << 8 | 7) << "block " << i;
        const Record& frame = frames[i].records[1];
        EXPECT_EQ(frame.type, 14);
        EXPECT_EQ(frame.length, 8);
        EXPECT_EQ(U32At(frame.payload, 0), 50 + i);
    }
}

// Bytes a record occupies by each of the documented skip rules.
uint32_t ByRoundUp(uint16_t, uint32_t len) {
    return (len + 3) & ~3u;
}

uint32_t ByTelemetryRule(uint16_t type, uint32_t len) {
    switch (type) {
    case 4: case 6: case 10: case 11: case 12: return len;
    case 8: return len + 2;
    default: return ByRoundUp(type, len);
    }
}

uint32_t ByScanRule(uint16_t type, uint32_t len) {
    switch (type) {
    case 9: case 14: case 15: case 16: return ByRoundUp(type, len);
    case 8: return len + 2;
    default: return len;
    }
}

TEST(Frames, EverySkipRuleWalksTheSameBlocks) {
    ReplaySpec spec;
    spec.drivers = {DriverSpec{}};
    spec.layout = TableLayout::kNone;
    spec.distance_unit = 0x40;
    spec.frames = SessionFrames(1, 0, 3, 1, 100);
    FrameBlock mixed;
    mixed.records.push_back(Marker(1, 200));
    const std::pair<uint16_t, uint16_t> fillers[] = {{1, 32}, {2, 8}, {3, 36}, {4, 4},  {6, 12},
                                                     {8, 4},  {8, 16}, {9, 4},  {10, 20}, {11, 8},
                                                     {12, 24}, {14, 8}, {15, 12}, {16, 4}};
    for (auto [type, occupied] : fillers) {
        mixed.records.push_back(Filler(type, occupied));
    }
    spec.frames.push_back(mixed);

    const std::string b = BuildReplay(spec);
    const uint32_t d = LayoutOf(spec).data_section;
    EXPECT_EQ(static_cast<uint8_t>(b[d + 4]), 0x40);

    using Rule = uint32_t (*)(uint16_t, uint32_t);
    const uint32_t total = U32At(b, d + 8);
    std::vector<uint32_t> starts;
    uint32_t at = d + 12;
    uint16_t previous = 0;
    while (at < d + 12 + total) {
        starts.push_back(at);
        const uint16_t size = U16At(b, at);
        EXPECT_EQ(U16At(b, at + 2), previous);
        for (Rule rule : {Rule{ByRoundUp}, Rule{ByTelemetryRule}, Rule{ByScanRule}}) {
            uint32_t r = at + 8;
            while (r < at + size) {
                r += rule(U16At(b, r), U16At(b, r + 2));
            }
            EXPECT_EQ(r, at + size) << "block at " << at;
        }
        previous = size;
        at += size;
    }
    EXPECT_EQ(starts.size(), 4u);
    EXPECT_EQ(at, b.size());
    EXPECT_EQ(total, 3u * (8 + 16 + 100) + 8 + 8 + 32 + 8 + 36 + 4 + 12 + 4 + 16 + 4 + 20 + 8 + 24 + 8 + 12 + 4);

    // Backwards from the end of the file by offset 48 and the previous sizes.
    std::vector<uint32_t> back;
    for (uint32_t s = static_cast<uint32_t>(b.size()) - U16At(b, 48);; s -= U16At(b, s + 2)) {
        back.insert(back.begin(), s);
        if (U16At(b, s + 2) == 0) break;
    }
    EXPECT_EQ(back, starts);
}

TEST(Frames, BlockOverridesDamageOnlyTheirField) {
    ReplaySpec spec;
    spec.drivers = {DriverSpec{}};
    spec.layout = TableLayout::kNone;
    spec.frames = SessionFrames(0, 0, 3);  // 24-byte blocks from 472
    spec.frames[0].size_override = 0;
    spec.frames[2].prev_size_override = 999;
    spec.last_block_size = 7;
    const std::string b = BuildReplay(spec);
    EXPECT_EQ(U32At(b, 468), 72u);
    EXPECT_EQ(U16At(b, 472), 0u);
    EXPECT_EQ(U16At(b, 496), 24u);
    EXPECT_EQ(U16At(b, 498), 24u);
    EXPECT_EQ(U16At(b, 520), 24u);
    EXPECT_EQ(U16At(b, 522), 999u);
    EXPECT_EQ(U16At(b, 48), 7u);
    EXPECT_EQ(b.size(), 544u);
}

}  // namespace
}  // namespace fixture
