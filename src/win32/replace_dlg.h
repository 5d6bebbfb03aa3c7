#pragma once
// CReplaceDlg: the program's one dialog ("Korvane") on dialog template 102.
// It owns the job tables, g_pCore and g_pSoft for its lifetime, the worker
// thread of a run, and the Win32 back ends of the service class.
//
// Every member is touched on the dialog's thread only, except m_stopWord,
// which the worker polls.

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

class CIniSettingsStore;
class CReplaceThread;
class CWin32DialogHost;
class CWindowNotify;
struct CRunResult;

class CReplaceDlg {
  public:
    CReplaceDlg();
    ~CReplaceDlg();
    CReplaceDlg(const CReplaceDlg&) = delete;
    CReplaceDlg& operator=(const CReplaceDlg&) = delete;

    // Creates the window from template 102 (hidden; OnInitDialog has run).
    bool Create(HINSTANCE instance);
    HWND Handle() const { return m_hWnd; }

    // Service object, identity record, settings, rules files, controls,
    // tables, Idle. Returns TRUE: the focus goes to the first control, 开始.
    BOOL OnInitDialog();
    // Reads the four inputs into g_jobTables; with validate 1 also checks
    // them, normalises the folder path and loads the tables. 1 ready, 0 refused.
    int CollectInputs(int validate);
    // Stops and joins a running worker, saves the settings, releases the
    // tables, g_pCore and g_pSoft. Runs once, as the window is destroyed.
    void OnDestroy();

    // Command handlers.
    void OnStartStop();
    void OnBrowsePath();
    void OnOpenPath();
    void OnOpenReplaceRules();
    void OnOpenRenameRules();
    void OnAbout();
    void OnHelp();
    // Lets the user pick a folder for the edit controlId.
    void BrowseFolder(int controlId);

    // Sets the status line (UTF-8).
    void SetStatus(const std::string& text);
    // Sees every message of the dialog's own loop before it is dispatched:
    // keeps Enter, Escape and every Alt combination away from the dialog and
    // its controls, routes F1 to the help, and handles the worker's two
    // messages. TRUE when the message was consumed.
    BOOL PreTranslateMessage(MSG* msg);

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void SetIcons();
    void OnCommand(int id);
    void OnJobProgress();
    void OnJobDone();
    void ReturnToIdle();
    void ShowRunProblems(const CRunResult& result);
    void SetCounts(const std::string& text);

    std::wstring ControlText(int id) const;
    void SetControlText(int id, const std::wstring& text);

    // The dialog's fields.
    int m_bRunning = 0;
    std::atomic<bool> m_stopWord{true};  // set means "STOP"; polled by the worker
    HICON m_hIcon = nullptr;
    HICON m_hSmallIcon = nullptr;

    HWND m_hWnd = nullptr;
    std::unique_ptr<CIniSettingsStore> m_pStore;
    std::unique_ptr<CWin32DialogHost> m_pHost;
    std::unique_ptr<CWindowNotify> m_pNotify;
    std::unique_ptr<CReplaceThread> m_pWorker;  // the run's worker, joined before it is released
    bool m_bInitialised = false;
    bool m_bDestroyed = false;
};
