// The fast paths must give exactly what the plain per-rule search and
// MbsReplaceAll give; random texts over a small alphabet make matches,
// overlaps, near misses and matches at both ends common.

#include "engine/rule_matcher.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/code_page.h"
#include "platform/mbcs.h"
#include "support/engine_fixture.h"

namespace {

class CRuleMatcherTest : public CEngineTest {
  protected:
    std::string RandomText(size_t maxLength, const std::vector<std::string>& pieces) {
        std::string text;
        const size_t length = m_random() % (maxLength + 1);
        while (text.size() < length)
            text += pieces[m_random() % pieces.size()];
        return text;
    }
    std::mt19937 m_random{20241206};
};

const std::vector<std::string> kPieces = {"a", "b", "ab", "\n", "旧", "新", "\xE6", "x"};

TEST_F(CRuleMatcherTest, AnyOccursAgreesWithASearchPerRule) {
    const std::vector<std::vector<std::pair<std::string, std::string>>> ruleSets = {
        {{"ab", ""}, {"旧x", ""}, {"bba", ""}},
        {{"a", ""}, {"旧旧旧", ""}},  // one-byte find text
        {{"\n旧", ""}, {"xab", ""}, {"abab", ""}, {"b\xE6", ""}},
        {{"旧新旧新旧新旧", ""}},  // longer than most texts
    };
    CRuleMatcher matcher;
    for (const auto& rules : ruleSets) {
        SetRules(rules);
        matcher.Prepare(g_jobTables);
        for (int n = 0; n < 3000; ++n) {
            const std::string text = RandomText(n % 7 == 0 ? 400 : 24, kPieces);
            bool expected = false;
            for (const auto& rule : rules)
                expected = expected || text.find(rule.first) != std::string::npos;
            ASSERT_EQ(matcher.AnyOccurs(text), expected) << rules[0].first << " in " << text;
        }
    }
}

TEST_F(CRuleMatcherTest, ApplyRulesToEqualsMbsReplaceAllRuleByRule) {
    const std::vector<std::vector<std::pair<std::string, std::string>>> ruleSets = {
        {{"a", "b"}, {"b", "c"}},        // each rule on the result of the ones before
        {{"a", "aa"}, {"aa", "旧"}},     // growing, then matching what grew
        {{"旧", ""}, {"ab", "ab"}},      // deleting; replacement equal to the find text
        {{"b\n", "\n"}, {"新旧", "x"}},  // shrinking
    };
    const CCodePage& cp = CCodePage::Working();
    for (const auto& rules : ruleSets) {
        SetRules(rules);
        for (int n = 0; n < 2000; ++n) {
            const std::string text = RandomText(40, kPieces);
            std::string expected = text;
            bool matched = false;
            for (const auto& [find, replacement] : rules)
                matched = MbsReplaceAll(cp, expected, find, replacement) > 0 || matched;
            std::string out = "stale";
            int released = 0;
            const bool changed = ApplyRulesTo(cp, g_jobTables, text, out, [&] { ++released; });
            ASSERT_EQ(changed, matched) << text;
            EXPECT_EQ(released, matched ? 1 : 0);
            if (matched) {
                ASSERT_EQ(out, expected) << text;
            }
        }
    }
}

// GBK trail bytes overlap ASCII: "\x81\x61" is one character whose second
// byte is 'a', which must never start a match.
TEST_F(CRuleMatcherTest, ApplyRulesToNeverMatchesOnATrailByteInGbk) {
    CCodePage::SetWorking("GBK");
    const CCodePage& cp = CCodePage::Working();
    SetRules({{"ab", "X"}, {"a", "Y"}});
    const std::string text =
        "\x81\x61"
        "b ab \x81\x61";
    std::string out;
    ASSERT_TRUE(ApplyRulesTo(cp, g_jobTables, text, out));
    EXPECT_EQ(out,
              "\x81\x61"
              "b X \x81\x61");
}

TEST(CountUtf16Units, CountsAsTheDecoderWouldAtEveryLengthAndAlignment) {
    std::mt19937 random(7);
    const std::string sample = "a旧\xF0\x9F\x98\x80\x80\xFF";  // ASCII, 3-byte, 4-byte, stray bytes
    for (size_t length : {0u, 1u, 15u, 16u, 17u, 100u, 4095u, 4096u, 4111u, 9000u}) {
        std::string text;
        while (text.size() < length)
            text += sample[random() % sample.size()];
        size_t expected = 0;
        for (const char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            expected += ((c & 0xC0) != 0x80) + (c >= 0xF0);
        }
        EXPECT_EQ(CountUtf16Units(text), expected) << length;
    }
}

}  // namespace
