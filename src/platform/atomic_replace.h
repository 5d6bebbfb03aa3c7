#pragma once
// Replacing a file's content atomically: the new bytes go to a temporary file
// in the same folder, which takes over the original's mode, owner and
// extended attributes and is renamed over it only when every step worked.
// Anything short of success leaves the original byte-identical and removes
// the temporary file.

#include <functional>
#include <string>
#include <string_view>

#include "platform/file_read.h"

enum class ReplaceStatus {
    Replaced,
    Changed,  // the file is no longer the one that was read: left alone
    Refused,  // not safe to replace: a link that leads nowhere, not a regular file, ...
    Failed,   // a system call failed (disk full, short write, I/O error, ...)
};

struct CReplaceResult {
    ReplaceStatus status = ReplaceStatus::Replaced;
    int error = 0;       // errno where there is one
    std::string reason;  // short Chinese text (UTF-8) with the OS reason; empty when replaced

    bool Ok() const { return status == ReplaceStatus::Replaced; }
};

// Builds the new bytes of the file from its first bytes as they are now (at
// most 3, fewer for a shorter file). Returning false (with a reason) writes nothing.
using ReplaceEncoder =
    std::function<bool(std::string_view head, std::string& out, std::string& reason)>;

// Replaces the file that path leads to (symbolic links are followed, so a link
// stays a link and its target is rewritten) with the bytes encode produces.
// expected, when given, is the stamp of the read the new content came from;
// without it the file must stay as it was when this call opened it.
// Safe to call from any thread.
CReplaceResult ReplaceFileAtomically(const std::string& path, const ReplaceEncoder& encode,
                                     const CFileStamp* expected = nullptr);

// True for names of the temporary files made here (".vexa~XXXXXX.tmp"): a
// folder walk must never select them.
bool IsOwnTempFileName(std::string_view name);
