// The Start/Stop and Preview commands, and what the dialog shows of a job
// the run controller starts and ends: the results window and its undo, and
// 结果 before any run of this session, which shows the folder's last run
// from its journal.

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_session.h"
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
    return m_resultsFlow.Observer();
}

void CReplaceDlg::OnRunStarted(RunKind kind, const CJob& job) {
    m_resultsFlow.OnRunStarted(kind, job);
    m_form.results->setEnabled(true);
}

void CReplaceDlg::OnRunProgress(RunKind) {
    m_resultsFlow.OnRunProgress();
}

void CReplaceDlg::OnRunEnded(const CRunEnd& end) {
    m_resultsFlow.OnRunEnded(end);
}

void CReplaceDlg::CloseWindow() {
    close();  // idle now: closes as it does when no run is in hand
}

void CReplaceDlg::OnResults() {
    if (!m_resultsFlow.ShowResults(FolderOfEdit()))
        m_form.results->setEnabled(false);  // the journal is gone since it was looked for
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
    if (!m_pController->IsRunning() && !m_resultsFlow.UndoFolder().empty())
        m_pController->StartUndo(m_resultsFlow.UndoFolder());
}

std::string CReplaceDlg::FolderOfEdit() const {
    // Spelt as the run spells it.
    return m_pSession->Core().parsePath(ToWorking(m_form.path->text()));
}

void CReplaceDlg::RefreshResultsButton() {
    if (m_pSession)
        m_form.results->setEnabled(m_resultsFlow.HasResults(FolderOfEdit()));
}
