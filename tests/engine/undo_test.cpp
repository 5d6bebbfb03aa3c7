// Undo of a run through its journal: what comes back, what is left alone,
// and what a process killed at any step leaves for the undo.
#include <gmock/gmock.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <atomic>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>

#include "engine/journal/journal_format.h"
#include "engine/journal/journal_store.h"
#include "platform/posix/sys_calls.h"
#include "run_fixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

struct CNode {
    std::string bytes, attr;
    unsigned mode = 0;
    ino_t ino = 0;
    bool operator==(const CNode& o) const {
        return bytes == o.bytes && attr == o.attr && mode == o.mode;
    }
};

// Every entry below root by relative path (folders with empty bytes).
std::map<std::string, CNode> Snapshot(const std::string& root) {
    std::map<std::string, CNode> tree;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        CNode& n = tree[fs::relative(e.path(), root).string()];
        n.mode = st.st_mode, n.ino = st.st_ino;
        if (!S_ISREG(st.st_mode))
            continue;
        n.bytes = ReadFileBytes(e.path());
        char value[64];
        const ssize_t got = ::getxattr(e.path().c_str(), "user.t", value, sizeof value);
        n.attr = got > 0 ? std::string(value, static_cast<size_t>(got)) : "";
    }
    return tree;
}

int g_linkCalls = 0;
// A journal on another file system: a plain link (the keeping one) fails.
int LinkAcrossDevices(int from, const char* a, int to, const char* b, int flags) {
    if (flags == 0) {
        ++g_linkCalls;
        errno = EXDEV;
        return -1;
    }
    return RealSysCalls().linkat(from, a, to, b, flags);
}

// The process dies, as by kill -9, at the given call that changes the disk
// (calls come from more than one thread).
std::atomic<long> g_killAt = -1, g_calls = 0;
void Step() {
    if (++g_calls == g_killAt)
        ::kill(::getpid(), SIGKILL);
}
ssize_t KWrite(int fd, const void* b, size_t n) {
    Step();
    return RealSysCalls().write(fd, b, n);
}
int KRename(int a, const char* x, int b, const char* y, unsigned f) {
    Step();
    return RealSysCalls().renameat2(a, x, b, y, f);
}
int KLink(int a, const char* x, int b, const char* y, int f) {
    Step();
    return RealSysCalls().linkat(a, x, b, y, f);
}
int KUnlink(int a, const char* x, int f) {
    Step();
    return RealSysCalls().unlinkat(a, x, f);
}
int KLinkAcross(int a, const char* x, int b, const char* y, int f) {
    Step();
    return LinkAcrossDevices(a, x, b, y, f);
}

