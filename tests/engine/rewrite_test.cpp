// The rewrite of one file: encodings and marks kept, rules in order, written
// only when the bytes change, and every change that cannot be made safely
// skipped with its reason while the run goes on.

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "platform/code_page.h"
#include "platform/file_io.h"
#include "run_fixture.h"

namespace {

// UTF-16 bytes of text, with the mark of its byte order.
std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : text) {
        const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

// Every case twice: with the file held whole, and with it searched and
// rewritten a few bytes at a time as a file too large to hold would be.
class Rewrite : public CRunTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        CRunTest::SetUp();
        if (GetParam())
            m_worker.m_streamFromBytes = 1;
    }
    // Runs the job on a tree holding only f.txt with bytes; its bytes after.
    std::string Once(const std::string& bytes) {
        RemoveTree(m_root);
        WriteFileBytes(P("f.txt"), bytes);
        Run();
        return Bytes("f.txt");
    }
    std::uint64_t Inode(const std::string& relative) const {
        CNodeId id;
        return IdentifyPath(P(relative), id).Ok() ? id.ino : 0;
    }
};

TEST_P(Rewrite, EveryEncodingKeepsItsMark) {
    m_job.rules = {{"你好", "再见"}, {"a", "甲"}};
    const std::pair<std::string, std::string> cases[] = {
        {"你好 a\r\n世界", "再见 甲\r\n世界"},
        {"\xEF\xBB\xBF你好 a", "\xEF\xBB\xBF再见 甲"},
        {"\xEF\xBBXa", "\xEF\xBBX甲"},  // EF BB and any third byte is a mark
        {Utf16(u"你好 a 😀 b", false), Utf16(u"再见 甲 😀 b", false)},
        {Utf16(u"你好 a 😀 b", true), Utf16(u"再见 甲 😀 b", true)},
    };
    for (const auto& [before, after] : cases)
        EXPECT_EQ(Once(before), after) << before;
}

// A rule that puts back what it found, or rules that undo each other, leave
// the file as it was: not written at all (a replace makes a new inode).
TEST_P(Rewrite, RulesApplyInOrderAndTheFileIsWrittenOnlyWhenItsBytesChange) {
    const std::tuple<std::vector<CReplaceRuleText>, std::string, std::string> cases[] = {
        {{{"a", "b"}, {"b", "c"}}, "abc", "ccc"},
        {{{"b", "c"}, {"a", "b"}}, "abc", "bcc"},
        {{{"\r\n", ""}}, "x\r\ny\r\n", "xy"},
        {{{"x", "x"}}, "x", "x"},
        {{{"a", "b"}, {"b", "a"}}, "a", "a"},
        // Large enough that its bytes are let go once the rules have a copy.
        {{{"x", "y"}}, std::string(5 << 20, '.') + "x", std::string(5 << 20, '.') + "y"},
        {{{"x", "x"}}, std::string(5 << 20, '.') + "x", std::string(5 << 20, '.') + "x"},
    };
    for (const auto& [rules, before, after] : cases) {
        m_job.rules = rules;
        WriteFileBytes(P("f.txt"), before);
        const std::uint64_t inode = Inode("f.txt");
        const std::string trace =
            before.size() > 20 ? "large " + after.substr(after.size() - 1) : before;
        EXPECT_EQ(Run().unchanged, before == after ? 1 : 0) << trace;
        EXPECT_EQ(Bytes("f.txt") == after, true) << trace;
        EXPECT_EQ(Inode("f.txt") == inode, before == after) << trace;
    }
}

// Each rewrite reports how many occurrences the rules replaced, each rule
// counted on the text the rules before it made; a dry run reports the same.
TEST_P(Rewrite, ARewriteCountsItsReplacementsAlsoInADryRun) {
    m_job.rules = {{"a", "bb"}, {"b", "c"}};
    for (const bool dryRun : {true, false}) {
        WriteFileBytes(P("f.txt"), "ab a");
        Run(dryRun);
        ASSERT_EQ(m_events.size(), 1u) << dryRun;
        EXPECT_EQ(m_events[0].kind, RunEventKind::Rewritten) << dryRun;
        EXPECT_EQ(m_events[0].replacements, 2 + 5) << dryRun;
        EXPECT_EQ(Bytes("f.txt"), dryRun ? "ab a" : "ccc cc");
    }
}

TEST_P(Rewrite, GbkTrailBytesNeverStartAMatch) {
    CCodePage::SetWorking("GBK");
    // 乤 is 81 61 in GBK: its trail byte is the letter a.
    m_job.rules = {{"a", "b"}, {"\xD6\xD0", "\xCE\xC4"}};  // a -> b, 中 -> 文
    EXPECT_EQ(Once("\x81\x61 a \xD6\xD0"), "\x81\x61 b \xCE\xC4");
    // Only a trail byte looks like a: unchanged, even with a zero byte in it.
    const std::string trailOnly("\x81\x61\0", 3);
    EXPECT_EQ(Once(trailOnly), trailOnly);
    EXPECT_EQ(m_worker.m_result.unchanged, 1);
    EXPECT_EQ(Once("\xEF\xBB\xBF乤a中"), "\xEF\xBB\xBF乤b文");
    EXPECT_EQ(Once(Utf16(u"乤a中", false)), Utf16(u"乤b文", false));
}

