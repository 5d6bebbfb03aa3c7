#pragma once
// CRunView: what the run controller needs of a front end. Each front end
// (the Qt dialog, the Win32 dialog, the command line) implements it with its
// own means; the controller calls it on the front end's own thread only.
// Texts are UTF-8.

#include <string>
#include <vector>

#include "app/dialog_settings.h"
#include "app/run_kind.h"
#include "app/run_progress.h"
#include "prep/job_inputs.h"

struct CJob;
struct CRunResult;
class CNotifyTarget;
class CRunObserver;

enum class Answer { Yes, No, Cancel };

// How a run, preview or undo ended, for the front end to show.
struct CRunEnd {
    RunKind kind;
    const CRunResult& result;
    const CJob& job;
    std::string countsLine;  // empty for a job refused before it started
    bool closing;            // the window closes right after
};

class CRunView {
  public:
    virtual ~CRunView() = default;

    // The four inputs as the controls hold them: the folder as path text,
    // the suffixes in the working code page (a text with no exact form
    // there is empty, and refused as such).
    virtual CDialogSettings Inputs() const = 0;
    // The same inputs as the settings store keeps text, to be saved.
    virtual CDialogSettings SettingsOfInputs() const { return Inputs(); }
    // Shows saved inputs in the controls (at start-up).
    virtual void ShowInputs(const CDialogSettings& settings) = 0;
    // The window that owns message boxes (null: none).
    virtual void* Owner() = 0;
    // The folders used last, newest first (at start-up and after a start).
    virtual void ShowRecentFolders(const std::vector<std::string>& /*folders*/) {}
    // Points at the input a refusal concerns (the rules files have no control).
    virtual void FocusInput(JobInput input) = 0;
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetCounts(const std::string& text) = 0;
    // The start/stop and preview buttons for state; kind is the job's.
    virtual void ShowState(RunState state, RunKind kind) = 0;

    // A question with 是 and 否; true for 是. By default a box of the
    // service class over Owner().
    virtual bool Confirm(const std::string& text);
    // A question with 是, 否 and 取消.
    virtual Answer AskYesNoCancel(const std::string& text) = 0;
    // A warning; by default a box of the service class over Owner().
    virtual void Warn(const std::string& text);
    // Why the inputs cannot start a job, about the input it names; by
    // default a warning of its text.
    virtual void ShowInputRefusal(const CRefusal& refusal) { Warn(refusal.text); }
    // Why a job that started did nothing or could not do what it was asked
    // (its folder busy, a damaged journal); by default a warning.
    virtual void ShowJobRefusal(const std::string& text) { Warn(text); }
    // The framework's plain box, OK only and no icon (a thread that cannot start).
    virtual void Notice(const std::string& text) = 0;

    // Where the worker posts WM_JOB_PROGRESS and WM_JOB_DONE; the front end
    // hands them back to the controller on its own thread.
    virtual CNotifyTarget& NotifyTarget() = 0;
    // Receives every event of a job in walk order (on the worker's threads);
    // null: none. Asked once as each job is set up, before its worker starts.
    virtual CRunObserver* Observer() { return nullptr; }

    // Whether this front end shows progress with a total: only then are a
    // job's files counted while it runs.
    virtual bool WantsTotal() const { return false; }
    // Progress as it changes: when a job starts, at each file the status
    // line shows, and inactive once it has ended.
    virtual void ShowProgress(const CRunProgress& /*progress*/) {}

    // A job has started (after the status line says so).
    virtual void OnRunStarted(RunKind /*kind*/, const CJob& /*job*/) {}
    // A progress message has been shown on the status line.
    virtual void OnRunProgress(RunKind /*kind*/) {}
    // A job has ended and the window is idle again.
    virtual void OnRunEnded(const CRunEnd& /*end*/) {}
    // The window closes now: a close asked for during the run that just ended.
    virtual void CloseWindow() = 0;
};
