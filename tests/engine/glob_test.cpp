// Whole-name patterns: what each kind of pattern matches and what it must not.

#include "engine/walk/glob.h"

#include <gtest/gtest.h>

namespace {

TEST(Glob, MatchesAsShellsAndRipgrepDo) {
    struct CCase {
        const char* pattern;
        const char* text;
        bool matches;
    };
    const CCase cases[] = {
        {"*.js", "jquery.min.js", true},
        {"*.js", "a.json", false},
        {"*.txt", "1.5.0.7.txt", true},
        {"*", "", true},
        {"*.js", "src/a.js", false},  // "*" stops at "/"
        {"a?c", "abc", true},
        {"a?c", "a/c", false},
        {"?.txt", "文.txt", true},  // one character, however many bytes
        {"[a-c]x", "bx", true},
        {"[!a-c]x", "bx", false},
        {"[^a-c]x", "dx", true},
        {"[]]", "]", true},
        {"[文字]", "字", true},
        {"[ab", "[ab", true},  // no closing "]": the "[" stands for itself
        {"**/b.js", "b.js", true},
        {"**/b.js", "x/y/b.js", true},
        {"src/**/b.js", "src/b.js", true},
        {"src/**/b.js", "srcx/b.js", false},
        {"src/**", "src/a/b", true},
        {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYbZ", false},
    };
    for (const CCase& c : cases)
        EXPECT_EQ(GlobMatches(c.pattern, c.text), c.matches) << c.pattern << " " << c.text;
}

TEST(Glob, APatternWithASlashMeansAPathBelowTheFolder) {
    EXPECT_TRUE(GlobMeans("node_modules", "node_modules", "web/node_modules", true));
    EXPECT_TRUE(GlobMeans("web/*.js", "a.js", "web/a.js", false));
    EXPECT_FALSE(GlobMeans("web/*.js", "a.js", "x/web/a.js", false));
    EXPECT_TRUE(GlobMeans("/web/*.js", "a.js", "web/a.js", false));
    EXPECT_TRUE(GlobMeans("build/", "build", "build", true));
    EXPECT_FALSE(GlobMeans("build/", "build", "build", false));  // folders only
}

}  // namespace
