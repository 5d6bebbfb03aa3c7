#pragma once
// CReplaceDlg: the program's one dialog ("Korvane") on dialog template 102,
// a view of the run controller. It holds the app session (the service
// object, the product record and the job tables) for its lifetime, and the
// Win32 back ends of the service class; the workflow is the controller's.
//
// Every member is touched on the dialog's thread only.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/run_view.h"
#include "win32/dialog_inputs.h"

class CAppSession;
class CIniSettingsStore;
class CRecentFolders;
class CResultsFlow;
class CResultsWindow;
class CRulesWindow;
class CRunController;
class CWin32DialogHost;
class CWindowNotify;

class CReplaceDlg : public CRunView {
  public:
    CReplaceDlg();
    ~CReplaceDlg();
    CReplaceDlg(const CReplaceDlg&) = delete;
    CReplaceDlg& operator=(const CReplaceDlg&) = delete;

    // Creates the window from template 102 (hidden; OnInitDialog has run).
    bool Create(HINSTANCE instance);
    HWND Handle() const { return m_hWnd; }

    // The app session (service object, identity record, settings, rules
    // files, tables), the saved inputs in the controls, Idle. Returns TRUE:
    // the focus goes to the first control, 开始.
    BOOL OnInitDialog();
    // Reads the four inputs into the job tables; with validate 1 also checks
    // them, normalises the folder path and loads the tables. 1 ready, 0 refused.
    int CollectInputs(int validate);
    // Stops and joins a running worker, saves the settings, closes the
    // session. Runs once, as the window is destroyed.
    void OnDestroy();

    // Sets the status line (UTF-8).
    void SetStatus(const std::string& text) override;
    // Sees every message of the dialog's own loop before it is dispatched:
    // keeps Enter, Escape and every Alt combination away from the dialog and
    // its controls, and routes F1 to the help. TRUE when consumed.
    BOOL PreTranslateMessage(MSG* msg);

  private:
    // Command handlers, called by OnCommand and the F1 key.
    void OnStartStop();
    void OnPreview();
    // 结果: the last job's results, or the folder's last run from its journal.
    void OnResults();
    // 撤销本次执行 in the results window: asks, then undoes the run shown there.
    void OnUndo();
    // 结果 before any job: enabled while the folder in the edit has a journal.
    void RefreshResultsButton();
    void OnBrowsePath();
    void OnOpenPath();
    void OnOpenReplaceRules();
    void OnOpenRenameRules();
    void OnAbout();
    void OnHelp();
    void OnRecent();
    // Lets the user pick a folder for the edit controlId.
    void BrowseFolder(int controlId);

    // The run controller's view.
    CDialogSettings Inputs() const override { return ReadInputs(m_hWnd); }
    CDialogSettings SettingsOfInputs() const override { return ReadInputsToSave(m_hWnd); }
    void ShowInputs(const CDialogSettings& s) override { WriteInputs(m_hWnd, s); }
    void* Owner() override { return m_hWnd; }
    void FocusInput(JobInput input) override { FocusInputControl(m_hWnd, input); }
    void SetCounts(const std::string& text) override;
    void ShowState(RunState state, RunKind) override { ShowRunButtons(m_hWnd, state); }
    Answer AskYesNoCancel(const std::string& text) override;
    void Notice(const std::string& text) override;
    CNotifyTarget& NotifyTarget() override;
    CRunObserver* Observer() override;
    void OnRunStarted(RunKind kind, const CJob& job) override;
    void OnRunProgress(RunKind kind) override;
    void OnRunEnded(const CRunEnd& end) override;
    void CloseWindow() override;
    void ShowRecentFolders(const std::vector<std::string>& folders) override;
    bool WantsTotal() const override { return true; }
    void ShowProgress(const CRunProgress& progress) override;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id);
    void OpenTarget(const std::string& path, bool folder);

    HICON m_hIcon = nullptr, m_hSmallIcon = nullptr;
    HWND m_hWnd = nullptr;
    std::unique_ptr<CIniSettingsStore> m_pStore;
    std::unique_ptr<CWin32DialogHost> m_pHost;
    std::unique_ptr<CWindowNotify> m_pNotify;
    std::unique_ptr<CAppSession> m_pSession;
    std::unique_ptr<CRunController> m_pController;
    std::unique_ptr<CRulesWindow> m_pRules;  // made when first opened
    std::unique_ptr<CResultsWindow> m_pResults;
    std::unique_ptr<CResultsFlow> m_pResultsFlow;  // drives m_pResults
    std::unique_ptr<CRecentFolders> m_pRecent;
};
