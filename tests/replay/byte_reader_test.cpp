#include "replay/byte_reader.h"

#include <gtest/gtest.h>

#include "replay/byte_writer.h"

namespace {

TEST(ByteReader, ReadsLittleEndianAndFailsPastTheEndWithoutMoving) {
    const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
    ByteReader r(bytes, sizeof bytes);
    EXPECT_EQ(r.U8(), 0x01);
    EXPECT_EQ(r.U16(), 0x0302);
    EXPECT_EQ(r.U32At(3), 0x07060504u);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.U32(), 0x07060504u);
    EXPECT_EQ(r.U16(), 0u);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.pos(), 7u);
    EXPECT_EQ(r.U32At(4), 0u);
    EXPECT_FALSE(r.Has(5, 3));
    EXPECT_TRUE(r.Has(7, 0));
}

TEST(ByteReader, CStringIsBoundedByItsLimit) {
    const std::string data("abc\0defghijklmnopq\0", 19);
    ByteReader r(data.data(), data.size());
    EXPECT_EQ(r.CString(15), "abc");
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.CString(5), "");  // "defghijklmnopq" is longer than 5
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.pos(), 4u);

    const std::string unterminated("abc", 3);
    ByteReader u(unterminated.data(), unterminated.size());
    EXPECT_EQ(u.CString(15), "");
    EXPECT_FALSE(u.ok());
}

TEST(ByteReader, FieldStopsAtNulOrLimitAndConsumesTheWidth) {
    const std::string data = std::string("Jo\0xxxxxxxxxxxxx", 16) + "ABCDEFGHIJKLMNOP";
    ByteReader r(data.data(), data.size());
    EXPECT_EQ(r.Field(16, 15), "Jo");
    EXPECT_EQ(r.Field(16, 15), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(r.pos(), 32u);
    EXPECT_TRUE(r.ok());
}

TEST(ByteWriter, WritesWhatByteReaderReads) {
    ByteWriter w;
    w.U8(0xAB);
    w.U16(0xBEEF);
    w.U32(0xDEADBEEF);
    w.CString(std::string("cut\0here", 8));
    ByteReader r(w.bytes().data(), w.bytes().size());
    EXPECT_EQ(r.U8(), 0xAB);
    EXPECT_EQ(r.U16(), 0xBEEF);
    EXPECT_EQ(r.U32(), 0xDEADBEEFu);
    EXPECT_EQ(r.CString(15), "cut");
    EXPECT_EQ(r.remaining(), 0u);
}

}  // namespace
