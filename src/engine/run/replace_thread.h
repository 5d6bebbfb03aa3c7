#pragma once
// CReplaceThread: the worker object, the thread around a run. It owns the
// thread, copies the job when the run starts and runs it through Execute;
// it reports through its notification target (the two window messages) and
// the owner's observer, and leaves the outcome in m_result.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "engine/run/job.h"
#include "engine/run/run_state.h"

class CReplaceThread;

// Handed to the worker for one run. The owner allocates it; the thread
// procedure releases it when the run ends.
struct JobParams {
    CNotifyTarget* notify = nullptr;              // receives WM_JOB_PROGRESS and WM_JOB_DONE
    CReplaceThread* worker = nullptr;             // filled in by the worker's constructor
    const std::atomic<bool>* stopWord = nullptr;  // true means "STOP"
    CJob job;                                     // the run's inputs, copied by RunJob
    CRunObserver* observer = nullptr;             // receives the run's events and changes, if set
};

class CReplaceThread final : private CRunObserver {
  public:
    using ThreadProc = unsigned (*)(JobParams* params);

    // A worker that runs on the calling thread (command line, tests).
    CReplaceThread() = default;
    // A worker for proc on a thread of its own; stores itself into params.
    CReplaceThread(ThreadProc proc, JobParams* params);
    // Joins the thread if one was started.
    ~CReplaceThread() override;
    CReplaceThread(const CReplaceThread&) = delete;
    CReplaceThread& operator=(const CReplaceThread&) = delete;

    // Starts proc(params) on a new thread; false when no thread could be made.
    bool CreateThread();
    // Runs proc(params) on the calling thread instead (the command line).
    void RunHere();
    // Waits for the thread to end; no effect when none runs.
    void Join();

    // The whole run: copies params->job, walks its folder (or, for an undo
    // job, undoes the folder's last run), posts WM_JOB_DONE. Returns 1. A run
    // that may not start (its folder is busy) posts only WM_JOB_DONE and says
    // why in m_result.refusal.
    int RunJob(JobParams* params);
    // The run itself, on m_job with folderPath as its folder: Execute, with
    // this worker passing on what the run reports.
    void WalkFolder(const std::string& folderPath);

    // --- per-run fields ---
    CJob m_job;           // the run's own copy of its inputs
    int m_fileCount = 0;  // files selected so far in this run, the current one included

    // Tests only: called on the worker thread before each directory entry.
    std::function<void(const std::string& entryPath)> m_entryHook;

    // --- filled by the worker; read by the owner only after the run ---
    CRunResult m_result;

  private:
    // What the run reports: progress is posted as WM_JOB_PROGRESS, the rest
    // goes to the owner's observer.
    void OnFileSelected(int count) override;
    void OnEntry(const std::string& entryPath) override;
    void OnEvent(const CRunEvent& event) override;
    bool WantsChanges() const override;
    void OnChange(const std::string& path, std::string_view oldText,
                  std::string_view newText) override;
    void Post(unsigned message, std::intptr_t lParam);

    CNotifyTarget* m_hNotify = nullptr;
    const std::atomic<bool>* m_pStopWord = nullptr;
    CRunObserver* m_pObserver = nullptr;
    ThreadProc m_proc = nullptr;
    JobParams* m_pParams = nullptr;
    std::thread m_thread;
};
