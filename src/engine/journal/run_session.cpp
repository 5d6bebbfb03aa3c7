#include "engine/journal/run_session.h"

#include <chrono>
#include <unordered_map>
#include <vector>

#include "engine/report/name_quote.h"
#include "engine/report/run_summary.h"
#include "platform/file_io.h"
#include "platform/paths.h"

namespace {

std::string Options(const CJob& job) {
    std::string text = job.includeSubfolders ? "-s" : "";
    if (job.renameFolders)
        text += text.empty() ? "-R" : " -R";
    for (const std::string& ext : job.extensions)
        text += (text.empty() ? "*." : ";*.") + ext;
    return text;
}

// Whether the file a record names is, by identity, still the original.
bool StillOriginal(const CDir& root, const CJournalEntry& e) {
    std::string folder, name;
    SplitRelative(e.path, folder, name);
    CDir holder;
    const CDir* dir = nullptr;
    CFileStamp stamp;
    EntryType type{};
    return OpenRelative(root, folder, holder, dir).Ok() && StampAt(*dir, name, stamp, type).Ok() &&
           stamp.id == e.original.id;
}

}  // namespace

CIoResult OpenRelative(const CDir& root, const std::string& rel, CDir& holder, const CDir*& dir) {
    CDir here;
    const CDir* at = &root;
    dir = &root;
    size_t start = 0;
    while (start < rel.size()) {
        size_t slash = rel.find('/', start);
        if (slash == std::string::npos)
            slash = rel.size();
        if (slash > start) {
            CDir next;
            if (CIoResult r = at->OpenChild(rel.substr(start, slash - start), next); !r.Ok())
                return r;
            here = std::move(next);
            at = &here;
        }
        start = slash + 1;
    }
    if (at != &root) {
        holder = std::move(here);
        dir = &holder;
    }
    return {};
}

void SplitRelative(const std::string& rel, std::string& folder, std::string& name) {
    const size_t slash = rel.rfind('/');
    folder = slash == std::string::npos ? std::string() : rel.substr(0, slash);
    name = slash == std::string::npos ? rel : rel.substr(slash + 1);
}

bool CRunSession::Refuse(CRunResult& result, std::string text) {
    result.refusal = std::move(text);
    return false;
}

bool CRunSession::Begin(CJob& job, CRunResult& result) {
    if (job.journalRoot.empty())
        return true;
    const bool writes = !job.dryRun;
    if (!m_store.Open(job.journalRoot, writes).Ok()) {
        if (!writes)
            return true;
        return Refuse(result, FillMessage(N_("无法创建撤销日志文件夹 {}，未做任何改动。"),
                                          {PathForDisplay(job.journalRoot)}));
    }
    job.protectedFolders.push_back(m_store.Root().Id());
    const std::string realPath = RealPathOf(job.folder);
    CNodeId folderId;
    if (realPath.empty() || !IdentifyPath(realPath, folderId).Ok())
        return true;  // the walk reports the missing folder
    if (writes) {
        std::string busy;
        if (CIoResult r = m_store.LockFolder(realPath, m_lock, m_folder, busy); !r.Ok()) {
            if (r.status == IoStatus::Busy)
                return Refuse(
                    result,
                    FillMessage(N_("文件夹 {} 正在被另一次执行或撤销处理，请等它结束后再试。"),
                                {PathForDisplay(busy)}));
            return Refuse(result,
                          FillMessage(N_("无法锁定撤销日志文件夹 {}：{}"),
                                      {PathForDisplay(job.journalRoot), OsErrorText(r.osError)}));
        }
    } else {
        m_store.Root().OpenChild(CJournalStore::KeyOf(realPath), m_folder);
    }
    m_bPrevious = m_folder.IsOpen() && CJournalStore::ReadLog(m_folder, m_previous);
    m_journalPath = m_store.RootPath() + kPathSeparator + CJournalStore::KeyOf(realPath);
    if (m_bPrevious && m_previous.damagedLine != 0) {
        // Its changes could not be undone any more once a run replaced it.
        if (writes && !job.undo)
            return Refuse(result, DamageText() + "\n" + Tr(kDamagedRunHint));
    } else if (writes) {
        RemoveLeftovers(job.folder);
    }
    result.interrupted = m_bPrevious && !m_previous.finished && m_previous.damagedLine == 0;
    if (writes && !job.undo) {
        CJournalHeader header{realPath, folderId, 0, Options(job)};
        header.startTime = std::chrono::duration_cast<std::chrono::seconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
        m_journal = std::make_unique<CRunJournal>(m_store, std::move(m_folder),
                                                  CJournalStore::KeyOf(realPath), header,
                                                  job.keepJournal, job.journalCopyLimit);
    }
    return true;
}

std::string CRunSession::DamageText() const {
    return FillMessage(N_("撤销日志已损坏（第 {} 行）：{}"),
                       {std::to_string(m_previous.damagedLine), PathForDisplay(m_journalPath)});
}

void CRunSession::RemoveLeftovers(const std::string& folderPath) {
    CDir root;
    if (!CDir::OpenPath(folderPath, root).Ok())
        return;
    // Only a file that was made then, by the name and identity recorded.
    const auto removeTemp = [&root](const CJournalEntry& e) {
        std::string folder, name;
        SplitRelative(e.path, folder, name);
        CDir holder;
        const CDir* dir = nullptr;
        if (!e.tempName.empty() && OpenRelative(root, folder, holder, dir).Ok())
            RemoveFileAt(*dir, e.tempName, e.newId);
    };
    for (const CJournalEntry& e : CJournalStore::ReadUndoTemps(m_folder))
        removeTemp(e);
    if (!m_bPrevious || m_previous.finished)
        return;
    for (const CJournalEntry& e : m_previous.entries) {
        if (e.kind == JournalRecord::File)
            removeTemp(e);
    }
    RemoveUnusedOriginals(root);
}

// An interrupted run may have kept originals it never replaced: a second
// link to a file still in the tree would make the next walk see two names
// for it. Such a keep is either unrecorded, or recorded for a file that is
// still the original itself; neither is needed to undo anything.
void CRunSession::RemoveUnusedOriginals(const CDir& root) {
    std::unordered_map<std::string, const CJournalEntry*> recorded;
    for (const CJournalEntry& e : m_previous.entries) {
        if (e.kind == JournalRecord::File)
            recorded[std::to_string(e.seq)] = &e;
    }
    for (const char* keep : {"link", "copy"}) {
        CDir kept;
        std::vector<CDirEntry> names;
        if (!m_folder.OpenChild(keep, kept).Ok() || !kept.Snapshot(names).Ok())
            continue;
        for (const CDirEntry& n : names) {
            CFileStamp stamp;
            EntryType type{};
            const CJournalName name = JournalNameOf(n.name);
            if (!StampAt(kept, name, stamp, type).Ok() || type != EntryType::File)
                continue;
            const auto at = recorded.find(name);
            if (at == recorded.end() || StillOriginal(root, *at->second))
                RemoveFileAt(kept, name, stamp.id);
        }
    }
}

void CRunSession::End() {
    if (m_journal)
        m_journal->Finish();
}
