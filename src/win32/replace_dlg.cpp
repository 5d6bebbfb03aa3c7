#include "win32/replace_dlg.h"

#include <commctrl.h>

#include "app/app_texts.h"
#include "engine/run/replace_thread.h"
#include "prep/job_inputs.h"
#include "prep/job_tables.h"
#include "service/core.h"
#include "service/soft_record.h"
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
            OnJobProgress();
            return TRUE;
        case WM_JOB_DONE:
            OnJobDone();
            return TRUE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(m_hIcon);
        case WM_CLOSE:
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

    g_pCore = new CCore;
    g_pCore->SetSettingsStore(m_pStore.get());
    m_pHost->SetOwner(m_hWnd);
    g_pCore->SetDialogHost(m_pHost.get());
    g_pSoft = new tagSoft{};
    FillSoftRecord(*g_pSoft);
    g_pCore->autoFileConfig();

    g_jobTables.appPrefix = g_pCore->getAppPath();
    g_jobTables.replaceRulesPath = g_jobTables.appPrefix + kReplaceRulesSuffix;
    g_jobTables.renameRulesPath = g_jobTables.appPrefix + kRenameRulesSuffix;
    g_pCore->createFile(g_jobTables.replaceRulesPath, 0);
    g_pCore->createFile(g_jobTables.renameRulesPath, 0);

    // The store's texts are UTF-8 on this side: a folder name outside the
    // ANSI code page comes back as it was typed.
    SetControlText(IDC_PATH, Widen(g_pCore->getConfigStr("pathuser")));
    SetControlText(IDC_SUFFIX, Widen(g_pCore->getConfigStr("fileext")));
    CheckDlgButton(m_hWnd, IDC_SUB, g_pCore->getConfigB("sub") ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_RENAMEDIR,
                   g_pCore->getConfigB("renamedir") ? BST_CHECKED : BST_UNCHECKED);

    // Grey hints in the empty edits, as the Qt dialog has them.
    SendDlgItemMessageW(m_hWnd, IDC_PATH, EM_SETCUEBANNER, TRUE,
                        reinterpret_cast<LPARAM>(Widen(app_text::kPathPlaceholder).c_str()));
    SendDlgItemMessageW(m_hWnd, IDC_SUFFIX, EM_SETCUEBANNER, TRUE,
                        reinterpret_cast<LPARAM>(Widen(app_text::kSuffixPlaceholder).c_str()));

    m_pNotify = std::make_unique<CWindowNotify>(m_hWnd);
    g_jobTables.Allocate();
    m_bRunning = 0;
    m_stopWord.store(true);
    return TRUE;
}

int CReplaceDlg::CollectInputs(int validate) {
    // A text with no exact form in the working code page is left empty: an
    // empty folder is refused as invalid, an empty suffix text as well.
    if (!ToEnginePath(ControlText(IDC_PATH), g_jobTables.folderPath))
        g_jobTables.folderPath.clear();
    if (!ToWorking(ControlText(IDC_SUFFIX), g_jobTables.suffixText))
        g_jobTables.suffixText.clear();
    g_jobTables.includeSubfolders = IsDlgButtonChecked(m_hWnd, IDC_SUB) == BST_CHECKED ? 1 : 0;
    g_jobTables.renameFolders = IsDlgButtonChecked(m_hWnd, IDC_RENAMEDIR) == BST_CHECKED ? 1 : 0;
    if (!validate)
        return 1;
    return CheckJobInputs(m_hWnd, [this](JobInput input) {
        SetFocus(GetDlgItem(m_hWnd, input == JobInput::Folder ? IDC_PATH : IDC_SUFFIX));
    });
}

// Runs while the window is being destroyed: its controls are still there.
void CReplaceDlg::OnDestroy() {
    if (m_bDestroyed || !m_bInitialised)
        return;
    m_bDestroyed = true;
    // Ask a running worker to stop and wait until it has ended: it reads the
    // tables and g_pCore that are saved from and released below.
    if (m_bRunning)
        m_stopWord.store(true);
    m_pNotify->Detach();
    if (m_pWorker) {
        m_pWorker->Join();
        m_pWorker.reset();
    }
    m_bRunning = 0;

    CollectInputs(0);
    g_pCore->saveConfigStr("pathuser", Narrow(ControlText(IDC_PATH)));
    g_pCore->saveConfigStr("fileext", Narrow(ControlText(IDC_SUFFIX)));
    g_pCore->saveConfigB("sub", g_jobTables.includeSubfolders);
    g_pCore->saveConfigB("renamedir", g_jobTables.renameFolders);

    g_jobTables.Release();
    delete g_pCore;
    g_pCore = nullptr;
    delete g_pSoft;
    g_pSoft = nullptr;
}

void CReplaceDlg::SetStatus(const std::string& text) {
    SetControlText(IDC_STATUS, Widen(text));
}

void CReplaceDlg::SetCounts(const std::string& text) {
    SetControlText(IDC_COUNTS, Widen(text));
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