// A due change that cannot be made safely is skipped with its reason and
// the run goes on; a file in which no find text occurs is unchanged,
// whatever it holds.
TEST_P(Rewrite, UnsafeChangesAreSkippedWithTheirReasonAndTheRunGoesOn) {
    m_job.extensions = {"*"};
    m_job.rules = {{"a", "bb"}};
    m_worker.m_maxFileBytes = 100;  // stands in for 2 GiB
    const std::pair<std::string, std::string> files[] = {
        {"ok", "a"},
        {"ro", "a"},
        {"hard", "a"},
        {"big", std::string(60, 'a')},
        {"zero", std::string("a\0b", 3)},
        {"utf8",
         "\xEF\xBB\xBF"
         "a\xFF"},
        {"ansi", "a\xFF"},
        {"odd", Utf16(u"xa", false) + "Q"},
        {"surrogate", Utf16(u"a\xD800", true)},
    };
    for (const auto& [name, bytes] : files)
        WriteFileBytes(P(name), bytes);
    namespace fs = std::filesystem;
    fs::permissions(NativePath(P("ro")), fs::perms::all, fs::perm_options::remove);
    fs::permissions(NativePath(P("ro")), fs::perms::owner_read, fs::perm_options::add);
    fs::create_hard_link(NativePath(P("hard")), NativePath(m_dir / "second"));
#ifdef _WIN32
    const std::vector<std::string> pipe;  // no FIFOs there
#else
    ASSERT_EQ(::mkfifo(P("pipe").c_str(), 0644), 0);
    const std::vector<std::string> pipe{"skipped pipe: 不是普通文件"};
#endif
    Run();
    std::vector<std::string> expected{
        "rewritten ok",
        "skipped ansi: 文件含有工作代码页中无效的字节",
        "skipped big: 替换后的内容将达到 2 GiB 或以上",
        "skipped hard: 文件有多个硬链接，替换会使它们分离",
        "skipped odd: UTF-16 文件的字节数为奇数，最后一个字节无法解码",
        "skipped ro: 文件为只读（没有写权限位）",
        "skipped surrogate: 文件含有工作代码页无法表示的字符",
        "skipped utf8: 文件不是有效的 UTF-8 文本",
        "skipped zero: 文件含有零字符，改写会丢失其后的内容"};
    expected.insert(expected.end(), pipe.begin(), pipe.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SortedEvents(), expected);
    for (const auto& [name, bytes] : files)
        EXPECT_EQ(Bytes(name), name == "ok" ? "bb" : bytes) << name;
    m_job.rules = {{"z", "y"}};
    EXPECT_EQ(Run().unchanged, 9);
    EXPECT_EQ(Events(), pipe);
}

TEST_P(Rewrite, LargeFilesAreSearchedInPiecesAndNeverWritten) {
    m_worker.m_maxFileBytes = 8;
    m_job.rules = {{"needle", "x"}};
    const std::pair<std::string, const char*> cases[] = {
        {"hay hay hay needle", "skipped f.txt: 文件过大（2 GiB 或以上）"},
        {"hay hay hay hay", nullptr},
        {Utf16(u"xx needle", false), "skipped f.txt: 文件过大（2 GiB 或以上）"},
        {"\xFF\xFEx" + Utf16(u"needle", false).substr(2), nullptr},  // off the units
    };
    for (const auto& [bytes, event] : cases) {
        EXPECT_EQ(Once(bytes), bytes);
        EXPECT_EQ(Events(), event ? std::vector<std::string>{event} : std::vector<std::string>{});
    }
}

// Files longer than a read piece are first searched a piece at a time: a
// find text across the end of a piece, or at the very end, is still found.
TEST_P(Rewrite, FindTextsAcrossThePiecesOfALongFileAreFound) {
    const std::string find = "<<a find text of forty bytes, or so...>>";
    m_job.rules = {{"zz", "-"}, {find, "[x]"}};
    constexpr size_t kPiece = size_t{64} << 10;
    for (const size_t at : {kPiece - 1, kPiece - 20, kPiece - find.size() + 1, 2 * kPiece - 7,
                            3 * kPiece + 5 - find.size()}) {
        std::string before(3 * kPiece + 5, '.');
        before.replace(at, find.size(), find);
        before.resize(std::max(before.size(), at + find.size()));
        std::string after = before;
        after.replace(at, find.size(), "[x]");
        EXPECT_EQ(Once(before), after) << at;
        EXPECT_EQ(Once("\xEF\xBB\xBF" + before), "\xEF\xBB\xBF" + after) << at;
    }
    const std::u16string wide =
        u"长文" + std::u16string(kPiece, u'.') + u"<<a find text of forty bytes, or so...>>";
    EXPECT_EQ(Once(Utf16(wide, true)),
              Utf16(u"长文" + std::u16string(kPiece, u'.') + u"[x]", true));
}

TEST_P(Rewrite, ProgressCarriesTheCountBeforeEachFile) {
    MakeTree(m_root, {{"a.txt", "x"}, {"b.txt", "x"}, {"c.htm", "x"}});
    Run();
    EXPECT_EQ(m_notify.ProgressCounts(), (std::vector<std::intptr_t>{1, 2}));
    EXPECT_EQ(m_notify.Messages().back().message, WM_JOB_DONE);
}

INSTANTIATE_TEST_SUITE_P(HeldAndStreamed, Rewrite, ::testing::Bool());

}  // namespace
