#pragma once
// The differences a preview's job would make to one file, worked out again
// when the file is selected (nothing is kept from the preview itself): the
// same rewriter in a dry run reads and decodes the file from its own
// encoding, applies the rules, and the engine's difference routine compares
// the old and new text. Dialog thread; writes nothing.

#include <QString>

#include <string>
#include <vector>

#include "engine/report/text_diff.h"
#include "engine/run/job.h"

// Files larger than this are not compared in the window (it would hold up
// the dialog); the preview's list still names them.
inline constexpr std::uint64_t kMaxDiffBytes = std::uint64_t{16} << 20;

// False with why (a reason for the user) when the file cannot be shown;
// true with no hunks when nothing in it would change now.
bool FileDiff(const CJob& job, const std::string& path, std::vector<CDiffHunk>& hunks,
              QString& why);

class QTextEdit;
// Shows hunks in view: old and new lines interleaved (unified), removed
// lines on red and added lines on green, the changed parts darker, and a
// changed line break as a visible mark (␍␊ or ␊).
void ShowDiff(QTextEdit* view, const std::vector<CDiffHunk>& hunks);
