#include "win32/replace_dlg.h"

#include <commctrl.h>

#include "app/app_session.h"
#include "app/app_texts.h"
#include "app/run_controller.h"
#include "service/core.h"
#include "service/dialog_host.h"
#include "win32/ini_settings_store.h"
#include "win32/resource.h"
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
            return TRUE;
        case WM_JOB_PROGRESS:
            if (m_pController)
                m_pController->OnJobProgress(m_pNotify->TakeProgress());
            return TRUE;
        case WM_JOB_DONE:
            if (m_pController)
                m_pController->OnJobDone();
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

void CReplaceDlg::OnCommand(int id) {
    switch (id) {
        case IDC_STARTSTOP:
            OnStartStop();
            break;
        case IDC_BROWSE:
            OnBrowsePath();
            break;
        case IDC_OPENPATH:
            OnOpenPath();
            break;
        case IDC_REPLACE_RULES:
            OnOpenReplaceRules();
            break;
        case IDC_RENAME_RULES:
            OnOpenRenameRules();
            break;
        case IDC_ABOUT:
            OnAbout();
            break;
        default:
            break;  // IDOK and IDCANCEL: there is no OK or Cancel button
    }
}

// The window's large and small icons, from icon 128 in the sizes the system asks for.
void CReplaceDlg::SetIcons() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto loadIcon = [instance](int metricX, int metricY) {
        return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VEXA), IMAGE_ICON,
                                             GetSystemMetrics(metricX), GetSystemMetrics(metricY),
                                             LR_DEFAULTCOLOR));
    };
    m_hIcon = loadIcon(SM_CXICON, SM_CYICON);
    m_hSmallIcon = loadIcon(SM_CXSMICON, SM_CYSMICON);
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));
}

BOOL CReplaceDlg::OnInitDialog() {
    m_bInitialised = true;
    SetIcons();
    m_pHost->SetOwner(m_hWnd);
    m_pSession =
        std::make_unique<CAppSession>(CAppSession::Kind::Dialog, m_pStore.get(), m_pHost.get());
    m_pNotify = std::make_unique<CWindowNotify>(m_hWnd);
    m_pController = std::make_unique<CRunController>(*m_pSession, *this);
    ShowInputs(m_pSession->LoadSettings());
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

// Runs while the window is being destroyed: its controls are still there.
void CReplaceDlg::OnDestroy() {
    if (m_bDestroyed || !m_bInitialised)
        return;
    m_bDestroyed = true;
    // No message of the worker reaches the window from here on; the worker
    // ends before the settings are saved and the session closes.
    m_pNotify->Detach();
    m_pController->Shutdown();
    m_pSession->SaveSettings(SettingsOfInputs());
    m_pController.reset();
    m_pSession.reset();
}

BOOL CReplaceDlg::PreTranslateMessage(MSG* msg) {
    const bool ours = m_hWnd && (msg->hwnd == m_hWnd || IsChild(m_hWnd, msg->hwnd));
    if (!ours)
        return FALSE;
    switch (msg->message) {
        case WM_KEYDOWN:
            if (msg->wParam == VK_F1) {
                OnHelp();
                return TRUE;
            }
            // Enter and Escape never press a button or close the dialog.
            return msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE;
        case WM_SYSKEYDOWN:
            // No Alt combination reaches the window: not Alt+F4, not a
            // mnemonic, not the system menu.
            msg->wParam = 0;
            return TRUE;
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
            return TRUE;
        default:
            return FALSE;
    }
}

std::wstring CReplaceDlg::ControlText(int id) const {
    const HWND control = GetDlgItem(m_hWnd, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void CReplaceDlg::SetControlText(int id, const std::wstring& text) {
    SetDlgItemTextW(m_hWnd, id, text.c_str());
}
