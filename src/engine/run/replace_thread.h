#pragma once
// CReplaceThread: the worker object. It owns the thread of a run and runs a
// whole job on it: the folder walker hands each selected file to the file
// rewriter, and subfolders to the folder renamer on the way out. The job is
// the worker's own copy; it reports only through its notification target
// and m_result.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "engine/run/job.h"
#include "engine/run/run_state.h"
#include "platform/text_codec.h"

class CReplaceThread;
class CFileRewriter;
class CRunJournal;
class CRunSession;
struct CFileResult;
struct CDirEntry;
class CDir;

// Handed to the worker for one run. The owner allocates it; the thread
// procedure releases it when the run ends.
struct JobParams {
    CNotifyTarget* notify = nullptr;              // receives WM_JOB_PROGRESS and WM_JOB_DONE
    CReplaceThread* worker = nullptr;             // filled in by the worker's constructor
    const std::atomic<bool>* stopWord = nullptr;  // true means "STOP"
    CJob job;                                     // the run's inputs, copied by RunJob
    CRunObserver* observer = nullptr;             // receives the run's events and changes, if set
};

class CReplaceThread {
  public:
    using ThreadProc = unsigned (*)(JobParams* params);

    // A worker that runs on the calling thread (command line, tests).
    CReplaceThread() = default;
    // A worker for proc on a thread of its own; stores itself into params.
    CReplaceThread(ThreadProc proc, JobParams* params);
    // Joins the thread if one was started.
    ~CReplaceThread();
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

    // The run's steps by path, on m_job (tests, and callers without a walk):
    // each opens the folder it names and goes on through its handle.
    void WalkFolder(const std::string& folderPath);
    int MatchExtension(const std::string& fileName);
    void RenameSubfolder(const std::string& parentPath, const std::string& folderName);
    void ProcessFile(const std::string& path);

    // The encoding named by the first two bytes of a file (fewer bytes: EncAnsi).
    static TextEncoding DetectEncoding(std::string_view head) { return ::DetectEncoding(head); }

    // --- per-run fields ---
    CJob m_job;           // the run's own copy of its inputs
    int m_fileCount = 0;  // files selected so far in this run, the current one included
    CNotifyTarget* m_hNotify = nullptr;
    const std::atomic<bool>* m_pStopWord = nullptr;
    CRunObserver* m_pObserver = nullptr;

    // --- set by the owner before a run, read by the worker (tests only) ---
    // Called on the worker thread before each directory entry is handled.
    std::function<void(const std::string& entryPath)> m_entryHook;
    // Files from this size on are searched a piece at a time, never rewritten.
    std::uint64_t m_maxFileBytes = std::uint64_t{2} << 30;
    // Files from this size on are searched, and rewritten, a piece at a time.
    std::uint64_t m_streamFromBytes = std::uint64_t{64} << 20;

    // --- filled by the worker; read by the owner only after the run ---
    CRunResult m_result;

  private:
    void Post(unsigned message, std::intptr_t lParam);
    void Reset();
    // One selected file, on the walk's thread: counted and announced.
    void Announce();
    // What became of a file, in walk order.
    void RecordFile(const std::string& displayPath, const CFileResult& r);
    // Every event passes here: counted, kept if a problem, given to the sink.
    void Record(CRunEvent event);
    void ConfigureRewriter(CFileRewriter& rewriter);
    bool WantsChanges() const { return m_pObserver && m_pObserver->WantsChanges(); }
    void UndoLastRun(CRunSession& session);

    CRunJournal* m_pJournal = nullptr;  // the run's journal while it walks

    std::string m_sHandedPath;  // the file handed to the rewriter last
    ThreadProc m_proc = nullptr;
    JobParams* m_pParams = nullptr;
    std::thread m_thread;
};
