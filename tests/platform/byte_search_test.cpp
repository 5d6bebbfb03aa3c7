#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/byte_search.h"

namespace {

// The search looks at sixteen places at a time: random texts over a small
// alphabet (so that near misses abound) give the same first match as the
// plain search for every needle length, start and end of the text.
TEST(ByteSearch, FindsWhatThePlainSearchFinds) {
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 70, '\0');
        for (char& c : text)
            c = "ab\xE4\x80"[random() % 4];
        const size_t length = 1 + random() % 20;
        const size_t at = text.empty() ? 0 : random() % text.size();
        std::string needle = text.substr(at, length);
        if (random() % 3 == 0 && !needle.empty())
            needle.back() = needle.back() == 'a' ? 'b' : 'a';
        for (size_t from = 0; from <= text.size() + 1; ++from)
            ASSERT_EQ(FindBytes(text, needle, from), std::string_view(text).find(needle, from))
                << text << " / " << needle << " from " << from;
    }
    EXPECT_EQ(FindBytes("", "a"), std::string_view::npos);
    EXPECT_EQ(FindBytes("abc", "", 2), 2u);
}

}  // namespace
