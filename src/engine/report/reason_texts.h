#pragma once
// Why a file or folder was passed over or failed: one code per reason, and
// the one table of their texts that both front ends show (UTF-8 Chinese,
// followed by the system's own words where there is an error code).

#include <cstdint>
#include <string>

#include "platform/io_result.h"

enum class Reason : std::uint8_t {
    None,
    // reading a file
    CannotOpen,
    CannotRead,
    NotRegular,
    BecameLink,
    TooLarge,
    // its content
    HoldsZero,
    OddUtf16,
    BadUtf8,
    BadWorking,
    CannotConvert,
    CannotEncode,
    ResultTooLarge,
    OutOfMemory,
    // replacing it
    Changed,
    ReadOnly,
    NoPermission,
    HardLinks,
    OwnerNotKept,
    CreateTempFailed,
    WriteTempFailed,
    AttributesFailed,
    SyncFailed,
    NameTempFailed,
    CloseTempFailed,
    ReplaceFailed,
    // folders
    CannotOpenFolder,
    CannotListFolder,
    FolderGone,
    FolderBecameLink,
    TargetExists,
    CannotRename,
    // replacing it, on Windows
    HasStreams,
    // the undo journal
    UndoNoRoom,
    UndoCannotKeep,
    UndoCannotWrite,
    // undoing a run
    ChangedSinceRun,
    FolderChangedSinceRun,
    OriginalGone,
    OriginalDamaged,
    ModeKeptSinceRun,
    // a file named in a list rather than found by the walk
    OutsideFolder,
    ThroughLink,
    NoSuchFile,
    InRepositoryData,
    OwnFile,
    // a file that holds a find text and a zero byte, not UTF-16 by its mark
    Binary,
    // a run with a match mode on (mode_rules.h)
    ModeTextTooLarge,
    RegexTooComplex,
    RegexFailed,
    SplitsSurrogate,
};

// The reason's text in the user's language, with the system's words for
// osError when it is not 0.
std::string ReasonText(Reason reason, int osError = 0);

// The reason for a failed read of a file, a failed replace, a failed open or
// listing of a folder, and a failed rename.
Reason ReadReason(IoStatus status);
Reason ReplaceReason(const CIoResult& result);
Reason FolderReason(IoStatus status, bool listing);
Reason RenameReason(IoStatus status);
