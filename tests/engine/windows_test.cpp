// What only Windows shows: names outside the code page, names that are not
// valid UTF-16, paths beyond 260 characters, a file held open by another
// program, the read-only attribute, junctions, and the names a rename rule
// may not give a folder there.

#include <filesystem>

#include "engine/report/name_quote.h"
#include "platform/code_page.h"
#include "platform/name_text.h"
#include "platform/paths.h"
#include "run_fixture.h"

// After the engine's headers, which name WM_USER themselves.
#include <windows.h>

namespace {

using Windows = CRunTest;
namespace fs = std::filesystem;

bool UnderWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// A name that is not valid UTF-16 reaches no file through UTF-8 text, so
// such a file is made through the wide API.
std::wstring Wide(const std::string& utf8) {
    return NativePath(utf8).wstring();
}

TEST_F(Windows, NamesOutsideTheCodePageAreNeverTakenForALookAlike) {
    // Full-width "ａ" best-fits to "a" in 1252; GBK spells it exactly.
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"CP1252", {"rewritten a.txt"}},
        {"CP936", {"rewritten a.txt", "rewritten 中文.txt", "rewritten ａ.txt"}},
    };
    for (const auto& [codePage, events] : cases) {
        MakeTree(m_root, {{"a.txt", "x"}, {"ａ.txt", "x"}, {"中文.txt", "x"}});
        m_job.codePage = codePage;
        Run();
        EXPECT_EQ(SortedEvents(), events) << codePage;
        EXPECT_EQ(Bytes("a.txt"), "xy");
        EXPECT_EQ(Bytes("ａ.txt"), events.size() > 1 ? "xy" : "x") << codePage;
    }
    // A rename rule in GBK finds the folder by its exact name, and its
    // second byte 0x5C is no backslash.
    CCodePage::SetWorking("CP936");
    EXPECT_FALSE(IsUnsafeEntryName("\xD5\x5C"));  // 誠
    m_job.rules = {{"q", "r"}};
    m_job.renameRules = {{"\xD6\xD0", "\xD5\x5C"}};  // 中 -> 誠
    MakeTree(m_root, {{"中/", ""}});
    Run();
    EXPECT_EQ(Events(), std::vector<std::string>{"renamed 中 -> 誠"});
}

TEST_F(Windows, RenameRulesNeverNameWhatWindowsCannotHold) {
    for (const char* name : {"a\\b", "..\\x", "a:b", "a*", "a?", "a\"", "a<", "a>", "a|", "x.",
                             "x ", "CON", "nul", "Nul.txt", "COM1", "lpt9.log", "a\tb"})
        EXPECT_TRUE(IsUnsafeEntryName(name)) << name;
    for (const char* name : {"ok", "CONS", "COM0", "a.b", ".x"})
        EXPECT_FALSE(IsUnsafeEntryName(name)) << name;
}

TEST_F(Windows, LongPathsAndNamesThatAreNotUtf16) {
    // Deeper than MAX_PATH: reached through folder handles and \\?\ paths.
    std::string deep = "d";
    while (m_root.size() + deep.size() < 300)
        deep += "/" + std::string(40, 'n');
    MakeTree(m_root, {{deep + "/f.txt", "x"}});
    // A name with a lone surrogate: listed, rewritten, shown as \uD800.
    const std::wstring loneName = Wide(m_root) + L"\\\xD800.txt";
    HANDLE h = ::CreateFileW(loneName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    const bool madeLone = h != INVALID_HANDLE_VALUE;
    if (madeLone) {
        DWORD n = 0;
        ::WriteFile(h, "x", 1, &n, nullptr);
        ::CloseHandle(h);
    }
    // Names that are not valid UTF-16 keep their units through path text.
    for (const std::wstring name : {L"\xD800.txt",
                                    L"a\xDC00\xD800"
                                    L"b",
                                    L"\xD83D\xDE00"}) {
        CPlatformName back;
        EXPECT_TRUE(PathTextToName(NameToPathText(name), back) && back == name);
    }
    EXPECT_EQ(QuoteName(NameToPathText(L"\xD800.txt")), "\"\\uD800.txt\"");
    CPlatformName none;
    EXPECT_FALSE(PathTextToName("\xED\xA0\xBD\xED\xB8\x80", none));  // a pair in halves
    EXPECT_FALSE(PathTextToName("\xC0\xAF", none));                  // overlong "/"
    m_job.codePage = "UTF-8";
    const CRunResult& r = Run();
    EXPECT_EQ(Bytes(deep + "/f.txt"), "xy");
    EXPECT_EQ(r.Count(RunEventKind::Rewritten), madeLone ? 2 : 1);
    if (!madeLone)
        GTEST_SKIP() << "this file system takes no name that is not valid UTF-16";
    std::vector<std::string> quoted;
    for (const CRunEvent& e : r.events)
        quoted.push_back(QuoteName(Rel(e.path)));
    EXPECT_NE(std::find(quoted.begin(), quoted.end(), "\"\\uD800.txt\""), quoted.end());
}

TEST_F(Windows, FilesHeldOpenOrReadOnlyAreReportedAndNeverCorrupted) {
    MakeTree(m_root, {{"held.txt", "x"}, {"ro.txt", "x"}, {"ok.txt", "x"}});
    ASSERT_TRUE(::SetFileAttributesW(Wide(P("ro.txt")).c_str(), FILE_ATTRIBUTE_READONLY));
    // Another program has it open for writing and lets others read, but not delete.
    HANDLE held = ::CreateFileW(Wide(P("held.txt")).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Run();
    ::CloseHandle(held);
    EXPECT_EQ(Bytes("ok.txt"), "xy");
    EXPECT_EQ(Bytes("held.txt"), "x");
    EXPECT_EQ(Bytes("ro.txt"), "x");
    const std::vector<std::string> events = SortedEvents();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_TRUE(events[0].starts_with("failed held.txt: 无法替换原文件")) << events[0];
    EXPECT_EQ(events[1], "rewritten ok.txt");
    EXPECT_EQ(events[2], "skipped ro.txt: 文件为只读（没有写权限位）");
    for (const auto& entry : fs::directory_iterator(NativePath(m_root)))
        EXPECT_FALSE(entry.path().filename().u8string().starts_with(u8".vexa~"));
}

TEST_F(Windows, JunctionsAreLinksAndNeverFollowed) {
    if (UnderWine())
        GTEST_SKIP() << "wine 8 makes no reparse points and shows a link as what it leads to";
    CTempDir outside;
    MakeTree(outside.Path(), {{"o.txt", "x"}});
    MakeTree(m_root, {{"in.txt", "x"}});
    const std::wstring link = Wide(P("out"));
    if (!::CreateSymbolicLinkW(
            link.c_str(), Wide(outside.Path()).c_str(),
            SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        GTEST_SKIP() << "this user may not make symbolic links";
    const CRunResult& r = Run();
    EXPECT_EQ(ReadFileBytes(outside / "o.txt"), "x");
    EXPECT_EQ(Bytes("in.txt"), "xy");
    EXPECT_EQ(r.linksPassedOver, 1);
}

}  // namespace
