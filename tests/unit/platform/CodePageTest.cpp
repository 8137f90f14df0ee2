#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace orven {
namespace {

struct Mapping {
    const char* cp932;
    std::u16string utf16;
};

// One or more characters of every class CP932 has, with the bytes Windows gives them.
const Mapping kRoundTrips[] = {
    {"A\x5C\x7E", u"A\\~"},                   // ASCII: backslash and tilde stay themselves
    {"\xA1\xB1\xDF", u"\uFF61\uFF71\uFF9F"},  // half-width katakana
    {"\x82\xA0\x88\x9F\x93\xFA", u"\u3042\u4E9C\u65E5"},  // JIS X 0208 kana and kanji
    {"\x83\x5C\x95\x5C", u"\u30BD\u8868"},                // second byte 0x5C is no backslash
    {"\x87\x40\x87\x54\x87\x82", u"\u2460\u2160\u2116"},  // NEC row 13
    {"\xFA\x40\xFA\x55\xFC\x4B", u"\u2170\uFFE4\u9ED1"},  // IBM extensions
    {"\x81\x5F\x81\x60\x81\x61\x81\x7C", u"\uFF3C\uFF5E\u2225\uFF0D"},  // Windows' choices
    {"\x81\x91\x81\x92\x81\xCA", u"\uFFE0\uFFE1\uFFE2"},
    {"\xF0\x40", u"\uE000"},  // user-defined area
};

TEST(CodePageTest, EveryCharacterClassRoundTrips) {
    for (const Mapping& m : kRoundTrips) {
        EXPECT_EQ(CodePage::cp932ToUtf16(m.cp932), m.utf16) << m.cp932;
        EXPECT_EQ(CodePage::utf16ToCp932(m.utf16), m.cp932) << m.cp932;
        EXPECT_EQ(CodePage::utf8ToCp932(CodePage::cp932ToUtf8(m.cp932)), m.cp932);
    }
}

// Codes with a twin elsewhere read as the same character and are written as Windows writes
// it: NEC-selected IBM as IBM, IBM duplicates of NEC row 13 as NEC, row 13 math as JIS.
TEST(CodePageTest, DuplicateCodesWriteAsWindowsDoes) {
    EXPECT_EQ(CodePage::cp932ToUtf16("\xED\x40\xEE\xFC"), u"\u7E8A\uFF02");
    EXPECT_EQ(CodePage::utf16ToCp932(u"\u7E8A\uFF02"), "\xFA\x5C\xFA\x57");
    EXPECT_EQ(CodePage::utf16ToCp932(CodePage::cp932ToUtf16("\xFA\x4A\xFA\x54\x87\x9C")),
              "\x87\x54\x81\xCA\x81\xBE");
}

TEST(CodePageTest, EveryDoubleByteCodeSurvivesAWriteAndReread) {
    int mapped = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC && (lead <= 0x9F || lead >= 0xE0); ++trail) {
            if (trail == 0x7F) {
                continue;
            }
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string text = CodePage::cp932ToUtf16(code);
            ASSERT_EQ(text.size(), 1u) << lead << " " << trail;
            if (text != u"\uFFFD") {
                ++mapped;
                EXPECT_EQ(CodePage::cp932ToUtf16(CodePage::utf16ToCp932(text)), text);
            }
        }
    }
    EXPECT_GT(mapped, 9000);  // JIS X 0208, NEC, IBM and the user-defined area
}

TEST(CodePageTest, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(CodePage::cp932ToUtf16("\x80\xA0\xFD\xFE\xFF"), u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(CodePage::cp932ToUtf16("a\x81"), u"a\uFFFD");       // cut off at the end
    EXPECT_EQ(CodePage::cp932ToUtf16("\x81\x20z"), u"\uFFFD z");  // bad second byte
    EXPECT_EQ(CodePage::cp932ToUtf16(std::string("\0x", 2)), std::u16string(u"\0x", 2));
}

TEST(CodePageTest, CharactersOutsideCp932BecomeQuestionMarks) {
    EXPECT_EQ(CodePage::utf8ToCp932("caf\u00E9 \uAC00"), "caf? ?");
    EXPECT_EQ(CodePage::utf16ToCp932(u"\U0001F600!"), "?!");     // one per character
    EXPECT_EQ(CodePage::utf16ToCp932(u"\xD800x\xDC00"), "?x?");  // lone surrogates
}

TEST(CodePageTest, Utf8AndUtf16ConvertBothWaysReplacingWhatIsInvalid) {
    const std::string utf8 = "a\u00E9\u65E5\U0001F600";
    EXPECT_EQ(CodePage::utf8ToUtf16(utf8), u"a\u00E9\u65E5\U0001F600");
    EXPECT_EQ(CodePage::utf16ToUtf8(CodePage::utf8ToUtf16(utf8)), utf8);
    EXPECT_EQ(CodePage::utf16ToUtf8(std::u16string{0xDC00, 'a', 0xD800}), "\uFFFDa\uFFFD");
    // Invalid UTF-8: each bad piece is replaced without swallowing the good text after it.
    EXPECT_EQ(CodePage::utf8ToUtf16("\xE6\x97z"), u"\uFFFDz");                // truncated sequence
    EXPECT_EQ(CodePage::utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong '/'
    EXPECT_EQ(CodePage::utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // surrogate
    EXPECT_EQ(CodePage::utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(CodePage::utf8ToUtf16("\xFF"), u"\uFFFD");
}

TEST(CodePageTest, Cp932LengthCountsBytes) {
    EXPECT_EQ(CodePage::cp932Length(""), 0u);
    EXPECT_EQ(CodePage::cp932Length("ab\uFF71"), 3u);          // half-width kana is one byte
    EXPECT_EQ(CodePage::cp932Length("\u65E5\u2460"), 4u);      // double-byte characters
    EXPECT_EQ(CodePage::cp932Length("\u00E9\U0001F600"), 2u);  // each '?' is one byte
}

}  // namespace
}  // namespace orven
