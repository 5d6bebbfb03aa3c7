#pragma once
// CRunJournal: the journal one run writes, so that the run can be undone.
// Nothing is written until the first change is about to be made; then the
// folder's previous journal goes and the new log starts with its header.
// Each record is appended (one write) before the change it describes, in
// the order the changes are made; the log is flushed to disk every
// kSyncEvery records and at the end. Thread-safe: rewriters on several
// threads and the walker may call it at once.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "engine/journal/journal_format.h"
#include "engine/journal/journal_store.h"
#include "platform/dir.h"
#include "platform/journal_files.h"

class CRunJournal {
  public:
    static constexpr std::uint64_t kSyncEvery = 256;

    // folder: the chosen folder's journal folder, locked by the caller. With
    // record false the journal only clears the previous one at the first
    // change and records nothing (a run without undo).
    CRunJournal(CJournalStore& store, CDir folder, std::string key, CJournalHeader header,
                bool record, std::uint64_t copyLimit = kJournalCopyLimit);

    ~CRunJournal();
    CRunJournal(const CRunJournal&) = delete;
    CRunJournal& operator=(const CRunJournal&) = delete;

    bool Recording() const { return m_bRecord; }
    // Called before every change; the first call clears the previous journal
    // and starts the new one. Anything but Ok: no change may be made.
    CIoResult Start();
    std::uint64_t NextSeq() { return m_nextSeq.fetch_add(1, std::memory_order_relaxed); }

    // Keeps the original of a file about to be replaced: a second link when
    // the file system allows, else a checked copy while the copies stay within
    // the limit (NoRoom when they would not).
    CIoResult Keep(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp,
                   std::uint64_t seq, KeptAs& kept);
    // Lets go of what Keep kept for a change that was not made.
    void Drop(std::uint64_t seq, KeptAs kept, std::uint64_t size);
    CIoResult Append(const CJournalEntry& entry);
    // Ends the log of a run that was started: the End record, then a flush.
    CIoResult Finish();

    // Tests only: never link, as if the journal lay on another file system.
    bool m_bNoLinks = false;

  private:
    CIoResult StartLocked();
    bool Reserve(std::uint64_t size);

    CJournalStore& m_store;
    CDir m_folder;
    const std::string m_key;
    const CJournalHeader m_header;
    const bool m_bRecord;
    const std::uint64_t m_copyLimit;
    std::atomic<std::uint64_t> m_nextSeq{1};

    std::thread m_sweeper;  // removes the previous journal's originals meanwhile
    std::mutex m_mutex;     // guards everything below
    bool m_bStarted = false;
    CIoResult m_startResult;
    CDir m_links, m_copies;
    CAppendFile m_log;
    std::uint64_t m_records = 0;
    std::uint64_t m_copied = 0;        // bytes of this run's copies
    std::uint64_t m_othersCopied = 0;  // of other folders' journals, as of the start
};
