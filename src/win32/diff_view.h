#pragma once
// One file's differences in the results window's rich edit control: old and
// new lines interleaved (unified), removed lines on red and added lines on
// green, the replaced text darker, a changed line break as a visible mark
// (␍␊ or ␊). Built as RTF, so a file of many changes is shown in one call.

#include <windows.h>

#include <string>
#include <vector>

#include "engine/report/file_diff.h"

// Files larger than this are not compared in the window (it would hold up
// the dialog); the preview's list still names them.
inline constexpr std::uint64_t kMaxDiffBytes = std::uint64_t{16} << 20;

// The hunks as RTF (ASCII; other characters as \u escapes).
std::string DiffRtf(const std::vector<CDiffHunk>& hunks);
void ShowDiff(HWND richEdit, const std::vector<CDiffHunk>& hunks);
