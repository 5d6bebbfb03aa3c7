#include "app/results_flow.h"

#include "app/app_texts.h"
#include "app/journals.h"
#include "engine/run/job.h"

CRunObserver* CResultsFlow::Observer() {
    m_events.Take();  // nothing left from an earlier job
    return &m_events;
}

void CResultsFlow::OnRunStarted(RunKind kind, const CJob& job) {
    m_bHadJob = true;
    m_undoFolder.clear();
    m_view.Begin(kind, job);
}

void CResultsFlow::OnRunProgress() {
    m_view.Feed(m_events.Take());
}

// A stopped job opens nothing by itself: its counts line says it was stopped.
void CResultsFlow::OnRunEnded(const CRunEnd& end) {
    const CRunResult& result = end.result;
    m_view.Feed(m_events.Take());
    m_view.Finish(result.refusal.empty() ? end.countsLine : result.refusal);
    if (!result.refusal.empty())
        return;
    // A real run that changed something wrote this run's journal (one that
    // changed nothing left the previous run's in place): it can be undone.
    const bool changed =
        result.Count(RunEventKind::Rewritten) + result.Count(RunEventKind::Renamed) > 0;
    if (end.kind == RunKind::Run && changed && end.job.keepJournal &&
        !end.job.journalRoot.empty()) {
        m_undoFolder = end.job.folder;
        m_view.SetUndoOffered(true);
    }
    const bool preview = end.kind == RunKind::Preview;
    m_view.SetRunOffered(preview && !result.stopped && !end.closing);
    if (!result.stopped && !end.closing && (preview || result.HasProblems()))
        m_view.ShowOnTop();
}

bool CResultsFlow::HasResults(const std::string& folder) const {
    return m_bHadJob || HasJournalOfLastRun(folder);
}

// From the journal, the list is what it says the run changed, and the undo
// offered is of that run.
bool CResultsFlow::ShowResults(const std::string& folder) {
    if (m_bHadJob) {
        m_view.ShowOnTop();
        return true;
    }
    CLastRunShown shown;
    if (!ReadLastRunShown(folder, shown))
        return false;
    CJob job;
    job.folder = folder;
    m_view.Begin(RunKind::Run, job);
    m_view.Feed(shown.events);
    m_view.Finish(shown.countsLine);
    m_undoFolder = folder;
    m_view.SetUndoOffered(true);
    m_view.ShowOnTop();
    return true;
}
