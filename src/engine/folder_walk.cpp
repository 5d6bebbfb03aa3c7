// The walk over a folder tree: files selected by extension go to ProcessFile,
// subfolders are walked depth-first and renamed by the rename rules once their
// contents have been handled. Runs on the worker thread only.

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "engine/job_tables.h"
#include "engine/replace_thread.h"
#include "platform/atomic_replace.h"
#include "platform/dir_snapshot.h"
#include "platform/mbcs.h"
#include "platform/sys_calls.h"
#include "service/core.h"

namespace {

std::string WithOsReason(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

const char* RenameFailure(int error) {
    switch (error) {
        case EEXIST:
        case ENOTEMPTY:
            return "目标已存在";
        case ENOENT:
            return "文件夹已不存在";
        default:
            return "无法重命名";
    }
}

// 0 when name exists in the folder dirFd (or at full when dirFd is AT_FDCWD),
// links not followed; the errno of the probe otherwise.
int Probe(int dirFd, const std::string& name, const std::string& full) {
    struct stat st {};
    const char* at = dirFd == AT_FDCWD ? full.c_str() : name.c_str();
    return ::fstatat(dirFd, at, &st, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

}  // namespace

void CReplaceThread::ResetWalk() {
    m_walkedFolders.clear();
    m_processedFiles.clear();
    m_simulatedTaken.clear();
    m_simulatedFreed.clear();
}

void CReplaceThread::WalkFolder(const std::string& folderPath) {
    WalkFolderAt(AT_FDCWD, folderPath, folderPath);
}

// One folder: parentFd and name reach it (AT_FDCWD and the full path for the
// top folder), folderPath is its full path ending in "/". Opening it relative
// to the parent works at any depth, whatever the length of folderPath.
void CReplaceThread::WalkFolderAt(int parentFd, const std::string& name,
                                  const std::string& folderPath) {
    if (StopRequested()) {
        m_result.stopped = true;
        return;
    }
    const int fd = OpenFolderAt(parentFd, name.c_str());
    if (fd < 0) {
        RecordFolderSkipped(folderPath, "无法打开文件夹", errno);
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        RecordFolderSkipped(folderPath, "无法打开文件夹", errno);
        ::close(fd);
        return;
    }
    // Reached before (through a link, or a folder listed again): already
    // handled in this run, which is not a failure.
    if (!m_walkedFolders.insert({st.st_dev, st.st_ino}).second) {
        ::close(fd);
        return;
    }
    const CDirSnapshot snap = TakeDirSnapshot(fd);
    if (!snap.Ok())
        RecordFolderSkipped(folderPath, "无法列出文件夹内容", snap.error);
    for (const CDirEntry& entry : snap.entries) {
        if (StopRequested()) {
            m_result.stopped = true;
            break;
        }
        if (m_entryHook)
            m_entryHook(folderPath + entry.name);
        HandleEntry(fd, folderPath, entry);
    }
    ::close(fd);
}

void CReplaceThread::HandleEntry(int dirFd, const std::string& folderPath, const CDirEntry& entry) {
    if (!entry.isDir) {
        if (MatchExtension(entry.name) == 1)
            SelectFile(dirFd, folderPath, entry);
        return;
    }
    if (g_jobTables.includeSubfolders == 0)
        return;
    WalkFolderAt(dirFd, entry.name, folderPath + entry.name + "/");
    RenameSubfolderAt(dirFd, folderPath, entry.name);
}

void CReplaceThread::SelectFile(int dirFd, const std::string& folderPath, const CDirEntry& entry) {
    if (entry.known && !m_processedFiles.insert({entry.dev, entry.ino}).second)
        return;
    const size_t eventsBefore = m_result.events.size();
    ProcessFile(folderPath + entry.name);
    // A rewrite replaces the file by a new one: remember that one too, so a
    // link listed later that leads to it does not get the rules again. A
    // file that was not rewritten keeps its identity: no need to look again.
    const bool rewritten = m_result.events.size() > eventsBefore &&
                           m_result.events.back().kind == RunEventKind::Rewritten;
    struct stat st {};
    if (rewritten && ::fstatat(dirFd, entry.name.c_str(), &st, 0) == 0)
        m_processedFiles.insert({st.st_dev, st.st_ino});
}

int CReplaceThread::MatchExtension(const std::string& fileName) {
    // The rewrite's temporary files are never the user's, also under "*".
    if (IsOwnTempFileName(fileName))
        return 0;
    for (int i = 0; i < g_jobTables.extensionCount; ++i) {
        if (MbsCompare(g_jobTables.Extension(i), "*") == 0)
            return 1;
    }
    const std::string ext = g_pCore->getFg(fileName, '.', 1);
    if (ext.empty())
        return 0;
    for (int i = 0; i < g_jobTables.extensionCount; ++i) {
        if (MbsCompare(ext, g_jobTables.Extension(i)) == 0)
            return 1;
    }
    return 0;
}

void CReplaceThread::RenameSubfolder(const std::string& parentPath, const std::string& folderName) {
    RenameSubfolderAt(AT_FDCWD, parentPath, folderName);
}

void CReplaceThread::RenameSubfolderAt(int dirFd, const std::string& parentPath,
                                       const std::string& folderName) {
    if (g_jobTables.renameFolders == 0)
        return;
    for (int i = 0; i < g_jobTables.renameRuleCount; ++i) {
        if (MbsCompare(folderName, g_jobTables.OldName(i)) != 0)
            continue;
        const std::string oldName(g_jobTables.OldName(i));
        const std::string newName(g_jobTables.NewName(i));
        const int error = RenameEntry(dirFd, parentPath, oldName, newName);
        CRunEvent event{error == 0 ? RunEventKind::Renamed : RunEventKind::RenameFailed,
                        parentPath + oldName, parentPath + newName, ""};
        if (error != 0)
            event.reason = WithOsReason(RenameFailure(error), error);
        m_result.events.push_back(std::move(event));
        return;  // only the first rule with this old name
    }
}

int CReplaceThread::RenameEntry(int dirFd, const std::string& parentPath,
                                const std::string& oldName, const std::string& newName) {
    if (m_bDryRun)
        return SimulateRename(dirFd, parentPath, oldName, newName);
    const std::string from = parentPath + oldName;
    const std::string to = parentPath + newName;
    if (dirFd == AT_FDCWD || (from.size() < PATH_MAX && to.size() < PATH_MAX)) {
        int error = 0;
        if (g_pCore->renameFolder(from.c_str(), to.c_str(), &error))
            return 0;
        return error != 0 ? error : EIO;
    }
    // Beyond what the system calls accept as a path: relative to the parent's
    // descriptor, still never replacing what exists.
    if (Sys().renameat2(dirFd, oldName.c_str(), dirFd, newName.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    return errno;
}

// What a real rename would do, given the renames simulated so far in this run:
// a name an earlier simulated rename took is taken, one it freed is free.
int CReplaceThread::SimulateRename(int dirFd, const std::string& parentPath,
                                   const std::string& oldName, const std::string& newName) {
    const std::string from = parentPath + oldName;
    const std::string to = parentPath + newName;
    auto probe = [&](const std::string& name, const std::string& full) {
        if (m_simulatedTaken.count(full))
            return 0;
        if (m_simulatedFreed.count(full))
            return ENOENT;
        return Probe(dirFd, name, full);
    };
    if (const int error = probe(oldName, from); error != 0)
        return error;
    const int target = probe(newName, to);
    if (target == 0)
        return EEXIST;
    if (target != ENOENT)
        return target;
    m_simulatedTaken.erase(from);
    m_simulatedFreed.insert(from);
    m_simulatedFreed.erase(to);
    m_simulatedTaken.insert(to);
    return 0;
}

void CReplaceThread::RecordFolderSkipped(const std::string& folderPath, const char* what,
                                         int error) {
    m_result.events.push_back({RunEventKind::FolderSkipped, folderPath, "",
                               WithOsReason(error == ENOENT ? "文件夹已不存在" : what, error)});
}
