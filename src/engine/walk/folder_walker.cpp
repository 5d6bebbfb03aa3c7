#include "engine/walk/folder_walker.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "engine/walk/glob.h"
#include "engine/walk/listed_files.h"
#include "engine/walk/name_order.h"
#include "engine/walk/version_control.h"
#include "platform/file_io.h"
#include "platform/name_text.h"
#include "platform/paths.h"

namespace {

// The suffix of a file name: the part between its first and second dot.
std::string_view SuffixOf(std::string_view name) {
    const size_t first = name.find('.');
    if (first == std::string_view::npos)
        return {};
    const size_t second = name.find('.', first + 1);
    return name.substr(
        first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1);
}

}  // namespace

CFolderWalker::CFolderWalker(const CJob& job, CFolderRenamer& renamer, CRunResult& result,
                             const std::atomic<bool>* stopWord, EventHandler onEvent)
    : m_job(job),
      m_codePage(job.codePage.empty() ? CCodePage::Working().Name() : job.codePage),
      m_renamer(renamer),
      m_result(result),
      m_pStopWord(stopWord),
      m_onEvent(std::move(onEvent)),
      m_protected(job.protectedFiles.begin(), job.protectedFiles.end()),
      m_protectedFolders(job.protectedFolders.begin(), job.protectedFolders.end()),
      m_bSelectAll(std::find(job.extensions.begin(), job.extensions.end(), "*") !=
                   job.extensions.end()) {}

bool CFolderWalker::StopRequested() const {
    return m_pStopWord && m_pStopWord->load(std::memory_order_relaxed);
}

bool CFolderWalker::Selects(const std::string& fileName, const std::string& relativePath) const {
    // The rewrite's temporary files are never the user's, also under "*".
    if (IsOwnTempFileName(fileName))
        return false;
    if (m_bSelectAll)
        return true;
    const std::string_view suffix = SuffixOf(fileName);
    for (const std::string& ext : m_job.extensions) {
        if (!suffix.empty() && suffix == ext)
            return true;
    }
    for (const std::string& glob : m_job.globs) {
        if (GlobMeans(glob, fileName, relativePath, false))
            return true;
    }
    return false;
}

bool CFolderWalker::Excluded(const std::string& name, const std::string& relativePath,
                             bool folder) const {
    for (const std::string& exclude : m_job.excludes) {
        if (GlobMeans(exclude, name, relativePath, folder))
            return true;
    }
    return false;
}

void CFolderWalker::WalkFolder(const std::string& folderPath, const FileHandler& onFile) {
    m_stack.clear();
    m_walked.clear();
    RaiseOpenFolderLimit();
    if (StopRequested()) {
        m_result.stopped = true;
        return;
    }
    CFrame root;
    root.path = folderPath;
    if (root.path.empty() || kPathSeparators.find(root.path.back()) == std::string::npos)
        root.path += kPathSeparator;
    if (m_job.useFileList)
        return WalkList(root, onFile);
    m_kept.clear();
    for (const std::string& kept : m_job.keptFiles)
        m_kept.insert(root.path + kept);
    if (!Enter(root, CDir::OpenPath(folderPath, *root.dir)))
        return;
    m_stack.push_back(std::move(root));
    while (!m_stack.empty()) {
        CFrame& top = m_stack.back();
        if (top.next < top.entries.size() && StopRequested()) {
            m_result.stopped = true;
            top.next = top.entries.size();
        }
        if (top.next == top.entries.size()) {
            // Post-order: a folder is renamed once everything in it is done.
            const CFrame done = std::move(top);
            m_stack.pop_back();
            if (!m_stack.empty())
                RenameSubfolder(*m_stack.back().dir, m_stack.back().path, done.name);
            continue;
        }
        // Each entry is handled once: it leaves the listing without a copy.
        const CDirEntry entry = std::move(top.entries[top.next++]);
        if (m_entryHook)
            m_entryHook(top.path + NameToPathText(entry.name));
        Handle(top, entry, onFile);
    }
}

void CFolderWalker::WalkList(CFrame& root, const FileHandler& onFile) {
    if (const CIoResult opened = CDir::OpenPath(root.path, *root.dir); !opened.Ok())
        return RecordFolderSkipped(root.path, FolderReason(opened.status, false), opened.osError);
    CListedFiles files(root.dir, root.path, m_codePage, m_protectedFolders);
    std::unordered_set<CNodeId, CNodeIdHash> handed;
    for (const std::string& listed : m_job.fileList) {
        if (StopRequested()) {
            m_result.stopped = true;
            return;
        }
        CListedFile file = files.Find(listed);
        if (file.repeated)
            continue;  // handled once already
        if (m_entryHook)
            m_entryHook(file.displayPath);
        std::string workingName;
        if (file.reason == Reason::None &&
            (m_protected.count(file.entry.id) ||
             (NameToWorking(m_codePage, file.entry.name, workingName) &&
              IsOwnTempFileName(workingName))))
            file.reason = Reason::OwnFile;
        if (file.reason != Reason::None)
            m_onEvent({RunEventKind::Skipped, file.displayPath, "",
                       ReasonText(file.reason, file.osError)});
        else if (handed.insert(file.entry.id).second)  // a file listed twice gets the rules once
            onFile(file.dir, file.entry, file.displayPath);
    }
}

