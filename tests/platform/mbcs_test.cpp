#include "platform/mbcs.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace {

// "表" in GBK is B1 ED; "\x81\x61" is a GBK character whose trail byte is 'a'.
const std::string kGbkWithTrailA = "x\x81\x61y";

struct ReplaceCase {
    const char* name;
    std::string text, find, replacement, expected;
    size_t count;
};

TEST(MbsReplaceAll, LeftToRightWithoutOverlapsAndNoRescan) {
    const CCodePage utf8("UTF-8");
    const ReplaceCase cases[] = {
        {"grows", "aa", "a", "aa", "aaaa", 2},
        {"no overlap", "aaa", "aa", "b", "ba", 1},
        {"deletes", "obsolete word", "obsolete ", "", "word", 1},
        {"chinese", "旧名字和旧名字", "旧名", "新名", "新名字和新名字", 2},
        {"absent", "abc", "x", "y", "abc", 0},
        {"crlf", "end\r\nstart", "\r\n", " ", "end start", 1},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(MbsReplaceAll(utf8, text, c.find, c.replacement), c.count) << c.name;
        EXPECT_EQ(text, c.expected) << c.name;
    }
}

TEST(MbsFind, GbkTrailByteNeverStartsAMatch) {
    const CCodePage gbk("GBK");
    ASSERT_TRUE(gbk.IsDoubleByte());
    EXPECT_EQ(MbsFind(gbk, kGbkWithTrailA, "a"), std::string_view::npos);
    EXPECT_EQ(MbsFind(gbk, kGbkWithTrailA + "a", "a"), 4u);
    EXPECT_EQ(MbsFind(gbk, kGbkWithTrailA, "y"), 3u);
    std::string text = kGbkWithTrailA + "ab";
    EXPECT_EQ(MbsReplaceAll(gbk, text, "a", "A"), 1u);
    EXPECT_EQ(text, kGbkWithTrailA + "Ab");
    // A single-byte search of the same bytes would have matched the trail byte.
    EXPECT_EQ(MbsFind(CCodePage("UTF-8"), kGbkWithTrailA, "a"), 2u);
}

TEST(MbsCompare, ExactAndCaseSensitive) {
    EXPECT_EQ(MbsCompare("txt", "txt"), 0);
    EXPECT_NE(MbsCompare("TXT", "txt"), 0);
    EXPECT_LT(MbsCompare("tx", "txt"), 0);
    EXPECT_GT(MbsCompare("\xE4", "a"), 0);  // bytes compare unsigned
}

}  // namespace
