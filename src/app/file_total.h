#pragma once
// CFileTotal: counts the files a job will handle, on a thread of its own,
// while the job runs: a run or preview by listing the folders it walks (no
// file is opened), an undo from its journal. Only a front end that shows
// progress asks for it. Started and stopped on the front end's thread;
// Total may be read from any thread.

#include <atomic>
#include <thread>

struct CJob;

class CFileTotal {
  public:
    CFileTotal() = default;
    // Stops and joins a count still going.
    ~CFileTotal();
    CFileTotal(const CFileTotal&) = delete;
    CFileTotal& operator=(const CFileTotal&) = delete;

    // Forgets any earlier total and starts counting job's files.
    void Start(const CJob& job);
    // Ends a count still going (at its next folder) and waits for it.
    void Stop();
    // The files counted; -1 while the count goes on, or when it was stopped.
    long Total() const { return m_total.load(); }

  private:
    std::atomic<long> m_total{-1};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
