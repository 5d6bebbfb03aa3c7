#pragma once
// The one result type of the platform layer: what happened, and the system's
// own error code where there is one. No text is composed here: the engine
// turns a status into words for the person reading the summary.

#include <cstdint>
#include <functional>
#include <string>

enum class IoStatus : std::uint8_t {
    Ok,
    NotFound,          // the entry does not exist (any more)
    Exists,            // the target name is taken: a rename never replaces
    IsLink,            // a symbolic link where a file or folder was expected: never followed
    NotFolder,         // a folder was expected
    NotRegular,        // FIFO, device, socket or folder where a file was expected: never opened
    TooLarge,          // at or above the size limit the caller set
    Changed,           // no longer the file that was read
    NotWritable,       // no write permission bit at all, or none for this user
    HardLinks,         // more than one name: a replace would split them
    OwnerNotKept,      // the new file could not take the original's owner and group
    OpenFailed,        // open or list refused (permission, too many open files, ...)
    ReadFailed,        // I/O error while reading
    ListFailed,        // a folder listing failed part way
    CreateTempFailed,  // the temporary file beside the original could not be made
    WriteTempFailed,   // disk full, short write, I/O error
    AttributesFailed,  // mode or extended attributes could not be copied
    SyncFailed,        // the new content could not be flushed to disk
    NameTempFailed,    // the temporary file could not be given a name
    CloseTempFailed,
    ReplaceFailed,    // the final rename over the original failed
    RenameFailed,     // a folder rename failed for another reason
    HasStreams,       // alternate data streams (Windows) that a replace would lose
    OtherFileSystem,  // a link was asked across file systems
    Busy,             // a lock is held by another process
    NoRoom,           // a limit the caller set would be passed
};

struct CIoResult {
    IoStatus status = IoStatus::Ok;
    int osError = 0;  // errno on POSIX, GetLastError() on Windows; 0 when there is none

    bool Ok() const { return status == IoStatus::Ok; }
};

// Whether a replace left the file alone on purpose (it changed meanwhile, is
// no longer a regular file, may not be written, has several names, an
// owner that cannot be kept or data streams a replace would lose), as opposed to a step that
// failed.
inline bool IsRefusal(IoStatus status) {
    switch (status) {
        case IoStatus::Changed:
        case IoStatus::NotFound:
        case IoStatus::IsLink:
        case IoStatus::NotFolder:
        case IoStatus::NotRegular:
        case IoStatus::NotWritable:
        case IoStatus::HardLinks:
        case IoStatus::OwnerNotKept:
        case IoStatus::HasStreams:
            return true;
        default:
            return false;
    }
}

// The system's own description of an error code, in the locale's language.
std::string OsErrorText(int osError);

// Which file or folder an entry is, whatever name reaches it.
struct CNodeId {
    std::uint64_t dev = 0;
    std::uint64_t ino = 0;

    bool operator==(const CNodeId&) const = default;
};

struct CNodeIdHash {
    size_t operator()(const CNodeId& id) const {
        return std::hash<std::uint64_t>()(id.ino * 0x9E3779B97F4A7C15ull ^ id.dev);
    }
};

// What a file was when it was read: enough to notice, just before it is
// replaced, that somebody else changed it meanwhile. A write in place that
// keeps size and modification time still moves the status-change time, and
// a new hard link moves the link count.
struct CFileStamp {
    CNodeId id;
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
    std::int64_t ctimeNs = 0;
    std::uint64_t links = 0;
    std::uint32_t mode = 0;  // permission bits (POSIX); 0 on Windows

    bool operator==(const CFileStamp&) const = default;
};
