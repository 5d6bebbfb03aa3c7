// RunJob and the steps it is made of: the walker, the rewriter and the
// renamer put together for one run on the calling thread.

#include <memory>

#include "engine/journal/journal_hooks.h"
#include "engine/journal/run_session.h"
#include "engine/journal/undo_run.h"
#include "engine/report/run_summary.h"
#include "engine/rewrite/file_rewriter.h"
#include "engine/run/file_pool.h"
#include "engine/run/replace_thread.h"
#include "engine/walk/folder_renamer.h"
#include "engine/walk/folder_walker.h"
#include "platform/name_text.h"
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

std::unique_ptr<CFolderRenamer> MakeRenamer(const CJob& job) {
    if (job.dryRun)
        return std::make_unique<CSimulatedRenamer>();
    return std::make_unique<CRealRenamer>();
}

// The folder part of a path (ending in a separator) and the name after it.
void SplitPath(const std::string& path, std::string& folder, std::string& name) {
    const size_t slash = path.find_last_of(kPathSeparators);
    folder = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    name = slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void CReplaceThread::Reset() {
    m_fileCount = 0;
    m_result = CRunResult{};
}

int CReplaceThread::RunJob(JobParams* params) {
    m_hNotify = params ? params->notify : nullptr;
    m_pStopWord = params ? params->stopWord : nullptr;
    m_pObserver = params ? params->observer : nullptr;
    if (params)
        m_job = params->job;
    Reset();
    if (!m_job.folder.empty() && kPathSeparators.find(m_job.folder.back()) == std::string::npos)
        m_job.folder += kPathSeparator;
    CRunSession session;
    if (session.Begin(m_job, m_result)) {
        if (m_job.undo) {
            UndoLastRun(session);
        } else {
            m_pJournal = session.Journal();
            WalkFolder(m_job.folder);
            m_pJournal = nullptr;
        }
        session.End();
    }
    Post(WM_JOB_DONE, 0);
    return 1;
}

void CReplaceThread::UndoLastRun(CRunSession& session) {
    const std::string folder = PathForDisplay(m_job.folder);
    if (!session.HasPrevious()) {
        m_result.refusal = "文件夹 " + folder + " 没有可撤销的执行记录。";
        return;
    }
    // Damage is not acted on, and the journal stays for the person to look at.
    if (session.Previous().damagedLine != 0) {
        m_result.failure = session.DamageText();
        return;
    }
    CUndoRun undo(m_job.folder, session.Folder(), session.Previous(), m_job.dryRun, m_result);
    undo.m_onEvent = [this](CRunEvent event) { Record(std::move(event)); };
    const bool ran = undo.Run(m_pStopWord, [this] {
        ++m_fileCount;
        Post(WM_JOB_PROGRESS, m_fileCount);
    });
    if (!ran) {
        m_result.refusal = "文件夹 " + folder + " 已不是上次执行时的那个文件夹，不撤销。";
        return;
    }
    // Undone completely: nothing is left to undo a second time.
    if (!m_job.dryRun && !m_result.stopped && !m_result.HasProblems())
        CJournalStore::ClearJournal(session.Folder());
}

void CReplaceThread::Announce() {
    ++m_fileCount;
    m_result.selected = m_fileCount;
    Post(WM_JOB_PROGRESS, m_fileCount);
}

void CReplaceThread::Record(CRunEvent event) {
    if (m_pObserver)
        m_pObserver->OnEvent(event);
    m_result.Record(std::move(event));
}

void CReplaceThread::RecordFile(const std::string& displayPath, const CFileResult& r) {
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
    const RunEventKind kind =
        r.outcome == FileOutcome::Skipped ? RunEventKind::Skipped : RunEventKind::WriteFailed;
    Record({kind, displayPath, "", ReasonText(r.reason, r.osError)});
}

void CReplaceThread::ConfigureRewriter(CFileRewriter& rewriter) {
    rewriter.m_maxFileBytes = m_maxFileBytes;
    rewriter.m_streamFromBytes = m_streamFromBytes;
    rewriter.m_pJournal = m_pJournal;
    // The change goes with the file that was handed out last: a run whose
    // observer wants changes rewrites on its own thread, one file after the other.
    if (WantsChanges()) {
        rewriter.m_changeHook = [this](std::string_view oldText, std::string_view newText) {
            m_pObserver->OnChange(m_sHandedPath, oldText, newText);
        };
    }
}

// The walk runs on this thread and owns the renames; the files it selects
// go to a pool of workers, whose outcomes come back here in walk order.
void CReplaceThread::WalkFolder(const std::string& folderPath) {
    CRunRenamer renamer(m_job, m_pJournal);
    CFilePool pool(
        m_job, WantsChanges() ? 1 : WorkerCount(m_job.jobs),
        [this](CFileRewriter& r) { ConfigureRewriter(r); },
        [this](const std::string& path, const CFileResult& r) { RecordFile(path, r); },
        [this](CRunEvent event) { Record(std::move(event)); });
    CRenamerAfterFiles afterFiles(renamer.Get(), pool);
    CFolderWalker walker(m_job, afterFiles, m_result, m_pStopWord,
                         [&pool](CRunEvent event) { pool.Event(std::move(event)); });
    walker.m_entryHook = m_entryHook;
    walker.WalkPath(folderPath, [&](const std::shared_ptr<const CDir>& dir, const CDirEntry& entry,
                                    const std::string& displayPath) {
        Announce();
        m_sHandedPath = displayPath;
        pool.Submit(dir, entry, displayPath);
    });
    pool.Finish();
}

int CReplaceThread::MatchExtension(const std::string& fileName) {
    CRealRenamer renamer;
    return CFolderWalker(m_job, renamer, m_result, nullptr, {}).Selects(fileName) ? 1 : 0;
}

void CReplaceThread::RenameSubfolder(const std::string& parentPath, const std::string& folderName) {
    CDir parent;
    CPlatformName name;
    if (!CDir::OpenPath(parentPath, parent).Ok() || !PathTextToName(folderName, name))
        return;
    const std::unique_ptr<CFolderRenamer> renamer = MakeRenamer(m_job);
    CFolderWalker(m_job, *renamer, m_result, m_pStopWord, [this](CRunEvent event) {
        Record(std::move(event));
    }).RenameSubfolder(parent, parentPath, name);
}

void CReplaceThread::ProcessFile(const std::string& path) {
    std::string folder, name;
    SplitPath(path, folder, name);
    CDir dir;
    CDirEntry entry{{}, EntryType::File, {}};
    PathTextToName(name, entry.name);
    // Whatever cannot be looked at is read, so the read says why it failed.
    if (CDir::OpenPath(folder, dir).Ok() && !dir.Probe(entry.name, entry.type).Ok())
        entry.type = EntryType::File;
    CFileRewriter rewriter(m_job);
    ConfigureRewriter(rewriter);
    Announce();
    m_sHandedPath = path;
    RecordFile(path, rewriter.Rewrite(dir, entry));
}