// Runs body in a child process that dies at the at-th call that changes the
// disk; 137 when it was killed, else its exit status.
int KilledAt(long at, bool copies, const std::function<void()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        Sys().write = KWrite, Sys().renameat2 = KRename, Sys().unlinkat = KUnlink;
        Sys().linkat = copies ? KLinkAcross : KLink;
        g_killAt = at;
        body();
        ::_exit(g_calls < at ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL ? 137 : WEXITSTATUS(status);
}

class CUndoTest : public CRunTest {
  protected:
    void SetUp() override {
        CRunTest::SetUp();
        m_job.journalRoot = m_dir / "data/Vexa/journal";
        m_job.extensions = {"*"};
        // A chain: a/b becomes a/c before a becomes b.
        m_job.renameRules = {{"a", "b"}, {"b", "c"}};
        MakeTree(m_root, {{"a/b/x1.txt", "x one"},
                          {"a/u16.txt", std::string("\xFF\xFEx\0y\0", 6)},
                          {"d/be.txt", std::string("\xFE\xFF\0x", 4)},
                          {"d/bom.txt", "\xEF\xBB\xBFx"},
                          {"keep.txt", "none here"},
                          {"top.txt", "x at the top"}});
        ::chmod(P("top.txt").c_str(), 0640);
        ::setxattr(P("a/u16.txt").c_str(), "user.t", "v", 1, 0);
    }
    fs::path JournalFolder() const {
        return fs::path(m_job.journalRoot) / CJournalStore::KeyOf(fs::canonical(m_root));
    }
    // The temporary files of replaces and restores left anywhere in the tree.
    std::vector<std::string> TempFiles() const {
        std::vector<std::string> found;
        for (const auto& e : fs::recursive_directory_iterator(m_root)) {
            if (e.path().filename().string().starts_with(".vexa~"))
                found.push_back(e.path());
        }
        return found;
    }
    const CRunResult& Undo(bool dryRun = false) {
        m_job.undo = true;
        const CRunResult& r = Run(dryRun);
        m_job.undo = false;
        return r;
    }
    // The tree as it was made, from a copy (which keeps no modes or attributes).
    void Restore(const std::string& pristine) {
        fs::remove_all(m_root);
        fs::copy(pristine, m_root, fs::copy_options::recursive);
        ::chmod(P("top.txt").c_str(), 0640);
        ::setxattr(P("a/u16.txt").c_str(), "user.t", "v", 1, 0);
    }
    void RunKilledAtEveryStep(bool streamed, const std::map<std::string, CNode>& before,
                              const std::string& pristine);
};

TEST_F(CUndoTest, UndoPutsBackBytesModeAttributesInodesAndNamesNewestChangeFirst) {
    // Kept as links, as copies, and as links with the files streamed in
    // pieces on two threads.
    for (int mode : {0, 1, 2}) {
        const bool copies = mode == 1;
        SCOPED_TRACE(mode);
        CSysCallsOverride seam;
        if (copies)
            Sys().linkat = LinkAcrossDevices;
        m_job.streamFromBytes = mode == 2 ? 2 : std::uint64_t{64} << 20;
        m_job.jobs = mode == 2 ? 2 : 1;
        const auto before = Snapshot(m_root);
        Run();
        EXPECT_EQ(Bytes("b/c/x1.txt"), "xy one");
        ASSERT_NE(Snapshot(m_root), before);
        Undo(true);
        EXPECT_THAT(SortedEvents(),
                    ElementsAre("renamed a/c -> a/b", "renamed b -> a", "rewritten a/b/x1.txt",
                                "rewritten a/u16.txt", "rewritten d/be.txt", "rewritten d/bom.txt",
                                "rewritten top.txt"));
        EXPECT_EQ(Bytes("b/c/x1.txt"), "xy one");  // the dry run changed nothing
        Undo();
        EXPECT_FALSE(m_worker.m_result.HasProblems()) << ::testing::PrintToString(Events());
        const auto after = Snapshot(m_root);
        EXPECT_EQ(after, before);
        // Kept as links, the originals themselves are back (copies: their content).
        for (const auto& [path, node] : before)
            EXPECT_TRUE(copies || after.at(path).ino == node.ino) << path;
        // Undone once: a second undo finds nothing to undo.
        EXPECT_THAT(Undo().refusal, HasSubstr("没有可撤销的执行记录"));
    }
}

TEST_F(CUndoTest, ChangesMadeAfterTheRunAreLeftAloneAndListed) {
    Run();
    WriteFileBytes(P("d/bom.txt"), "edited later");
    ::rename(P("b/c").c_str(), P("b/elsewhere").c_str());
    Undo();
    EXPECT_EQ(Bytes("d/bom.txt"), "edited later");
    EXPECT_EQ(Bytes("a/elsewhere/x1.txt"), "xy one");
    EXPECT_THAT(SortedEvents(), ElementsAre("not renamed a/c -> a/b: "
                                            "文件夹在上次执行后已被改动或原名称已被占用，未恢复",
                                            "renamed b -> a", "rewritten a/u16.txt",
                                            "rewritten d/be.txt", "rewritten top.txt",
                                            "skipped a/b/x1.txt: 文件在上次执行后已被改动，未恢复",
                                            "skipped d/bom.txt: 文件在上次执行后已被改动，未恢复"));
    EXPECT_TRUE(m_worker.m_result.HasProblems());
}

TEST_F(CUndoTest, CopiesStayWithinTheLimitOtherFoldersGoingFirst) {
    CSysCallsOverride seam;
    Sys().linkat = LinkAcrossDevices;
    const std::string other = m_dir / "other";
    MakeTree(other, {{"big.txt", std::string(20, 'x')}});
    CJob first = m_job;
    m_job.folder = other + "/";
    Run();
    ASSERT_EQ(ReadFileBytes(other + "/big.txt").size(), 40u);
    m_job = first;
    // The other journal's 20 bytes must go for the 19 of the small files;
    // the 40 of the top file alone pass the limit.
    m_job.journalCopyLimit = 30;
    WriteFileBytes(P("top.txt"), std::string(40, 'x'));
    Run();
    EXPECT_THAT(Events(), ::testing::Contains(
                              "skipped top.txt: "
                              "撤销日志的副本将超过 2 GiB 上限，无法保留原文件以便撤销，未改写"));
    CJournalStore store;
    ASSERT_TRUE(store.Open(m_job.journalRoot, false).Ok());
    ASSERT_EQ(store.List().size(), 1u);
    EXPECT_EQ(store.List()[0].folder, fs::canonical(m_root).string());
}

TEST_F(CUndoTest, AProcessKilledAtAnyStepIsUndoneToTheOriginalTree) {
    const auto before = Snapshot(m_root);
    const std::string pristine = m_dir / "pristine";
    fs::copy(m_root, pristine, fs::copy_options::recursive);
    // Whole files, then files streamed in pieces.
    for (bool streamed : {false, true})
        RunKilledAtEveryStep(streamed, before, pristine);
}

void CUndoTest::RunKilledAtEveryStep(bool streamed, const std::map<std::string, CNode>& before,
                                     const std::string& pristine) {
    SCOPED_TRACE(streamed ? "streamed" : "whole");
    m_job.streamFromBytes = streamed ? 2 : std::uint64_t{64} << 20;
    m_job.jobs = 1;  // the same steps in the same order each time
    auto runKilledAt = [&](long at) { return KilledAt(at, false, [&] { Run(); }); };
    ASSERT_EQ(runKilledAt(1000000), 0);  // runs to the end
    Undo();
    for (long at = 1;; ++at) {
        SCOPED_TRACE(at);
        const int died = runKilledAt(at);
        if (died != 137) {
            Undo();  // the run went to its end: back to the original for what follows
            break;
        }
        // The log holds whole records only, every one of them good.
        CJournalContents log;
        std::string bytes = ReadFileBytes(fs::path(m_job.journalRoot) /
                                          CJournalStore::KeyOf(fs::canonical(m_root)) / "log");
        if (!bytes.empty()) {
            EXPECT_TRUE(DecodeJournal(bytes, log) && !log.torn && !log.finished);
        }
        const CRunResult& undone = Undo();
        EXPECT_TRUE(undone.refusal.empty() ||
                    undone.refusal.find("没有可撤销") != std::string::npos);
        EXPECT_FALSE(undone.HasProblems() && undone.refusal.empty())
            << ::testing::PrintToString(Events());
        EXPECT_TRUE(Snapshot(m_root) == before);
        if (HasFailure())
            break;
        Restore(pristine);
    }
}

// Copies on another file system: an undo killed at any step leaves no
// temporary file for good, and the next undo finishes the work and clears
// the journal (files put back already count as unchanged).
TEST_F(CUndoTest, ACopyModeUndoKilledAtAnyStepIsFinishedByTheNextOne) {
    const auto before = Snapshot(m_root);
    const std::string pristine = m_dir / "pristine";
    fs::copy(m_root, pristine, fs::copy_options::recursive);
    CSysCallsOverride seam;
    Sys().linkat = LinkAcrossDevices;
    m_job.jobs = 1;
    for (long at = 1;; ++at) {
        SCOPED_TRACE(at);
        Run();
        const int died = KilledAt(at, true, [&] { Undo(); });
        const CRunResult& undone = Undo();
        if (died != 137) {
            EXPECT_THAT(undone.refusal, HasSubstr("没有可撤销"));
            break;
        }
        // Killed while it cleared the journal, the first undo had done it all.
        EXPECT_TRUE(
            (undone.refusal.empty() || undone.refusal.find("没有可撤销") != std::string::npos) &&
            !undone.HasProblems() == undone.refusal.empty())
            << undone.refusal << ::testing::PrintToString(Events());
        EXPECT_TRUE(Snapshot(m_root) == before);
        EXPECT_THAT(TempFiles(), ::testing::IsEmpty());
        EXPECT_FALSE(fs::exists(JournalFolder() / "log"));
        if (HasFailure())
            break;
        Restore(pristine);
    }
}

TEST_F(CUndoTest, TamperedCopiesAndDamagedJournalsAreNeverActedOn) {
    CSysCallsOverride seam;
    Sys().linkat = LinkAcrossDevices;
    m_job.renameRules.clear();
    Run();
    // Other bytes of the same size in place of the top file's copy, and a
    // mode set after the run.
    for (const auto& e : fs::directory_iterator(JournalFolder() / "copy")) {
        if (ReadFileBytes(e.path()) == "x at the top")
            WriteFileBytes(e.path(), "z at the top");
    }
    ::chmod(P("d/be.txt").c_str(), 0600);
    const auto tampered = HasSubstr("skipped top.txt: 撤销日志中的原文件已被改动");
    Undo();
    EXPECT_THAT(Events(), ::testing::Contains(tampered));
    EXPECT_THAT(Events(), ::testing::Contains("rewritten d/be.txt: "
                                              "文件的权限在上次执行后被改过，保留了现在的权限"));
    // The files put back count as unchanged when the undo is repeated.
    Undo();
    EXPECT_THAT(Events(), ElementsAre(tampered));
    EXPECT_EQ(Bytes("top.txt"), "xy at the top");
    EXPECT_EQ(Bytes("d/be.txt"), std::string("\xFE\xFF\0x", 4));
    struct stat st {};
    ::stat(P("d/be.txt").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // One flipped byte in a record: undo does nothing and says where; a new
    // run would replace the journal, so it is refused as well.
    const fs::path log = JournalFolder() / "log";
    std::string bytes = ReadFileBytes(log);
    bytes[bytes.find("\nF") + 5] ^= 1;
    WriteFileBytes(log, bytes);
    const std::string damage = "撤销日志已损坏（第 2 行）：" + JournalFolder().string();
    EXPECT_EQ(Undo().failure, damage);
    EXPECT_TRUE(m_worker.m_result.HasProblems());
    EXPECT_THAT(Run().refusal, HasSubstr(damage));
    EXPECT_EQ(ReadFileBytes(log), bytes);
    EXPECT_FALSE(LastRunInterrupted(m_job.journalRoot, m_root));
}

// A run killed after keeping an original it never replaced leaves a second
// link to a file of the tree; the next run must not take it for a file with
// two names.
TEST_F(CUndoTest, ANewRunAfterAKilledOneSeesNoLinksTheDeadRunKept) {
    m_job.renameRules.clear();
    Run();
    const fs::path log = JournalFolder() / "log";
    std::string bytes = ReadFileBytes(log);
    WriteFileBytes(log, bytes.substr(0, bytes.rfind("E\t")));  // killed before its end
    ASSERT_EQ(::link(P("keep.txt").c_str(), (JournalFolder() / "link/99").c_str()), 0);
    CFileLock running;
    CDir journal;
    ASSERT_TRUE(CDir::OpenPath(JournalFolder(), journal).Ok());
    ASSERT_TRUE(running.Lock(journal, "lock", false).Ok());
    EXPECT_FALSE(LastRunInterrupted(m_job.journalRoot, m_root));  // running, not interrupted
    running.Unlock();
    EXPECT_TRUE(LastRunInterrupted(m_job.journalRoot, m_root));
    m_job.rules = {{"none", "some"}};
    Run();
    EXPECT_THAT(Events(), ElementsAre("rewritten keep.txt"));
    EXPECT_EQ(Bytes("keep.txt"), "some here");
}

TEST_F(CUndoTest, ANameMappedToItselfIsNoChangeToMakeOrUndo) {
    m_job.renameRules = {{"a", "a"}, {"d", "e"}};
    EXPECT_FALSE(Run().HasProblems());
    EXPECT_TRUE(fs::is_directory(P("a")) && fs::is_directory(P("e")));
    EXPECT_FALSE(Undo().HasProblems()) << ::testing::PrintToString(Events());
    EXPECT_TRUE(fs::is_directory(P("d")));
}

TEST(JournalFormat, ATornLogReadsAsItsWholeRecordsOnly) {
    CJournalEntry file;
    file.seq = 1;
    file.path = "dir\twith tab/%name\n";
    file.tempName = ".vexa~abcdef.tmp";
    file.newHash = 0xfedcba9876543210u;
    file.original.mtimeNs = -5;
    CJournalEntry folder;
    folder.kind = JournalRecord::Folder;
    folder.seq = 2;
    folder.oldName = "旧";
    folder.newName = "new";
    const std::string head = EncodeHeader({"/x y", {1, 2}, 3, "-s"});
    const std::string log = head + EncodeEntry(file) + EncodeEntry(folder);
    for (size_t cut = head.size(); cut <= log.size(); ++cut) {
        CJournalContents c;
        ASSERT_TRUE(DecodeJournal(log.substr(0, cut), c));
        const size_t whole = cut >= log.size()                                ? 2
                             : cut >= log.size() - EncodeEntry(folder).size() ? 1
                                                                              : 0;
        ASSERT_EQ(c.entries.size(), whole) << cut;
        EXPECT_EQ(c.torn, cut != log.size() && cut != head.size() + EncodeEntry(file).size() &&
                              cut != head.size());
    }
    CJournalContents c;
    ASSERT_TRUE(DecodeJournal(log, c));
    EXPECT_EQ(c.header.folder, "/x y");
    EXPECT_EQ(c.entries[0].path, file.path);
    EXPECT_EQ(c.entries[0].newHash, file.newHash);
    EXPECT_EQ(c.entries[0].original.mtimeNs, -5);
    EXPECT_EQ(c.entries[1].oldName, "旧");
}

// Only a last line without its line end is torn; any other line that fails
// its hash or names what a run never makes is damage, reported by number.
TEST(JournalFormat, DamagedOrForgedLinesAreReportedNotSkipped) {
    const std::string head = EncodeHeader({"/x", {1, 2}, 3, "-s"});
    const auto entry = [](JournalRecord kind, std::string path, std::string a, std::string b) {
        CJournalEntry e;
        e.kind = kind;
        e.path = std::move(path);
        (kind == JournalRecord::File ? e.tempName : e.oldName) = std::move(a);
        e.newName = std::move(b);
        return EncodeEntry(e);
    };
    const std::string good = entry(JournalRecord::File, "a/x.txt", ".vexa~abcdef.tmp", "");
    const std::string end = entry(JournalRecord::End, "", "", "");
    std::string flipped = head + good + end;
    flipped[head.size() + 3] ^= 1;
    const std::pair<std::string, size_t> cases[] = {
        {head + good + end, 0},
        {flipped, 2},
        {"V1\tbroken\n" + good, 1},
        {head + good + end + good, 4},  // nothing follows the end
        {head + good + entry(JournalRecord::File, "a/../../x", "", ""), 3},
        {head + good + entry(JournalRecord::File, "/etc/x", "", ""), 3},
        {head + entry(JournalRecord::File, "a/x", "../x.tmp", ""), 2},
        {head + entry(JournalRecord::Folder, "a/", "..", "b"), 2},
        {head + entry(JournalRecord::Folder, "", "a", "../escaped"), 2},
        {head + entry(JournalRecord::Folder, "a//", "a", "b"), 2},
        {head + entry(JournalRecord::Folder, "/", "a", "b"), 2},  // found by fuzzing
        {head + entry(JournalRecord::Folder, "a/", "x", "y"), 0},
    };
    for (const auto& [log, damaged] : cases) {
        SCOPED_TRACE(log);
        CJournalContents c;
        ASSERT_TRUE(DecodeJournal(log, c));
        EXPECT_EQ(c.damagedLine, damaged);
        EXPECT_FALSE(c.torn);
    }
}

TEST_F(CUndoTest, ABusyFolderInsideOrAboveRefusesAndTheJournalIsNeverWalked) {
    CJournalStore store;
    ASSERT_TRUE(store.Open(m_job.journalRoot, true).Ok());
    CFileLock lock;
    CDir folder;
    std::string busy;
    ASSERT_TRUE(store.LockFolder(fs::canonical(P("d")), lock, folder, busy).Ok());
    EXPECT_THAT(Run().refusal, HasSubstr(fs::canonical(P("d")).string() + " 正在被另一次执行"));
    EXPECT_EQ(Bytes("top.txt"), "x at the top");
    EXPECT_TRUE(Run(true).refusal.empty());  // a dry run takes no lock
    lock.Unlock();
    // Journals inside the chosen folder: never selected, entered or renamed.
    m_job.journalRoot = P("d/j");
    m_job.renameRules.clear();
    Run();
    Run();
    for (const std::string& line : Events())
        EXPECT_THAT(line, ::testing::Not(HasSubstr("d/j/")));
}

}  // namespace
