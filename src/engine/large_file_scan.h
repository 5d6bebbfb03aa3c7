#pragma once
// Looking for find texts in a file too large to be held in memory: the file
// is read a piece at a time, so that such a file can still be told apart as
// unchanged (no find text occurs) or skipped (a change was due).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_io.h"

enum class ScanOutcome { NotFound, Found, ReadFailed };

struct CScanRequest {
    std::vector<std::string> needles;  // in the file's own encoding; empty ones never match
    bool unitAligned =
        false;  // 16-bit text: a match must start an even distance from the text's start
    size_t pieceBytes = size_t{16} << 20;
};

// Whether any needle occurs in the text that starts with prefix and goes on
// with what reader has not read yet. error is set on ReadFailed.
ScanOutcome ScanForAny(CFileReader& reader, std::string_view prefix, const CScanRequest& request,
                       CIoResult& error);
