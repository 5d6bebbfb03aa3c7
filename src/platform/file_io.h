#pragma once
// Reading and replacing files inside an open folder (CDir), by name. Nothing
// here follows a symbolic link or opens a FIFO or a device: a run reads and
// writes only regular files it reached through its own folder handles.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/dir.h"
#include "platform/io_result.h"

// A regular file open for reading, a piece at a time.
class CFileReader {
  public:
    CFileReader() = default;
    ~CFileReader();
    CFileReader(const CFileReader&) = delete;
    CFileReader& operator=(const CFileReader&) = delete;

    // Opens name in dir: IsLink for a link, NotRegular for anything but a
    // regular file (a FIFO is never waited on), NotFound when it is gone.
    CIoResult Open(const CDir& dir, const CPlatformName& name);
    // Opens the file at path, following links (the rules files).
    CIoResult OpenPath(const std::string& path);

    // Identity and state as of the open.
    const CFileStamp& Stamp() const { return m_stamp; }
    // Owner and group as of the open (POSIX ids; 0 on Windows).
    std::uint32_t OwnerId() const { return m_owner; }
    std::uint32_t GroupId() const { return m_group; }
    // Up to size bytes into buffer; got is 0 at the end of the file.
    CIoResult Read(char* buffer, size_t size, size_t& got);
    // Up to size bytes from offset, the position left as it is.
    CIoResult ReadAt(std::uint64_t offset, char* buffer, size_t size, size_t& got);
    // Reads from the current position to the end, appending to bytes;
    // TooLarge (bytes cleared) when the whole file reaches maxBytes.
    CIoResult ReadRest(std::string& bytes, std::uint64_t maxBytes);
    void Close();
    // Gives up the open file to a caller that closes it (the replace of the
    // file just read); -1 when none is open.
    std::intptr_t Release() { return std::exchange(m_handle, -1); }

  private:
    std::intptr_t m_handle = -1;
    CFileStamp m_stamp;
    std::uint32_t m_owner = 0;
    std::uint32_t m_group = 0;
};

// Files from 2 GiB on are never held in memory whole.
inline constexpr std::uint64_t kMaxFileBytes = std::uint64_t{2} << 30;

// The whole file name in dir into bytes (capacity reused), with its stamp.
CIoResult ReadFileAt(const CDir& dir, const CPlatformName& name, std::string& bytes,
                     CFileStamp& stamp, std::uint64_t maxBytes = kMaxFileBytes);
#ifdef _WIN32
// A name given as UTF-8 text, as the undo journal keeps its names.
CIoResult ReadFileAt(const CDir& dir, const std::string& name, std::string& bytes,
                     CFileStamp& stamp, std::uint64_t maxBytes = kMaxFileBytes);
#endif
// The whole file at path, links followed.
CIoResult ReadFilePath(const std::string& path, std::string& bytes,
                       std::uint64_t maxBytes = kMaxFileBytes);
// Whether path is "-" or leads to the file that standard input is.
bool NamesStandardInput(const std::string& path);
// All that standard input ("-") or what path leads to still holds, read to
// its end: for a pipe or another stream that can be read only once, which
// the readers above refuse. Anything but a folder is read.
CIoResult ReadStreamPath(const std::string& path, std::string& bytes,
                         std::uint64_t maxBytes = kMaxFileBytes);
// The identity of what path leads to, links followed.
CIoResult IdentifyPath(const std::string& path, CNodeId& id);

// Whether ReplaceFileAt could replace name in dir now, without writing
// anything: it must still match expected (else Changed), someone must be
// allowed to write it and this user too (NotWritable), it must have one name
// (HardLinks), and its owner and group must be ones this user can give a
// new file (OwnerNotKept). A dry run asks this where the real run writes.
CIoResult CheckReplaceableAt(const CDir& dir, const CPlatformName& name,
                             const CFileStamp& expected);

// What a replace tells the undo journal, on the replacing thread, so that the
// change can be undone: first the original is kept, then the change is
// recorded before the new file is given its temporary name.
class CReplaceJournal {
  public:
    virtual ~CReplaceJournal() = default;
    // Keeps the original (still matching stamp) elsewhere; linked is set when
    // it was kept as one more link to it, which adds a link and moves its
    // status-change time. Anything but Ok abandons the replace.
    virtual CIoResult KeepOriginal(const CDir& dir, const CPlatformName& name,
                                   const CFileStamp& stamp, bool& linked) = 0;
    // The new content, identity newId, is about to be named tempName in the
    // file's folder (called again with another name when that one was taken).
    virtual CIoResult RecordReplace(const CNodeId& newId, const CPlatformName& tempName) = 0;
    // The replace was abandoned after the original was kept: let it go.
    virtual void DropOriginal() = 0;
};

// Replaces the file name in dir by the concatenated pieces, atomically: a
// temporary file in the same folder gets the bytes, the original's mode,
// owner, group and extended attributes, is flushed, and is renamed over the
// original only if the original still matches expected just before. Any
// failure leaves the original byte-identical and removes the temporary file.
// The owner and group are kept or nothing is written (OwnerNotKept). With a
// journal, the one link and status-change time its keeping adds are expected.
// opened: the original as the caller read it, still open, or null; its
// descriptor then serves for the attributes instead of a second open
// (where the system cannot replace an open file, it is closed first).
CIoResult ReplaceFileAt(const CDir& dir, const CPlatformName& name, const CFileStamp& expected,
                        const std::vector<std::string_view>& pieces,
                        CReplaceJournal* journal = nullptr, CFileReader* opened = nullptr);

// A replacement of the file name in dir written a piece at a time, for files
// too large to hold: Begin makes the same checks as ReplaceFileAt and creates
// the temporary file, Write appends to it, Commit gives it the original's
// attributes, flushes it and renames it over the original if the original
// still matches expected. Commit is where every replaced file is replaced:
// with a journal, it keeps the original there first and records the new
// file before it takes its temporary name. Anything not committed is removed
// when the object goes (and a kept original let go).
class CFileReplacement {
  public:
    CFileReplacement();
    ~CFileReplacement();
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;

    // unnamed: an unnamed temporary file where the system has them; it is
    // named only at Commit, which may then fail with LinkFailed() set.
    CIoResult Begin(const CDir& dir, const CPlatformName& name, const CFileStamp& expected,
                    bool unnamed = false, CFileReader* opened = nullptr);
    CIoResult Write(std::string_view bytes);
    // journal: the replacing thread's record of this one file, or null.
    CIoResult Commit(CReplaceJournal* journal = nullptr);
    // After a Commit that failed with LinkFailed(): a named temporary file
    // in its place, to be written from the start and committed again.
    CIoResult Again();
    void Discard();
    bool LinkFailed() const { return m_bLinkFailed; }

  private:
    struct CState;
    std::unique_ptr<CState> m_state;
    bool m_bLinkFailed = false;
};

// True for the names of the temporary files made here (".vexa~XXXXXX.tmp"):
// a walk never selects them.
bool IsOwnTempFileName(std::string_view name);
