#include "engine/rewrite/recorded_replace.h"

#include "engine/journal/journal_format.h"
#include "engine/journal/journal_hooks.h"

void CRecordedReplace::Begin(CRunJournal* journal, std::string_view path) {
    m_pJournal = journal;
    m_path = path;
}

CFileResult CRecordedReplace::Replace(const CDir& dir, const CPlatformName& name,
                                      const CFileStamp& stamp, std::string_view mark,
                                      std::string_view body, std::uint64_t originalHash,
                                      CFileReader* opened) {
    if (m_job.dryRun)
        return Outcome(CheckReplaceableAt(dir, name, stamp));
    // The hash is the journal's: a run that records none does not make it.
    const std::uint64_t hash = Recording() ? Hash64({mark, body}) : 0;
    return Commit(mark.size() + body.size(), hash, originalHash, [&](CReplaceJournal* journal) {
        return ReplaceFileAt(dir, name, stamp, {mark, body}, journal, opened);
    });
}

CFileResult CRecordedReplace::Commit(std::uint64_t size, std::uint64_t hash,
                                     std::uint64_t originalHash,
                                     const std::function<CIoResult(CReplaceJournal*)>& replace) {
    if (!m_pJournal)
        return Outcome(replace(nullptr));
    // The folder's previous journal goes before its first change, also
    // when this run keeps none.
    if (const CIoResult started = m_pJournal->Start(); !started.Ok() || !m_pJournal->Recording()) {
        if (!started.Ok() && m_pJournal->Recording())
            return CFileResult::Skipped(Reason::UndoCannotWrite, started.osError);
        return Outcome(replace(nullptr));
    }
    CJournalReplace journal(*m_pJournal, m_path, originalHash, size, hash);
    const CIoResult r = replace(&journal);
    if (journal.m_failure != Reason::None)
        return CFileResult::Skipped(journal.m_failure, journal.m_osError);
    return Outcome(r);
}

CFileResult CRecordedReplace::Outcome(const CIoResult& r) {
    if (r.Ok())
        return {FileOutcome::Rewritten, Reason::None, 0};
    const Reason reason = ReplaceReason(r);
    if (IsRefusal(r.status))
        return CFileResult::Skipped(reason, reason == Reason::NoPermission ? r.osError : 0);
    return {FileOutcome::WriteFailed, reason, r.osError};
}
