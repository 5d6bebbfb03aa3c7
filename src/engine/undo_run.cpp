#include "engine/undo_run.h"

#include <utility>

#include "engine/reason_texts.h"
#include "engine/run_session.h"
#include "platform/file_io.h"
#include "platform/journal_files.h"

namespace {

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

// A name for the restored copy beside the file: one of the replace's own
// temporary names, so that no walk ever selects it.
std::string RestoreTempName(std::uint64_t seq, int attempt) {
    static constexpr char kChars[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::uint64_t n = Hash64(std::to_string(seq) + "/" + std::to_string(attempt));
    std::string name = ".vexa~";
    for (int i = 0; i < 6; ++i, n /= 36)
        name += kChars[n % 36];
    return name + ".tmp";
}

bool SameOriginal(const CFileStamp& now, const CFileStamp& original) {
    return now.id == original.id && now.size == original.size && now.mtimeNs == original.mtimeNs;
}

}  // namespace

CUndoRun::CUndoRun(std::string folderPath, const CDir& journalFolder,
                   const CJournalContents& journal, bool dryRun, CRunResult& result)
    : m_folderPath(std::move(folderPath)),
      m_journalFolder(journalFolder),
      m_journal(journal),
      m_bDryRun(dryRun),
      m_result(result) {}

bool CUndoRun::Run(const std::atomic<bool>* stopWord, const std::function<void()>& onFile) {
    if (!CDir::OpenPath(m_folderPath, m_root).Ok() || m_root.Id() != m_journal.header.folderId)
        return false;
    m_journalFolder.OpenChild("link", m_links);
    m_journalFolder.OpenChild("copy", m_copies);
    for (auto e = m_journal.entries.rbegin(); e != m_journal.entries.rend(); ++e) {
        if (stopWord && stopWord->load(std::memory_order_relaxed)) {
            m_result.stopped = true;
            break;
        }
        if (e->kind == JournalRecord::File) {
            ++m_result.selected;
            onFile();
            UndoFile(*e);
        } else {
            UndoFolder(*e);
        }
    }
    return true;
}

void CUndoRun::Event(RunEventKind kind, std::string path, std::string newPath, Reason reason,
                     int osError) {
    CRunEvent event{kind, m_folderPath + path, newPath.empty() ? "" : m_folderPath + newPath,
                    reason == Reason::None ? "" : ReasonText(reason, osError)};
    if (m_onEvent)
        m_onEvent(std::move(event));
    else
        m_result.Record(std::move(event));
}

std::string CUndoRun::Translate(const std::string& rel) const {
    std::string path = rel;
    for (auto m = m_moved.rbegin(); m != m_moved.rend(); ++m) {
        if (path == m->first || path.starts_with(m->first + "/"))
            path = m->second + path.substr(m->first.size());
    }
    return path;
}

CIoResult CUndoRun::Locate(const std::string& rel, CDir& holder, const CDir*& dir) const {
    return OpenRelative(m_root, Translate(rel), holder, dir);
}

void CUndoRun::UndoFile(const CJournalEntry& e) {
    std::string folder, name;
    SplitRelative(e.path, folder, name);
    CDir holder;
    const CDir* dir = nullptr;
    std::string bytes;
    CFileStamp now;
    if (!Locate(folder, holder, dir).Ok() || !ReadFileAt(*dir, name, bytes, now).Ok())
        return Event(RunEventKind::Skipped, e.path, "", Reason::ChangedSinceRun);
    if (SameOriginal(now, e.original)) {
        ++m_result.unchanged;  // never changed, or put back already
        return;
    }
    if (now.id != e.newId || now.size != e.newSize || Hash64(bytes) != e.newHash)
        return Event(RunEventKind::Skipped, e.path, "", Reason::ChangedSinceRun);
    const CDir& keep = e.kept == KeptAs::Link ? m_links : m_copies;
    const std::string keepName = std::to_string(e.seq);
    CFileStamp kept;
    EntryType type{};
    if (!keep.IsOpen() || !StampAt(keep, keepName, kept, type).Ok() || type != EntryType::File ||
        (e.kept == KeptAs::Link ? !SameOriginal(kept, e.original) : kept.size != e.original.size))
        return Event(RunEventKind::Skipped, e.path, "", Reason::OriginalGone);
    if (m_bDryRun)
        return Event(RunEventKind::Rewritten, e.path, "", Reason::None);
    const CIoResult r = e.kept == KeptAs::Link ? MoveOverAt(keep, keepName, *dir, name, now)
                                               : RestoreCopy(keep, keepName, kept, *dir, name, now);
    if (r.Ok())
        return Event(RunEventKind::Rewritten, e.path, "", Reason::None);
    if (r.status == IoStatus::Changed)
        return Event(RunEventKind::Skipped, e.path, "", Reason::ChangedSinceRun);
    Event(RunEventKind::WriteFailed, e.path, "", ReplaceReason(r), r.osError);
}

// A copy lies on another file system: it is copied again beside the file,
// attributes and all, and renamed over it.
CIoResult CUndoRun::RestoreCopy(const CDir& keep, const CJournalName& keepName,
                                const CFileStamp& kept, const CDir& dir, const CJournalName& name,
                                const CFileStamp& now) {
    CIoResult r;
    for (int attempt = 0; attempt < 10; ++attempt) {
        const std::string temp = RestoreTempName(kept.id.ino, attempt);
        r = CopyFileAt(keep, keepName, kept, dir, temp);
        if (r.status == IoStatus::Exists)
            continue;
        if (!r.Ok())
            return r;
        r = MoveOverAt(dir, temp, dir, name, now);
        if (!r.Ok()) {
            CFileStamp made;
            EntryType type{};
            if (StampAt(dir, temp, made, type).Ok())
                RemoveFileAt(dir, temp, made.id);
        }
        return r;
    }
    return r;
}

void CUndoRun::UndoFolder(const CJournalEntry& e) {
    const std::string newRel = Join(e.path, e.newName);
    const std::string oldRel = Join(e.path, e.oldName);
    CDir holder;
    const CDir* parent = nullptr;
    if (!Locate(e.path, holder, parent).Ok() || parent->Id() != e.parentId)
        return Event(RunEventKind::RenameFailed, newRel, oldRel, Reason::FolderChangedSinceRun);
    CFileStamp stamp;
    EntryType type{};
    const bool atNew = StampAt(*parent, e.newName, stamp, type).Ok() && type == EntryType::Folder &&
                       stamp.id == e.folderId;
    if (!atNew) {
        const bool atOld = StampAt(*parent, e.oldName, stamp, type).Ok() &&
                           type == EntryType::Folder && stamp.id == e.folderId;
        if (!atOld)  // else: never renamed, or renamed back already
            Event(RunEventKind::RenameFailed, newRel, oldRel, Reason::FolderChangedSinceRun);
        return;
    }
    if (m_bDryRun) {
        const std::string parentNow = Translate(e.path);
        const std::string oldNow = Join(parentNow, e.oldName);
        if (StampAt(*parent, e.oldName, stamp, type).status != IoStatus::NotFound &&
            !m_freed.count(oldNow))
            return Event(RunEventKind::RenameFailed, newRel, oldRel, Reason::TargetExists);
        m_freed.erase(oldNow);
        m_freed.insert(Join(parentNow, e.newName));
        m_moved.emplace_back(oldRel, Join(parentNow, e.newName));
        return Event(RunEventKind::Renamed, newRel, oldRel, Reason::None);
    }
    const CIoResult r = parent->RenameChild(PlatformNameOf(e.newName), PlatformNameOf(e.oldName));
    if (r.Ok())
        return Event(RunEventKind::Renamed, newRel, oldRel, Reason::None);
    Event(RunEventKind::RenameFailed, newRel, oldRel, RenameReason(r.status),
          r.status == IoStatus::Exists ? 0 : r.osError);
}
