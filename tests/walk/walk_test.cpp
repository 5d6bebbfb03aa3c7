#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <map>

#include "platform/sys_calls.h"
#include "walk_fixture.h"

namespace {

using Walk = CWalkTest;

std::string Parent(const std::string& path) {
    return path.substr(0, path.rfind('/') + 1);
}

// A stop raised while a subfolder is walked ends that walk at its next
// entry; the subfolder is still renamed; its parent handles no further entry.
TEST_F(Walk, StopInsideSubfolderEndsBothWalks) {
    SetRenameRules({{"sub", "done"}});
    for (int i = 0; i < 5; ++i) {
        WriteFileBytes(P("sub/f" + std::to_string(i) + ".txt"), "x");
        WriteFileBytes(P("g" + std::to_string(i) + ".txt"), "x");
    }
    std::vector<std::string> hooked;
    int inSub = 0;
    m_worker.m_entryHook = [&](const std::string& path) {
        hooked.push_back(path);
        if (Parent(path) == P("sub/") && ++inSub == 2)
            m_stop = true;  // as if pressed while the second file is handled
    };
    Run();
    EXPECT_TRUE(m_worker.m_result.stopped);
    EXPECT_TRUE(hooked.back().starts_with(P("sub/"))) << hooked.back();
    EXPECT_EQ(inSub, 2);
    const auto files = std::count_if(hooked.begin(), hooked.end(),
                                     [](const std::string& h) { return h.ends_with(".txt"); });
    EXPECT_EQ(m_worker.m_result.Count(RunEventKind::Rewritten), files);
    EXPECT_EQ(Paths(RunEventKind::Renamed), std::vector<std::string>{P("sub -> ") + P("done")});

    m_stop = true;  // raised before the run: nothing is handled
    CReplaceThread early;
    Run(&early);
    EXPECT_TRUE(early.m_result.stopped);
    EXPECT_EQ(early.m_fileCount, 0);
}

// Links back into the tree, a second name of a folder, a link to a folder
// outside, and files reached under several names: every folder is walked
// once, every file gets the rules once, the walk ends, nothing is reported.
TEST_F(Walk, LinksNeitherLoopNorRepeat) {
    CTempDir outside;
    MakeTree(m_root, {{"a/f.txt", "x"}, {"a/deeper/g.txt", "x"}});
    MakeTree(outside.Path(), {{"o.txt", "x"}});
    const std::pair<std::string, std::string> links[] = {{"..", "a/up"},
                                                         {".", "a/self"},
                                                         {"../a", "a/deeper/back"},
                                                         {"a", "b"},
                                                         {"a", "c"},
                                                         {outside.Path(), "out"},
                                                         {"a/f.txt", "flink.txt"},
                                                         {"../f.txt", "a/deeper/f2.txt"}};
    for (const auto& [target, link] : links)
        ASSERT_EQ(::symlink(target.c_str(), P(link).c_str()), 0) << link;
    std::map<std::string, int> entriesByFolder;
    m_worker.m_entryHook = [&](const std::string& path) { ++entriesByFolder[Parent(path)]; };
    Run();
    EXPECT_EQ(ReadFileBytes(P("a/f.txt")), "xy");
    EXPECT_EQ(ReadFileBytes(outside / "o.txt"), "xy");
    EXPECT_EQ(m_worker.m_result.Count(RunEventKind::Rewritten), 3);
    EXPECT_FALSE(m_worker.m_result.HasProblems());
    // top, a (under one of its names), a/deeper, out: four folders, each once.
    int total = 0;
    for (const auto& [folder, n] : entriesByFolder)
        total += n;
    EXPECT_EQ(entriesByFolder.size(), 4u);
    EXPECT_EQ(total, 5 + 4 + 3 + 1);
}

// Folders that cannot be found, opened or listed are recorded with their
// reason; the walk goes on with everything else.
TEST_F(Walk, UnlistableFoldersAreRecorded) {
    Run();
    ASSERT_EQ(Paths(RunEventKind::FolderSkipped), std::vector<std::string>{P("")});
    EXPECT_TRUE(m_worker.m_result.events[0].reason.starts_with("文件夹已不存在"));

    MakeTree(m_root, {{"locked/a.txt", "x"}, {"broken/b.txt", "x"}, {"fine/c.txt", "x"}});
    struct stat st {};
    ASSERT_EQ(::stat(P("broken").c_str(), &st), 0);
    static ino_t brokenIno;
    brokenIno = st.st_ino;
    CSysCallsOverride restore;
    Sys().openat = [](int dirFd, const char* path, int flags, mode_t mode) {
        if ((flags & O_DIRECTORY) && std::string(path) == "locked") {
            errno = EACCES;
            return -1;
        }
        return RealSysCalls().openat(dirFd, path, flags, mode);
    };
    Sys().readdir = [](DIR* dir) -> dirent* {
        struct stat s {};
        if (::fstat(::dirfd(dir), &s) == 0 && s.st_ino == brokenIno) {
            errno = EIO;
            return nullptr;
        }
        return RealSysCalls().readdir(dir);
    };
    CReplaceThread worker;
    Run(&worker);
    std::map<std::string, std::string> reasons;
    for (const auto& e : worker.m_result.events) {
        if (e.kind == RunEventKind::FolderSkipped)
            reasons[e.path] = e.reason;
    }
    EXPECT_EQ(reasons,
              (std::map<std::string, std::string>{
                  {P("broken/"), std::string("无法列出文件夹内容: ") + std::strerror(EIO)},
                  {P("locked/"), std::string("无法打开文件夹: ") + std::strerror(EACCES)}}));
    EXPECT_EQ(ReadFileBytes(P("fine/c.txt")), "xy");
}

// Removes a tree that may be deeper than a path can name, by descriptors.
void RemoveAt(int dirFd, const char* name) {
    if (DIR* dir = ::fdopendir(::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW))) {
        std::vector<std::string> names;
        while (const dirent* d = ::readdir(dir))
            names.push_back(d->d_name);
        for (const auto& n : names) {
            if (n != "." && n != ".." && ::unlinkat(::dirfd(dir), n.c_str(), 0) != 0)
                RemoveAt(::dirfd(dir), n.c_str());
        }
        ::closedir(dir);
    }
    ::unlinkat(dirFd, name, AT_REMOVEDIR);
}

