#include "engine/journal/journal_store.h"

#include <algorithm>
#include <cstdio>

#include "platform/file_io.h"
#include "platform/paths.h"

namespace {

constexpr const char* kRegistryLock = "registry.lock";
constexpr const char* kLock = "lock";
constexpr const char* kPath = "path";
constexpr const char* kLog = "log";
constexpr const char* kLinkFolder = "link";
constexpr const char* kCopyFolder = "copy";
constexpr const char* kUndoTemps = "undo";

// Whether one folder lies inside the other, or they are the same.
bool Nested(const std::string& a, const std::string& b) {
    auto inside = [](const std::string& inner, const std::string& outer) {
        if (inner == outer)
            return true;
        const std::string prefix = outer.ends_with(kPathSeparator) ? outer : outer + kPathSeparator;
        return inner.starts_with(prefix);
    };
    return inside(a, b) || inside(b, a);
}

std::string ReadSmall(const CDir& folder, const char* name) {
    std::string bytes;
    CFileStamp stamp;
    if (!ReadFileAt(folder, name, bytes, stamp, 1 << 20).Ok())
        return {};
    return bytes;
}

}  // namespace

std::string JournalRootIn(const std::string& dataFolder) {
    return dataFolder.empty() ? std::string() : dataFolder + kPathSeparator + "journal";
}

namespace {

// The journal folder of folder (any spelling) below root.
bool OpenJournalOf(const std::string& root, const std::string& folder, CJournalStore& store,
                   CDir& journal) {
    const std::string real = RealPathOf(folder);
    return !real.empty() && store.Open(root, false).Ok() &&
           store.Root().OpenChild(CJournalStore::KeyOf(real), journal).Ok();
}

}  // namespace

bool LastRunInterrupted(const std::string& root, const std::string& folder) {
    CJournalStore store;
    CDir journal;
    CJournalContents contents;
    if (!OpenJournalOf(root, folder, store, journal) ||
        !CJournalStore::ReadLog(journal, contents) || contents.finished ||
        contents.damagedLine != 0)
        return false;
    // A run or an undo that holds the folder now is not an interrupted one.
    CFileLock probe;
    return probe.Lock(journal, kLock, false).status != IoStatus::Busy;
}

bool HasLastRun(const std::string& root, const std::string& folder) {
    CJournalStore store;
    CDir journal;
    CFileStamp stamp;
    EntryType type{};
    return OpenJournalOf(root, folder, store, journal) &&
           StampAt(journal, kLog, stamp, type).Ok() && type == EntryType::File && stamp.size > 0;
}

bool ReadLastRun(const std::string& root, const std::string& folder, CJournalContents& contents) {
    CJournalStore store;
    CDir journal;
    return OpenJournalOf(root, folder, store, journal) && CJournalStore::ReadLog(journal, contents);
}

CIoResult CJournalStore::Open(const std::string& root, bool create) {
    m_rootPath = root;
    if (root.empty())
        return {IoStatus::NotFound, 0};
    if (create && !MakeFolders(root))
        return {IoStatus::CreateTempFailed, 0};
    return CDir::OpenPath(root, m_root);
}

std::string CJournalStore::KeyOf(const std::string& realPath) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(Hash64(realPath)));
    return text;
}

CIoResult CJournalStore::LockFolder(const std::string& realPath, CFileLock& lock, CDir& folder,
                                    std::string& busyFolder) {
    CFileLock registry;
    if (CIoResult r = registry.Lock(m_root, kRegistryLock, true); !r.Ok())
        return r;
    const std::string key = KeyOf(realPath);
    std::vector<CDirEntry> entries;
    if (CIoResult r = m_root.Snapshot(entries); !r.Ok())
        return r;
    for (const CDirEntry& e : entries) {
        CDir other;
        if (e.type != EntryType::Folder || JournalNameOf(e.name) == key ||
            !m_root.OpenChild(e.name, other).Ok())
            continue;
        const std::string path = ReadSmall(other, kPath);
        if (path.empty() || !Nested(path, realPath))
            continue;
        CFileLock probe;
        if (probe.Lock(other, kLock, false).status == IoStatus::Busy) {
            busyFolder = path;
            return {IoStatus::Busy, 0};
        }
    }
    if (CIoResult r = MakeFolderAt(m_root, key); !r.Ok())
        return r;
    if (CIoResult r = m_root.OpenChild(key, folder); !r.Ok())
        return r;
    if (CIoResult r = lock.Lock(folder, kLock, false); !r.Ok()) {
        if (r.status == IoStatus::Busy)
            busyFolder = realPath;
        return r;
    }
    if (ReadSmall(folder, kPath) != realPath)
        return WriteSmallFileAt(folder, kPath, realPath);
    return {};
}

