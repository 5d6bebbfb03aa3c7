#pragma once
// Reading a whole file in binary with one open, and the identity of what
// was read so that a later write can tell whether the file changed meanwhile.

#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

#include <cstdint>
#include <string>

// What a file was when it was read: which file (device, inode), and enough of
// its state to notice a change before it is replaced.
struct CFileStamp {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    mode_t mode = 0;
    nlink_t nlink = 0;
    uid_t uid = 0;
    gid_t gid = 0;

    static CFileStamp FromStat(const struct stat& st);
    // Same file with the same size and modification time.
    bool SameContentAs(const CFileStamp& other) const;
};

enum class ReadStatus {
    Ok,
    OpenFailed,  // missing, dangling link, link loop, no permission (error holds errno)
    NotRegular,  // directory, FIFO, socket, device: never opened
    TooLarge,    // at or above the limit
    ReadFailed,  // I/O error while reading (error holds errno)
};

struct CFileRead {
    ReadStatus status = ReadStatus::Ok;
    int error = 0;  // errno where the status has one
    CFileStamp stamp;

    bool Ok() const { return status == ReadStatus::Ok; }
    // A short Chinese reason (UTF-8) for summaries, with the OS reason where there is one.
    std::string Reason() const;
};

// Files from 2 GiB on are not held in memory (the rewrite keeps several copies).
inline constexpr std::uint64_t kMaxFileBytes = std::uint64_t{2} << 30;

// Reads the whole file at path (following symbolic links) into bytes, whose
// capacity is reused. Special files are refused by their type before any open,
// so a FIFO or device can never block or be disturbed. Safe on any thread.
CFileRead ReadWholeFile(const std::string& path, std::string& bytes,
                        std::uint64_t maxBytes = kMaxFileBytes);
