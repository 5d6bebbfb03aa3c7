#pragma once
// Looking for find texts in a file too large to be held in memory: the file
// is read a piece at a time, so that such a file can still be told apart as
// unchanged (no find text occurs) or skipped (a change was due).

#include <cstddef>
#include <string>
#include <vector>

enum class ScanOutcome { NotFound, Found, ReadFailed };

struct CScanRequest {
    std::vector<std::string> needles;  // in the file's own encoding; empty ones never match
    size_t begin = 0;                  // where the text starts (after the byte order mark)
    bool unitAligned = false;  // 16-bit text: a match must start an even distance from begin
    bool padOddEnd = false;    // UTF-16 LE: a last odd byte is a unit with a zero high byte
    size_t pieceBytes = size_t{16} << 20;
};

// Whether any needle occurs in the text of the file at path. error holds
// errno on ReadFailed (0 when the file is no longer a regular file).
ScanOutcome ScanFileForAny(const std::string& path, const CScanRequest& request, int& error);

// The first two bytes of the file (fewer for a shorter one); false with errno in error.
bool ReadFileHead(const std::string& path, std::string& head, int& error);
