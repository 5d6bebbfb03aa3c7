#include <errno.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "engine/replace_thread.h"
#include "platform/code_page.h"
#include "platform/sys_calls.h"
#include "support/engine_fixture.h"

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

class FileRewriteTest : public CEngineTest {
  protected:
    void SetUp() override {
        CEngineTest::SetUp();
        m_worker.m_hNotify = &m_notify;
    }

    // Writes the file, processes it and returns its bytes afterwards.
    std::string Process(const std::string& name, const std::string& bytes) {
        const std::string path = m_dir / name;
        WriteFileBytes(path, bytes);
        m_worker.ProcessFile(path);
        return ReadFileBytes(path);
    }

    RunEventKind LastKind() const { return m_worker.m_result.events.back().kind; }

    CRecordingNotify m_notify;
    CReplaceThread m_worker;
};

TEST_F(FileRewriteTest, RoundTripsInEveryEncodingKeepingItsMark) {
    SetRules({{"你好", "再见"}, {"a", "甲"}});
    const std::tuple<std::string, std::string, TextEncoding> cases[] = {
        {"你好 a\r\n世界", "再见 甲\r\n世界", EncAnsi},
        {"\xEF\xBB\xBF你好 a", "\xEF\xBB\xBF再见 甲", EncUtf8},
        {Utf16(u"你好 a 😀 b", false), Utf16(u"再见 甲 😀 b", false), EncUtf16Le},
        {Utf16(u"你好 a 😀 b", true), Utf16(u"再见 甲 😀 b", true), EncUtf16Be},
    };
    for (const auto& [before, after, encoding] : cases) {
        EXPECT_EQ(Process("f", before), after);
        EXPECT_EQ(m_worker.m_encoding, encoding);
    }
    EXPECT_EQ(m_worker.m_result.Count(RunEventKind::Rewritten), 4);
}

TEST_F(FileRewriteTest, WideLengthFollowsTheByteCounts) {
    SetRules({{"zz", "y"}});
    const std::string le = Utf16(u"A", false), be = Utf16(u"", true), mark = "\xEF\xBB";
    const std::tuple<std::string, TextEncoding, int, std::u16string> cases[] = {
        {"", EncAnsi, 1, u""},
        {"中a😀", EncAnsi, 5, u""},  // 1 + 1 + 2 units and the terminator
        {std::string("a\0bc", 4), EncAnsi, 2, u""},
        {std::string(500, 'a') + "中😀é", EncAnsi, 505, u""},
        {le.substr(0, 2), EncUtf16Le, 1, u""},
        {le + "B", EncUtf16Le, 2, u"AB"},  // an odd last byte is a unit of its own
        {be, EncUtf16Be, 0, u""},
        {be + std::string(1, '\0') + "A", EncUtf16Be, 1, u"A"},
        {mark, EncUtf8, 1, u""},
        {mark + "Xab", EncUtf8, 3, u""},  // EF BB and any third byte is a mark
    };
    for (const auto& [bytes, encoding, wideLen, wideText] : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        EXPECT_EQ(Process("f", bytes), bytes);
        EXPECT_EQ(m_worker.m_encoding, encoding);
        EXPECT_EQ(m_worker.m_wideLen, wideLen);
        EXPECT_EQ(m_worker.m_wideText, wideText);
    }
    EXPECT_EQ(m_worker.m_result.unchanged, 10);
    EXPECT_TRUE(m_worker.m_result.events.empty());
}

TEST_F(FileRewriteTest, RulesApplyInSlotOrderEachOnThePreviousResult) {
    const std::tuple<std::vector<std::pair<std::string, std::string>>, std::string, std::string>
        cases[] = {
            {{{"a", "b"}, {"b", "c"}}, "abc", "ccc"},
            {{{"b", "c"}, {"a", "b"}}, "abc", "bcc"},
            {{{"a", "aa"}}, "aa", "aaaa"},
            {{{"x", "x"}}, "x", "x"},  // still written back
            {{{"\r\n", ""}}, "x\r\ny\r\n", "xy"},
            {{{"B", "C"}}, Utf16(u"A", false) + "B", Utf16(u"AC", false)},
            {{{"a", "c"}}, "\xEF\xBBXab", "\xEF\xBBXcb"},
        };
    for (const auto& [rules, before, after] : cases) {
        SetRules(rules);
        EXPECT_EQ(Process("f", before), after) << before;
        EXPECT_EQ(LastKind(), RunEventKind::Rewritten) << before;
    }
}

