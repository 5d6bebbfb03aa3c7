#pragma once
// Where a run's changes meet its journal: CJournalReplace is handed to the
// file replace of one file, CJournalRenamer stands in front of the real
// folder renamer. Both record a change before it is made.

#include <cstdint>
#include <string>

#include "engine/journal/run_journal.h"
#include "engine/report/reason_texts.h"
#include "engine/walk/folder_renamer.h"
#include "platform/file_io.h"

class CJournalReplace final : public CReplaceJournal {
  public:
    // path: the file's path below the chosen folder; the hash of the
    // original's bytes, and the new bytes' size and hash.
    CJournalReplace(CRunJournal& journal, std::string path, std::uint64_t originalHash,
                    std::uint64_t newSize, std::uint64_t newHash);

    CIoResult KeepOriginal(const CDir& dir, const CPlatformName& name, const CFileStamp& stamp,
                           bool& linked) override;
    CIoResult RecordReplace(const CNodeId& newId, const CPlatformName& tempName) override;
    void DropOriginal() override;

    // Why the journal stopped the replace; None when it did not.
    Reason m_failure = Reason::None;
    int m_osError = 0;

  private:
    CIoResult Failed(Reason reason, const CIoResult& r);

    CRunJournal& m_journal;
    CJournalEntry m_entry;
    bool m_bKept = false;
};

class CJournalRenamer final : public CFolderRenamer {
  public:
    // folderPath: the chosen folder as the walk spells it (ending in "/").
    CJournalRenamer(CRunJournal& journal, CFolderRenamer& inner, std::string folderPath)
        : m_journal(journal), m_inner(inner), m_folderPath(std::move(folderPath)) {}

    CIoResult Rename(const CDir& parent, const std::string& parentPath,
                     const CPlatformName& oldName, const CPlatformName& newName) override;

  private:
    CRunJournal& m_journal;
    CFolderRenamer& m_inner;
    const std::string m_folderPath;
};
