// m_wideLen of UTF-8 and working-code-page text is counted sixteen bytes at
// a time; every length and mix of characters must give the decoder's count.

#include <gtest/gtest.h>

#include <random>

#include "engine/replace_thread.h"
#include "support/engine_fixture.h"

namespace {

class CWideLenTest : public CEngineTest {};

TEST_F(CWideLenTest, CountsLikeTheDecoderAtEveryLength) {
    std::mt19937 random(7);
    // ASCII, three-byte, four-byte (two units) and stray continuation / lead bytes.
    const std::vector<std::string> pieces = {"a", "旧", "\xF0\x9F\x98\x80", "\x80", "\xFF", "\xC3"};
    CReplaceThread worker;
    for (const size_t length : {15u, 16u, 17u, 4079u, 4080u, 4111u, 9000u}) {
        std::string text = "a";
        while (text.size() < length)
            text += pieces[random() % pieces.size()];
        int expected = 1;  // the terminating zero unit
        for (const char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            expected += ((c & 0xC0) != 0x80) + (c >= 0xF0);
        }
        for (const std::string& mark : {std::string(), std::string("\xEF\xBB\xBF")}) {
            WriteFileBytes(m_dir / "f.txt", mark + text);
            ASSERT_TRUE(worker.ReadFileText(m_dir / "f.txt").Ok());
            EXPECT_EQ(worker.m_wideLen, expected) << length << (mark.empty() ? "" : " with mark");
        }
    }
}

}  // namespace
