#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, StrictConversionRefusesInvalidAndUnmappable) {
    const CCodePage utf8("UTF-8");
    const CCodePage gbk("GBK");
    std::u16string wide;
    std::string bytes;

    ASSERT_TRUE(utf8.ToUtf16("中文\xF0\x9F\x98\x80", wide));
    EXPECT_EQ(wide, u"中文\U0001F600");
    ASSERT_TRUE(gbk.FromUtf16(u"中文", bytes));
    EXPECT_EQ(bytes, "\xD6\xD0\xCE\xC4");

    EXPECT_FALSE(utf8.ToUtf16("abc\xFF", wide));        // invalid UTF-8
    EXPECT_FALSE(gbk.FromUtf16(u"\U0001F600", bytes));  // no emoji in GBK
    EXPECT_FALSE(gbk.ToUtf16("\xD6", wide));            // truncated double-byte character
    EXPECT_FALSE(utf8.IsValid("\xED\xA0\x80"));         // a surrogate
    EXPECT_FALSE(utf8.IsValid("\xC0\xAF"));             // overlong
    EXPECT_TRUE(utf8.IsValid("plain ascii and 中文"));
}

TEST(CodePage, CharLengthFollowsTheCharacterSet) {
    const CCodePage gbk("GBK");
    const std::string text =
        "a\xD6\xD0"
        "b";
    EXPECT_EQ(gbk.CharLength(text, 0), 1u);
    EXPECT_EQ(gbk.CharLength(text, 1), 2u);
    EXPECT_EQ(gbk.CharLength(text, 3), 1u);
    EXPECT_EQ(gbk.CharLength("\xD6", 0), 1u);  // truncated: still moves on
    EXPECT_FALSE(CCodePage("ISO-8859-1").IsDoubleByte());
}

}  // namespace