// A tree whose paths pass the system's limit is walked in full: its files
// reach ProcessFile under their whole path, its folders are renamed.
TEST_F(Walk, TreeDeeperThanThePathLimit) {
    SetRenameRules({{"old", "new"}});
    ASSERT_EQ(::mkdir(m_root.c_str(), 0755), 0);
    const std::string level(200, 'd');
    std::string path = m_root + "/";
    int fd = ::open(m_root.c_str(), O_RDONLY | O_DIRECTORY);
    for (; path.size() < PATH_MAX + 300; path += level + "/") {
        ASSERT_EQ(::mkdirat(fd, level.c_str(), 0755), 0);
        const int next = ::openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ASSERT_EQ(::mkdirat(fd, "old", 0755), 0);
    ::close(::openat(fd, "deep.txt", O_WRONLY | O_CREAT, 0644));
    std::vector<std::string> hooked;
    m_worker.m_entryHook = [&](const std::string& p) { hooked.push_back(p); };
    Run();
    struct stat st {};
    EXPECT_EQ(::fstatat(fd, "new", &st, 0), 0);
    ::close(fd);
    EXPECT_EQ(m_worker.m_fileCount, 1);
    EXPECT_NE(std::find(hooked.begin(), hooked.end(), path + "deep.txt"), hooked.end());
    EXPECT_EQ(Paths(RunEventKind::Renamed),
              std::vector<std::string>{path + "old -> " + path + "new"});
    RemoveAt(AT_FDCWD, m_root.c_str());
}

}  // namespace
