// The Start/Stop command and the dialog's handling of the worker's two
// messages: Idle -> Running -> (Stopping) -> Idle.

#include <QMessageBox>
#include <QPushButton>

#include "engine/job_thread_proc.h"
#include "engine/replace_thread.h"
#include "engine/run_summary.h"
#include "prep/build_job.h"
#include "prep/job_inputs.h"
#include "service/core.h"
#include "service/dialog_host.h"
#include "ui/dialog_notify.h"
#include "ui/replace_dlg.h"
#include "ui/ui_texts.h"

namespace {

// How many problems the end-of-run warning lists by path.
constexpr size_t kProblemsListed = 10;

}  // namespace

void CReplaceDlg::OnStartStop() {
    if (m_bRunning) {
        // Stop request: the worker ends at its next poll.
        m_stopWord.store(true);
        m_pStartStop->setText(QString::fromUtf8(ui_text::kStopping));
        m_pStartStop->setEnabled(false);
        return;
    }
    if (!CollectInputs(1))
        return;
    if (g_pCore->msgboxConfirm(Owner(), kMsgConfirmRun) != CDialogHost::kYes)
        return;

    m_pStartStop->setText(QString::fromUtf8(ui_text::kStop));
    m_bRunning = 1;
    auto* params = new JobParams{m_pNotify.get(), nullptr, &m_stopWord, BuildJob(g_jobTables)};
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
    SetStatus(ui_text::kRunning);
}

void CReplaceDlg::OnJobProgress(std::intptr_t count) {
    if (!m_bRunning)
        return;
    SetStatus(ui_text::kProgressBefore + g_pCore->getStrInt(static_cast<int>(count)) +
              ui_text::kProgressAfter);
}

void CReplaceDlg::OnJobDone() {
    if (!m_pWorker)
        return;
    m_pWorker->Join();
    const CRunResult result = std::move(m_pWorker->m_result);
    m_pWorker.reset();
    ReturnToIdle();
    SetStatus(ui_text::kFinished);
    if (result.HasProblems())
        ShowRunProblems(result);
}

void CReplaceDlg::ReturnToIdle() {
    m_stopWord.store(true);
    m_bRunning = 0;
    m_pStartStop->setText(QString::fromUtf8(ui_text::kRun));
    m_pStartStop->setEnabled(true);
}

// A run that skipped a file or failed to write or rename something must not
// end looking like a clean success: one warning with the counts and the
// first problems.
void CReplaceDlg::ShowRunProblems(const CRunResult& result) {
    const std::string text = std::string(ui_text::kRunProblemsHeading) + "\n" +
                             FormatRunCounts(result) + "\n\n" +
                             FormatRunProblems(result, kProblemsListed);
    g_pCore->msgboxWarning(Owner(), text);
}
