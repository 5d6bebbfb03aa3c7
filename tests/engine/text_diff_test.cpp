// The hunks must rebuild the new text from the old one (applied as a patch
// would be), number their lines as unified diffs do, and mark exactly the
// parts of a line that differ.

#include "engine/report/text_diff.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Applies hunks to old; fails the test where a hunk does not fit old.
std::u16string Apply(std::u16string_view old, const std::vector<CDiffHunk>& hunks) {
    std::vector<std::u16string> lines;
    for (size_t start = 0; start < old.size();) {
        const size_t lf = old.find(u'\n', start);
        const size_t next = lf == old.npos ? old.size() : lf + 1;
        lines.emplace_back(old.substr(start, next - start));
        start = next;
    }
    std::u16string out;
    size_t used = 0;
    for (const CDiffHunk& h : hunks) {
        const size_t first = h.oldCount == 0 ? h.oldStart : h.oldStart - 1;
        EXPECT_GE(first, used);
        for (; used < first; ++used)
            out += lines[used];
        size_t oldSeen = 0, newSeen = 0;
        for (const CDiffLine& line : h.lines) {
            const std::u16string whole = line.text + line.lineBreak;
            if (line.kind != DiffLineKind::Added) {
                EXPECT_EQ(used < lines.size() ? lines[used] : u"", whole);
                ++used, ++oldSeen;
            }
            if (line.kind != DiffLineKind::Removed)
                out += whole, ++newSeen;
        }
        EXPECT_EQ(std::pair(oldSeen, newSeen), std::pair(h.oldCount, h.newCount));
    }
    for (; used < lines.size(); ++used)
        out += lines[used];
    return out;
}

TEST(TextDiff, HunksRebuildTheNewTextFromTheOld) {
    const std::u16string pieces[] = {u"a", u"b", u"\u65E7", u"\n", u"\r\n", u"\U0001F600"};
    std::mt19937 random{7};
    for (int n = 0; n < 400; ++n) {
        std::u16string old;
        const size_t length = random() % (n % 50 == 0 ? 4000 : 60);
        while (old.size() < length)
            old += pieces[random() % 6];
        std::u16string changed = old;
        for (int edits = random() % 4; edits > 0 && !changed.empty(); --edits)
            changed.replace(random() % changed.size(), random() % 3, pieces[random() % 6]);
        EXPECT_EQ(Apply(old, DiffTexts(old, changed)), changed) << n;
    }
    // Every line changed: more edits than the shortest-edit search takes on.
    std::u16string many, manyChanged;
    for (int i = 0; i < 3000; ++i)
        many += u"x\n", manyChanged += u"y\n";
    const auto hunks = DiffTexts(many, manyChanged);
    ASSERT_EQ(hunks.size(), 1u);
    EXPECT_EQ(Apply(many, hunks), manyChanged);
    EXPECT_TRUE(DiffTexts(many, many).empty());
}

// Renders a hunk's changed lines with spans in [] and a changed break as $.
std::string Marked(const CDiffHunk& h) {
    std::string out = "@" + std::to_string(h.oldStart) + "," + std::to_string(h.oldCount) + " " +
                      std::to_string(h.newStart) + "," + std::to_string(h.newCount);
    for (const CDiffLine& line : h.lines) {
        out += line.kind == DiffLineKind::Context   ? " "
               : line.kind == DiffLineKind::Removed ? "-"
                                                    : "+";
        for (size_t i = 0; i <= line.text.size(); ++i) {
            for (const CDiffSpan& s : line.spans)
                out += i == s.offset ? "[" : i == s.offset + s.length ? "]" : "";
            if (i < line.text.size())
                out += line.text[i] < 0x80 ? std::string(1, static_cast<char>(line.text[i])) : "?";
        }
        out += line.breakChanged ? "$" : "";
    }
    return out;
}

TEST(TextDiff, MarksTheChangedPartsAndBreaksAndNumbersLikeUnifiedDiff) {
    const struct {
        std::u16string oldText, newText;
        std::vector<std::string> hunks;
    } cases[] = {
        {u"1\n2\n3\n4\ncolour x\n6\n7\n8\n9\n",
         u"1\n2\n3\n4\ncolor x\n6\n7\n8\n9\n",
         {"@2,7 2,7 2 3 4-colo[u]r x+color x 6 7 8"}},
        {u"colour and colour\n",
         u"color and colors\n",
         {"@1,1 1,1-colo[u]r and colo[ur]+color and colo[rs]"}},
        {u"x=1, y=2;\n", u"x=10, y=20;\n", {"@1,1 1,1-x=1, y=2;+x=1[0], y=2[0];"}},
        {u"a\r\nb\r\n", u"a\nb\r\n", {"@1,2 1,2-a$+a$ b"}},
        {u"a\n", u"a", {"@1,1 1,1-a$+a$"}},
        {u"xay\n", u"xa\r\ny\n", {"@1,1 1,2-xa[y]$+xa$+[y]"}},
        {u"", u"new\n", {"@0,0 1,1+[new]"}},
        {u"\U0001F600a\n", u"\U0001F601a\n", {"@1,1 1,1-[??]a+[??]a"}},
        {u"c\n1\n2\n3\n4\n5\n6\n7\nc\n",
         u"d\n1\n2\n3\n4\n5\n6\n7\nd\n",
         {"@1,4 1,4-[c]+[d] 1 2 3", "@6,4 6,4 5 6 7-[c]+[d]"}},
        {u"c\n1\n2\n3\n4\n5\n6\nc\n",
         u"d\n1\n2\n3\n4\n5\n6\nd\n",
         {"@1,8 1,8-[c]+[d] 1 2 3 4 5 6-[c]+[d]"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> got;
        for (const CDiffHunk& h : DiffTexts(c.oldText, c.newText))
            got.push_back(Marked(h));
        EXPECT_EQ(got, c.hunks);
    }
}

}  // namespace
