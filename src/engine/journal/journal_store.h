#pragma once
// CJournalStore: the folder that holds the undo journals, one subfolder per
// chosen folder, named by a hash of the chosen folder's real path:
//
//   <data folder>/Vexa/journal/
//     registry.lock          held briefly while a run takes its folder's lock
//     <hash>/lock            held for the whole run (or undo) on the folder
//     <hash>/path            the chosen folder's real path
//     <hash>/log             the last run's records (journal_format.h)
//     <hash>/link/<seq>      originals kept as a second link (same file system)
//     <hash>/copy/<seq>      originals kept as a checked copy (another one)
//     <hash>/undo            the temporary files an undo makes in the tree
//
// Only the copies take room; together they stay within a limit.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/journal/journal_format.h"
#include "platform/dir.h"
#include "platform/journal_files.h"

inline constexpr std::uint64_t kJournalCopyLimit = std::uint64_t{2} << 30;

// The journals' folder below the program's data folder (UserDataFolder());
// empty when dataFolder is.
std::string JournalRootIn(const std::string& dataFolder);
// Whether the last run on folder (any spelling) ended before it finished:
// not while a run or an undo holds the folder, nor when its journal is damaged.
bool LastRunInterrupted(const std::string& root, const std::string& folder);
// Whether folder (any spelling) has a journal of a last run; only looks.
bool HasLastRun(const std::string& root, const std::string& folder);
// Reads the journal of the last run on folder (any spelling); false when
// there is none.
bool ReadLastRun(const std::string& root, const std::string& folder, CJournalContents& contents);

struct CJournalInfo {
    std::string key;  // the subfolder's name
    std::string folder;
    bool readable = false;  // a log with a header is there
    CJournalContents contents;
    std::uint64_t copyBytes = 0;
    bool busy = false;  // a run or an undo holds its lock now
};

class CJournalStore {
  public:
    // Opens the journals' folder, making it when create is set.
    CIoResult Open(const std::string& root, bool create);
    const CDir& Root() const { return m_root; }
    const std::string& RootPath() const { return m_rootPath; }

    static std::string KeyOf(const std::string& realPath);

    // Takes the lock of the chosen folder at realPath and opens its journal
    // folder into folder. Busy, with busyFolder named, while a run holds the
    // same folder or one inside or above it.
    CIoResult LockFolder(const std::string& realPath, CFileLock& lock, CDir& folder,
                         std::string& busyFolder);

    // Reads the journal in folder; false when it has none.
    static bool ReadLog(const CDir& folder, CJournalContents& contents);
    // The temporary files an undo in folder recorded (UndoTemp records).
    static std::vector<CJournalEntry> ReadUndoTemps(const CDir& folder);
    // A new, empty record of an undo's temporary files in folder, open in file.
    static CIoResult StartUndoTemps(const CDir& folder, CAppendFile& file);
    // Removes the last run's journal in folder (the lock and path stay).
    static CIoResult ClearJournal(const CDir& folder);
    // The same in two steps: the log goes and the kept originals are moved
    // aside at once; removing them (many entries) may then happen meanwhile.
    static CIoResult SetJournalAside(const CDir& folder);
    static CIoResult RemoveSetAside(const CDir& folder);
    // The bytes the copies in folder take.
    static std::uint64_t CopyBytes(const CDir& folder);

    std::vector<CJournalInfo> List();
    // Removes the journal of key unless its folder is busy (Busy).
    CIoResult Forget(const std::string& key);
    // The copies of every journal but except's.
    std::uint64_t CopyBytesExcept(const std::string& except);
    // Removes other folders' journals, oldest first and never a busy one,
    // until the copies of all but except take at most target bytes.
    void MakeRoom(const std::string& except, std::uint64_t target);

  private:
    CDir m_root;
    std::string m_rootPath;
};
