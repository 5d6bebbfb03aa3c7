#pragma once
// What became of one selected file.

#include "engine/report/reason_texts.h"

enum class FileOutcome { Unchanged, Rewritten, Skipped, WriteFailed };

struct CFileResult {
    FileOutcome outcome = FileOutcome::Unchanged;
    Reason reason = Reason::None;
    int osError = 0;

    static CFileResult Skipped(Reason why, int error = 0) {
        return {FileOutcome::Skipped, why, error};
    }
};
