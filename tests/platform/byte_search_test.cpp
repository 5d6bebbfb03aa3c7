#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/byte_search.h"
#include "platform/needle_sieve.h"

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

// The sieve, sixteen and thirty-two places at a time, against the plain
// search: needles that begin alike, texts long enough for several blocks
// and short ones that only the byte-at-a-time rest sees, matches at both
// ends, near misses that pass the first three bytes.
TEST(NeedleSieve, AnswersAsThePlainSearchOfEachNeedle) {
    std::mt19937 random(11);
    const std::string alphabet = "abc\xE6\x97\xA7\n";
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::string> needles(1 + random() % (round % 5 == 0 ? 64 : 6));
        for (std::string& needle : needles) {
            needle.resize(3 + random() % 5);
            for (char& c : needle)
                c = alphabet[random() % alphabet.size()];
        }
        std::string text(random() % (round % 3 == 0 ? 300 : 40), '\0');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        if (random() % 2 == 0) {  // a needle at a random place, maybe cut short at the end
            const std::string& needle = needles[random() % needles.size()];
            const size_t at = random() % (text.size() + 1);
            text.replace(at, needle.size(), needle);
        }
        bool expected = false;
        for (const std::string& needle : needles)
            expected = expected || text.find(needle) != std::string::npos;
        for (const size_t places : {16u, 32u}) {
            CNeedleSieve sieve;
            if (!sieve.Prepare(needles, places))
                GTEST_SKIP() << "no byte shuffles on this processor";
            ASSERT_EQ(sieve.AnyOccurs(text), expected) << text << " / " << needles[0];
        }
    }
    CNeedleSieve sieve;
    EXPECT_FALSE(sieve.Prepare({"abc", "ab"}));  // shorter than the three bytes looked at
    EXPECT_FALSE(sieve.Prepare(std::vector<std::string>(65, "abc")));
}

}  // namespace
