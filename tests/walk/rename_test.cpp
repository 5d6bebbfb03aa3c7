#include <filesystem>

#include "walk_fixture.h"

namespace fs = std::filesystem;

namespace {

class Rename : public CWalkTest {
  protected:
    void SetUp() override {
        CWalkTest::SetUp();
        SetRoot(m_dir / "old");  // the top folder is named like a rule's old name
        SetRenameRules({{"old", "new"}, {"old", "other"}});
    }
};

// Contents are processed under the old path, then the folder is renamed; a
// matching folder is renamed even when nothing in it was selected; only the
// first rule of an old name applies; the top folder keeps its name.
TEST_F(Rename, SubfolderRenamedAfterItsContents) {
    MakeTree(m_root, {{"old/a.txt", "x"}, {"old/inner/b.txt", "x"}, {"keep/old/c.dat", "x"}});
    Run();
    EXPECT_EQ(
        Paths(RunEventKind::Renamed),
        (std::vector<std::string>{P("keep/old -> ") + P("keep/new"), P("old -> ") + P("new")}));
    const int renamed = EventIndex(RunEventKind::Renamed, P("old"));
    for (const char* file : {"old/a.txt", "old/inner/b.txt"}) {
        const int rewritten = EventIndex(RunEventKind::Rewritten, P(file));
        EXPECT_GE(rewritten, 0) << file;
        EXPECT_LT(rewritten, renamed) << file;
    }
    EXPECT_EQ(ReadFileBytes(P("new/inner/b.txt")), "xy");
    EXPECT_TRUE(fs::is_directory(m_root));
    EXPECT_FALSE(m_worker.m_result.HasProblems());
}

// With subfolders off nothing below the top is walked or renamed; with
// renaming off nothing is renamed.
TEST_F(Rename, SwitchesOff) {
    for (const int sub : {0, 1}) {
        CTempDir dir;
        SetRoot(dir / "old");
        g_jobTables.includeSubfolders = sub;
        g_jobTables.renameFolders = 1 - sub;
        MakeTree(m_root, {{"old/a.txt", "x"}, {"b.txt", "x"}});
        CReplaceThread worker;
        Run(&worker);
        EXPECT_TRUE(fs::is_directory(P("old"))) << sub;
        EXPECT_EQ(ReadFileBytes(P("old/a.txt")), sub ? "xy" : "x");
        EXPECT_EQ(ReadFileBytes(P("b.txt")), "xy");
    }
}

TEST_F(Rename, ExistingTargetIsKeptAndTheFailureRecorded) {
    MakeTree(m_root, {{"old/a.txt", "x"}, {"new/mine.dat", "keep"}});
    Run();
    const int i = EventIndex(RunEventKind::RenameFailed, P("old"));
    ASSERT_GE(i, 0);
    EXPECT_EQ(m_worker.m_result.events[i].newPath, P("new"));
    EXPECT_TRUE(m_worker.m_result.events[i].reason.starts_with("目标已存在"));
    EXPECT_EQ(ReadFileBytes(P("new/mine.dat")), "keep");
    EXPECT_EQ(ReadFileBytes(P("old/a.txt")), "xy");
}

// old`new, new`newer: the folder renamed to new is not listed again.
TEST_F(Rename, RuleChainRenamesAFolderOnce) {
    SetRenameRules({{"old", "new"}, {"new", "newer"}});
    MakeTree(m_root, {{"old/a.txt", "x"}});
    Run();
    EXPECT_EQ(Paths(RunEventKind::Renamed), std::vector<std::string>{P("old -> ") + P("new")});
}

// Rules that exchange names: the outcome depends on the listing order, and a
// dry run must predict exactly what the real run then does, changing nothing.
TEST_F(Rename, DryRunPredictsTheRealRun) {
    SetRenameRules({{"a", "b"}, {"b", "c"}, {"c", "a"}, {"d", "e"}, {"e", "d"}});
    MakeTree(m_root, {{"a/f.txt", "x"}, {"b/", ""}, {"d/", ""}, {"e/", ""}, {"s/a/", ""}});
    CReplaceThread dry;
    dry.m_bDryRun = true;
    Run(&dry);
    EXPECT_TRUE(fs::is_directory(P("a")) && fs::is_directory(P("b")) && !fs::exists(P("c")));
    EXPECT_EQ(ReadFileBytes(P("a/f.txt")), "x");
    Run();
    auto renames = [](const CRunResult& r) {
        std::vector<std::string> out;
        for (const auto& e : r.events) {
            if (e.kind == RunEventKind::Renamed || e.kind == RunEventKind::RenameFailed)
                out.push_back(std::to_string(int(e.kind)) + e.path + ">" + e.newPath + e.reason);
        }
        return out;
    };
    EXPECT_EQ(renames(dry.m_result), renames(m_worker.m_result));
    EXPECT_EQ(renames(m_worker.m_result).size(), 5u);
}

}  // namespace
