// The Start/Stop and Preview commands, and what the dialog shows of a job
// the run controller starts and ends: the results window and its undo, and
// 结果 before any run of this session, which shows the folder's last run
// from its journal.

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_session.h"
#include "app/journals.h"
#include "app/run_controller.h"
#include "engine/run/run_state.h"
#include "service/core.h"
#include "ui/replace_dlg.h"
#include "ui/results_window.h"
#include "ui/working_text.h"

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
    Results().SetRunOffered(preview && !result.stopped);
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
        connect(m_pResults, &CResultsWindow::runRequested, this,
                [this](const CPreviewedRun& run) { m_pController->StartPreviewed(run); });
        connect(m_pResults, &CResultsWindow::warningRequested, this, [this](const QString& text) {
            m_pSession->Core().msgboxWarning(static_cast<QWidget*>(m_pResults), text.toStdString());
        });
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

void CReplaceDlg::OnUndo() {
    if (!m_pController->IsRunning() && !m_undoFolder.empty())
        m_pController->StartUndo(m_undoFolder);
}

std::string CReplaceDlg::FolderOfEdit() const {
    // Spelt as the run spells it.
    return m_pSession->Core().parsePath(ToWorking(m_form.path->text()));
}

void CReplaceDlg::RefreshResultsButton() {
    if (!m_bHadJob && m_pSession)
        m_form.results->setEnabled(HasJournalOfLastRun(FolderOfEdit()));
}

// The list is what the journal says the run changed, and the undo offered
// is of that run.
void CReplaceDlg::ShowLastRunFromJournal() {
    const std::string folder = FolderOfEdit();
    CLastRunShown shown;
    if (!ReadLastRunShown(folder, shown)) {
        m_form.results->setEnabled(false);  // gone since it was looked for
        return;
    }
    CJob job;
    job.folder = folder;
    Results().Begin(RunKind::Run, job);
    Results().Feed(shown.events);
    Results().Finish(QString::fromUtf8(shown.countsLine));
    m_undoFolder = folder;
    Results().SetUndoOffered(true);
    Results().ShowOnTop();
}
