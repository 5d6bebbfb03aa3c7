#include "engine/journal/undo_run.h"

#include <utility>

#include "engine/journal/journal_store.h"
#include "engine/journal/run_session.h"
#include "engine/report/reason_texts.h"
#include "platform/file_io.h"
#include "platform/journal_files.h"
#include "platform/name_text.h"

namespace {

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

bool SameOriginal(const CFileStamp& now, const CFileStamp& original) {
    return now.id == original.id && now.size == original.size && now.mtimeNs == original.mtimeNs;
}

constexpr size_t kHashPiece = size_t{1} << 20;

}  // namespace

CIoResult CUndoRun::CTempRecorder::KeepOriginal(const CDir&, const CPlatformName&,
                                                const CFileStamp&, bool& linked) {
    linked = false;  // the journal holds the original already
    return {};
}

CIoResult CUndoRun::CTempRecorder::RecordReplace(const CNodeId& newId,
                                                 const CPlatformName& tempName) {
    if (!m_log.IsOpen()) {
        if (CIoResult r = CJournalStore::StartUndoTemps(m_journalFolder, m_log); !r.Ok())
            return r;
    }
    m_entry.newId = newId;
    m_entry.tempName = NameToPathText(tempName);
    return m_log.Append(EncodeEntry(m_entry));
}

CUndoRun::CUndoRun(std::string folderPath, const CDir& journalFolder,
                   const CJournalContents& journal, bool dryRun, CRunResult& result)
    : m_folderPath(std::move(folderPath)),
      m_journalFolder(journalFolder),
      m_journal(journal),
      m_bDryRun(dryRun),
      m_result(result),
      m_temps(journalFolder) {}
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
    CRunEvent event{kind, m_folderPath + WalkPathOf(path),
                    newPath.empty() ? "" : m_folderPath + WalkPathOf(newPath),
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

bool CUndoRun::IsOriginal(const CJournalEntry& e, const CFileStamp& now,
                          std::string_view bytes) const {
    if (SameOriginal(now, e.original))
        return true;  // never changed
    // Put back already, as a copy or by an undo that was cut short.
    return e.hasOriginalHash && now.size == e.original.size && Hash64(bytes) == e.originalHash;
}

bool CUndoRun::KeptIntact(const CDir& dir, const CJournalName& name, const CJournalEntry& e) {
    if (!e.hasOriginalHash)
        return true;  // a journal from before hashes: its stamp is all there is
    CFileReader reader;
    if (!reader.Open(dir, PlatformNameOf(name)).Ok())
        return false;
    CHash64 hash;
    m_buffer.resize(kHashPiece);
    for (size_t got = 0;; hash.Add(std::string_view(m_buffer.data(), got))) {
        if (!reader.Read(m_buffer.data(), m_buffer.size(), got).Ok())
            return false;
        if (got == 0)
            return hash.Value() == e.originalHash;
    }
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
    if (IsOriginal(e, now, bytes)) {
        ++m_result.unchanged;
        return;
    }
    if (now.id != e.newId || now.size != e.newSize || Hash64(bytes) != e.newHash)
        return Event(RunEventKind::Skipped, e.path, "", Reason::ChangedSinceRun);
    std::string().swap(bytes);
    const CDir& keep = e.kept == KeptAs::Link ? m_links : m_copies;
    const std::string keepName = std::to_string(e.seq);
    CFileStamp kept;
    EntryType type{};
    if (!keep.IsOpen() || !StampAt(keep, keepName, kept, type).Ok() || type != EntryType::File ||
        (e.kept == KeptAs::Link ? !SameOriginal(kept, e.original) : kept.size != e.original.size))
        return Event(RunEventKind::Skipped, e.path, "", Reason::OriginalGone);
    // A copy is checked as it is copied back; a link is moved back whole.
    if ((e.kept == KeptAs::Link || m_bDryRun) && !KeptIntact(keep, keepName, e))
        return Event(RunEventKind::Skipped, e.path, "", Reason::OriginalDamaged);
    // The run left the original's mode; a mode set since is the user's.
    const Reason note = now.mode != kept.mode ? Reason::ModeKeptSinceRun : Reason::None;
    if (m_bDryRun)
        return Event(RunEventKind::Rewritten, e.path, "", note);
    bool damaged = false;
    const CIoResult r = e.kept == KeptAs::Link
                            ? RestoreLink(keep, keepName, kept, *dir, name, now)
                            : RestoreCopy(e, keep, keepName, *dir, name, now, damaged);
    if (r.Ok())
        return Event(RunEventKind::Rewritten, e.path, "", note);
    if (damaged)
        return Event(RunEventKind::Skipped, e.path, "", Reason::OriginalDamaged);
    if (r.status == IoStatus::Changed)
        return Event(RunEventKind::Skipped, e.path, "", Reason::ChangedSinceRun);
    Event(RunEventKind::WriteFailed, e.path, "", ReplaceReason(r), r.osError);
}

CIoResult CUndoRun::RestoreLink(const CDir& keep, const CJournalName& keepName,
                                const CFileStamp& kept, const CDir& dir, const CJournalName& name,
                                const CFileStamp& now) {
    if (kept.mode != now.mode) {
        if (CIoResult r = SetModeAt(keep, keepName, now.mode); !r.Ok())
            return r;
    }
    return MoveOverAt(keep, keepName, dir, name, now);
}

// A copy lies on another file system: its bytes go into a new file beside
// the one the run made, which gives it its attributes (the mode among them,
// as the run left it or as set since), and that file replaces it. Bytes that
// do not hash to the original's are never put in place.
CIoResult CUndoRun::RestoreCopy(const CJournalEntry& e, const CDir& keep,
                                const CJournalName& keepName, const CDir& dir,
                                const CJournalName& name, const CFileStamp& now, bool& damaged) {
    CFileReader reader;
    if (CIoResult r = reader.Open(keep, PlatformNameOf(keepName)); !r.Ok())
        return r;
    CFileReplacement replacement;
    if (CIoResult r = replacement.Begin(dir, PlatformNameOf(name), now, true); !r.Ok())
        return r;
    m_temps.m_entry = CJournalEntry{};
    m_temps.m_entry.kind = JournalRecord::UndoTemp;
    m_temps.m_entry.seq = e.seq;
    m_temps.m_entry.path = e.path;
    m_buffer.resize(kHashPiece);
    for (bool first : {true, false}) {
        CHash64 hash;
        std::uint64_t at = 0;
        for (size_t got = 1; got != 0; at += got) {
            if (CIoResult r = reader.ReadAt(at, m_buffer.data(), m_buffer.size(), got); !r.Ok())
                return r;
            const std::string_view piece(m_buffer.data(), got);
            hash.Add(piece);
            if (CIoResult r = replacement.Write(piece); !r.Ok())
                return r;
        }
        if (e.hasOriginalHash && hash.Value() != e.originalHash) {
            damaged = true;
            return {IoStatus::Changed, 0};
        }
        const CIoResult r = replacement.Commit(&m_temps);
        if (r.Ok() || !first || !replacement.LinkFailed())
            return r;
        if (CIoResult again = replacement.Again(); !again.Ok())
            return again;
    }
    return {IoStatus::NameTempFailed, 0};
}

void CUndoRun::UndoFolder(const CJournalEntry& e) {
    if (e.oldName == e.newName)
        return;  // a name kept as it was: nothing was done
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
