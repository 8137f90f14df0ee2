#include <gtest/gtest.h>

#include <string>

#include "store/FILESTS_INFO.h"
#include "store/HeaderBlock.h"

namespace orven {
namespace {

std::string utf16le(std::u16string_view text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

TEST(RecordLayout, FieldsLandAtTheirFileOffsets) {
    FILESTS_INFO record = FILESTS_INFO::zeroed();
    record.mark = 1;
    record.downloadState = 2;
    FILESTS_INFO::setText(record.boxNumber, "0101");
    FILESTS_INFO::setText(record.callerName, "山田");
    FILESTS_INFO::setText(record.recordingLength, "00:01:05");
    FILESTS_INFO::setText(record.memo, "ﾒﾓ");
    const std::string bytes = record.toBytes();

    ASSERT_EQ(bytes.size(), 1010u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[2], 2);
    EXPECT_EQ(bytes.substr(4, 10), utf16le(u"0101") + std::string(2, '\0'));
    EXPECT_EQ(bytes.substr(122, 6), utf16le(u"山田") + std::string(2, '\0'));
    EXPECT_EQ(bytes.substr(228, 16), utf16le(u"00:01:05"));
    EXPECT_EQ(bytes.substr(328, 4), utf16le(u"ﾒﾓ"));
    EXPECT_EQ(FILESTS_INFO::text(FILESTS_INFO::fromBytes(bytes).callerName), "山田");
}

TEST(RecordLayout, TextIsCutToTheFieldAndReadSafelyWithoutTerminator) {
    FILESTS_INFO record = FILESTS_INFO::zeroed();
    FILESTS_INFO::setText(record.boxNumber, "123456");
    EXPECT_EQ(FILESTS_INFO::text(record.boxNumber), "1234");

    std::string bytes(1010, 'A');  // every field full, no terminator anywhere
    const FILESTS_INFO odd = FILESTS_INFO::fromBytes(bytes);
    EXPECT_EQ(FILESTS_INFO::text(odd.boxNumber).size(), 5u * 3);
    const FILESTS_INFO shortRecord = FILESTS_INFO::fromBytes(std::string("\x01", 1));
    EXPECT_EQ(shortRecord.mark, 1);
    EXPECT_EQ(FILESTS_INFO::text(shortRecord.title), "");
}

TEST(HeaderBlockFields, ReadsBigEndianNumbersAndPaddedNames) {
    std::string raw(256, '\0');
    raw.replace(0, 33, "202401050930_FRI_0101_00001.vmdat");
    raw.replace(33, 3, "   ");
    raw.replace(64, 16, "Zu-KA Voice-data");
    raw[193] = 0x03;
    raw.replace(194, 4, std::string("\x00\x00\x8C\xA1", 4));  // 36001
    raw.replace(198, 2, std::string("\x01\x2C", 2));          // 300
    raw.replace(202, 3, "012");
    const HeaderBlock block(raw);
    EXPECT_EQ(block.fileName(), "202401050930_FRI_0101_00001.vmdat");
    EXPECT_TRUE(block.hasSignature());
    EXPECT_EQ(block.flags(), 3);
    EXPECT_EQ(block.lengthTenths(), 36001u);
    EXPECT_EQ(block.responseNumber(), 300);
    EXPECT_EQ(block.field(HeaderBlock::kBoxNumberAt, HeaderBlock::kBoxNumberSize), "012");

    raw[70] = 'x';
    EXPECT_FALSE(HeaderBlock(raw).hasSignature());
    EXPECT_FALSE(HeaderBlock("short").hasSignature());
}

TEST(HeaderBlockFields, DateFieldHasTheFixedLayout) {
    std::string expected(32, '\0');
    expected.replace(0, 4, "Fri,");
    expected.replace(5, 2, "05");
    expected.replace(8, 3, "Jan");
    expected.replace(12, 4, "2024");
    expected.replace(17, 5, "09:30");
    expected.replace(23, 5, "+0900");
    EXPECT_EQ(HeaderBlock::dateField(LocalTime::make(2024, 1, 5, 9, 30)), expected);

    HeaderBlock block;
    block.setDate(LocalTime::make(2024, 1, 5, 9, 30));
    block.setLengthTenths(0x01020304);
    block.setResponseNumber(7);
    EXPECT_EQ(block.bytes().substr(96, 32), expected);
    EXPECT_EQ(block.bytes().substr(194, 6), std::string("\x01\x02\x03\x04\x00\x07", 6));
}

}  // namespace
}  // namespace orven
