#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "walk_fixture.h"

namespace fs = std::filesystem;

namespace {

class Rename : public CWalkTest {
  protected:
    void SetUp() override {
        CWalkTest::SetUp();
        // The top folder itself is named like a rule's old name.
        m_root = m_dir / "old";
        g_jobTables.folderPath = m_root + "/";
        SetRenameRules({{"old", "new"}, {"old", "other"}});
    }
};

// Contents are processed under the old path, then the folder is renamed; a
// matching folder is renamed even when nothing in it was selected; only the
// first rule of an old name applies; the top folder keeps its name.
TEST_F(Rename, SubfolderRenamedAfterItsContents) {
    MakeTree(m_root, {{"old/a.txt", "x"},
                      {"old/inner/b.txt", "x"},
                      {"keep/old/c.dat", "x"},
                      {"keep/d.txt", "x"}});
    Run();
    EXPECT_EQ(Paths(RunEventKind::Renamed),
              (std::vector<std::string>{P("keep/old") + " -> " + P("keep/new"),
                                        P("old") + " -> " + P("new")}));
    const int renamed = EventIndex(RunEventKind::Renamed, P("old"));
    for (const char* file : {"old/a.txt", "old/inner/b.txt"}) {
        const int rewritten = EventIndex(RunEventKind::Rewritten, P(file));
        EXPECT_GE(rewritten, 0) << file;
        EXPECT_LT(rewritten, renamed) << file;
    }
    EXPECT_EQ(ReadFileBytes(P("new/a.txt")), "xy");
    EXPECT_EQ(ReadFileBytes(P("new/inner/b.txt")), "xy");
    EXPECT_TRUE(fs::is_directory(P("keep/new")));
    EXPECT_FALSE(fs::exists(P("other")));
    EXPECT_TRUE(fs::is_directory(m_root));
    EXPECT_FALSE(m_worker.m_result.HasProblems());
}

// Renaming happens only on the way out of a walked subfolder: with subfolders
// off nothing below the top is walked or renamed; with renaming off nothing is renamed.
TEST_F(Rename, SwitchesOff) {
    for (const int sub : {0, 1}) {
        CTempDir dir;
        m_root = dir / "old";
        g_jobTables.folderPath = m_root + "/";
        g_jobTables.includeSubfolders = sub;
        g_jobTables.renameFolders = 1 - sub;
        MakeTree(m_root, {{"old/a.txt", "x"}, {"b.txt", "x"}});
        CReplaceThread worker;
        JobParams params{&m_notify, nullptr, &m_stop};
        worker.RunJob(&params);
        EXPECT_TRUE(std::filesystem::is_directory(P("old"))) << sub;
        EXPECT_EQ(ReadFileBytes(P("old/a.txt")), sub ? "xy" : "x");
        EXPECT_EQ(ReadFileBytes(P("b.txt")), "xy");
        EXPECT_EQ(worker.m_result.Count(RunEventKind::Renamed), 0);
    }
}

TEST_F(Rename, ExistingTargetIsKeptAndTheFailureRecorded) {
    MakeTree(m_root, {{"old/a.txt", "x"}, {"new/mine.dat", "keep"}});
    Run();
    ASSERT_EQ(m_worker.m_result.Count(RunEventKind::RenameFailed), 1);
    const int i = EventIndex(RunEventKind::RenameFailed, P("old"));
    ASSERT_GE(i, 0);
    const CRunEvent& e = m_worker.m_result.events[i];
    EXPECT_EQ(e.newPath, P("new"));
    EXPECT_EQ(e.reason.rfind("目标已存在", 0), 0u) << e.reason;
    EXPECT_EQ(ReadFileBytes(P("new/mine.dat")), "keep");
    EXPECT_EQ(ReadFileBytes(P("old/a.txt")), "xy");
    EXPECT_TRUE(m_worker.m_result.HasProblems());
}

// old`new, new`newer: the folder renamed to new is not listed again, so it
// is renamed once.
TEST_F(Rename, RuleChainRenamesAFolderOnce) {
    SetRenameRules({{"old", "new"}, {"new", "newer"}});
    MakeTree(m_root, {{"old/a.txt", "x"}});
    Run();
    EXPECT_EQ(Paths(RunEventKind::Renamed), std::vector<std::string>{P("old") + " -> " + P("new")});
    EXPECT_EQ(ReadFileBytes(P("new/a.txt")), "xy");
}

// Two folders whose rules exchange names through a third: the outcome
// depends on the listing order, and a dry run must predict exactly what the
// real run then does, while changing nothing.
TEST_F(Rename, DryRunPredictsTheRealRun) {
    SetRenameRules({{"a", "b"}, {"b", "c"}, {"c", "a"}, {"d", "e"}, {"e", "d"}});
    MakeTree(m_root, {{"a/f.txt", "x"}, {"b/", ""}, {"d/", ""}, {"e/", ""}, {"s/a/", ""}});
    CReplaceThread dry;
    dry.m_bDryRun = true;
    JobParams params{&m_notify, nullptr, &m_stop};
    dry.RunJob(&params);
    EXPECT_TRUE(fs::is_directory(P("a")) && fs::is_directory(P("b")) && !fs::exists(P("c")));
    EXPECT_EQ(ReadFileBytes(P("a/f.txt")), "x");

    Run();
    auto renames = [](const CRunResult& r) {
        std::vector<std::string> out;
        for (const auto& e : r.events) {
            if (e.kind == RunEventKind::Renamed || e.kind == RunEventKind::RenameFailed)
                out.push_back(std::to_string(static_cast<int>(e.kind)) + e.path + ">" + e.newPath +
                              e.reason);
        }
        return out;
    };
    EXPECT_EQ(renames(dry.m_result), renames(m_worker.m_result));
    EXPECT_EQ(renames(m_worker.m_result).size(), 5u);
    // d and e block each other; a fails only when listed before b.
    const int failed = m_worker.m_result.Count(RunEventKind::RenameFailed);
    EXPECT_TRUE(failed == 2 || failed == 3) << failed;
}

}  // namespace
