// The Start/Stop command, and the run controller's view on the window's
// controls: inputs, status and counts lines, the button, boxes, and the end
// of a run.

#include "app/app_session.h"
#include "app/app_texts.h"
#include "app/counts_line.h"
#include "app/run_controller.h"
#include "engine/run/run_state.h"
#include "service/core.h"
#include "service/dialog_host.h"
#include "win32/dialog_window.h"
#include "win32/replace_dlg.h"
#include "win32/resource.h"
#include "win32/wide_text.h"
#include "win32/window_notify.h"

void CReplaceDlg::OnStartStop() {
    if (m_pController->IsRunning())
        m_pController->Stop();
    else
        m_pController->Start(RunKind::Run);
}

// A text with no exact form in the working code page is left empty: an
// empty folder is refused as invalid, an empty suffix text as well.
CDialogSettings CReplaceDlg::Inputs() const {
    CDialogSettings in;
    if (!ToEnginePath(DialogItemText(m_hWnd, IDC_PATH), in.folder))
        in.folder.clear();
    if (!ToWorking(DialogItemText(m_hWnd, IDC_SUFFIX), in.suffixes))
        in.suffixes.clear();
    in.includeSubfolders = IsDlgButtonChecked(m_hWnd, IDC_SUB) == BST_CHECKED;
    in.renameFolders = IsDlgButtonChecked(m_hWnd, IDC_RENAMEDIR) == BST_CHECKED;
    return in;
}

// The store's texts are UTF-8 on this side: a folder name outside the ANSI
// code page comes back as it was typed.
CDialogSettings CReplaceDlg::SettingsOfInputs() const {
    CDialogSettings in = Inputs();
    in.folder = Narrow(DialogItemText(m_hWnd, IDC_PATH));
    in.suffixes = Narrow(DialogItemText(m_hWnd, IDC_SUFFIX));
    return in;
}

void CReplaceDlg::ShowInputs(const CDialogSettings& settings) {
    SetDlgItemTextW(m_hWnd, IDC_PATH, Widen(settings.folder).c_str());
    SetDlgItemTextW(m_hWnd, IDC_SUFFIX, Widen(settings.suffixes).c_str());
    CheckDlgButton(m_hWnd, IDC_SUB, settings.includeSubfolders ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_RENAMEDIR, settings.renameFolders ? BST_CHECKED : BST_UNCHECKED);
}

void CReplaceDlg::FocusInput(JobInput input) {
    if (input == JobInput::Folder || input == JobInput::Suffix)
        SetFocus(GetDlgItem(m_hWnd, input == JobInput::Folder ? IDC_PATH : IDC_SUFFIX));
}

void CReplaceDlg::SetStatus(const std::string& text) {
    SetDlgItemTextW(m_hWnd, IDC_STATUS, Widen(text).c_str());
}

void CReplaceDlg::SetCounts(const std::string& text) {
    SetDlgItemTextW(m_hWnd, IDC_COUNTS, Widen(text).c_str());
}

void CReplaceDlg::ShowState(RunState state, RunKind) {
    const HWND button = GetDlgItem(m_hWnd, IDC_STARTSTOP);
    SetWindowTextW(button, Widen(StartStopCaption(state)).c_str());
    EnableWindow(button, state != RunState::Stopping);
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

// A run that skipped a file or failed to write or rename something must not
// end looking like a clean success: one warning with the counts and the
// first problems (a refusal and a failure have had their own box).
void CReplaceDlg::OnRunEnded(const CRunEnd& end) {
    const CRunResult& result = end.result;
    if (end.closing || !result.refusal.empty() || !result.failure.empty() || !result.HasProblems())
        return;
    Warn(RunProblemsText(end, 10));  // the first ten problems, by path
}

void CReplaceDlg::CloseWindow() {
    DestroyWindow(m_hWnd);
}
