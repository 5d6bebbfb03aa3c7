#include "app/file_total.h"

#include "engine/journal/journal_format.h"
#include "engine/journal/journal_store.h"
#include "engine/run/job.h"
#include "engine/walk/file_count.h"

namespace {

// An undo handles each file its journal recorded; -1 without a journal.
long FilesInJournal(const CJob& job) {
    CJournalContents journal;
    if (job.journalRoot.empty() || !ReadLastRun(job.journalRoot, job.folder, journal))
        return -1;
    long files = 0;
    for (const CJournalEntry& e : journal.entries)
        files += e.kind == JournalRecord::File;
    return files;
}

}  // namespace

CFileTotal::~CFileTotal() {
    Stop();
}

void CFileTotal::Start(const CJob& job) {
    Stop();
    m_total.store(-1);
    m_stop.store(false);
    m_thread = std::thread([this, job] {
        m_total.store(job.undo ? FilesInJournal(job) : CountSelectedFiles(job, &m_stop));
    });
}

void CFileTotal::Stop() {
    m_stop.store(true);
    if (m_thread.joinable())
        m_thread.join();
}
