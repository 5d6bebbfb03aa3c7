// What only a POSIX seam can show of the undo journal: copies on another
// file system (the keeping link fails), and a process killed, as by kill -9,
// at every step that changes the disk.
#include <gmock/gmock.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <functional>

#include "engine/journal/journal_format.h"
#include "undo_fixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

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

class CUndoKillTest : public CUndoTest {
  protected:
    void RunKilledAtEveryStep(bool streamed, const std::map<std::string, CNode>& before,
                              const std::string& pristine);
};

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

TEST_F(CUndoKillTest, AProcessKilledAtAnyStepIsUndoneToTheOriginalTree) {
    const auto before = Snapshot(m_root);
    const std::string pristine = m_dir / "pristine";
    fs::copy(m_root, pristine, fs::copy_options::recursive);
    // Whole files, then files streamed in pieces.
    for (bool streamed : {false, true})
        RunKilledAtEveryStep(streamed, before, pristine);
}

void CUndoKillTest::RunKilledAtEveryStep(bool streamed, const std::map<std::string, CNode>& before,
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
TEST_F(CUndoKillTest, ACopyModeUndoKilledAtAnyStepIsFinishedByTheNextOne) {
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

}  // namespace
