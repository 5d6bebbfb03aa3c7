// The dialog's window: its messages, keys and commands.

#include "win32/replace_dlg.h"

#include <commctrl.h>

#include <utility>

#include "app/app_session.h"
#include "app/app_texts.h"
#include "app/results_flow.h"
#include "app/run_controller.h"
#include "service/core.h"
#include "service/dialog_host.h"
#include "win32/dialog_window.h"
#include "win32/folder_picker.h"
#include "win32/help_window.h"
#include "win32/ini_settings_store.h"
#include "win32/mode_boxes.h"
#include "win32/open_failure_box.h"
#include "win32/recent_folders.h"
#include "win32/resource.h"
#include "win32/results_window.h"
#include "win32/rules_window.h"
#include "win32/wide_text.h"
#include "win32/win32_dialog_host.h"
#include "win32/window_notify.h"

CReplaceDlg::CReplaceDlg()
    : m_pStore(std::make_unique<CIniSettingsStore>()),
      m_pHost(std::make_unique<CWin32DialogHost>()) {}

CReplaceDlg::~CReplaceDlg() {
    if (m_hWnd)
        DestroyWindow(m_hWnd);
    OnDestroy();
    for (HICON icon : {m_hIcon, m_hSmallIcon})
        if (icon)
            DestroyIcon(icon);
}

bool CReplaceDlg::Create(HINSTANCE instance) {
    CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_REPLACE), nullptr, &CReplaceDlg::DialogProc,
                       reinterpret_cast<LPARAM>(this));
    return m_hWnd != nullptr;
}

INT_PTR CALLBACK CReplaceDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dlg = reinterpret_cast<CReplaceDlg*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        dlg->m_hWnd = window;
        return dlg->OnInitDialog();
    }
    auto* dlg = reinterpret_cast<CReplaceDlg*>(GetWindowLongPtrW(window, DWLP_USER));
    return dlg ? dlg->HandleMessage(message, wParam, lParam) : FALSE;
}

// The dialog's messages, the worker's too: they are posted to the window, so
// whichever loop runs (the program's, a message box's, the folder picker's)
// dispatches them here.
INT_PTR CReplaceDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED)
                OnCommand(LOWORD(wParam));
            else if (HIWORD(wParam) == EN_CHANGE && LOWORD(wParam) == IDC_PATH)
                SetTimer(m_hWnd, IDC_PATH, 300, nullptr);  // looked for once typing pauses
            return TRUE;
        case WM_TIMER:
            KillTimer(m_hWnd, wParam);
            RefreshResultsButton();
            return TRUE;
        case WM_JOB_PROGRESS:
            if (m_pController)
                m_pController->OnJobProgress(m_pNotify->TakeProgress());
            return TRUE;
        case WM_JOB_DONE:
            if (m_pController)
                m_pController->OnJobDone();
            return TRUE;
        case WM_DROPFILES:
            m_pRecent->TakeDrop(reinterpret_cast<HDROP>(wParam));
            return TRUE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(m_hIcon);
        case WM_CLOSE:
            // During a run: asked first, and closed once the run has ended.
            if (!m_pController || m_pController->RequestClose())
                DestroyWindow(m_hWnd);
            return TRUE;
        case WM_DESTROY:
            OnDestroy();
            return TRUE;
        case WM_NCDESTROY:
            m_hWnd = nullptr;
            PostQuitMessage(0);
            return FALSE;
        default:
            return FALSE;
    }
}

// A click on a button; IDOK and IDCANCEL do nothing (there is no OK or
// Cancel button).
void CReplaceDlg::OnCommand(int id) {
    static constexpr std::pair<int, void (CReplaceDlg::*)()> kHandlers[] = {
        {IDC_STARTSTOP, &CReplaceDlg::OnStartStop},
        {IDC_PREVIEW, &CReplaceDlg::OnPreview},
        {IDC_RESULTS, &CReplaceDlg::OnResults},
        {IDC_BROWSE, &CReplaceDlg::OnBrowsePath},
        {IDC_OPENPATH, &CReplaceDlg::OnOpenPath},
        {IDC_REPLACE_RULES, &CReplaceDlg::OnOpenReplaceRules},
        {IDC_RENAME_RULES, &CReplaceDlg::OnOpenRenameRules},
        {IDC_ABOUT, &CReplaceDlg::OnAbout},
        {IDC_RECENT, &CReplaceDlg::OnRecent}};
    for (const auto& [control, handler] : kHandlers) {
        if (control == id)
            (this->*handler)();
    }
}

