// Execute: the walker, the rewriter and the renamer put together for one
// run on the calling thread.

#include "engine/run/execute.h"

#include <memory>

#include "engine/journal/journal_hooks.h"
#include "engine/journal/run_session.h"
#include "engine/journal/undo_run.h"
#include "engine/report/run_summary.h"
#include "engine/rewrite/file_rewriter.h"
#include "engine/run/file_pool.h"
#include "engine/walk/folder_renamer.h"
#include "engine/walk/folder_walker.h"
#include "platform/message_catalog.h"
#include "platform/paths.h"

namespace {

// The renamer of a run; with a journal, every rename is recorded before it is made.
class CRunRenamer {
  public:
    CRunRenamer(const CJob& job, CRunJournal* journal) {
        if (job.dryRun) {
            m_inner = std::make_unique<CSimulatedRenamer>();
            return;
        }
        m_inner = std::make_unique<CRealRenamer>();
        if (journal)
            m_journaled = std::make_unique<CJournalRenamer>(*journal, *m_inner, job.folder);
    }
    CFolderRenamer& Get() { return m_journaled ? *m_journaled : *m_inner; }

  private:
    std::unique_ptr<CFolderRenamer> m_inner;
    std::unique_ptr<CFolderRenamer> m_journaled;
};

// One run: what Execute does, with the state it keeps while it goes.
class CJobRun {
  public:
    CJobRun(const CJob& job, const std::atomic<bool>* stop, CRunObserver* observer)
        : m_job(job), m_pStopWord(stop), m_pObserver(observer) {
        if (!m_job.folder.empty() && kPathSeparators.find(m_job.folder.back()) == std::string::npos)
            m_job.folder += kPathSeparator;
    }

    CRunResult Run() {
        CRunSession session;
        if (session.Begin(m_job, m_result)) {
            if (m_job.undo) {
                UndoLastRun(session);
            } else {
                m_pJournal = session.Journal();
                Walk();
                m_pJournal = nullptr;
            }
            session.End();
        }
        return std::move(m_result);
    }

  private:
    void UndoLastRun(CRunSession& session);
    // The walk runs on this thread and owns the renames; the files it selects
    // go to a pool of workers, whose outcomes come back here in walk order.
    void Walk();
    // One selected file, on the walk's thread: counted and announced.
    void Announce();
    // Every event passes here: counted, kept if a problem, given to the observer.
    void Record(CRunEvent event);
    // What became of a file, in walk order.
    void RecordFile(const std::string& displayPath, const CFileResult& r);
    void ConfigureRewriter(CFileRewriter& rewriter);
    bool WantsChanges() const { return m_pObserver && m_pObserver->WantsChanges(); }

    CJob m_job;  // the run's own copy, its folder ending in a separator
    const std::atomic<bool>* m_pStopWord;
    CRunObserver* m_pObserver;
    CRunResult m_result;
    CRunJournal* m_pJournal = nullptr;  // the run's journal while it walks
    std::string m_sHandedPath;          // the file handed to the rewriter last
};

void CJobRun::UndoLastRun(CRunSession& session) {
    const std::string folder = PathForDisplay(m_job.folder);
    if (!session.HasPrevious()) {
        m_result.refusal = FillMessage(N_("文件夹 {} 没有可撤销的执行记录。"), {folder});
        return;
    }
    // Damage is not acted on, and the journal stays for the person to look at.
    if (session.Previous().damagedLine != 0) {
        m_result.failure = session.DamageText();
        return;
    }
    CUndoRun undo(m_job.folder, session.Folder(), session.Previous(), m_job.dryRun, m_result);
    undo.m_onEvent = [this](CRunEvent event) { Record(std::move(event)); };
    int handled = 0;  // an undo selects no file: the count is only for progress
    const bool ran = undo.Run(m_pStopWord, [this, &handled] {
        if (m_pObserver)
            m_pObserver->OnFileSelected(++handled);
    });
    if (!ran) {
        m_result.refusal =
            FillMessage(N_("文件夹 {} 已不是上次执行时的那个文件夹，不撤销。"), {folder});
        return;
    }
    // Undone completely: nothing is left to undo a second time.
    if (!m_job.dryRun && !m_result.stopped && !m_result.HasProblems())
        CJournalStore::ClearJournal(session.Folder());
}

void CJobRun::Announce() {
    ++m_result.selected;
    if (m_pObserver)
        m_pObserver->OnFileSelected(m_result.selected);
}

void CJobRun::Record(CRunEvent event) {
    if (m_pObserver)
        m_pObserver->OnEvent(event);
    m_result.Record(std::move(event));
}

void CJobRun::RecordFile(const std::string& displayPath, const CFileResult& r) {
    switch (r.outcome) {
        case FileOutcome::Unchanged:
            ++m_result.unchanged;
            return;
        case FileOutcome::Rewritten:
            Record({RunEventKind::Rewritten, displayPath, "", "", r.replacements});
            return;
        case FileOutcome::Skipped:
        case FileOutcome::WriteFailed:
            break;
    }
    const RunEventKind kind = r.reason == Reason::Binary          ? RunEventKind::Binary
                              : r.outcome == FileOutcome::Skipped ? RunEventKind::Skipped
                                                                  : RunEventKind::WriteFailed;
    Record({kind, displayPath, "", ReasonText(r.reason, r.osError)});
}

void CJobRun::ConfigureRewriter(CFileRewriter& rewriter) {
    rewriter.m_pJournal = m_pJournal;
    // The change goes with the file that was handed out last: a run whose
    // observer wants changes rewrites on its own thread, one file after the other.
    if (WantsChanges()) {
        rewriter.m_changeHook = [this](std::string_view oldText, std::string_view newText) {
            m_pObserver->OnChange(m_sHandedPath, oldText, newText);
        };
    }
}

void CJobRun::Walk() {
    CRunRenamer renamer(m_job, m_pJournal);
    CFilePool pool(
        m_job, WantsChanges() ? 1 : WorkerCount(m_job.jobs),
        [this](CFileRewriter& r) { ConfigureRewriter(r); },
        [this](const std::string& path, const CFileResult& r) { RecordFile(path, r); },
        [this](CRunEvent event) { Record(std::move(event)); });
    CRenamerAfterFiles afterFiles(renamer.Get(), pool);
    CFolderWalker walker(m_job, afterFiles, m_result, m_pStopWord,
                         [&pool](CRunEvent event) { pool.Event(std::move(event)); });
    if (m_pObserver)
        walker.m_entryHook = [this](const std::string& path) { m_pObserver->OnEntry(path); };
    walker.WalkFolder(m_job.folder, [&](const std::shared_ptr<const CDir>& dir,
                                        const CDirEntry& entry, const std::string& displayPath) {
        Announce();
        m_sHandedPath = displayPath;
        pool.Submit(dir, entry, displayPath);
    });
    pool.Finish();
}

}  // namespace

CRunResult Execute(const CJob& job, const std::atomic<bool>* stop, CRunObserver* observer) {
    return CJobRun(job, stop, observer).Run();
}
