#pragma once
// The differences between the old and the new text of a file, as unified
// diff hunks of lines, with the changed parts inside each changed line.
// Front-end neutral: the command line prints the hunks, the dialog's preview
// shows them with the spans highlighted.
//
// Use: decode both texts to UTF-16 (DiffWorkingTexts does it for text in a
// code page), then walk the hunks:
//   for (const CDiffHunk& h : DiffTexts(oldText, newText))
//       for (const CDiffLine& line : h.lines)
//           show line.kind, line.text with line.spans marked, and a mark for
//           line.lineBreak when line.breakChanged.
// Offsets and lengths count UTF-16 units, as QString indexes do. Pure
// functions: callable from any thread.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CCodePage;

enum class DiffLineKind { Context, Removed, Added };

// A changed part of a line's text.
struct CDiffSpan {
    size_t offset = 0;
    size_t length = 0;

    bool operator==(const CDiffSpan&) const = default;
};

struct CDiffLine {
    DiffLineKind kind = DiffLineKind::Context;
    std::u16string text;       // without its line break
    std::u16string lineBreak;  // u"\n", u"\r\n", or empty for a last line without one
    // Removed and added lines: the parts of text that differ from the line
    // they replace; the whole text for a line without a counterpart.
    std::vector<CDiffSpan> spans;
    // The line break differs from the one of the line it replaces: worth a
    // visible mark, since the text alone looks the same.
    bool breakChanged = false;
};

struct CDiffHunk {
    // Unified diff numbering: first line (from 1) and count of lines on each
    // side; a side with no lines gives the line before the hunk (0 at the top).
    size_t oldStart = 0;
    size_t oldCount = 0;
    size_t newStart = 0;
    size_t newCount = 0;
    std::vector<CDiffLine> lines;  // context, then removed lines before the added ones
};

// Lines end at LF; a CR before it belongs to the break, a CR elsewhere is
// text. context: unchanged lines shown around each change. Empty when equal.
std::vector<CDiffHunk> DiffTexts(std::u16string_view oldText, std::u16string_view newText,
                                 size_t context = 3);

// The same for two texts in code page cp. False when either is not valid text in it.
bool DiffWorkingTexts(const CCodePage& cp, std::string_view oldText, std::string_view newText,
                      std::vector<CDiffHunk>& hunks, size_t context = 3);