BOOL CReplaceDlg::OnInitDialog() {
    SetDialogIcons(m_hWnd, m_hIcon, m_hSmallIcon);
    m_pHost->SetOwner(m_hWnd);
    m_pSession =
        std::make_unique<CAppSession>(CAppSession::Kind::Dialog, m_pStore.get(), m_pHost.get());
    m_pNotify = std::make_unique<CWindowNotify>(m_hWnd);
    m_pController = std::make_unique<CRunController>(*m_pSession, *this);
    m_pResults = std::make_unique<CResultsWindow>(
        m_hWnd, [this](const std::string& path, bool folder) { OpenTarget(path, folder); },
        [this] { OnUndo(); });
    m_pResults->m_runPreviewed = [this](const CPreviewedRun& run) {
        if (!m_pController->IsRunning())
            m_pController->StartPreviewed(run);
    };
    m_pResultsFlow = std::make_unique<CResultsFlow>(*m_pResults);
    m_pRecent = std::make_unique<CRecentFolders>(m_hWnd);
    ShowInputs(m_pSession->LoadSettings());
    ShowRecentFolders(m_pSession->RecentFolders());
    RefreshResultsButton();
    // Grey hints in the empty edits, as the Qt dialog has them.
    SendDlgItemMessageW(m_hWnd, IDC_PATH, EM_SETCUEBANNER, TRUE,
                        reinterpret_cast<LPARAM>(Widen(app_text::kPathPlaceholder).c_str()));
    SendDlgItemMessageW(m_hWnd, IDC_SUFFIX, EM_SETCUEBANNER, TRUE,
                        reinterpret_cast<LPARAM>(Widen(app_text::kSuffixPlaceholder).c_str()));
    return TRUE;
}

int CReplaceDlg::CollectInputs(int validate) {
    return m_pController->CollectInputs(validate);
}

// Runs while the window is being destroyed, its controls still there; once.
void CReplaceDlg::OnDestroy() {
    if (!m_pController)
        return;
    m_pNotify->Detach();               // later posts of the worker are dropped
    m_pController->ShutdownAndSave();  // joined before the session closes
    m_pController.reset();
    m_pRules.reset();  // it draws the session's rules files
    m_pSession.reset();
}

BOOL CReplaceDlg::PreTranslateMessage(MSG* msg) {
    if (m_pRules && m_pRules->PreTranslateMessage(msg))
        return TRUE;
    const KeyVerdict verdict = FilterDialogKey(m_hWnd, msg);
    if (verdict == KeyVerdict::Help)
        OnHelp();
    return verdict != KeyVerdict::Pass;
}

void CReplaceDlg::OnBrowsePath() {
    BrowseFolder(IDC_PATH);
}

// Opens the picker on the folder typed in the control when it exists. The
// chosen folder replaces the text as the picker gives it (a start adds the
// separator); cancelling leaves the text as it was.
void CReplaceDlg::BrowseFolder(int controlId) {
    const std::wstring typed = DialogItemText(m_hWnd, controlId);
    const std::wstring chosen = PickFolder(m_hWnd, Widen(app_text::kPickFolderTitle), typed);
    if (!chosen.empty())
        SetDlgItemTextW(m_hWnd, controlId, chosen.c_str());
}

void CReplaceDlg::OnRecent() {
    m_pRecent->ShowMenu();
}

void CReplaceDlg::OnOpenPath() {
    OpenTarget(Inputs().folder, true);
}

void CReplaceDlg::OnOpenReplaceRules() {
    if (!m_pRules)
        m_pRules = std::make_unique<CRulesWindow>(*m_pSession, m_hWnd);
    m_pRules->SetModes(ReadModeBoxes(m_hWnd));
    m_pRules->ShowFile(RulesFile::Replace);
}

void CReplaceDlg::OnOpenRenameRules() {
    if (!m_pRules)
        m_pRules = std::make_unique<CRulesWindow>(*m_pSession, m_hWnd);
    m_pRules->SetModes(ReadModeBoxes(m_hWnd));
    m_pRules->ShowFile(RulesFile::Rename);
}

// What is not there is never handed to the shell; what the shell could not
// open, its host has said why already, with the system's words.
void CReplaceDlg::OpenTarget(const std::string& path, bool folder) {
    const char* why = m_pSession->OpenTarget(path, folder);
    if (why && why != app_text::kOpenNoHandler)
        ShowOpenFailure(m_hWnd, FromEnginePath(path), why);
}

void CReplaceDlg::OnAbout() {
    m_pSession->ShowAbout();
}

void CReplaceDlg::OnHelp() {
    ShowHelpWindow(m_hWnd, {Narrow(FromEnginePath(m_pSession->ReplaceRulesPath())),
                            Narrow(FromEnginePath(m_pSession->RenameRulesPath())),
                            Narrow(m_pStore->FilePath())});
}
