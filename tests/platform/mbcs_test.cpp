#include "platform/mbcs.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace {

TEST(MbsReplaceAll, LeftToRightWithoutOverlapsAndNoRescan) {
    const CCodePage utf8("UTF-8");
    const std::tuple<std::string, std::string, std::string, std::string, size_t> cases[] = {
        {"aa", "a", "aa", "aaaa", 2},
        {"aaa", "aa", "b", "ba", 1},
        {"obsolete word", "obsolete ", "", "word", 1},
        {"旧名字和旧名字", "旧名", "新名", "新名字和新名字", 2},
    };
    for (auto [text, find, replacement, expected, count] : cases) {
        EXPECT_EQ(MbsReplaceAll(utf8, text, find, replacement), count) << expected;
        EXPECT_EQ(text, expected);
    }
}

// "\x81\x61" is a GBK character whose trail byte is 'a'; "\xD6" alone is a
// lead byte cut short, which must still be stepped over.
TEST(MbsFind, GbkTrailByteNeverStartsAMatch) {
    const CCodePage gbk("GBK");
    const std::string text = "x\x81\x61y";
    EXPECT_EQ(MbsFind(gbk, text, "a"), std::string_view::npos);
    EXPECT_EQ(MbsFind(gbk, text + "a", "a"), 4u);
    EXPECT_EQ(MbsFind(gbk, text, "y"), 3u);
    EXPECT_EQ(MbsFind(gbk, "a\xD6", "\xD6"), 1u);
    std::string replaced = text + "ab";
    EXPECT_EQ(MbsReplaceAll(gbk, replaced, "a", "A"), 1u);
    EXPECT_EQ(replaced, text + "Ab");
    // A single-byte search of the same bytes matches the trail byte.
    EXPECT_EQ(MbsFind(CCodePage("UTF-8"), text, "a"), 2u);
}

}  // namespace