TEST_F(FileRewriteTest, GbkTrailBytesNeverStartAMatch) {
    CCodePage::SetWorking("GBK");
    // 乤 is 81 61 in GBK: its trail byte is the letter a.
    SetRules({{"a", "b"}, {"\xD6\xD0", "\xCE\xC4"}});  // a -> b, 中 -> 文
    EXPECT_EQ(Process("gbk", "\x81\x61 a \xD6\xD0"), "\x81\x61 b \xCE\xC4");
    // Only a trail byte looks like a: no find text occurs, so even a file
    // holding a zero byte is simply unchanged.
    const std::string trailOnly("\x81\x61\0", 3);
    EXPECT_EQ(Process("trail", trailOnly), trailOnly);
    EXPECT_EQ(m_worker.m_result.unchanged, 1);
    // A UTF-8 file is worked on in GBK and written back as UTF-8.
    EXPECT_EQ(Process("utf8", "\xEF\xBB\xBF乤a中"), "\xEF\xBB\xBF乤b文");
    EXPECT_EQ(Process("le", Utf16(u"乤a中", false)), Utf16(u"乤b文", false));
    // A character GBK lacks cannot be worked on: the file is left alone.
    const std::string emoji = Utf16(u"a😀", false);
    EXPECT_EQ(Process("emoji", emoji), emoji);
    EXPECT_EQ(LastKind(), RunEventKind::Skipped);
}

TEST_F(FileRewriteTest, NothingIsWrittenWhenNoFindTextOccurs) {
    SetRules({{"needle", "x"}, {"中文", "y"}});
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "haystack 中 文"},
        {"empty", ""},
        {"le", Utf16(u"needl e 中", false)},
        {"readonly", "haystack"},
        {"zeros", std::string("\0\x01\x02\xFF", 4)},
        {"invalid", std::string("\xFF\xFE\x00\xD8", 4)},  // a lone surrogate
    };
    const timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
    for (const auto& [name, bytes] : cases) {
        WriteFileBytes(m_dir / name, bytes);
        ASSERT_EQ(::utimensat(AT_FDCWD, (m_dir / name).c_str(), past, 0), 0);
    }
    ASSERT_EQ(::chmod((m_dir / "readonly").c_str(), 0444), 0);
    ASSERT_EQ(::link((m_dir / "plain").c_str(), (m_dir / "plain-link").c_str()), 0);
    for (const auto& [name, bytes] : cases) {
        m_worker.ProcessFile(m_dir / name);
        EXPECT_EQ(ReadFileBytes(m_dir / name), bytes) << name;
        struct stat st {};
        ASSERT_EQ(::stat((m_dir / name).c_str(), &st), 0);
        EXPECT_EQ(st.st_mtim.tv_sec, past[0].tv_sec) << name;
    }
    EXPECT_EQ(m_worker.m_result.unchanged, 6);
    EXPECT_TRUE(m_worker.m_result.events.empty());
}

