// The Start/Stop and Preview commands and the dialog's handling of the
// worker's two messages: Idle -> Running -> (Stopping) -> Idle. A preview is
// the same run with nothing written; an undo of the last run goes the same way.

#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "engine/run/job_thread_proc.h"
#include "engine/run/replace_thread.h"
#include "prep/build_job.h"
#include "prep/job_inputs.h"
#include "service/core.h"
#include "service/dialog_host.h"
#include "ui/counts_line.h"
#include "ui/dialog_notify.h"
#include "ui/replace_dlg.h"
#include "ui/results_window.h"
#include "ui/ui_texts.h"

void CReplaceDlg::OnStartStop() {
    if (m_bRunning) {
        // Stop request: the worker ends at its next poll.
        m_stopWord.store(true);
        m_pStartStop->setText(QString::fromUtf8(ui_text::kStopping));
        m_pStartStop->setEnabled(false);
        return;
    }
    StartJob(ResultsKind::Run);
}

void CReplaceDlg::OnPreview() {
    if (!m_bRunning)
        StartJob(ResultsKind::Preview);
}

// The inputs are checked first; then, when the folder's last run was
// interrupted, the user decides about undoing it; then a run is confirmed.
void CReplaceDlg::StartJob(ResultsKind kind) {
    if (!CollectInputs(1))
        return;
    const bool preview = kind == ResultsKind::Preview;
    CJob job = BuildJob(g_jobTables, preview);
    if (!GoOnAfterInterrupted(job))
        return;
    // A preview writes nothing, so there is nothing to confirm.
    if (!preview && g_pCore->msgboxConfirm(Owner(), kMsgConfirmRun) != CDialogHost::kYes)
        return;
    LaunchJob(std::move(job), kind);
}

void CReplaceDlg::LaunchJob(CJob jobToRun, ResultsKind kind) {
    m_pStartStop->setText(QString::fromUtf8(ui_text::kStop));
    m_pPreview->setEnabled(false);
    m_bRunning = 1;
    m_kind = kind;
    auto* params = new JobParams{m_pNotify.get(), nullptr, &m_stopWord, std::move(jobToRun)};
    params->events = &m_runEvents;
    m_runEvents.Take();            // nothing left from an earlier run
    const CJob job = params->job;  // params belongs to the worker once it runs
    m_stopWord.store(false);
    m_pWorker = std::make_unique<CReplaceThread>(&JobThreadProc, params);
    if (m_prepareWorker)
        m_prepareWorker(*m_pWorker);
    const bool started = m_startThread ? m_startThread(*m_pWorker) : m_pWorker->CreateThread();
    if (!started) {
        const QString message = QString::fromUtf8(ui_text::kCannotStartThread);
        if (m_frameworkMessage) {
            m_frameworkMessage(message);
        } else {
            QMessageBox box(QMessageBox::NoIcon, windowTitle(), message, QMessageBox::Ok, this);
            box.exec();
        }
        m_pWorker.reset();
        delete params;
        ReturnToIdle();
        return;
    }
    m_bHadJob = true;
    m_undoFolder.clear();
    Results().Begin(kind, job);
    m_pResultsButton->setEnabled(true);
    m_pCounts->clear();
    m_runClock.start();
    static constexpr const char* kStarted[] = {ui_text::kRunning, ui_text::kPreviewing,
                                               ui_text::kUndoing};
    SetStatus(kStarted[static_cast<int>(kind)]);
}

void CReplaceDlg::OnJobProgress(std::intptr_t count) {
    if (!m_bRunning)
        return;
    static constexpr const char* kBefore[] = {
        ui_text::kProgressBefore, ui_text::kPreviewProgressBefore, ui_text::kUndoProgressBefore};
    SetStatus(kBefore[static_cast<int>(m_kind)] + g_pCore->getStrInt(static_cast<int>(count)) +
              ui_text::kProgressAfter);
    Results().Feed(m_runEvents.Take());
}

void CReplaceDlg::OnJobDone() {
    if (!m_pWorker)
        return;
    m_pWorker->Join();
    const CRunResult result = std::move(m_pWorker->m_result);
    const CJob job = std::move(m_pWorker->m_job);
    m_pWorker.reset();
    ReturnToIdle();
    static constexpr const char* kEnded[] = {ui_text::kFinished, ui_text::kPreviewFinished,
                                             ui_text::kUndoFinished};
    // A job refused before it touched anything (the folder busy with
    // another run, nothing to undo) did not finish anything.
    SetStatus(result.refusal.empty() ? kEnded[static_cast<int>(m_kind)] : ui_text::kReady);
    ShowRunEnd(result, job);
    Results().Feed(m_runEvents.Take());
    if (m_bCloseAfterRun)
        close();  // idle now: closes as it does when no run is in hand
}

void CReplaceDlg::ReturnToIdle() {
    m_stopWord.store(true);
    m_bRunning = 0;
    m_pStartStop->setText(QString::fromUtf8(ui_text::kRun));
    m_pStartStop->setEnabled(true);
    m_pPreview->setEnabled(true);
}

// The counts line, and the results window by itself after a preview and
// after a run or undo that skipped a file or failed to write or rename
// something (such a run must not end looking like a clean success). A
// stopped run opens nothing by itself: its counts line says it was stopped.
// A refused job says why in a box.
void CReplaceDlg::ShowRunEnd(const CRunResult& result, const CJob& job) {
    if (!result.refusal.empty()) {
        m_pCounts->clear();
        Results().Finish(QString::fromStdString(result.refusal));
        if (!m_bCloseAfterRun)
            g_pCore->msgboxWarning(Owner(), result.refusal);
        return;
    }
    if (!result.failure.empty() && !m_bCloseAfterRun)
        g_pCore->msgboxWarning(Owner(), result.failure);
    const double seconds = static_cast<double>(m_runClock.elapsed()) / 1000.0;
    const QString counts = FormatCountsLine(result, seconds, m_kind);
    m_pCounts->setText(counts);
    Results().Finish(counts);
    // A real run that changed something wrote this run's journal (one that
    // changed nothing left the previous run's in place): it can be undone.
    const bool changed =
        result.Count(RunEventKind::Rewritten) + result.Count(RunEventKind::Renamed) > 0;
    if (m_kind == ResultsKind::Run && changed && job.keepJournal && !job.journalRoot.empty()) {
        m_undoFolder = job.folder;
        Results().SetUndoOffered(true);
    }
    const bool preview = m_kind == ResultsKind::Preview;
    if (!result.stopped && !m_bCloseAfterRun && (preview || result.HasProblems()))
        Results().ShowOnTop();
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
        connect(m_pResults, &CResultsWindow::warningRequested, this, [this](const QString& text) {
            g_pCore->msgboxWarning(Owner(), text.toStdString());
        });
    }
    return *m_pResults;
}

// A close request (close box, or Alt+F4 turned into one by the window
// manager) during a run asks first; Yes stops the run and the window closes
// once the worker has finished the file in hand, staying responsive
// meanwhile. While idle it closes as ever.
void CReplaceDlg::closeEvent(QCloseEvent* event) {
    if (!m_bRunning || !m_bInitialised) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    if (m_bCloseAfterRun)
        return;  // already stopping to close
    if (g_pCore->msgboxConfirm(Owner(), ui_text::kConfirmCloseRunning) != CDialogHost::kYes)
        return;
    if (!m_bRunning) {  // the run ended while the question was open
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    m_bCloseAfterRun = true;
    if (m_pStartStop->isEnabled())
        OnStartStop();
}
