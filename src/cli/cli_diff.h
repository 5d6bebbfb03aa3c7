#pragma once
// --diff: a file's changes as a unified diff on stdout, in the locale's
// character set. Names are quoted as --list quotes them; characters the
// locale cannot show, and control characters, are written as \uXXXX
// (\UXXXXXXXX beyond U+FFFF); a line break that changed is shown as
// ␍ (CR) and ␊ (LF) at the end of the line.

#include <string>
#include <vector>

#include "engine/report/text_diff.h"

class CCodePage;

// The diff of one file: "--- name", "+++ name", then the hunks; bytes in cp.
// color: the header lines bold, the hunk heads cyan, removed lines red and
// added lines green, by terminal escape sequences, as git colours a diff.
std::string FormatFileDiff(const CCodePage& cp, const std::string& name,
                           const std::vector<CDiffHunk>& hunks, bool color = false);
