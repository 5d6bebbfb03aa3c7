#pragma once
// CFilePool: the files a walk selects, rewritten by several threads at once,
// with everything they report handed back in walk order. The walk's thread
// hands in files and folder events; each worker has its own rewriter and
// buffers; outcomes are delivered on the walk's thread only, in the order
// the walk met them, whatever the timing of the workers, so that a run
// reports the same whatever the number of threads. At most a few files per
// worker are in hand at once.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/rewrite/file_rewriter.h"
#include "engine/run/run_state.h"
#include "engine/walk/folder_renamer.h"
#include "platform/dir.h"

class CFilePool {
  public:
    using FileDone = std::function<void(const std::string& displayPath, const CFileResult& r)>;
    using EventDone = std::function<void(CRunEvent event)>;
    using Configure = std::function<void(CFileRewriter& rewriter)>;

    // workers rewriters of job, set up by configure: the calling thread's own
    // and workers - 1 threads. Fewer start if the system refuses threads;
    // with none, Submit rewrites on the calling thread.
    CFilePool(const CJob& job, unsigned workers, Configure configure, FileDone onFile,
              EventDone onEvent);
    // Finish() and the threads joined.
    ~CFilePool();
    CFilePool(const CFilePool&) = delete;
    CFilePool& operator=(const CFilePool&) = delete;

    // Hands a selected file to the workers; waits while too many are in hand.
    void Submit(std::shared_ptr<const CDir> dir, CDirEntry entry, std::string displayPath);
    // An event that comes after every file handed in so far.
    void Event(CRunEvent event);
    // Returns once every file handed in is handled and delivered.
    void Finish();

  private:
    struct CTask {
        std::shared_ptr<const CDir> dir;
        CDirEntry entry;
        std::string displayPath;
        CFileResult result;
        bool done = false;  // guarded by m_mutex
    };
    // One item of the walk's order: a file in hand, or an event after it.
    struct CItem {
        std::unique_ptr<CTask> task;
        CRunEvent event;
    };

    void Work();
    // Rewrites task's file and marks it done; lock is unlocked on entry
    // and locked on return.
    void ProcessFile(CFileRewriter& rewriter, CTask& task, std::unique_lock<std::mutex>& lock);
    // Delivers the items at the front that are complete.
    void DeliverReady();
    // Delivers until fewer than limit items are left.
    void DeliverUntil(size_t limit);

    const CJob& m_job;
    Configure m_configure;
    FileDone m_onFile;
    EventDone m_onEvent;
    size_t m_limit;  // items in hand at most

    std::deque<CItem> m_order;  // the walk's thread only

    std::mutex m_mutex;
    std::condition_variable m_workCv;  // a task waits, or the pool closes
    std::condition_variable m_doneCv;  // a task is done
    std::deque<CTask*> m_queue;        // tasks no worker has taken yet
    unsigned m_idle = 0;               // workers waiting for a task
    CTask* m_pAwaited = nullptr;       // the task the walk's thread waits for
    bool m_bClosing = false;
    std::vector<std::thread> m_threads;
    std::unique_ptr<CFileRewriter> m_own;  // the walk's thread's
};

// A folder is renamed only once every file inside it has been handled: with
// files in the workers' hands, a rename first waits for all of them (folders
// that a rule renames are few, so waiting for all is cheap).
class CRenamerAfterFiles final : public CFolderRenamer {
  public:
    CRenamerAfterFiles(CFolderRenamer& renamer, CFilePool& pool)
        : m_renamer(renamer), m_pool(pool) {}
    CIoResult Rename(const CDir& parent, const std::string& parentPath,
                     const CPlatformName& oldName, const CPlatformName& newName) override {
        m_pool.Finish();
        return m_renamer.Rename(parent, parentPath, oldName, newName);
    }

  private:
    CFolderRenamer& m_renamer;
    CFilePool& m_pool;
};

// The number of workers for a job: jobs when it is above 0, else one per
// processor the system reports (at least one).
unsigned WorkerCount(unsigned jobs);
