#include "engine/run_session.h"

#include <chrono>

#include "engine/name_quote.h"
#include "engine/run_summary.h"
#include "platform/file_io.h"

namespace {

std::string Options(const CJob& job) {
    std::string text = job.includeSubfolders ? "-s" : "";
    if (job.renameFolders)
        text += text.empty() ? "-R" : " -R";
    for (const std::string& ext : job.extensions)
        text += (text.empty() ? "*." : ";*.") + ext;
    return text;
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
        return Refuse(result, "无法创建撤销日志文件夹 " + PathForDisplay(job.journalRoot) +
                                  "，未做任何改动。");
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
                return Refuse(result, "文件夹 " + PathForDisplay(busy) +
                                          " 正在被另一次执行或撤销处理，请等它结束后再试。");
            return Refuse(result, "无法锁定撤销日志文件夹 " + PathForDisplay(job.journalRoot) +
                                      "：" + OsErrorText(r.osError));
        }
    } else {
        m_store.Root().OpenChild(CJournalStore::KeyOf(realPath), m_folder);
    }
    m_bPrevious = m_folder.IsOpen() && CJournalStore::ReadLog(m_folder, m_previous);
    if (m_bPrevious && !m_previous.finished) {
        result.interrupted = true;
        if (writes)
            RemoveLeftovers(job.folder);
    }
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

void CRunSession::RemoveLeftovers(const std::string& folderPath) {
    CDir root;
    if (!CDir::OpenPath(folderPath, root).Ok())
        return;
    for (const CJournalEntry& e : m_previous.entries) {
        if (e.kind != JournalRecord::File || e.tempName.empty() || !IsOwnTempFileName(e.tempName))
            continue;
        std::string folder, name;
        SplitRelative(e.path, folder, name);
        CDir holder;
        const CDir* dir = nullptr;
        // Only the file that was made then, by the name and identity recorded.
        if (OpenRelative(root, folder, holder, dir).Ok())
            RemoveFileAt(*dir, e.tempName, e.newId);
    }
}

void CRunSession::End() {
    if (m_journal)
        m_journal->Finish();
}
