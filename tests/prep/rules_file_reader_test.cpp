#include "prep/rules_file_reader.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

Lines Split(std::string_view text, RulesCharset charset = RulesCharset::Working) {
    CTextLines reader(text, charset);
    Lines lines;
    for (std::string_view line; reader.Next(line);)
        lines.emplace_back(line);
    return lines;
}

TEST(RulesFileReaderTest, LinesFollowTextModeRules) {
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"a`b\r\nc`d\r\n", {"a`b", "c`d"}},
        {"a\rb\nc\r", {"a\rb", "c\r"}},
        {"a\r\r\n", {"a\r"}},
        {"\n\n`x\n\r\n", {"", "", "`x", ""}},
        {"a\nb\032c\nd", {"a", "b"}},
        {"\032a\n", {}},
        {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    };
    for (const auto& [bytes, lines] : cases)
        EXPECT_EQ(Split(bytes), lines) << testing::PrintToString(bytes);

    // UTF-16 is split by units: U+4E1A holds a 0x1A byte and U+0A0D both break bytes.
    EXPECT_EQ(Split(std::string("\x1A\x4E\x0D\x0A\r\0\n\0b\0", 10), RulesCharset::Utf16Le),
              (Lines{"\x1A\x4E\x0D\x0A", std::string("b\0", 2)}));
    EXPECT_EQ(Split(std::string("\0a\0\x1A\0b", 6), RulesCharset::Utf16Be),
              (Lines{std::string("\0a", 2)}));
}

}  // namespace
