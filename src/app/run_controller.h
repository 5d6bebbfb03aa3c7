#pragma once
// CRunController: the run protocol every front end shares, Idle -> Running
// -> (Stopping) -> Idle, for a run, a preview and an undo. Start checks the
// inputs, asks about the folder's interrupted last run and confirms a run
// before it starts the worker; Stop asks it to stop; the worker's two
// messages come back through the view's notification target and are handed
// in here; a close request during a run asks first and closes the window
// once the worker has finished. It owns the stop word, the job parameters
// (until the worker takes them) and the worker.
//
// Front end's thread only, except the stop word, which the worker polls.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/file_choice.h"
#include "app/file_total.h"
#include "app/run_kind.h"
#include "app/run_view.h"

class CAppSession;
struct CPreviewedRun;
class CReplaceThread;

class CRunController {
  public:
    CRunController(CAppSession& session, CRunView& view);
    // Stops and joins a worker still running.
    ~CRunController();
    CRunController(const CRunController&) = delete;
    CRunController& operator=(const CRunController&) = delete;

    enum class Outcome { Started, Refused, Declined, NotStarted };
    // A run or a preview of the inputs the view holds.
    Outcome Start(RunKind kind);
    // A run of what a preview showed (its own rules; the files kept): asks
    // again when a rules file changed since, then confirms as a run does.
    Outcome StartPreviewed(const CPreviewedRun& run);
    // An undo of the last run on folder (a dry one: what it would do).
    Outcome StartUndo(const std::string& folder, bool dryRun = false);
    // A stop request while running: the worker ends at its next poll.
    void Stop();
    // A close request: true when the window may close now. During a run it
    // asks first; on 是 the run is stopped and CloseWindow follows its end.
    bool RequestClose();
    // Stops and joins a running worker (the window is going).
    void Shutdown();
    // The same, then the inputs the view holds are saved for the next start.
    void ShutdownAndSave();

    // The worker's messages, on the front end's thread.
    void OnJobProgress(std::intptr_t count);
    void OnJobDone();

    // Reads the inputs into the job tables; with validate 1 also checks
    // them and loads the tables. 1 ready, 0 refused (after one warning).
    int CollectInputs(int validate);

    RunState State() const { return m_state; }
    bool IsRunning() const { return m_state != RunState::Idle; }
    // The files the job in hand handles, once counted (a view that wants
    // the total only); -1 before. Any thread.
    long TotalFiles() const { return m_total.Total(); }
    // The stop word, for a front end that stops from elsewhere (Ctrl-C).
    std::atomic<bool>& StopWord() { return m_stopWord; }

    // --- how this front end wants the protocol; set before a start ---
    bool m_bConfirm = true;         // ask before a run and an undo
    bool m_bAskInterrupted = true;  // ask about an interrupted last run; else warn
    bool m_bOffersUndo = true;      // the view offers a run's undo in its results
    unsigned m_jobs = 0;            // threads that rewrite files; 0: one per processor
    bool m_bKeepJournal = true;     // keep a journal so that a run can be undone
    // The rules' warnings go above a run's question (a preview asks none);
    // else they are warned of before any job of the rules, asked or not.
    bool m_bWarningsInQuestion = true;
    // Ways of choosing files that this front end offers besides the suffixes.
    CFileChoice m_fileChoice;
    // Called with each new worker before its thread starts.
    std::function<void(CReplaceThread&)> m_prepareWorker;
    // Starts the worker; false when it cannot be started. Default: a thread of its own.
    std::function<bool(CReplaceThread&)> m_startThread;
    // For a start seam that runs the job on the calling thread instead.
    static void RunHere(CReplaceThread& worker);

  private:
    // The question about the folder's interrupted last run; true: go on.
    bool GoOnAfterInterrupted(const CJob& job);
    // The confirmation before a run writes; true: go on.
    bool ConfirmRun(const CJob& job);
    Outcome Launch(CJob job, RunKind kind);
    void ReturnToIdle();

    CAppSession& m_session;
    CRunView& m_view;
    RunState m_state = RunState::Idle;
    RunKind m_kind = RunKind::Run;
    std::atomic<bool> m_stopWord{true};         // set means "STOP"; polled by the worker
    std::unique_ptr<CReplaceThread> m_pWorker;  // joined before it is released
    CFileTotal m_total;                         // counts the job's files beside its worker
    bool m_bCloseAfterRun = false;
    size_t m_leftOut = 0;  // files of a previewed run left out, for its counts
    std::chrono::steady_clock::time_point m_started;
    std::string m_rulesWarnings;  // of the last load, one line each
};
