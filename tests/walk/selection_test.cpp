#include <sys/stat.h>

#include "walk_fixture.h"

namespace {

using Selection = CWalkTest;

// The extension is the second dot field, compared byte for byte; "*" takes
// any name but the rewrite's own temporary files; an empty entry takes none.
TEST_F(Selection, ExtensionIsTheSecondDotFieldComparedExactly) {
    const std::tuple<std::vector<std::string>, std::string, int> cases[] = {
        {{"txt"}, "report.txt", 1},   {{"txt"}, "NOTES.TXT", 0}, {{"txt"}, "readme", 0},
        {{"htm", "txt"}, "a.txt", 1}, {{"txt"}, ".txt", 1},      {{"tar"}, "backup.tar.gz", 1},
        {{"gz"}, "backup.tar.gz", 0}, {{"*"}, "readme", 1},      {{"", "txt"}, "a..txt", 0},
        {{""}, "trailing.", 0},       {{"文本"}, "笔记.文", 0},  {{"*"}, ".vexa~Ab12Cd.tmp", 0},
    };
    for (const auto& [extensions, name, selected] : cases) {
        SetExtensions(extensions);
        EXPECT_EQ(m_worker.MatchExtension(name), selected) << name << " / " << extensions[0];
    }
}

// Hidden and read-only files are selected like any other; folders are never
// handed to ProcessFile, whatever their name.
TEST_F(Selection, WalkSelectsFilesByNameOnly) {
    MakeTree(m_root, {{".txt", "x"},
                      {"ro.txt", "x"},
                      {"plain", "x"},
                      {"b.TXT", "x"},
                      {"dir.txt/in.txt", "x"},
                      {".vexa~Ab12Cd.tmp", "x"}});
    ASSERT_EQ(::chmod(P("ro.txt").c_str(), 0444), 0);
    g_jobTables.includeSubfolders = 0;
    Run();
    EXPECT_EQ(m_worker.m_result.selected, 2);
    EXPECT_EQ(m_notify.ProgressCounts(), (std::vector<std::intptr_t>{1, 2}));

    SetExtensions({"*"});
    CReplaceThread again;
    Run(&again);
    EXPECT_EQ(again.m_fileCount, 4);
}

}  // namespace
