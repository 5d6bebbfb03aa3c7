#pragma once
// CRecordedReplace: the last step of a rewrite. The file is replaced by its
// new bytes through the run's journal when the run keeps one (or, in a dry
// run, checked in its place), and the outcome becomes the file's result.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/journal/run_journal.h"
#include "engine/rewrite/file_result.h"
#include "engine/run/job.h"
#include "platform/dir.h"
#include "platform/file_io.h"

class CRecordedReplace {
  public:
    explicit CRecordedReplace(const CJob& job) : m_job(job) {}

    // Before each file: the run's journal (null: none) and the file's path
    // below the chosen folder.
    void Begin(CRunJournal* journal, std::string_view path);
    // Whether the replace will go through a journal that records it: only
    // then is the original's hash worth making.
    bool Recording() const { return m_pJournal && m_pJournal->Recording() && !m_job.dryRun; }
    bool Journaled() const { return m_pJournal != nullptr; }

    // The file whose bytes as read had originalHash replaced by mark + body;
    // opened: the file as it was read, still open, or null.
    CFileResult Replace(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp,
                        std::string_view mark, std::string_view body, std::uint64_t originalHash,
                        CFileReader* opened = nullptr);
    // The replace done by replace (given the file's journal record or null):
    // size and hash are of the new bytes, originalHash of the old ones.
    CFileResult Commit(std::uint64_t size, std::uint64_t hash, std::uint64_t originalHash,
                       const std::function<CIoResult(CReplaceJournal*)>& replace);
    // The outcome of a replace, or of the check in its place in a dry run.
    static CFileResult Outcome(const CIoResult& r);

  private:
    const CJob& m_job;
    CRunJournal* m_pJournal = nullptr;
    std::string m_path;
};
