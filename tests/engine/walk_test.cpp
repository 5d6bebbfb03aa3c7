// The walk: what is selected, what is never followed or entered, renames on
// the way out, stop, and trees the system's path limit cannot name.

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/sys_calls.h"
#endif

#include <algorithm>
#include <cerrno>

#include "engine/walk/file_count.h"
#include "engine/walk/folder_walker.h"
#include "prep/build_job.h"
#include "prep/job_tables.h"
#include "run_fixture.h"

namespace {

using Walk = CRunTest;

TEST_F(Walk, SuffixIsTheSecondDotFieldComparedExactly) {
    m_job.extensions = {"txt", "htm"};
    const std::pair<const char*, int> cases[] = {
        {"a.txt", 1}, {"a.txt.bak", 1}, {"a.htm", 1},  {"a.TXT", 0}, {"a.min.htm", 0},
        {"txt", 0},   {".txt", 1},      {"a..txt", 0}, {"a.tx", 0},  {".vexa~AbC123.tmp", 0},
    };
    CSimulatedRenamer renamer;
    CRunResult result;
    const CFolderWalker walker(m_job, renamer, result, nullptr, {});
    for (const auto& [name, selected] : cases)
        EXPECT_EQ(walker.MatchExtension(name), selected) << name;
    m_job.extensions = {"*"};
    const CFolderWalker all(m_job, renamer, result, nullptr, {});
    EXPECT_EQ(all.MatchExtension("Makefile"), 1);
    EXPECT_EQ(all.MatchExtension(".vexa~AbC123.tmp"), 0);  // never its own temporary files
}

// Entries are handled in the byte order of their names, files and folders
// together, whatever order the file system lists them in (made here in the
// reverse order, which tmpfs lists newest first) and whatever the threads.
TEST_F(Walk, EntriesComeInTheByteOrderOfTheirNames) {
    MakeTree(
        m_root,
        {{"\xC3\xA9.txt", "x"}, {"z.txt", "x"}, {"m/f.txt", "x"}, {"a.txt", "x"}, {"M.txt", "x"}});
    m_job.jobs = 3;
    Run();
    EXPECT_EQ(Events(),
              (std::vector<std::string>{"rewritten M.txt", "rewritten a.txt", "rewritten m/f.txt",
                                        "rewritten z.txt", "rewritten \xC3\xA9.txt"}));
}

// Globs select beside the suffixes, excludes pass files and folders over
// (an excluded folder is neither entered nor renamed), and a file holding
// a find text and a zero byte is binary: passed over, not a problem.
TEST_F(Walk, GlobsSelectExcludesPassOverBinariesAreTheirOwnKind) {
    MakeTree(m_root, {{"a.txt", "x"},
                      {"bin.txt", std::string("x\0", 2)},
                      {"deep/x/1.5.0.7.txt", "x"},
                      {"jquery.min.js", "x"},
                      {"other.js", "x"},
                      {"node_modules/n.min.js", "x"},
                      {"build/b.txt", "x"}});
    m_job.globs = {"*.min.js", "deep/**/*.txt"};
    m_job.excludes = {"node_modules", "build/"};
    m_job.renameRules = {{"node_modules", "nm"}};
    const CRunResult& r = Run();
    EXPECT_EQ(Events(), (std::vector<std::string>{
                            "rewritten a.txt", "binary bin.txt: 含有零字节，是二进制文件，未改动",
                            "rewritten deep/x/1.5.0.7.txt", "rewritten jquery.min.js"}));
    EXPECT_FALSE(r.HasProblems());
    EXPECT_EQ(Bytes("node_modules/n.min.js"), "x");
    EXPECT_EQ(Bytes("other.js"), "x");
}

// Links are passed over and counted: a link out of the tree, back up, to a
// file outside, to a file inside. Nothing outside changes; each file inside
// gets the rules once, under its one name.
TEST_F(Walk, LinksAreNeverFollowedAndAreCounted) {
#ifdef _WIN32
    GTEST_SKIP() << "symlink(2); junctions on Windows are covered by the Windows tests";
#else
    CTempDir outside;
    MakeTree(outside.Path(), {{"o.txt", "x"}, {"d/p.txt", "x"}});
    MakeTree(m_root, {{"in.txt", "x"}, {"sub/s.txt", "x"}});
    const std::pair<std::string, std::string> links[] = {{outside.Path() + "/d", "out"},
                                                         {"..", "sub/up"},
                                                         {outside / "o.txt", "o.txt"},
                                                         {"in.txt", "again.txt"}};
    for (const auto& [target, name] : links)
        ASSERT_EQ(::symlink(target.c_str(), P(name).c_str()), 0);
    m_job.extensions = {"*"};
    const CRunResult& r = Run();
    EXPECT_EQ(ReadFileBytes(outside / "o.txt"), "x");
    EXPECT_EQ(ReadFileBytes(outside / "d/p.txt"), "x");
    EXPECT_EQ(Bytes("in.txt"), "xy");
    EXPECT_EQ(Bytes("sub/s.txt"), "xy");
    struct stat st {};
    ASSERT_EQ(::lstat(P("o.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(r.linksPassedOver, 4);
    EXPECT_EQ(r.selected, 2);
    EXPECT_FALSE(r.HasProblems());
#endif
}

// The folder in hand is swapped for a link to a folder outside while its
// files are handled: the rest of them are still reached through the folder
// that was opened, never through the link.
TEST_F(Walk, FolderSwappedForALinkRedirectsNothing) {
#ifdef _WIN32
    GTEST_SKIP() << "symlink(2) over an open folder; wine makes no reparse points";
#else
    CTempDir outside;
    for (int i = 0; i < 6; ++i) {
        const std::string name = "f" + std::to_string(i) + ".txt";
        WriteFileBytes(P("sub/" + name), "x");
        WriteFileBytes(outside / name, "x");
    }
    bool swapped = false;
    m_worker.m_entryHook = [&](const std::string& path) {
        if (!swapped && path.starts_with(P("sub/"))) {
            swapped = true;
            ASSERT_EQ(::rename(P("sub").c_str(), P("moved").c_str()), 0);
            ASSERT_EQ(::symlink(outside.Path().c_str(), P("sub").c_str()), 0);
        }
    };
    const CRunResult& r = Run();
    ASSERT_TRUE(swapped);
    for (int i = 0; i < 6; ++i) {
        const std::string name = "f" + std::to_string(i) + ".txt";
        EXPECT_EQ(ReadFileBytes(outside / name), "x") << name;
        EXPECT_EQ(Bytes("moved/" + name), "xy") << name;
    }
    EXPECT_EQ(r.Count(RunEventKind::Rewritten), 6);
#endif
}

// Version-control folders are not entered or renamed; the rules files and
// the settings file are not rewritten, even inside the chosen folder.
TEST_F(Walk, RepositoriesRulesAndSettingsAreLeftAlone) {
    MakeTree(m_root, {{".git/config.txt", "x"},
                      {"work/.hg/h.txt", "x"},
                      {".svn/", ""},
                      {"rules.txt", "x"},
                      {"ren.txt", "x"},
                      {"cfg.ini", "x"},
                      {"f.txt", "x"}});
    m_job.extensions = {"*"};
    m_job.renameRules = {{".git", "git"}, {".svn", "svn"}};
    JobTables tables;
    tables.replaceRulesPath = P("rules.txt");
    tables.renameRulesPath = P("ren.txt");
    tables.appPrefix = P("cfg");
    m_job.protectedFiles = BuildJob(tables).protectedFiles;
    EXPECT_EQ(Run().selected, 1);
    EXPECT_EQ(Events(), std::vector<std::string>{"rewritten f.txt"});
    for (const char* name : {".git/config.txt", "work/.hg/h.txt", "rules.txt", "cfg.ini"})
        EXPECT_EQ(Bytes(name), "x") << name;
}

// A list of files instead of a walk: exactly the listed regular files, each
// once, in the list's order; whatever would lead outside the folder, through
// a link or to no regular file is skipped with its path and reason.
TEST_F(Walk, ListedFilesAreExactlyThoseHandled) {
    MakeTree(m_dir / "outside", {{"o.txt", "x"}});
    MakeTree(m_root, {{"a.md", "x"}, {"sub/b.txt", "x"}, {"c.txt", "x"}, {"d/", ""}});
    m_job.useFileList = true;
    m_job.fileList = {"sub/b.txt",        "./a.md",      "a.md",
                      "../outside/o.txt", "/etc/passwd", "none.txt",
                      "sub/../c.txt",     "sub//b.txt",  "d"};
#ifndef _WIN32
    ASSERT_EQ(::symlink("../outside", P("out").c_str()), 0);
    ASSERT_EQ(::symlink("c.txt", P("c2.txt").c_str()), 0);
    m_job.fileList.insert(m_job.fileList.end(), {"out/o.txt", "c2.txt"});
#endif
    const CRunResult& r = Run();
    EXPECT_EQ(r.selected, 2);
    std::vector<std::string> expected = {"rewritten sub/b.txt",
                                         "rewritten a.md",
                                         "skipped ../outside/o.txt: 不在所选文件夹内，不处理",
                                         "skipped /etc/passwd: 不在所选文件夹内，不处理",
                                         "skipped none.txt: 文件不存在",
                                         "skipped sub/../c.txt: 不在所选文件夹内，不处理",
                                         "skipped d: 不是普通文件"};
#ifndef _WIN32
    expected.push_back("skipped out/o.txt: 路径经过符号链接，不跟随");
    expected.push_back("skipped c2.txt: 路径经过符号链接，不跟随");
#endif
    EXPECT_EQ(Events(), expected);
    EXPECT_EQ(Bytes("a.md"), "xy");
    EXPECT_EQ(Bytes("c.txt"), "x");
    EXPECT_EQ(ReadFileBytes(m_dir / "outside/o.txt"), "x");
}

// A preview run with a file left out: the walk goes on as usual, so the
// folder the preview would rename is renamed; the file left out is passed
// over silently, byte for byte as it was, and not counted for progress.
TEST_F(Walk, KeptFilesAreHandledAndPreviewedRenamesStillDone) {
    MakeTree(m_root, {{"old/a.txt", "x"}, {"old/b.txt", "x"}, {"c.txt", "x"}});
    m_job.renameRules = {{"old", "new"}};
    Run(true);
    std::vector<std::string> rewritten;
    for (const CRunEvent& e : m_events)
        if (e.kind == RunEventKind::Rewritten)
            rewritten.push_back(e.path.substr(m_job.folder.size()));
    ASSERT_EQ(rewritten.size(), 3u);
    const std::string leftOut = rewritten[1];  // old/a.txt, in the byte order of the walk
    rewritten.erase(rewritten.begin() + 1);
    m_job.keepOnly = true;
    m_job.keptFiles = rewritten;
    EXPECT_EQ(CountSelectedFiles(m_job, nullptr), 2);
    EXPECT_EQ(Run().selected, 2);
    EXPECT_EQ(Events(), (std::vector<std::string>{"rewritten c.txt", "rewritten old/b.txt",
                                                  "renamed old -> new"}));
    EXPECT_EQ(Rel(m_job.folder + leftOut), "old/a.txt");
    EXPECT_EQ(Bytes("new/a.txt"), "x");
    EXPECT_EQ(Bytes("new/b.txt"), "xy");
    EXPECT_EQ(Bytes("c.txt"), "xy");
}

// Post-order, the first rule for a name only, never over a taken name.
TEST_F(Walk, SubfoldersAreRenamedAfterTheirContentsNeverOverATakenName) {
    MakeTree(m_root, {{"old/old/f.txt", "x"}, {"a/", ""}, {"b/", ""}});
    m_job.renameRules = {{"old", "new"}, {"a", "b"}, {"old", "other"}};
    Run();
    const std::vector<std::string> events = Events();
    EXPECT_EQ(SortedEvents(),
              (std::vector<std::string>{"not renamed a -> b: 目标已存在", "renamed old -> new",
                                        "renamed old/old -> old/new", "rewritten old/old/f.txt"}));
    EXPECT_LT(std::find(events.begin(), events.end(), "renamed old/old -> old/new"),
              std::find(events.begin(), events.end(), "renamed old -> new"));
    m_job.includeSubfolders = false;
    EXPECT_EQ(Run().events.size(), 0u);
}

// Several threads report exactly what one reports, in the same order: each
// file before the rename of its folder, progress counting up one by one.
TEST_F(Walk, ParallelRunReportsWhatOneThreadReports) {
    std::vector<std::pair<std::string, std::string>> files;
    for (int i = 0; i < 120; ++i) {
        const std::string folder = i % 3 ? "old/" + std::to_string(i % 7) + "/" : "";
        files.push_back({folder + std::to_string(i) + ".txt", i % 4 ? "x" : "z"});
    }
    m_job.renameRules = {{"old", "new"}, {"3", "three"}};
    std::vector<std::string> first;
    for (const unsigned jobs : {1u, 4u, 2u}) {
        RemoveTree(m_root);
        MakeTree(m_root, files);
        ASSERT_EQ(::chmod(P("old/5/5.txt").c_str(), 0444), 0);
        m_job.jobs = jobs;
        EXPECT_EQ(Run().unchanged, 30) << jobs;
        std::vector<std::intptr_t> progress = m_notify.ProgressCounts();
        progress.erase(progress.begin(), progress.end() - 120);  // this run's
        for (size_t i = 0; i < progress.size(); ++i)
            EXPECT_EQ(progress[i], static_cast<std::intptr_t>(i + 1)) << jobs;
        if (first.empty())
            first = Events();
        else
            EXPECT_EQ(Events(), first) << jobs;
    }
    EXPECT_EQ(first.size(), 90u + 2);
    EXPECT_EQ(Bytes("new/three/10.txt"), "xy");
}

// A dry run is the real run with the renames simulated and nothing written:
// both report the same, including a link to a folder that is renamed, a
// rename into a name an earlier rename freed, and files that are skipped.
TEST_F(Walk, DryRunPredictsTheRealRun) {
#ifdef _WIN32
    GTEST_SKIP() << "a symbolic link made with symlink(2)";
#else
    MakeTree(m_root,
             {{"a/f.txt", "x"}, {"b/g.txt", "x"}, {"ro.txt", "x"}, {"same.txt", "z"}, {"d/", ""}});
    ASSERT_EQ(::symlink("a", P("link").c_str()), 0);
    ASSERT_EQ(::chmod(P("ro.txt").c_str(), 0444), 0);
    m_job.rules = {{"x", "xy"}, {"z", "z"}};
    m_job.renameRules = {{"a", "tmp"}, {"b", "a"}, {"d", "b"}};
    Run(true);
    const std::vector<std::string> predicted = SortedEvents();
    EXPECT_EQ(Bytes("a/f.txt"), "x");
    Run(false);
    EXPECT_EQ(SortedEvents(), predicted);
    EXPECT_EQ(Bytes("tmp/f.txt"), "xy");
    EXPECT_EQ(Bytes("same.txt"), "z");
#endif
}

TEST_F(Walk, StopInsideASubfolderEndsTheWalkAndStillRenamesOnTheWayOut) {
    m_job.renameRules = {{"sub", "done"}};
    for (int i = 0; i < 5; ++i) {
        WriteFileBytes(P("sub/f" + std::to_string(i) + ".txt"), "x");
        WriteFileBytes(P("g" + std::to_string(i) + ".txt"), "x");
    }
    int inSub = 0;
    std::string last;
    m_worker.m_entryHook = [&](const std::string& path) {
        last = path;
        if (Rel(path).starts_with("sub/") && ++inSub == 2)
            m_stop = true;
    };
    const CRunResult& r = Run();
    EXPECT_TRUE(r.stopped);
    EXPECT_TRUE(Rel(last).starts_with("sub/")) << last;
    EXPECT_EQ(r.Count(RunEventKind::Renamed), 1);
    EXPECT_EQ(r.selected, r.Count(RunEventKind::Rewritten));
    m_worker.m_entryHook = nullptr;
    EXPECT_EQ(Run().selected, 0);  // stop raised before the run: nothing handled
}

TEST_F(Walk, FoldersThatCannotBeListedAreRecorded) {
#ifdef _WIN32
    GTEST_SKIP() << "the fault seam wraps the POSIX system calls";
#else
    MakeTree(m_root, {{"bad/f.txt", "x"}, {"good/g.txt", "x"}});
    CSysCallsOverride restore;
    // The listing that follows the opening of "bad" fails part way.
    static bool failNext;
    failNext = false;
    Sys().openat = [](int fd, const char* name, int flags, mode_t mode) {
        failNext = std::string(name) == "bad";
        return ::openat(fd, name, flags, mode);
    };
    Sys().getdents64 = [](int fd, void* buf, size_t count) -> ssize_t {
        if (failNext) {
            failNext = false;
            errno = EIO;
            return -1;
        }
        return ::getdents64(fd, buf, count);
    };
    const CRunResult& r = Run();
    EXPECT_EQ(SortedEvents(), (std::vector<std::string>{
                                  "folder skipped bad/: 无法列出文件夹内容: Input/output error",
                                  "rewritten good/g.txt"}));
    EXPECT_TRUE(r.HasProblems());
#endif
}

// A tree whose paths pass the system's path limit, and whose depth passes a
// low limit of open files, is walked in full through folder handles: its
// file is rewritten, its folder renamed.
TEST_F(Walk, TreeDeeperThanThePathLimit) {
#ifdef _WIN32
    GTEST_SKIP()
        << "POSIX *at() calls and rlimits; long paths on Windows are covered by the Windows tests";
#else
    m_job.renameRules = {{"old", "new"}};
    ASSERT_EQ(::mkdir(m_root.c_str(), 0755), 0);
    const std::string level(50, 'd');
    int fd = ::open(m_root.c_str(), O_RDONLY | O_DIRECTORY);
    for (size_t depth = 0; depth < 100; ++depth) {  // 5,100 bytes deep
        ASSERT_EQ(::mkdirat(fd, level.c_str(), 0755), 0);
        const int next = ::openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ASSERT_EQ(::mkdirat(fd, "old", 0755), 0);
    const int file = ::openat(fd, "deep.txt", O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::write(file, "x", 1), 1);
    ::close(file);
    ::close(fd);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    if (saved.rlim_max < 200)
        GTEST_SKIP() << "the hard limit of open files is below the tree's depth";
    rlimit low = saved;
    low.rlim_cur = 64;  // a default that a walk of 100 levels would pass
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    const CRunResult& r = Run();
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(r.Count(RunEventKind::Rewritten), 1);
    EXPECT_EQ(r.Count(RunEventKind::Renamed), 1);
    EXPECT_FALSE(r.HasProblems());
    RemoveTree(m_root);
#endif
}

}  // namespace