bool CFolderWalker::Enter(CFrame& frame, CIoResult opened) {
    if (!opened.Ok()) {
        RecordFolderSkipped(frame.path, FolderReason(opened.status, false), opened.osError);
        return false;
    }
    // Reached before (a bind mount, a folder listed again): handled once.
    if (!m_walked.insert(frame.dir->Id()).second)
        return false;
    if (CIoResult listed = frame.dir->Snapshot(frame.entries); !listed.Ok())
        RecordFolderSkipped(frame.path, FolderReason(listed.status, true), listed.osError);
    SortByName(frame.entries);
    return true;
}

void CFolderWalker::Handle(const CFrame& frame, const CDirEntry& entry, const FileHandler& onFile) {
    if (IsVersionControlName(NameToPathText(entry.name)))
        return;
    // Compared with the suffixes and patterns in the code page they are
    // written in; a name with no exact form there is not selected.
    std::string workingName;
    const bool named = NameToWorking(m_codePage, entry.name, workingName);
    const std::string relative =
        frame.relative + (named ? workingName : NameToPathText(entry.name));
    if (named && Excluded(workingName, relative, entry.type == EntryType::Folder))
        return;
    switch (entry.type) {
        case EntryType::Link:
            m_onEvent(
                {RunEventKind::LinkPassedOver, frame.path + NameToPathText(entry.name), "", ""});
            return;
        case EntryType::Folder: {
            if (!m_job.includeSubfolders)
                return;
            CFrame child;
            child.name = entry.name;
            child.path = frame.path + NameToPathText(entry.name) + kPathSeparator;
            child.relative = relative + "/";
            const CIoResult opened = frame.dir->OpenChild(entry.name, *child.dir);
            if (opened.Ok() && m_protectedFolders.count(child.dir->Id()))
                return;
            if (Enter(child, opened)) {
                m_stack.push_back(std::move(child));  // frame is not used after this
                return;
            }
            // A folder that could not be read may still be renamed; one that
            // is gone or became something else is left alone.
            if (opened.Ok() || opened.status == IoStatus::OpenFailed)
                RenameSubfolder(*frame.dir, frame.path, entry.name);
            return;
        }
        case EntryType::File:
            if (m_protected.count(entry.id))
                return;
            break;
        case EntryType::Other:
            break;
    }
    if (!named || !Selects(workingName, relative))
        return;
    std::string displayPath = frame.path + NameToPathText(entry.name);
    if (!m_job.keepOnly || m_kept.count(displayPath))
        onFile(frame.dir, entry, displayPath);
}

void CFolderWalker::RenameSubfolder(const CDir& parent, const std::string& parentPath,
                                    const CPlatformName& folderName) {
    // Rules are compared in their code page; a name with no exact form there matches none.
    std::string workingName;
    if (!m_job.renameFolders || !NameToWorking(m_codePage, folderName, workingName))
        return;
    for (const CRenameRuleText& rule : m_job.renameRules) {
        if (workingName != rule.oldName)
            continue;
        if (rule.newName == rule.oldName)
            return;  // the name stays: nothing to do, nothing to record
        CPlatformName newName;
        const CIoResult r = NameFromWorking(m_codePage, rule.newName, newName)
                                ? m_renamer.Rename(parent, parentPath, folderName, newName)
                                : CIoResult{IoStatus::RenameFailed, 0};
        CRunEvent event{r.Ok() ? RunEventKind::Renamed : RunEventKind::RenameFailed,
                        parentPath + NameToPathText(folderName),
                        parentPath + NameToPathText(newName), ""};
        if (!r.Ok()) {
            // Taken or gone reads the same whether the rename was real or simulated.
            const bool plain = r.status == IoStatus::Exists || r.status == IoStatus::NotFound;
            event.reason = ReasonText(RenameReason(r.status), plain ? 0 : r.osError);
        }
        m_onEvent(std::move(event));
        return;  // only the first rule with this old name
    }
}

void CFolderWalker::RecordFolderSkipped(const std::string& path, Reason reason, int osError) {
    const bool plain = reason == Reason::FolderGone || reason == Reason::FolderBecameLink;
    m_onEvent({RunEventKind::FolderSkipped, path, "", ReasonText(reason, plain ? 0 : osError)});
}
