#include "prep/rules_file_reader.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "support/engine_fixture.h"

namespace {

using RulesFileReaderTest = CEngineTest;
using Lines = std::vector<std::string>;

Lines Split(std::string_view text, RulesCharset charset = RulesCharset::Working) {
    Lines lines;
    for (std::string_view line : SplitTextLines(text, charset))
        lines.emplace_back(line);
    return lines;
}

// The UTF-16 bytes of ASCII text, in either byte order.
std::string Utf16(std::string_view ascii, bool bigEndian) {
    std::string out;
    for (char c : ascii) {
        out += bigEndian ? '\0' : c;
        out += bigEndian ? c : '\0';
    }
    return out;
}

TEST_F(RulesFileReaderTest, LinesFollowTextModeRules) {
    struct Case {
        std::string bytes;
        Lines lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a`b", {"a`b"}},
        {"a`b\n", {"a`b"}},
        {"a`b\r\nc`d\r\n", {"a`b", "c`d"}},
        {"a\rb\nc\r", {"a\rb", "c\r"}},
        {"a\r\r\n", {"a\r"}},
        {"\n\n`x\n\r\n", {"", "", "`x", ""}},
        {"a\nb\x1A"
         "c\nd",
         {"a", "b"}},
        {"\x1A"
         "a\n",
         {}},
        {"a\r\x1A", {"a\r"}},
        {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Split(c.bytes), c.lines) << testing::PrintToString(c.bytes);
}

TEST_F(RulesFileReaderTest, Utf16LinesAreSplitByUnitsNotBytes) {
    for (bool bigEndian : {false, true}) {
        const RulesCharset cs = bigEndian ? RulesCharset::Utf16Be : RulesCharset::Utf16Le;
        EXPECT_EQ(Split(Utf16("a\r\nb\rc\n", bigEndian), cs),
                  (Lines{Utf16("a", bigEndian), Utf16("b\rc", bigEndian)}));
        EXPECT_EQ(Split(Utf16("a\nb\x1A"
                              "c",
                              bigEndian),
                        cs),
                  (Lines{Utf16("a", bigEndian), Utf16("b", bigEndian)}));
    }
    // U+4E1A holds a 0x1A byte and U+0A0D holds both line-break bytes: neither is a break.
    EXPECT_EQ(Split("\x1A\x4E\x0D\x0A", RulesCharset::Utf16Le), (Lines{"\x1A\x4E\x0D\x0A"}));
    // An odd last byte stays in the last line, where decoding will refuse it.
    EXPECT_EQ(Split(std::string("a\0\n\0b", 5), RulesCharset::Utf16Le),
              (Lines{std::string("a\0", 2), "b"}));
}

TEST_F(RulesFileReaderTest, AByteOrderMarkDecodesTheFileAndIsNotPartOfTheFirstLine) {
    const std::string utf8 = "业务`事务\n颜色^`colour";
    std::string le, be;
    ASSERT_TRUE(ConvertCharset("UTF-8", "UTF-16LE", utf8, le));
    ASSERT_TRUE(ConvertCharset("UTF-8", "UTF-16BE", utf8, be));
    const std::string files[] = {utf8, "\xEF\xBB\xBF" + utf8, "\xFF\xFE" + le, "\xFE\xFF" + be};
    for (const char* working : {"UTF-8", "GBK"}) {
        CCodePage::SetWorking(working);
        Lines expected;
        for (const char* line : {"业务`事务", "颜色^`colour"})
            ASSERT_TRUE(CCodePage::Working().FromCharset("UTF-8", line, expected.emplace_back()));
        for (size_t i = 1; i < std::size(files); ++i) {
            const CRulesText text = DecodeRulesText(files[i]);
            EXPECT_EQ(text.lines, expected) << working << " file " << i;
            EXPECT_EQ(text.badLine, 0) << working << " file " << i;
        }
    }
}

TEST_F(RulesFileReaderTest, TheFirstLineThatIsNotTextEndsTheDecoding) {
    struct Case {
        const char* working;
        std::string raw;
        size_t goodLines;
        int badLine;
    };
    const Case cases[] = {
        // GBK bytes ("中文") in a UTF-8 file, and UTF-8 bytes in a GBK one.
        {"UTF-8", "a`b\n\xD6\xD0\xCE\xC4`x\nc`d\n", 1, 2},
        {"GBK", "a`b\n\n中文`汉字\n", 2, 3},
        {"GBK", "\xD6\xD0\xCE\xC4`x\n", 1, 0},
        // A lone surrogate, and a mark-led file that cannot be decoded by it.
        {"UTF-8", "\xFF\xFE" + Utf16("a\n", false) + std::string("\x00\xD8", 2), 1, 2},
        {"UTF-8", "\xEF\xBB\xBF\xFF\n", 0, 1},
        // An emoji has no place in GBK.
        {"GBK",
         "\xEF\xBB\xBF"
         "a\n\xF0\x9F\x98\x80\n",
         1, 2},
    };
    for (const Case& c : cases) {
        CCodePage::SetWorking(c.working);
        const CRulesText text = DecodeRulesText(c.raw);
        EXPECT_EQ(text.lines.size(), c.goodLines) << testing::PrintToString(c.raw);
        EXPECT_EQ(text.badLine, c.badLine) << testing::PrintToString(c.raw);
    }
}

TEST_F(RulesFileReaderTest, RuleFieldsSplitAtTheGraveAccentOnCharacterBoundaries) {
    using Fields = std::pair<std::string, std::string>;
    EXPECT_EQ(SplitRuleLine("find`replace"), (Fields{"find", "replace"}));
    EXPECT_EQ(SplitRuleLine("find`replace`ignored`too"), (Fields{"find", "replace"}));
    EXPECT_EQ(SplitRuleLine("`x"), (Fields{"", "x"}));
    EXPECT_EQ(SplitRuleLine("find"), (Fields{"find", ""}));
    EXPECT_EQ(SplitRuleLine("find`"), (Fields{"find", ""}));
    EXPECT_EQ(SplitRuleLine("``x"), (Fields{"", ""}));

    // In GBK the second byte of "乣" (81 60) is a grave accent, not a separator.
    CCodePage::SetWorking("GBK");
    EXPECT_EQ(SplitRuleLine("\x81\x60`x\x81\x60y`z"), (Fields{"\x81\x60", "x\x81\x60y"}));
}

}  // namespace
