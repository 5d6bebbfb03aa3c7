#include "win32/diff_view.h"

#include <richedit.h>

namespace {

// Colour table entries: 1 removed line, 2 removed text, 3 added line, 4
// added text, 5 the grey of the hunk headers.
constexpr const char* kRtfHead =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern NSimSun;}}"
    "{\\colortbl;\\red255\\green235\\blue233;\\red255\\green176\\blue168;"
    "\\red230\\green255\\blue236;\\red155\\green233\\blue168;\\red87\\green96\\blue106;}"
    "\\f0\\fs20 ";

void AppendEscaped(std::string& rtf, std::u16string_view text) {
    for (char16_t u : text) {
        if (u == u'\\' || u == u'{' || u == u'}') {
            rtf += '\\';
            rtf += static_cast<char>(u);
        } else if (u == u'\t') {
            rtf += "\\tab ";
        } else if (u >= 0x20 && u < 0x80) {
            rtf += static_cast<char>(u);
        } else {
            // Signed 16-bit, as RTF reads \u; a surrogate pair is two of them.
            rtf += "\\u" + std::to_string(static_cast<int16_t>(u)) + "?";
        }
    }
}

// text in the background colour colour (0: none).
void AppendRun(std::string& rtf, std::u16string_view text, int colour) {
    if (text.empty())
        return;
    rtf += "\\highlight" + std::to_string(colour) + " ";
    AppendEscaped(rtf, text);
}

void AppendLine(std::string& rtf, const CDiffLine& line) {
    const bool removed = line.kind == DiffLineKind::Removed;
    const int plain = line.kind == DiffLineKind::Context ? 0 : removed ? 1 : 3;
    const int marked = line.kind == DiffLineKind::Context ? 0 : removed ? 2 : 4;
    AppendRun(rtf, line.kind == DiffLineKind::Context ? u" " : removed ? u"-" : u"+", plain);
    const std::u16string_view text(line.text);
    size_t at = 0;
    for (const CDiffSpan& span : line.spans) {
        AppendRun(rtf, text.substr(at, span.offset - at), plain);
        AppendRun(rtf, text.substr(span.offset, span.length), marked);
        at = span.offset + span.length;
    }
    AppendRun(rtf, text.substr(std::min(at, text.size())), plain);
    if (line.breakChanged) {
        std::u16string marks;
        for (char16_t u : line.lineBreak)
            marks += u == u'\r' ? u'\x240D' : u'\x240A';
        AppendRun(rtf, marks, marked);
    }
    rtf += "\\highlight0\\par\n";
}

}  // namespace

std::string DiffRtf(const std::vector<CDiffHunk>& hunks) {
    std::string rtf = kRtfHead;
    for (const CDiffHunk& hunk : hunks) {
        rtf += "\\cf5 @@ -" + std::to_string(hunk.oldStart) + "," + std::to_string(hunk.oldCount) +
               " +" + std::to_string(hunk.newStart) + "," + std::to_string(hunk.newCount) +
               " @@\\cf0\\par\n";
        for (const CDiffLine& line : hunk.lines)
            AppendLine(rtf, line);
    }
    return rtf + "}";
}

void ShowDiff(HWND richEdit, const std::vector<CDiffHunk>& hunks) {
    const std::string rtf = DiffRtf(hunks);
    SETTEXTEX how{ST_DEFAULT, CP_ACP};
    SendMessageW(richEdit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
                 reinterpret_cast<LPARAM>(rtf.c_str()));
}
