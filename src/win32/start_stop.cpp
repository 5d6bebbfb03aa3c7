// The Start/Stop and Preview commands, the run controller's view on the
// window's controls (status and counts lines, boxes), and what the dialog
// shows of a job in the results window: 结果 and the undo offered there.

#include "app/app_session.h"
#include "app/app_texts.h"
#include "app/results_flow.h"
#include "app/run_controller.h"
#include "service/core.h"
#include "win32/counts_label.h"
#include "win32/dialog_inputs.h"
#include "win32/progress_bar.h"
#include "win32/recent_folders.h"
#include "win32/replace_dlg.h"
#include "win32/resource.h"
#include "win32/results_window.h"
#include "win32/wide_text.h"
#include "win32/window_notify.h"

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

void CReplaceDlg::SetStatus(const std::string& text) {
    SetDlgItemTextW(m_hWnd, IDC_STATUS, Widen(text).c_str());
}

void CReplaceDlg::ShowProgress(const CRunProgress& progress) {
    ShowRunProgress(m_hWnd, progress);
}

void CReplaceDlg::ShowRecentFolders(const std::vector<std::string>& folders) {
    m_pRecent->SetFolders(folders);
}

void CReplaceDlg::SetCounts(const std::string& text) {
    ShowCountsLine(GetDlgItem(m_hWnd, IDC_COUNTS), Widen(text));
}

Answer CReplaceDlg::AskYesNoCancel(const std::string& text) {
    const int answer = MessageBoxW(m_hWnd, Widen(text).c_str(), Widen(app_text::kCaption).c_str(),
                                   MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3);
    return answer == IDYES ? Answer::Yes : answer == IDNO ? Answer::No : Answer::Cancel;
}

void CReplaceDlg::Notice(const std::string& text) {
    MessageBoxW(m_hWnd, Widen(text).c_str(), Widen(app_text::kCaption).c_str(), MB_OK);
}

CNotifyTarget& CReplaceDlg::NotifyTarget() {
    return *m_pNotify;
}

CRunObserver* CReplaceDlg::Observer() {
    return m_pResultsFlow->Observer();
}

void CReplaceDlg::OnRunStarted(RunKind kind, const CJob& job) {
    m_pResultsFlow->OnRunStarted(kind, job);
    EnableWindow(GetDlgItem(m_hWnd, IDC_RESULTS), TRUE);
}

void CReplaceDlg::OnRunProgress(RunKind) {
    m_pResultsFlow->OnRunProgress();
}

void CReplaceDlg::OnRunEnded(const CRunEnd& end) {
    m_pResultsFlow->OnRunEnded(end);
}

void CReplaceDlg::OnResults() {
    if (!m_pResultsFlow->ShowResults(m_pSession->Core().parsePath(Inputs().folder)))
        EnableWindow(GetDlgItem(m_hWnd, IDC_RESULTS), FALSE);  // gone since it was looked for
}

void CReplaceDlg::OnUndo() {
    if (!m_pController->IsRunning() && !m_pResultsFlow->UndoFolder().empty())
        m_pController->StartUndo(m_pResultsFlow->UndoFolder());
}

void CReplaceDlg::RefreshResultsButton() {
    const std::string folder = m_pSession->Core().parsePath(Inputs().folder);
    EnableWindow(GetDlgItem(m_hWnd, IDC_RESULTS), m_pResultsFlow->HasResults(folder));
}

void CReplaceDlg::CloseWindow() {
    DestroyWindow(m_hWnd);
}
