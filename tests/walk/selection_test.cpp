#include <sys/stat.h>

#include "walk_fixture.h"

namespace {

class Selection : public CWalkTest {};

TEST_F(Selection, ExtensionIsTheSecondDotFieldComparedExactly) {
    struct Case {
        std::vector<std::string> extensions;
        std::string name;
        int selected;
    };
    const Case cases[] = {
        {{"txt"}, "report.txt", 1},
        {{"txt"}, "NOTES.TXT", 0},
        {{"TXT"}, "notes.txt", 0},
        {{"txt"}, "readme", 0},
        {{"htm", "txt"}, "a.txt", 1},
        {{"config"}, ".config", 1},
        {{"txt"}, ".txt", 1},
        {{"tar"}, "backup.tar.gz", 1},
        {{"gz"}, "backup.tar.gz", 0},
        {{"b"}, "a.b.c", 1},
        {{"c"}, "a.b.c", 0},
        {{"*"}, "readme", 1},
        {{"*"}, "NOTES.TXT", 1},
        {{"txt", "*"}, "Makefile", 1},
        {{""}, "readme", 0},         // an empty entry never selects
        {{"", "txt"}, "a..txt", 0},  // nor does an empty extension
        {{""}, "trailing.", 0},
        {{"文本"}, "笔记.文本", 1},
        {{"文本"}, "笔记.文", 0},
        {{"*"}, ".vexa~Ab12Cd.tmp", 0},  // the rewrite's own temporary file
    };
    for (const Case& c : cases) {
        SetExtensions(c.extensions);
        EXPECT_EQ(m_worker.MatchExtension(c.name), c.selected)
            << c.name << " with " << c.extensions.front();
    }
}

// Hidden and read-only files are selected like any other; names without a
// dot only through "*"; folders are never handed to ProcessFile.
TEST_F(Selection, WalkSelectsByNameOnly) {
    MakeTree(m_root, {{".txt", "x"},
                      {"ro.txt", "x"},
                      {"plain", "x"},
                      {"b.TXT", "x"},
                      {"dir.txt/", ""},
                      {"dir.txt/in.txt", "x"},
                      {".vexa~Ab12Cd.tmp", "x"}});
    ASSERT_EQ(::chmod(P("ro.txt").c_str(), 0444), 0);
    g_jobTables.includeSubfolders = 0;
    Run();
    EXPECT_EQ(m_worker.m_fileCount, 2);
    EXPECT_EQ(m_worker.m_result.selected, 2);
    EXPECT_EQ(m_notify.ProgressCounts(), (std::vector<std::intptr_t>{1, 2}));

    SetExtensions({"*"});
    CReplaceThread again;
    JobParams params{&m_notify, nullptr, &m_stop};
    again.RunJob(&params);
    EXPECT_EQ(again.m_fileCount, 4);  // the folder dir.txt is not a file
}

}  // namespace
