// The fast paths must give exactly what the plain per-rule search and
// MbsReplaceAll give; random texts over a small alphabet make matches,
// overlaps, near misses and matches at both ends common.

#include "engine/rule_matcher.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/code_page.h"
#include "platform/mbcs.h"

namespace {

using Rules = std::vector<CReplaceRuleText>;

class CRuleMatcherTest : public ::testing::Test {
  protected:
    void SetUp() override { CCodePage::SetWorking("UTF-8"); }
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
    const std::vector<Rules> ruleSets = {
        {{"ab", ""}, {"旧x", ""}, {"bba", ""}},
        {{"a", ""}, {"旧旧旧", ""}},  // one-byte find text
        {{"\n旧", ""}, {"xab", ""}, {"abab", ""}, {"b\xE6", ""}},
        {{"旧新旧新旧新旧", ""}},  // longer than most texts
    };
    CRuleMatcher matcher;
    for (const auto& rules : ruleSets) {
        matcher.Prepare(rules);
        for (int n = 0; n < 3000; ++n) {
            // Long texts are searched in two halves at once.
            const std::string text = RandomText(n % 7 == 0 ? 1500 : 24, kPieces);
            bool expected = false;
            for (const auto& rule : rules)
                expected = expected || text.find(rule.find) != std::string::npos;
            ASSERT_EQ(matcher.AnyOccurs(text), expected) << rules[0].find << " in " << text;
        }
    }
}

// Every window end must be looked at, at both ends of the text and where
// the two halves of a long text meet.
TEST_F(CRuleMatcherTest, AnyOccursFindsAFindTextAtEveryPosition) {
    CRuleMatcher matcher;
    matcher.Prepare({{"abcd", ""}, {"zz旧z", ""}});
    for (const size_t length : {4u, 300u, 301u, 777u}) {
        const std::string filler(length, 'x');
        ASSERT_FALSE(matcher.AnyOccurs(filler));
        for (const std::string find : {"abcd", "zz旧z"}) {
            for (size_t at = 0; at + find.size() <= length; ++at) {
                std::string text = filler;
                text.replace(at, find.size(), find);
                ASSERT_TRUE(matcher.AnyOccurs(text)) << find << " at " << at << " of " << length;
            }
        }
    }
}

TEST_F(CRuleMatcherTest, ApplyRulesToEqualsMbsReplaceAllRuleByRule) {
    const std::vector<Rules> ruleSets = {
        {{"a", "b"}, {"b", "c"}},        // each rule on the result of the ones before
        {{"a", "aa"}, {"aa", "旧"}},     // growing, then matching what grew
        {{"旧", ""}, {"ab", "ab"}},      // deleting; replacement equal to the find text
        {{"b\n", "\n"}, {"新旧", "x"}},  // shrinking
    };
    const CCodePage& cp = CCodePage::Working();
    for (const auto& rules : ruleSets) {
        for (int n = 0; n < 2000; ++n) {
            const std::string text = RandomText(40, kPieces);
            std::string expected = text;
            bool matched = false;
            for (const auto& [find, replacement] : rules)
                matched = MbsReplaceAll(cp, expected, find, replacement) > 0 || matched;
            std::string out = "stale";
            const RulesApplied applied = ApplyRulesTo(cp, rules, text, out, 1 << 20);
            ASSERT_EQ(applied == RulesApplied::Occurred, matched) << text;
            if (matched) {
                ASSERT_EQ(out, expected) << text;
            }
        }
    }
}

// A result that would reach the limit is refused before it is made.
TEST_F(CRuleMatcherTest, ApplyRulesToRefusesAResultAtTheLimit) {
    const CCodePage& cp = CCodePage::Working();
    std::string out;
    const Rules grow = {{"a", "aaaa"}, {"a", "aaaa"}};
    EXPECT_EQ(ApplyRulesTo(cp, grow, "aaaa", out, 64), RulesApplied::TooLarge);
    EXPECT_EQ(ApplyRulesTo(cp, grow, "aaa", out, 64), RulesApplied::Occurred);
    EXPECT_EQ(out.size(), 48u);
}

}  // namespace