std::vector<CJournalEntry> CJournalStore::ReadUndoTemps(const CDir& folder) {
    std::string bytes;
    CFileStamp stamp;
    if (!ReadFileAt(folder, kUndoTemps, bytes, stamp).Ok())
        return {};
    return DecodeUndoTemps(bytes);
}

CIoResult CJournalStore::StartUndoTemps(const CDir& folder, CAppendFile& file) {
    if (CIoResult r = RemoveTreeAt(folder, kUndoTemps); !r.Ok())
        return r;
    return file.Create(folder, kUndoTemps);
}

bool CJournalStore::ReadLog(const CDir& folder, CJournalContents& contents) {
    std::string bytes;
    CFileStamp stamp;
    if (!ReadFileAt(folder, kLog, bytes, stamp).Ok())
        return false;
    return DecodeJournal(bytes, contents);
}

CIoResult CJournalStore::SetJournalAside(const CDir& folder) {
    // The log first: from then on no journal claims anything kept.
    if (CIoResult r = RemoveTreeAt(folder, kLog); !r.Ok())
        return r;
    if (CIoResult r = RemoveTreeAt(folder, kUndoTemps); !r.Ok())
        return r;
    for (const char* name : {kLinkFolder, kCopyFolder}) {
        const std::string aside = std::string("old-") + name;
        if (CIoResult r = RemoveTreeAt(folder, aside); !r.Ok())  // left by a killed process
            return r;
        const CIoResult r = folder.RenameChild(PlatformNameOf(name), PlatformNameOf(aside));
        if (!r.Ok() && r.status != IoStatus::NotFound)
            return r;
    }
    return {};
}

CIoResult CJournalStore::RemoveSetAside(const CDir& folder) {
    for (const char* name : {"old-link", "old-copy"}) {
        if (CIoResult r = RemoveTreeAt(folder, name); !r.Ok())
            return r;
    }
    return {};
}

CIoResult CJournalStore::ClearJournal(const CDir& folder) {
    if (CIoResult r = SetJournalAside(folder); !r.Ok())
        return r;
    return RemoveSetAside(folder);
}

std::uint64_t CJournalStore::CopyBytes(const CDir& folder) {
    CDir copies;
    std::vector<CDirEntry> entries;
    if (!folder.OpenChild(kCopyFolder, copies).Ok() || !copies.Snapshot(entries).Ok())
        return 0;
    std::uint64_t total = 0;
    for (const CDirEntry& e : entries) {
        CFileStamp stamp;
        EntryType type{};
        if (StampAt(copies, JournalNameOf(e.name), stamp, type).Ok())
            total += stamp.size;
    }
    return total;
}

std::vector<CJournalInfo> CJournalStore::List() {
    std::vector<CJournalInfo> list;
    std::vector<CDirEntry> entries;
    if (!m_root.IsOpen() || !m_root.Snapshot(entries).Ok())
        return list;
    for (const CDirEntry& e : entries) {
        CDir folder;
        if (e.type != EntryType::Folder || !m_root.OpenChild(e.name, folder).Ok())
            continue;
        CJournalInfo info;
        info.key = JournalNameOf(e.name);
        info.folder = ReadSmall(folder, kPath);
        info.readable = ReadLog(folder, info.contents);
        if (!info.readable)
            continue;
        info.copyBytes = CopyBytes(folder);
        CFileLock probe;
        info.busy = probe.Lock(folder, kLock, false).status == IoStatus::Busy;
        list.push_back(std::move(info));
    }
    std::sort(list.begin(), list.end(), [](const CJournalInfo& a, const CJournalInfo& b) {
        return a.contents.header.startTime < b.contents.header.startTime;
    });
    return list;
}

CIoResult CJournalStore::Forget(const std::string& key) {
    CDir folder;
    if (CIoResult r = m_root.OpenChild(key, folder); !r.Ok())
        return r;
    CFileLock lock;
    if (CIoResult r = lock.Lock(folder, kLock, false); !r.Ok())
        return r;
    return ClearJournal(folder);
}

std::uint64_t CJournalStore::CopyBytesExcept(const std::string& except) {
    std::uint64_t total = 0;
    for (const CJournalInfo& info : List()) {
        if (info.key != except)
            total += info.copyBytes;
    }
    return total;
}

void CJournalStore::MakeRoom(const std::string& except, std::uint64_t target) {
    std::vector<CJournalInfo> list = List();  // oldest first
    std::uint64_t total = 0;
    for (const CJournalInfo& info : list) {
        if (info.key != except)
            total += info.copyBytes;
    }
    for (const CJournalInfo& info : list) {
        if (total <= target)
            return;
        // A damaged journal is kept for the person to look at: only Forget removes it.
        if (info.key == except || info.busy || info.copyBytes == 0 ||
            info.contents.damagedLine != 0)
            continue;
        if (Forget(info.key).Ok())
            total -= info.copyBytes;
    }
}
