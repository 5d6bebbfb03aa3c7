// The Start/Stop and Preview commands, and what the dialog shows of a job
// the run controller starts and ends: the results window and its undo.

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "app/run_controller.h"
#include "engine/run/run_state.h"
#include "ui/replace_dlg.h"
#include "ui/results_window.h"

void CReplaceDlg::OnStartStop() {
    if (m_pController->IsRunning())
        m_pController->Stop();
    else
        m_pController->Start(RunKind::Run);
}

void CReplaceDlg::OnPreview() {
    if (!m_pController->IsRunning())
        m_pController->Start(RunKind::Preview);
}

CRunObserver* CReplaceDlg::Observer() {
    m_runEvents.Take();  // nothing left from an earlier run
    return &m_runEvents;
}

void CReplaceDlg::OnRunStarted(RunKind kind, const CJob& job) {
    m_bHadJob = true;
    m_undoFolder.clear();
    Results().Begin(kind, job);
    m_form.results->setEnabled(true);
}

void CReplaceDlg::OnRunProgress(RunKind) {
    Results().Feed(m_runEvents.Take());
}

// The results window by itself after a preview and after a run or undo
// that skipped a file or failed to write or rename something (such a run
// must not end looking like a clean success). A stopped run opens nothing by
// itself: its counts line says it was stopped.
void CReplaceDlg::OnRunEnded(const CRunEnd& end) {
    const CRunResult& result = end.result;
    Results().Finish(QString::fromUtf8(result.refusal.empty() ? end.countsLine : result.refusal));
    Results().Feed(m_runEvents.Take());
    if (!result.refusal.empty())
        return;
    // A real run that changed something wrote this run's journal (one that
    // changed nothing left the previous run's in place): it can be undone.
    const bool changed =
        result.Count(RunEventKind::Rewritten) + result.Count(RunEventKind::Renamed) > 0;
    if (end.kind == RunKind::Run && changed && end.job.keepJournal &&
        !end.job.journalRoot.empty()) {
        m_undoFolder = end.job.folder;
        Results().SetUndoOffered(true);
    }
    const bool preview = end.kind == RunKind::Preview;
    if (!result.stopped && !end.closing && (preview || result.HasProblems()))
        Results().ShowOnTop();
}

void CReplaceDlg::CloseWindow() {
    close();  // idle now: closes as it does when no run is in hand
}

void CReplaceDlg::OnResults() {
    if (!m_bHadJob)
        ShowLastRunFromJournal();
    else if (m_pResults)
        m_pResults->ShowOnTop();
}

CResultsWindow& CReplaceDlg::Results() {
    if (!m_pResults) {
        m_pResults = new CResultsWindow(this);
        connect(m_pResults, &CResultsWindow::openRequested, this, &CReplaceDlg::OpenTarget);
        connect(m_pResults, &CResultsWindow::undoRequested, this, &CReplaceDlg::OnUndo);
        connect(m_pResults, &CResultsWindow::warningRequested, this,
                [this](const QString& text) { Warn(text.toStdString()); });
    }
    return *m_pResults;
}

// A close request (close box, or Alt+F4 turned into one by the window
// manager) during a run asks first; Yes stops the run and the window closes
// once the worker has finished the file in hand, staying responsive
// meanwhile. While idle it closes as ever.
void CReplaceDlg::closeEvent(QCloseEvent* event) {
    if (!m_bInitialised || !m_pController || m_pController->RequestClose())
        QDialog::closeEvent(event);
    else
        event->ignore();
}
