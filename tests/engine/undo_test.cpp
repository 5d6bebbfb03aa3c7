// Undo of a run through its journal: what comes back, what is left alone,
// how damage is reported, and how folders busy with another run are refused.
#include <gmock/gmock.h>

#include <filesystem>

#include "engine/journal/journal_format.h"
#include "undo_fixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

TEST_F(CUndoTest, UndoPutsBackBytesModeAttributesInodesAndNamesNewestChangeFirst) {
    // Kept as links, as copies, and as links with the files streamed in
    // pieces on two threads.
    for (int mode : {0, 1, 2}) {
        const bool copies = mode == 1;
        SCOPED_TRACE(mode);
#ifdef _WIN32
        if (copies)
            continue;  // no second volume to be sure of: vexa-cli's checks keep copies there
#else
        CSysCallsOverride seam;
        if (copies)
            Sys().linkat = LinkAcrossDevices;
#endif
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
            EXPECT_TRUE(copies || after.at(path).id == node.id) << path;
        // Undone once: a second undo finds nothing to undo.
        EXPECT_THAT(Undo().refusal, HasSubstr("没有可撤销的执行记录"));
    }
}

TEST_F(CUndoTest, ChangesMadeAfterTheRunAreLeftAloneAndListed) {
    Run();
    WriteFileBytes(P("d/bom.txt"), "edited later");
    std::filesystem::rename(NativePath(P("b/c")), NativePath(P("b/elsewhere")));
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

// A run killed after keeping an original it never replaced leaves a second
// link to a file of the tree; the next run must not take it for a file with
// two names.
TEST_F(CUndoTest, ANewRunAfterAKilledOneSeesNoLinksTheDeadRunKept) {
    m_job.renameRules.clear();
    Run();
    const std::string log = JournalFolderText() + "/log";
    std::string bytes = ReadFileBytes(log);
    WriteFileBytes(log, bytes.substr(0, bytes.rfind("E\t")));  // killed before its end
    fs::create_hard_link(NativePath(P("keep.txt")), NativePath(JournalFolderText() + "/link/99"));
    CFileLock running;
    CDir journal;
    ASSERT_TRUE(CDir::OpenPath(JournalFolderText(), journal).Ok());
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
    EXPECT_TRUE(fs::is_directory(NativePath(P("a"))) && fs::is_directory(NativePath(P("e"))));
    EXPECT_FALSE(Undo().HasProblems()) << ::testing::PrintToString(Events());
    EXPECT_TRUE(fs::is_directory(NativePath(P("d"))));
}

TEST(JournalFormat, ATornLogReadsAsItsWholeRecordsOnly) {
    CJournalEntry file;
    file.seq = 1;
#ifdef _WIN32
    file.path = "dir with space/%name";  // Windows names hold no control characters
#else
    file.path = "dir\twith tab/%name\n";
#endif
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
    const std::string inside = RealPathOf(P("d"));
    ASSERT_TRUE(store.LockFolder(inside, lock, folder, busy).Ok());
    EXPECT_THAT(Run().refusal, HasSubstr(inside + " 正在被另一次执行"));
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
