// The match modes below the command line: what the Python comparison
// (tests/cli/match_modes_check.py) cannot reach or name exactly.

#include "engine/rewrite/mode_rules.h"

#include <gtest/gtest.h>

#include "engine/rewrite/unicode_tables.h"
#include "platform/code_page.h"

namespace {

struct CModeCase {
    CMatchModes modes;
    std::vector<CReplaceRuleText> rules;
    std::string text;
    std::string want;  // empty: nothing occurs
};

std::string Applied(const CModeCase& c, Reason& skip, std::uint64_t* count = nullptr) {
    CJob job;
    job.modes = c.modes;
    job.rules = c.rules;
    CModeRules rules(job, CCodePage::Working());
    std::string out;
    const RulesApplied applied = rules.Apply(c.text, out, size_t{1} << 30, skip);
    if (count)
        *count = rules.Replacements();
    return applied == RulesApplied::Occurred ? out : std::string();
}

TEST(ModeRules, ApplyEachModeInOrderOnTheResultOfTheRulesBefore) {
    CCodePage::SetWorking("UTF-8");
    const CMatchModes i{true, false, false}, w{false, true, false}, e{false, false, true};
    const CModeCase cases[] = {
        {i, {{"σ", "s"}}, "Σ σ ς", "s s s"},  // one case class, as Python's re has it
        {i, {{"k", "-"}}, "K k \u212A", "- - -"},
        {w,
         {{"colour", "color"}},
         "colour watercolours colour_ colour.",
         "color watercolours colour_ color."},
        {w, {{"中", "x"}}, "中文 中 a中", "中文 x a中"},  // CJK characters are word characters
        {e, {{"a", "b"}, {"b", "c"}}, "ab", "cc"},
        {e, {{"(\\w+)@(\\w+)", "$2@$1"}}, "user@host", "host@user"},
        {e, {{"(?<v>\\d+)", "<${v}>$$"}}, "a1b22", "a<1>$b<22>$"},
        {e, {{"x*", "-"}}, "abxd", "-a-b--d-"},  // empty matches as Python 3.7+ and Perl
        {e, {{"^", "> "}}, "a\nb", "> a\n> b"},
        {e, {{"a.b", "X"}}, "a\nb a-b", "a\nb X"},  // "." matches no line end
        {e, {{"\\.", "!"}}, "a.b", "a!b"},          // a literal regex, searched as text
    };
    for (const CModeCase& c : cases) {
        Reason skip = Reason::None;
        EXPECT_EQ(Applied(c, skip), c.want) << c.rules[0].find << " on " << c.text;
        EXPECT_EQ(skip, Reason::None);
    }
}

TEST(ModeRules, SkipWhatCannotBeMatchedSafelyAndCountReplacements) {
    CCodePage::SetWorking("UTF-8");
    Reason skip = Reason::None;
    std::uint64_t count = 0;
    EXPECT_EQ(
        Applied({{false, false, true}, {{"(a+)+$", "x"}}, std::string(3000, 'a') + "b", ""}, skip),
        "");
    EXPECT_EQ(skip, Reason::RegexTooComplex);
    EXPECT_EQ(Applied({{true, true, false}, {{"a", "b"}}, "A a aa", "b b aa"}, skip, &count),
              "b b aa");
    EXPECT_EQ(count, 2u);
    // "." is one wide character: a whole code point in UTF-32, half of a
    // surrogate pair in UTF-16 (Windows), where the file is skipped instead.
    const std::string matched = Applied({{false, false, true}, {{".", "x"}}, "😀", "x"}, skip);
    EXPECT_EQ(matched, sizeof(wchar_t) == 2 ? "" : "x");
    EXPECT_EQ(skip, sizeof(wchar_t) == 2 ? Reason::SplitsSurrogate : Reason::None);
}

TEST(ModeRules, RefuseRulesThatDoNotCompileWithTheReason) {
    const CCodePage& cp = CCodePage::Working();
    const CMatchModes e{false, false, true};
    EXPECT_EQ(ModeRuleProblem(cp, e, "(a", "b").kind, CModeProblem::BadPattern);
    EXPECT_NE(ModeRuleProblem(cp, e, "(a", "b").detail.find("parenthesis"), std::string::npos);
    const CModeProblem group = ModeRuleProblem(cp, e, "(a)", "$2");
    EXPECT_EQ(group.kind, CModeProblem::NoSuchGroup);
    EXPECT_EQ(group.detail, "$2");
    EXPECT_EQ(ModeRuleProblem(cp, e, "(?<n>a)", "${m}").detail, "${m}");
    EXPECT_EQ(ModeRuleProblem(cp, e, "(?<n>a)", "${n}$1$$").kind, CModeProblem::None);
    // Without -E a find text is literal, whatever it holds.
    EXPECT_EQ(ModeRuleProblem(cp, {true, true, false}, "(a", "$9").kind, CModeProblem::None);
}

// The table the generator wrote keeps Latin-1 inside Latin-1, so that Boost's
// map of first characters (256 entries) stays right under -i.
TEST(ModeRules, CaseFoldingStaysInLatin1AndWordCharactersAreUnicode) {
    for (char32_t c = 0; c < 256; ++c)
        EXPECT_LT(FoldCase(c), 256u) << static_cast<unsigned>(c);
    EXPECT_EQ(FoldCase(U'Σ'), FoldCase(U'ς'));
    EXPECT_EQ(FoldCase(U'Ж'), FoldCase(U'ж'));
    EXPECT_TRUE(IsWordChar(U'é') && IsWordChar(U'ж') && IsWordChar(U'_') && IsWordChar(U'٣'));
    EXPECT_FALSE(IsWordChar(U'-') || IsWordChar(U'，') || IsWordChar(U' '));
}

}  // namespace
