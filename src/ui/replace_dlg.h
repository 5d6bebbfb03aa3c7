#pragma once
// CReplaceDlg: the program's one dialog ("Korvane"). It owns the job tables,
// g_pCore and g_pSoft for its lifetime, the worker thread of a run, and the
// Qt back ends of the service class.
//
// All members are touched on the dialog's thread only, except m_stopWord,
// which the worker polls.

#include <QDialog>
#include <QElapsedTimer>
#include <QIcon>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/run/job.h"
#include "ui/dialog_ids.h"
#include "ui/results_kind.h"
#include "ui/results_window.h"
#include "ui/run_events_queue.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class CDialogHost;
class CDialogNotify;
class CQtDialogHost;
class CQtSettingsStore;
class CReplaceThread;
struct CRunResult;

class CReplaceDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CReplaceDlg(QWidget* parent = nullptr);
    ~CReplaceDlg() override;

    // Runs once, when the window is first shown: service object, identity
    // record, settings, rules files, controls, tables, Idle. Returns 1.
    int OnInitDialog();
    // Reads the four inputs into g_jobTables; with validate 1 also checks
    // them, normalises the folder path and loads the tables. 1 ready, 0 refused.
    int CollectInputs(int validate);
    // Stops and joins a running worker, saves the settings, releases the
    // tables, g_pCore and g_pSoft. Runs once, when the dialog finishes.
    void OnDestroy();

    // Command handlers.
    void OnStartStop();
    void OnBrowsePath();
    void OnOpenPath();
    void OnOpenReplaceRules();
    void OnOpenRenameRules();
    void OnAbout();
    // 预览: the job as a dry run on the same engine; nothing is written.
    void OnPreview();
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

    void SetStatus(const std::string& text);
    // Sees every event of the dialog and its controls before they do: keeps
    // Enter, Escape and every Alt combination away from them, routes F1 to
    // the application's help, then handles the worker's events. True when
    // the event was consumed.
    bool PreTranslateMessage(QObject* target, QEvent* event);

    bool IsRunning() const { return m_bRunning != 0; }
    // The results window, once a run or preview has started (tests).
    CResultsWindow* ResultsWindow() const { return m_pResults; }
    // The widget that owns this dialog's message boxes, as the service class takes it.
    void* Owner() { return static_cast<QWidget*>(this); }

    // --- seams for tests; set before the window is first shown ---
    // Replaces the Qt message boxes and About box.
    void SetDialogHost(CDialogHost* host) { m_pHostOverride = host; }
    // Called with each new worker before its thread starts.
    std::function<void(CReplaceThread&)> m_prepareWorker;
    // Starts the worker's thread; false when it cannot be started.
    std::function<bool(CReplaceThread&)> m_startThread;
    // Shows the framework's plain message box (OK only, no icon).
    std::function<void(const QString&)> m_frameworkMessage;
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
    void BuildControls();
    bool FilterKey(QObject* target, QEvent* event);
    void OnJobProgress(std::intptr_t count);
    void OnJobDone();
    void ReturnToIdle();
    void StartJob(ResultsKind kind);
    // Asks whether to undo the folder's interrupted last run first; true:
    // go on with job (no such run, or 否).
    bool GoOnAfterInterrupted(const CJob& job);
    void StartUndo(const std::string& folder);
    void LaunchJob(CJob job, ResultsKind kind);
    void ShowRunEnd(const CRunResult& result, const CJob& job);
    // The folder in the edit, ending in a separator; empty when there is none.
    std::string FolderOfEdit() const;
    // 结果 before any run: enabled while the folder in the edit has a journal.
    void RefreshResultsButton();
    void ShowLastRunFromJournal();
    CResultsWindow& Results();

    // The dialog's fields.
    int m_bRunning = 0;
    std::atomic<bool> m_stopWord{true};  // set means "STOP"; polled by the worker
    QIcon m_hIcon;

    QLineEdit* m_pPath = nullptr;
    QLineEdit* m_pSuffix = nullptr;
    QCheckBox* m_pSub = nullptr;
    QCheckBox* m_pRenameDir = nullptr;
    QPushButton* m_pStartStop = nullptr;
    QLabel* m_pStatus = nullptr;
    QPushButton* m_pPreview = nullptr;
    QPushButton* m_pResultsButton = nullptr;
    QLabel* m_pCounts = nullptr;
    QPointer<CResultsWindow> m_pResults;
    CRunEventsQueue m_runEvents;            // the run's events on their way to the results window
    QElapsedTimer m_runClock;               // time of the run in hand
    ResultsKind m_kind = ResultsKind::Run;  // what the run in hand (or the last one) is
    bool m_bHadJob = false;                 // a run, preview or undo has started
    bool m_bCloseAfterRun = false;          // the user closed the window during the run
    // The folder whose run the results window offers to undo; empty: none.
    std::string m_undoFolder;
    QTimer* m_pJournalCheck = nullptr;  // looks for the edit's journal once typing pauses

    std::unique_ptr<CQtSettingsStore> m_pStore;
    std::unique_ptr<CQtDialogHost> m_pQtHost;
    CDialogHost* m_pHostOverride = nullptr;
    std::unique_ptr<CDialogNotify> m_pNotify;
    std::unique_ptr<CReplaceThread> m_pWorker;  // the run's worker, joined before it is released
    bool m_bInitialised = false;
    bool m_bDestroyed = false;
};
