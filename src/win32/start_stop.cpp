// The Start/Stop command and the dialog's handling of the worker's two
// messages: Idle -> Running -> (Stopping) -> Idle.

#include "app/app_texts.h"
#include "engine/report/run_summary.h"
#include "engine/run/job_thread_proc.h"
#include "engine/run/replace_thread.h"
#include "prep/build_job.h"
#include "prep/job_inputs.h"
#include "prep/job_tables.h"
#include "service/core.h"
#include "service/dialog_host.h"
#include "win32/replace_dlg.h"
#include "win32/resource.h"
#include "win32/wide_text.h"
#include "win32/win32_texts.h"
#include "win32/window_notify.h"

namespace {

// How many problems the end-of-run warning lists by path.
constexpr size_t kProblemsListed = 10;

}  // namespace

void CReplaceDlg::OnStartStop() {
    const HWND button = GetDlgItem(m_hWnd, IDC_STARTSTOP);
    if (m_bRunning) {
        // Stop request: the worker ends at its next poll.
        m_stopWord.store(true);
        SetWindowTextW(button, Widen(app_text::kStopping).c_str());
        EnableWindow(button, FALSE);
        return;
    }
    if (!CollectInputs(1))
        return;
    if (g_pCore->msgboxConfirm(m_hWnd, kMsgConfirmRun) != CDialogHost::kYes)
        return;

    SetWindowTextW(button, Widen(app_text::kStop).c_str());
    m_bRunning = 1;
    SetCounts("");
    auto* params = new JobParams{m_pNotify.get(), nullptr, &m_stopWord, BuildJob(g_jobTables)};
    m_stopWord.store(false);
    m_pWorker = std::make_unique<CReplaceThread>(&JobThreadProc, params);
    if (!m_pWorker->CreateThread()) {
        MessageBoxW(m_hWnd, Widen(app_text::kCannotStartThread).c_str(),
                    Widen(app_text::kCaption).c_str(), MB_OK);
        m_pWorker.reset();
        delete params;
        ReturnToIdle();
        return;
    }
    SetStatus(app_text::kRunning);
}

void CReplaceDlg::OnJobProgress() {
    const auto count = m_pNotify->TakeProgress();
    if (!m_bRunning)
        return;
    SetStatus(app_text::kProgressBefore + g_pCore->getStrInt(static_cast<int>(count)) +
              app_text::kProgressAfter);
}

void CReplaceDlg::OnJobDone() {
    if (!m_pWorker)
        return;
    m_pWorker->Join();
    const CRunResult result = std::move(m_pWorker->m_result);
    m_pWorker.reset();
    ReturnToIdle();
    SetStatus(app_text::kFinished);
    SetCounts((result.stopped ? std::string(win32_text::kStoppedPrefix) : std::string()) +
              FormatRunCounts(result));
    if (result.HasProblems())
        ShowRunProblems(result);
}

void CReplaceDlg::ReturnToIdle() {
    const HWND button = GetDlgItem(m_hWnd, IDC_STARTSTOP);
    m_stopWord.store(true);
    m_bRunning = 0;
    SetWindowTextW(button, Widen(app_text::kRun).c_str());
    EnableWindow(button, TRUE);
}

// A run that skipped a file or failed to write or rename something must not
// end looking like a clean success: one warning with the counts and the
// first problems.
void CReplaceDlg::ShowRunProblems(const CRunResult& result) {
    const std::string text = std::string(app_text::kRunProblemsHeading) + "\n" +
                             FormatRunCounts(result) + "\n\n" +
                             FormatRunProblems(result, kProblemsListed);
    g_pCore->msgboxWarning(m_hWnd, text);
}
