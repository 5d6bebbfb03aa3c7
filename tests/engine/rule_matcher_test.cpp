// The fast paths must give exactly what the plain per-rule search and
// MbsReplaceAll give; random texts over a small alphabet make matches,
// overlaps, near misses and matches at both ends common.

#include "engine/rewrite/rule_matcher.h"
#include "engine/rewrite/stream_rules.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/code_page.h"
#include "platform/mbcs.h"

namespace {

using Rules = std::vector<CReplaceRuleText>;

TEST(RuleMatcher, AgreesWithASearchAndAReplaceRuleByRule) {
    CCodePage::SetWorking("UTF-8");
    const CCodePage& cp = CCodePage::Working();
    const std::vector<std::string> pieces = {"a", "b", "ab", "\n", "旧", "新", "\xE6", "x"};
    const std::vector<Rules> ruleSets = {
        {{"a", "b"}, {"b", "c"}},                     // each rule on the result of the ones before
        {{"a", "aa"}, {"aa", "旧"}, {"旧旧旧", ""}},  // a one-byte find text; growing
        {{"旧", ""}, {"ab", "ab"}, {"bba", "x"}},     // deleting; replacement equal to the find
        {{"\n旧", "\n"}, {"xab", ""}, {"abab", "b"}, {"b\xE6", ""}},
        {{"旧新旧新旧新旧", "x"}},                                    // longer than most texts
        {{"aab", "b"}, {"ab旧", "a"}, {"\nab", ""}, {"aba", "aba"}},  // all sieved
        {{"aab", "ab旧"}, {"ab旧", "旧"}, {"旧旧\n", ""}, {"\naa", "aab"}, {"bab", "x"}},
        // A find text made where a replacement's end or start meets the text.
        {{"xxx", "旧ab"}, {"abb", "x"}, {"bxa", "新"}},
        {{"xxx", "bb旧"}, {"aab", "新"}, {"旧\n", "xx"}},
        {{"xxx", "旧aab\n"}, {"aab", "新"}},
    };
    std::mt19937 random{20241206};
    for (const Rules& rules : ruleSets) {
        CRuleMatcher matcher;
        matcher.Prepare(rules);
        for (int n = 0; n < 3000; ++n) {
            // Long texts are searched in two halves at once.
            std::string text;
            const size_t length = random() % (n % 7 == 0 ? 1500 : 40);
            while (text.size() < length)
                text += pieces[random() % pieces.size()];
            bool occurs = false, matched = false;
            std::string expected = text;
            std::uint64_t replaced = 0;
            for (const auto& [find, replacement] : rules) {
                occurs = occurs || text.find(find) != std::string::npos;
                const size_t n = MbsReplaceAll(cp, expected, find, replacement);
                matched = n > 0 || matched;
                replaced += n;
            }
            ASSERT_EQ(matcher.AnyOccurs(text), occurs) << rules[0].find << " in " << text;
            std::string out = "stale";
            CRuleApplier applier;
            const RulesApplied applied =
                applier.Apply(cp, rules, text, out, 1 << 20, {}, matcher.Occurring(text));
            ASSERT_EQ(applied == RulesApplied::Occurred, matched) << text;
            ASSERT_EQ(applier.Replacements(), replaced) << text;
            ASSERT_EQ(matched ? out : expected, expected) << text;
            // The same text in random pieces, as a large file is read.
            CStreamRules stream(rules);
            std::string streamed;
            for (size_t at = 0; at <= text.size();) {
                const size_t step = 1 + random() % 9;
                std::string piece = text.substr(at, step);
                at += step;
                stream.Feed(piece, at > text.size());
                streamed += piece;
            }
            ASSERT_EQ(streamed, expected) << text;
            ASSERT_EQ(stream.Occurred(), occurs) << text;
            ASSERT_EQ(stream.Replacements(), replaced) << text;
        }
    }
}

// Every window end must be looked at, at both ends of the text and where
// the two halves of a long text meet.
TEST(RuleMatcher, FindsAFindTextAtEveryPosition) {
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

}  // namespace
