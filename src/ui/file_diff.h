#pragma once
// One file's differences in the results window, as the engine works them
// out when the file is selected (nothing is kept from the preview itself).

#include <QString>

#include <string>
#include <vector>

#include "engine/report/file_diff.h"

// Files larger than this are not compared in the window (it would hold up
// the dialog); the preview's list still names them.
inline constexpr std::uint64_t kMaxDiffBytes = std::uint64_t{16} << 20;

class QTextEdit;
// Shows hunks in view: old and new lines interleaved (unified), removed
// lines on red and added lines on green, the changed parts darker, and a
// changed line break as a visible mark (␍␊ or ␊).
void ShowDiff(QTextEdit* view, const std::vector<CDiffHunk>& hunks);
