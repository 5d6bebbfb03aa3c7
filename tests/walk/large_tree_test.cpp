#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
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
            SetRoot(m_memDir + "/top");
        }
    }
    void TearDown() override {
        if (!m_memDir.empty())
            RemoveTree(m_memDir);
        CWalkTest::TearDown();
    }
    std::string m_memDir;
};

std::string N(const char* prefix, int i) {
    return prefix + std::to_string(i);
}

// 10,000 files in 500 folders, links that loop back to the top and to a
// parent, two links to one folder, and 250 folders that hold 100 folders
// each, all 25,000 to be renamed. Every folder is walked once, every file
// rewritten once, every matching folder renamed once.
TEST_F(LargeTree, EverythingHandledExactlyOnce) {
    std::vector<std::pair<std::string, std::string>> renames;
    for (int r = 0; r < 100; ++r)
        renames.emplace_back(N("r", r), N("s", r));
    SetRenameRules(renames);
    std::vector<std::string> files;
    ASSERT_EQ(::mkdir(m_root.c_str(), 0755), 0);
    for (int p = 0; p < 20; ++p) {
        ASSERT_EQ(::mkdir(P(N("p", p)).c_str(), 0755), 0);
        for (int q = 0; q < 25; ++q) {
            const std::string qdir = P(N("p", p) + N("/q", q)) + "/";
            ASSERT_EQ(::mkdir(qdir.c_str(), 0755), 0);
            for (int f = 0; f < 20; ++f) {
                files.push_back(qdir + N("", f) + ".txt");
                const int fd = ::open(files.back().c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
                ASSERT_EQ(::write(fd, "x", 1), 1);
                ::close(fd);
            }
        }
    }
    std::vector<std::string> folders;
    for (int g = 0; g < 250; ++g) {
        for (int r = 0; r < 100; ++r) {
            folders.push_back(P(N("many/g", g)) + "/");
            std::filesystem::create_directories(folders.back() + N("r", r));
        }
    }
    for (const auto& [target, link] :
         {std::pair{"../..", "p0/q0/loop"}, {"..", "p1/up"}, {"p2/q2", "l1"}, {"p2/q2", "l2"}})
        ASSERT_EQ(::symlink(target, P(link).c_str()), 0);

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
    EXPECT_EQ(m_notify.ProgressCounts().size(), 10000u);
    const auto rewritten = Paths(RunEventKind::Rewritten);
    EXPECT_EQ(rewritten.size(), 10000u);
    EXPECT_EQ(std::set<std::string>(rewritten.begin(), rewritten.end()).size(), 10000u);
    int wrong = 0;
    for (const auto& file : files)
        wrong += ReadFileBytes(file) != "xy";
    EXPECT_EQ(wrong, 0);

    const auto renamed = Paths(RunEventKind::Renamed);
    EXPECT_EQ(renamed.size(), 25000u);
    EXPECT_EQ(std::set<std::string>(renamed.begin(), renamed.end()).size(), 25000u);
    EXPECT_FALSE(m_worker.m_result.HasProblems());
    int missing = 0;
    for (size_t i = 0; i < folders.size(); ++i) {
        missing += !std::filesystem::is_directory(folders[i] + N("s", i % 100));
        missing += std::filesystem::exists(folders[i] + N("r", i % 100));
    }
    EXPECT_EQ(missing, 0);
}

}  // namespace
