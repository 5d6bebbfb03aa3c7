#include "engine/find_filter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

bool NaiveAnyIn(std::string_view text, const std::vector<std::string>& needles) {
    for (const auto& n : needles) {
        if (!n.empty() && text.find(n) != std::string_view::npos)
            return true;
    }
    return false;
}

// Texts and needles from a small alphabet, so that partial matches, matches
// at both ends and overlapping candidates are all common.
TEST(FindFilterTest, AgreesWithAPlainSearchOnRandomTexts) {
    const std::string alphabet = std::string("ab \xE4\xB8", 5) + std::string(1, '\0');
    std::mt19937 rng(20261206);
    auto pick = [&](size_t length) {
        std::string s;
        for (size_t i = 0; i < length; ++i)
            s += alphabet[rng() % alphabet.size()];
        return s;
    };
    int found = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> needles(1 + rng() % 12);
        for (auto& n : needles)
            n = pick(rng() % 6);  // lengths 0 to 5
        const std::string text = pick(rng() % 40);
        const std::vector<std::string_view> views(needles.begin(), needles.end());
        const bool expected = NaiveAnyIn(text, needles);
        ASSERT_EQ(CFindFilter(views).AnyIn(text), expected)
            << "round " << round << " text " << testing::PrintToString(text);
        found += expected;
    }
    // Both answers must have been exercised many times.
    EXPECT_GT(found, 500);
    EXPECT_LT(found, 2500);
}

}  // namespace
