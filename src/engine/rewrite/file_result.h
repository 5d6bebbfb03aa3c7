#pragma once
// What became of one selected file.

#include <algorithm>
#include <climits>
#include <cstdint>

#include "engine/report/reason_texts.h"

enum class FileOutcome { Unchanged, Rewritten, Skipped, WriteFailed };

struct CFileResult {
    FileOutcome outcome = FileOutcome::Unchanged;
    Reason reason = Reason::None;
    int osError = 0;
    int replacements = 0;  // occurrences replaced in a rewritten file, over all rules

    static CFileResult Skipped(Reason why, int error = 0) {
        return {FileOutcome::Skipped, why, error, 0};
    }
    // This result with its count of replacements, when it is a rewrite.
    CFileResult Counting(std::uint64_t replaced) const {
        CFileResult r = *this;
        if (r.outcome == FileOutcome::Rewritten)
            r.replacements = static_cast<int>(std::min<std::uint64_t>(replaced, INT_MAX));
        return r;
    }
};
