#pragma once
// Looking for find texts in a file a piece at a time: a file too large to be
// held in memory can still be told apart as unchanged (no find text occurs)
// or skipped (a change was due), and any file can be searched in a buffer
// small enough to stay in the processor's cache.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_io.h"

enum class ScanOutcome { NotFound, Found, ReadFailed };

// How a file is cut into windows: each is the last carry bytes of the one
// before (where a match may straddle them) followed by a new piece.
struct CPieceCut {
    size_t pieceBytes = 0;
    size_t carry = 0;
    bool unitAligned = false;  // 16-bit text: every window starts on a unit
};

// Reads what reader has not read yet a piece at a time, after prefix, and
// calls search on each window (the first starts with prefix); Found as soon
// as search returns true. buffer holds the windows and only ever grows, so
// that a caller that keeps it reuses it. read: the bytes taken from reader;
// error: set on ReadFailed.
ScanOutcome ScanPieces(CFileReader& reader, std::string_view prefix, const CPieceCut& cut,
                       std::string& buffer, const std::function<bool(std::string_view)>& search,
                       CIoResult& error, std::uint64_t& read);

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