TEST_F(FileRewriteTest, FilesThatCannotTakeTheChangeAreSkippedWithTheirReason) {
    SetRules({{"a", "b"}});
    const std::string le = Utf16(u"a", false);
    const std::tuple<std::string, std::string, const char*> cases[] = {
        {"zero", std::string("a\0a", 3), "零字符"},
        {"le-zero", Utf16(std::u16string(u"a\0a", 3), false), "零字符"},
        {"invalid", "a\xFF", "无效的字节"},
        {"utf8-invalid", std::string("\xEF\xBB\xBF") + "a\xC0", "UTF-8"},
        {"be-odd", Utf16(u"a", true) + std::string(1, '\0'), "奇数"},
        {"surrogate", le + std::string("\0\xD8", 2), "无法表示"},
        {"readonly", "a", "只读"},
        {"linked", "a", "硬链接"},
    };
    for (const auto& [name, bytes, reason] : cases)
        WriteFileBytes(m_dir / name, bytes);
    ASSERT_EQ(::chmod((m_dir / "readonly").c_str(), 0444), 0);
    ASSERT_EQ(::link((m_dir / "linked").c_str(), (m_dir / "linked2").c_str()), 0);
    ASSERT_EQ(::mkfifo((m_dir / "fifo").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("nowhere", (m_dir / "dangling").c_str()), 0);
    for (const auto& [name, bytes, reason] : cases) {
        m_worker.ProcessFile(m_dir / name);
        EXPECT_EQ(ReadFileBytes(m_dir / name), bytes) << name;
        ASSERT_EQ(LastKind(), RunEventKind::Skipped) << name;
        EXPECT_THAT(m_worker.m_result.events.back().reason, testing::HasSubstr(reason));
    }
    // Whatever a rule says, these cannot be examined at all.
    SetRules({{"zz", "y"}});
    for (const char* name : {"fifo", "dangling", "missing"})
        m_worker.ProcessFile(m_dir / name);
    EXPECT_EQ(m_worker.m_result.Count(RunEventKind::Skipped), 11);
    EXPECT_EQ(m_worker.m_result.unchanged, 0);
}

// Too large to hold: searched, never rewritten; a dry run writes nothing either.
TEST_F(FileRewriteTest, LargeFilesAndDryRunsAreNeverWritten) {
    SetRules({{"needle", "x"}, {"中", "y"}});
    m_worker.m_maxFileBytes = 16;
    const std::string plain(40, 'h');
    const std::string le = Utf16(u"hay hay hay 中 hay", false);
    EXPECT_EQ(Process("plain", plain), plain);
    EXPECT_EQ(m_worker.m_result.unchanged, 1);
    EXPECT_EQ(Process("match", plain + "needle"), plain + "needle");
    EXPECT_EQ(Process("le", le), le);
    EXPECT_EQ(m_worker.m_encoding, EncUtf16Le);
    ASSERT_EQ(m_worker.m_result.Count(RunEventKind::Skipped), 2);
    EXPECT_THAT(m_worker.m_result.events.back().reason, testing::HasSubstr("过大"));

    m_worker.m_maxFileBytes = 1 << 20;
    m_worker.m_bDryRun = true;
    EXPECT_EQ(Process("dry", "needle"), "needle");
    EXPECT_EQ(LastKind(), RunEventKind::Rewritten);
}

// The seam's entries are plain function pointers: the hooks reach the test
// through this.
std::function<void()> g_onOpen;

TEST_F(FileRewriteTest, ProgressCarriesTheCountBeforeEachFileIsOpened) {
    SetRules({{"zz", "y"}});
    MakeTree(m_dir.Path(), {{"1", "a"}, {"2", "b"}, {"3", "c"}});
    std::vector<size_t> postedAtOpen;
    CSysCallsOverride restore;
    g_onOpen = [&] { postedAtOpen.push_back(m_notify.ProgressCounts().size()); };
    Sys().open = [](const char* path, int flags, mode_t mode) {
        g_onOpen();
        return RealSysCalls().open(path, flags, mode);
    };
    for (const char* name : {"1", "2", "3"})
        m_worker.ProcessFile(m_dir / name);
    EXPECT_EQ(postedAtOpen, (std::vector<size_t>{1, 2, 3}));
    EXPECT_EQ(m_notify.ProgressCounts(), (std::vector<std::intptr_t>{1, 2, 3}));
    EXPECT_EQ(m_worker.m_result.selected, 3);
}

TEST_F(FileRewriteTest, FileChangedBetweenReadAndWriteIsLeftAlone) {
    SetRules({{"a", "b"}});
    const std::string path = m_dir / "f";
    WriteFileBytes(path, "a");
    CSysCallsOverride restore;
    // The first openat is the write side looking at the file again.
    g_onOpen = [&] { WriteFileBytes(path, "a, edited meanwhile"); };
    Sys().openat = [](int dirFd, const char* path, int flags, mode_t mode) {
        if (auto once = std::exchange(g_onOpen, nullptr))
            once();
        return RealSysCalls().openat(dirFd, path, flags, mode);
    };
    m_worker.ProcessFile(path);
    EXPECT_EQ(ReadFileBytes(path), "a, edited meanwhile");
    ASSERT_EQ(LastKind(), RunEventKind::Skipped);
    EXPECT_EQ(m_worker.m_result.events.back().reason, "文件在处理期间已被修改");
}

}  // namespace
