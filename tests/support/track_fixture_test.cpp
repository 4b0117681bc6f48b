// Self-check of the track fixture writer: fields land where the track
// format puts them, with offsets worked out here from the format rather
// than taken from the writer's layout.

#include "support/track_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace fixture {
namespace {

uint32_t U32At(const std::string& b, size_t o) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(b.at(o + i))) << (8 * i);
    return v;
}

TEST(TrackFixture, BlockFieldsStandWhereTheFormatPutsThem) {
    const TrackBlockSpec spec = StadiumCircuit();
    const std::string b = BuildTrackBlock(spec);
    EXPECT_EQ(b.substr(0, 4), "KART");
    EXPECT_EQ(U32At(b, 8), static_cast<uint32_t>(kStadiumStated));
    const uint32_t t = U32At(b, 12);
    const uint32_t s = U32At(b, 16);
    EXPECT_EQ(t, 4u);
    EXPECT_EQ(s, 4u);
    EXPECT_EQ(static_cast<int32_t>(U32At(b, 28)), kStadiumTraces[0]);
    EXPECT_EQ(static_cast<int32_t>(U32At(b, 28 + 12)), kStadiumTraces[3]);

    // Word of section i's record: 23 + S + 8 S T + trace-area size / 4 +
    // offset_i / 4.
    const size_t base = 23 + s + 8 * s * t + U32At(b, 20) / 4;
    for (uint32_t i = 0; i < s; ++i) {
        const size_t record = 4 * (base + U32At(b, 92 + 4 * i) / 4);
        const SectionRecord& r = spec.sections[i];
        EXPECT_EQ(U32At(b, record), r.type) << i;
        EXPECT_EQ(U32At(b, record + 4), static_cast<uint32_t>(r.start)) << i;
        EXPECT_EQ(U32At(b, record + 8), static_cast<uint32_t>(r.length)) << i;
        EXPECT_EQ(U32At(b, record + 12), r.heading) << i;
        if (r.type == 2) {
            EXPECT_EQ(U32At(b, record + 28), static_cast<uint32_t>(r.angle)) << i;
        }
        // Cross records from word 10's record number; trace records from
        // word 12's, word 11 of them.
        const size_t cross = 4 * (23 + s + 8 * U32At(b, record + 40));
        EXPECT_EQ(static_cast<int32_t>(U32At(b, cross + 24)), r.cross[0][6]) << i;
        EXPECT_EQ(static_cast<int32_t>(U32At(b, cross + 32 * (t - 1) + 24)), r.cross[t - 1][6]) << i;
        EXPECT_EQ(U32At(b, record + 44), r.traces.size()) << i;
        const size_t trace = 4 * (23 + s + 8 * s * t + 8 * U32At(b, record + 48));
        EXPECT_EQ(static_cast<int32_t>(U32At(b, trace)), r.traces[0].start) << i;
        EXPECT_EQ(static_cast<int32_t>(U32At(b, trace + 32 + 8)), r.traces[1].flags) << i;
    }
}

TEST(TrackFixture, ContainerDirectoryEntries) {
    const std::string c = BuildTrackContainer({{{"A.TRK", "xyz"}, {"abcdefghijklmnop", "0123"}}});
    ASSERT_EQ(c.at(0), 2);
    ASSERT_EQ(c.at(1), 0);
    for (size_t i = 0; i < 2; ++i) {
        const size_t entry = 2 + 27 * i;
        const uint32_t size = U32At(c, entry + 2);
        const uint32_t offset = U32At(c, entry + 23);
        EXPECT_EQ(c.substr(offset, size), i == 0 ? "xyz" : "0123");
    }
    EXPECT_EQ(c.substr(2 + 10, 6), std::string("A.TRK\0", 6));
    EXPECT_EQ(c.substr(2 + 27 + 10, 13), "abcdefghijklm");
}

}  // namespace
}  // namespace fixture
