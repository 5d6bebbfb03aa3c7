#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "walk_fixture.h"

namespace {

// Builds the tree in memory (/dev/shm) where there is one: 35,000 entries
// made and removed on a disk take far longer than the walk itself.
class LargeTree : public CWalkTest {
  protected:
    void SetUp() override {
        CWalkTest::SetUp();
        std::string pattern = "/dev/shm/vexa-walk-XXXXXX";
        if (::access("/dev/shm", W_OK) == 0 && ::mkdtemp(pattern.data())) {
            m_memDir = pattern;
            m_root = m_memDir + "/top";
            g_jobTables.folderPath = m_root + "/";
        }
    }
    void TearDown() override {
        if (!m_memDir.empty())
            RemoveTree(m_memDir);
        CWalkTest::TearDown();
    }
    std::string m_memDir;
};

void MakeDir(const std::string& path) {
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path;
}

// 10,000 files in 500 folders, links that loop back to the top and to a
// parent, two links to one folder, and 250 folders that hold 100 folders
// each, all 25,000 to be renamed. Every folder is walked once, every file
// rewritten once, every matching folder renamed once.
TEST_F(LargeTree, EverythingHandledExactlyOnce) {
    std::vector<std::pair<std::string, std::string>> renames;
    for (int r = 0; r < 100; ++r)
        renames.emplace_back("r" + std::to_string(r), "s" + std::to_string(r));
    SetRenameRules(renames);

    MakeDir(m_root);
    for (int p = 0; p < 20; ++p) {
        const std::string pdir = P("p" + std::to_string(p));
        MakeDir(pdir);
        for (int q = 0; q < 25; ++q) {
            const std::string qdir = pdir + "/q" + std::to_string(q) + "/";
            MakeDir(qdir);
            for (int f = 0; f < 20; ++f) {
                const int fd = ::open((qdir + std::to_string(f) + ".txt").c_str(),
                                      O_WRONLY | O_CREAT | O_EXCL, 0644);
                ASSERT_GE(fd, 0);
                ASSERT_EQ(::write(fd, "x", 1), 1);
                ::close(fd);
            }
        }
    }
    MakeDir(P("many"));
    for (int g = 0; g < 250; ++g) {
        const std::string gdir = P("many/g" + std::to_string(g)) + "/";
        MakeDir(gdir);
        for (const auto& [oldName, newName] : renames)
            MakeDir(gdir + oldName);
    }
    ASSERT_EQ(::symlink("../..", P("p0/q0/loop").c_str()), 0);
    ASSERT_EQ(::symlink("..", P("p1/up").c_str()), 0);
    ASSERT_EQ(::symlink("p2/q2", P("l1").c_str()), 0);
    ASSERT_EQ(::symlink("p2/q2", P("l2").c_str()), 0);

    size_t hooks = 0;
    std::set<std::string> hooked;
    m_worker.m_entryHook = [&](const std::string& path) {
        ++hooks;
        hooked.insert(path);
    };
    Run();

    // top 23, p* 500 + 1, q* 10,000 + 1, many 250, g* 25,000.
    EXPECT_EQ(hooks, 35775u);
    EXPECT_EQ(hooked.size(), hooks);
    EXPECT_EQ(m_worker.m_fileCount, 10000);
    EXPECT_EQ(m_notify.ProgressCounts().size(), 10000u);
    const auto rewritten = Paths(RunEventKind::Rewritten);
    EXPECT_EQ(rewritten.size(), 10000u);
    EXPECT_EQ(std::set<std::string>(rewritten.begin(), rewritten.end()).size(), 10000u);
    int wrong = 0;
    for (int p = 0; p < 20; ++p) {
        for (int q = 0; q < 25; ++q) {
            for (int f = 0; f < 20; ++f) {
                wrong += ReadFileBytes(P("p" + std::to_string(p) + "/q" + std::to_string(q) + "/" +
                                         std::to_string(f) + ".txt")) != "xy";
            }
        }
    }
    EXPECT_EQ(wrong, 0);

    const auto renamed = Paths(RunEventKind::Renamed);
    EXPECT_EQ(renamed.size(), 25000u);
    EXPECT_EQ(std::set<std::string>(renamed.begin(), renamed.end()).size(), 25000u);
    EXPECT_FALSE(m_worker.m_result.HasProblems());
    int missing = 0;
    struct stat st {};
    for (int g = 0; g < 250; ++g) {
        for (int r = 0; r < 100; ++r) {
            const std::string gdir = P("many/g" + std::to_string(g)) + "/";
            missing += ::stat((gdir + "s" + std::to_string(r)).c_str(), &st) != 0;
            missing += ::stat((gdir + "r" + std::to_string(r)).c_str(), &st) == 0;
        }
    }
    EXPECT_EQ(missing, 0);
}

}  // namespace
