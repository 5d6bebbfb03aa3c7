#include "engine/run/file_pool.h"

#include <new>
#include <system_error>

namespace {

// Files in hand per worker: enough that none waits for the walk, few enough
// that memory stays small.
constexpr size_t kInHandPerWorker = 8;

// displayPath without the chosen folder in front: the file's path below it.
std::string_view BelowFolder(const CJob& job, std::string_view displayPath) {
    return displayPath.substr(displayPath.starts_with(job.folder) ? job.folder.size() : 0);
}

CFileResult RewriteSafely(CFileRewriter& rewriter, const CDir& dir, const CDirEntry& entry,
                          std::string_view path) {
    try {
        return rewriter.Rewrite(dir, entry, path);
    } catch (const std::bad_alloc&) {
        return {FileOutcome::Skipped, Reason::OutOfMemory, 0};
    }
}

}  // namespace

unsigned WorkerCount(unsigned jobs) {
    if (jobs > 0)
        return jobs;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}

CFilePool::CFilePool(const CJob& job, unsigned workers, Configure configure, FileDone onFile,
                     EventDone onEvent)
    : m_job(job),
      m_configure(std::move(configure)),
      m_onFile(std::move(onFile)),
      m_onEvent(std::move(onEvent)),
      m_limit(kInHandPerWorker * (workers > 0 ? workers : 1)) {
    // One worker is the walk's own thread, which rewrites files itself while
    // it would wait for one: a run with -j1 starts no thread.
    for (unsigned i = 1; i < workers; ++i) {
        try {
            m_threads.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            break;  // fewer threads; the run goes on with those that started
        }
    }
    m_own = std::make_unique<CFileRewriter>(m_job);
    m_configure(*m_own);
}

CFilePool::~CFilePool() {
    Finish();
    {
        const std::lock_guard lock(m_mutex);
        m_bClosing = true;
    }
    m_workCv.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void CFilePool::Work() {
    CFileRewriter rewriter(m_job);
    m_configure(rewriter);
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_queue.empty()) {
            if (m_bClosing)
                return;
            // Counted, so that the walk wakes a worker only when one sleeps.
            ++m_idle;
            m_workCv.wait(lock, [this] { return m_bClosing || !m_queue.empty(); });
            --m_idle;
            continue;
        }
        CTask* task = m_queue.front();
        m_queue.pop_front();
        lock.unlock();
        ProcessFile(rewriter, *task, lock);
    }
}

void CFilePool::ProcessFile(CFileRewriter& rewriter, CTask& task,
                            std::unique_lock<std::mutex>& lock) {
    const CFileResult result =
        RewriteSafely(rewriter, *task.dir, task.entry, BelowFolder(m_job, task.displayPath));
    lock.lock();
    task.result = result;
    task.done = true;
    if (&task == m_pAwaited)
        m_doneCv.notify_one();
}

void CFilePool::Submit(std::shared_ptr<const CDir> dir, CDirEntry entry, std::string displayPath) {
    if (m_threads.empty()) {
        DeliverUntil(0);
        m_onFile(displayPath, RewriteSafely(*m_own, *dir, entry, BelowFolder(m_job, displayPath)));
        return;
    }
    DeliverUntil(m_limit - 1);
    auto task = std::make_unique<CTask>();
    task->dir = std::move(dir);
    task->entry = std::move(entry);
    task->displayPath = std::move(displayPath);
    bool sleeping = false;
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(task.get());
        sleeping = m_idle > 0;
    }
    if (sleeping)
        m_workCv.notify_one();
    m_order.push_back({std::move(task), {}});
}

void CFilePool::Event(CRunEvent event) {
    DeliverReady();
    if (m_order.empty())
        m_onEvent(std::move(event));
    else
        m_order.push_back({nullptr, std::move(event)});
}

void CFilePool::Finish() {
    DeliverUntil(0);
}

void CFilePool::DeliverReady() {
    while (!m_order.empty()) {
        CItem& item = m_order.front();
        if (item.task) {
            {
                const std::lock_guard lock(m_mutex);
                if (!item.task->done)
                    return;
            }
            m_onFile(item.task->displayPath, item.task->result);
        } else {
            m_onEvent(std::move(item.event));
        }
        m_order.pop_front();
    }
}

void CFilePool::DeliverUntil(size_t limit) {
    for (;;) {
        DeliverReady();
        if (m_order.size() <= limit)
            return;
        // The front is a file not done yet: rewrite one that no worker has
        // taken meanwhile, or wait for it when there is none.
        std::unique_lock lock(m_mutex);
        CTask* front = m_order.front().task.get();
        if (front->done)
            continue;
        if (!m_queue.empty()) {
            CTask* task = m_queue.front();
            m_queue.pop_front();
            lock.unlock();
            ProcessFile(*m_own, *task, lock);
            continue;
        }
        m_pAwaited = front;
        m_doneCv.wait(lock, [front] { return front->done; });
        m_pAwaited = nullptr;
    }
}
