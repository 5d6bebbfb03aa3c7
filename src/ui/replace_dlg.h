#pragma once
// CReplaceDlg: the program's one dialog ("Korvane"), a view of the run
// controller. It holds the app session (the service object, the product
// record and the job tables) for its lifetime, and the Qt back ends of the
// service class; the workflow itself is the controller's.
//
// All members are touched on the dialog's thread only.

#include <QDialog>
#include <QIcon>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/results_flow.h"
#include "app/run_view.h"
#include "ui/dialog_form.h"
#include "ui/dialog_ids.h"
#include "ui/results_view.h"
#include "ui/results_window.h"

class QTimer;
class CAppSession;
class CDialogHost;
class CDialogNotify;
class CQtDialogHost;
class CQtSettingsStore;
class CRunController;

class CReplaceDlg : public QDialog, public CRunView {
    Q_OBJECT

  public:
    explicit CReplaceDlg(QWidget* parent = nullptr);
    ~CReplaceDlg() override;

    // Runs once, when the window is first shown: the app session (service
    // object, identity record, settings, rules files, tables), the saved
    // inputs in the controls, Idle. Returns 1.
    int OnInitDialog();
    // Reads the four inputs into the job tables; with validate 1 also checks
    // them, normalises the folder path and loads the tables. 1 ready, 0 refused.
    int CollectInputs(int validate);
    // Stops and joins a running worker, saves the settings, closes the
    // session. Runs once, when the dialog finishes.
    void OnDestroy();

    // Command handlers: a job, then the inputs' and rules' buttons.
    void OnStartStop();
    // 预览: the job as a dry run on the same engine; nothing is written.
    void OnPreview();
    void OnBrowsePath();
    void OnOpenPath();
    void OnOpenReplaceRules();
    void OnOpenRenameRules();
    void OnAbout();
    // 结果: shows the results window of the last run, preview or undo; with
    // none in this session, what the journal of the folder in the edit says
    // its last run changed.
    void OnResults();
    // 撤销本次执行 in the results window: asks, then undoes the run shown
    // there on the worker thread.
    void OnUndo();
    // Opens path (working code page) in the desktop; when that cannot be
    // done, a warning names the path and why, with a button that copies it.
    void OpenTarget(const std::string& path, bool folder);
    // Lets the user pick a folder for the edit controlId.
    void BrowseFolder(ControlId controlId);

    void SetStatus(const std::string& text) override;
    // Sees every event of the dialog and its controls before they do: keeps
    // Enter, Escape and every Alt combination away from them, routes F1 to
    // the application's help, then hands the worker's events to the run
    // controller. True when the event was consumed.
    bool PreTranslateMessage(QObject* target, QEvent* event);

    bool IsRunning() const;
    // The results window, once a run or preview has started (tests).
    CResultsWindow* ResultsWindow() const { return m_pResults; }
    // The widget that owns this dialog's message boxes, as the service class takes it.
    void* Owner() override { return static_cast<QWidget*>(this); }

    // --- seams for tests; set before the window is first shown ---
    // Replaces the Qt message boxes and About box.
    void SetDialogHost(CDialogHost* host) { m_pHostOverride = host; }
    // The run controller, from the first show on (tests set its seams).
    CRunController* Controller() const { return m_pController.get(); }
    // The folder picker: (owner, title, initial folder) -> chosen folder, empty when cancelled.
    std::function<QString(QWidget*, const QString&, const QString&)> m_pickFolder;

  Q_SIGNALS:
    // The status line changed (tests and the screenshot tool follow it).
    void statusChanged(const QString& text);

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    // The run controller's view.
    CDialogSettings Inputs() const override;
    void ShowInputs(const CDialogSettings& settings) override;
    void ShowRecentFolders(const std::vector<std::string>& v) override { ShowRecent(m_form, v); }
    void FocusInput(JobInput input) override;
    void SetCounts(const std::string& text) override;
    void ShowState(RunState state, RunKind kind) override;
    bool Confirm(const std::string& text) override;
    Answer AskYesNoCancel(const std::string& text) override;
    void Notice(const std::string& text) override;
    bool WantsTotal() const override { return true; }
    void ShowProgress(const CRunProgress& p) override { ShowRunProgress(m_form, p); }
    CNotifyTarget& NotifyTarget() override;
    CRunObserver* Observer() override;
    void OnRunStarted(RunKind kind, const CJob& job) override;
    void OnRunProgress(RunKind kind) override;
    void OnRunEnded(const CRunEnd& end) override;
    void CloseWindow() override;

    void ConnectControls();
    // The folder in the edit, ending in a separator; empty when there is none.
    std::string FolderOfEdit() const;
    // 结果 before any run: enabled while the folder in the edit has a journal.
    void RefreshResultsButton();
    CResultsWindow& Results();

    QIcon m_hIcon;
    CDialogForm m_form;
    QPointer<CResultsWindow> m_pResults;
    CQtResultsView m_resultsView{[this]() -> CResultsWindow& { return Results(); }};
    CResultsFlow m_resultsFlow{m_resultsView};  // what the results window shows of each job
    QTimer* m_pJournalCheck = nullptr;          // looks for the edit's journal once typing pauses

    std::unique_ptr<CQtSettingsStore> m_pStore;
    std::unique_ptr<CQtDialogHost> m_pQtHost;
    CDialogHost* m_pHostOverride = nullptr;
    std::unique_ptr<CDialogNotify> m_pNotify;
    std::unique_ptr<CAppSession> m_pSession;
    std::unique_ptr<CRunController> m_pController;
    bool m_bInitialised = false;
};
