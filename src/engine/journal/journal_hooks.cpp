#include "engine/journal/journal_hooks.h"

#include "platform/name_text.h"

#include <utility>

#include "platform/journal_files.h"

CJournalReplace::CJournalReplace(CRunJournal& journal, std::string path, std::uint64_t originalHash,
                                 std::uint64_t newSize, std::uint64_t newHash)
    : m_journal(journal) {
    m_entry.kind = JournalRecord::File;
    m_entry.path = JournalPathOf(path);
    m_entry.originalHash = originalHash;
    m_entry.hasOriginalHash = true;
    m_entry.newSize = newSize;
    m_entry.newHash = newHash;
}

CIoResult CJournalReplace::Failed(Reason reason, const CIoResult& r) {
    m_failure = reason;
    m_osError = r.osError;
    return r.Ok() ? CIoResult{IoStatus::CreateTempFailed, 0} : r;
}

CIoResult CJournalReplace::KeepOriginal(const CDir& dir, const CPlatformName& name,
                                        const CFileStamp& stamp, bool& linked) {
    m_entry.seq = m_journal.NextSeq();
    m_entry.original = stamp;
    const CIoResult r = m_journal.Keep(dir, name, stamp, m_entry.seq, m_entry.kept);
    if (!r.Ok()) {
        if (r.status == IoStatus::Changed)
            return r;  // the file changed: the replace's own refusal
        return Failed(r.status == IoStatus::NoRoom ? Reason::UndoNoRoom : Reason::UndoCannotKeep,
                      r);
    }
    m_bKept = true;
    linked = m_entry.kept == KeptAs::Link;
    return {};
}

CIoResult CJournalReplace::RecordReplace(const CNodeId& newId, const CPlatformName& tempName) {
    m_entry.newId = newId;
    m_entry.tempName = NameToPathText(tempName);
    if (CIoResult r = m_journal.Append(m_entry); !r.Ok())
        return Failed(Reason::UndoCannotWrite, r);
    return {};
}

void CJournalReplace::DropOriginal() {
    if (m_bKept)
        m_journal.Drop(m_entry.seq, m_entry.kept, m_entry.original.size);
    m_bKept = false;
}

CIoResult CJournalRenamer::Rename(const CDir& parent, const std::string& parentPath,
                                  const CPlatformName& oldName, const CPlatformName& newName) {
    if (CIoResult r = m_journal.Start(); !r.Ok())
        return r;
    if (m_journal.Recording()) {
        CJournalEntry entry;
        entry.kind = JournalRecord::Folder;
        entry.seq = m_journal.NextSeq();
        entry.path =
            JournalPathOf(parentPath.substr(std::min(parentPath.size(), m_folderPath.size())));
        entry.parentId = parent.Id();
        entry.oldName = NameToPathText(oldName);
        entry.newName = NameToPathText(newName);
        CFileStamp stamp;
        EntryType type{};
        if (CIoResult r = StampAt(parent, JournalNameOf(oldName), stamp, type); !r.Ok())
            return r;
        if (type != EntryType::Folder)
            return {IoStatus::NotFolder, 0};
        entry.folderId = stamp.id;
        if (CIoResult r = m_journal.Append(entry); !r.Ok())
            return r;
    }
    return m_inner.Rename(parent, parentPath, oldName, newName);
}
