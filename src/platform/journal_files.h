#pragma once
// The file operations the undo journal needs: an append-only log, keeping
// an original by a second link or by a checked copy, putting a kept file
// back, removing, locking, and the user's data folder. Like the rest of the
// platform layer they go through open folders (CDir), never follow a link
// (or a junction) below them, and return a CIoResult; posix/ and win32/
// each implement them.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/dir.h"
#include "platform/io_result.h"

// Whether this system has the journal's file operations.
inline constexpr bool kJournalAvailable = true;

// The type of the names they take: the journal names its own files in plain
// text, which on Windows is UTF-8 (names of the tree are UTF-16 there).
#ifdef _WIN32
using CJournalName = std::string;
// Between the names of the tree (UTF-16) and the journal's (UTF-8 text).
CJournalName JournalNameOf(const CPlatformName& name);
CPlatformName PlatformNameOf(const CJournalName& name);
#else
using CJournalName = CPlatformName;
inline const CJournalName& JournalNameOf(const CPlatformName& name) {
    return name;
}
inline const CPlatformName& PlatformNameOf(const CJournalName& name) {
    return name;
}
#endif

// A file that only grows: each Append is one write of the whole text (or a
// failure), so a process killed at any moment leaves whole appends only.
class CAppendFile {
  public:
    CAppendFile() = default;
    ~CAppendFile();
    CAppendFile(const CAppendFile&) = delete;
    CAppendFile& operator=(const CAppendFile&) = delete;

    // Creates name in dir (Exists when it is there already).
    CIoResult Create(const CDir& dir, const CJournalName& name);
    CIoResult Append(std::string_view text);
    // Flushes the data written so far to the disk.
    CIoResult Sync();
    CIoResult Close();
    bool IsOpen() const { return m_handle >= 0; }

  private:
    std::intptr_t m_handle = -1;
};

// What an entry is now, links not followed: its stamp (identity, size,
// times, links) and its type. NotFound when absent.
CIoResult StampAt(const CDir& dir, const CJournalName& name, CFileStamp& stamp, EntryType& type);

// A second name toName in toDir for the file name in fromDir; OtherFileSystem
// when the two folders lie on different file systems, Exists when taken.
CIoResult LinkAt(const CDir& fromDir, const CJournalName& name, const CDir& toDir,
                 const CJournalName& toName);

// Copies the regular file name in fromDir, which must still match expected,
// to the new file toName in toDir with its mode, extended attributes and (when
// allowed) owner; every write, the flush and the close are checked, and a
// failed copy leaves nothing behind. Changed when the source changed
// meanwhile, Exists when toName is taken.
CIoResult CopyFileAt(const CDir& fromDir, const CJournalName& name, const CFileStamp& expected,
                     const CDir& toDir, const CJournalName& toName);

// Moves fromName in fromDir over toName in toDir, atomically replacing what is
// there, but only while toName still matches expected (else Changed).
CIoResult MoveOverAt(const CDir& fromDir, const CJournalName& fromName, const CDir& toDir,
                     const CJournalName& toName, const CFileStamp& expected);

// Gives the regular file name in dir the permission bits mode (a link is
// never followed). Windows has no such bits: there it does nothing.
CIoResult SetModeAt(const CDir& dir, const CJournalName& name, std::uint32_t mode);

// Removes the file name in dir, only while it still has identity id
// (NotFound when it is gone, Changed when it is another file now).
CIoResult RemoveFileAt(const CDir& dir, const CJournalName& name, const CNodeId& id);
// Removes name in dir with everything in it; links inside are removed, never followed.
CIoResult RemoveTreeAt(const CDir& dir, const CJournalName& name);
// Makes the folder name in dir (mode 0700); Ok when a folder is already there.
CIoResult MakeFolderAt(const CDir& dir, const CJournalName& name);
// Writes bytes as the new content of name in dir, through a temporary file and
// a rename, flushed first; for the journal's own small files.
CIoResult WriteSmallFileAt(const CDir& dir, const CJournalName& name, std::string_view bytes);

// The path with every link and "." or ".." resolved; empty when it cannot be.
std::string RealPathOf(const std::string& path);

// An exclusive lock on a file, held until Unlock or the end of the process,
// however it ends.
class CFileLock {
  public:
    CFileLock() = default;
    ~CFileLock();
    CFileLock(CFileLock&& other) noexcept;
    CFileLock& operator=(CFileLock&& other) noexcept;
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

    // Locks name in dir, creating it; Busy when another holder has it and wait is false.
    CIoResult Lock(const CDir& dir, const CJournalName& name, bool wait);
    void Unlock();
    bool Held() const { return m_handle >= 0; }

  private:
    std::intptr_t m_handle = -1;
};
