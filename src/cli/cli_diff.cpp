#include "cli/cli_diff.h"

#include <cstdio>

#include "engine/report/name_quote.h"
#include "platform/code_page.h"

namespace {

constexpr const char* kBold = "\x1b[1m";
constexpr const char* kCyan = "\x1b[36m";
constexpr const char* kRed = "\x1b[31m";
constexpr const char* kGreen = "\x1b[32m";
constexpr const char* kReset = "\x1b[m";

bool IsControl(char32_t c) {
    return (c < 0x20 && c != u'\t') || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029;
}

std::string Escape(char32_t c) {
    char text[16];
    if (c > 0xFFFF)
        std::snprintf(text, sizeof text, "\\U%08X", static_cast<unsigned>(c));
    else
        std::snprintf(text, sizeof text, "\\u%04X", static_cast<unsigned>(c));
    return text;
}

// units in cp, one character at a time where the whole does not convert.
std::string Show(const CCodePage& cp, std::u16string_view units) {
    std::string out;
    bool plain = true;
    for (const char16_t u : units)
        plain = plain && !IsControl(u);
    if (plain && cp.FromUtf16(units, out))
        return out;
    out.clear();
    std::string piece;
    for (size_t i = 0; i < units.size();) {
        size_t len = 1;
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            len = 2;
        }
        if (!IsControl(c) && cp.FromUtf16(units.substr(i, len), piece))
            out += piece;
        else
            out += Escape(c);
        i += len;
    }
    return out;
}

std::string BreakMark(const CCodePage& cp, std::u16string_view lineBreak) {
    std::u16string marks;
    for (const char16_t u : lineBreak)
        marks += u == u'\r' ? u'\u240D' : u'\u240A';
    return Show(cp, marks);
}

std::string Range(size_t start, size_t count) {
    return count == 1 ? std::to_string(start) : std::to_string(start) + "," + std::to_string(count);
}

}  // namespace

std::string FormatFileDiff(const CCodePage& cp, const std::string& name,
                           const std::vector<CDiffHunk>& hunks, bool color) {
    // line in the colour of its kind; reset before the end of the line.
    auto paint = [color](const char* escape, const std::string& line) {
        return color ? escape + line + kReset : line;
    };
    const std::string quoted = QuoteName(name);
    std::string out = paint(kBold, "--- " + quoted) + "\n" + paint(kBold, "+++ " + quoted) + "\n";
    for (const CDiffHunk& hunk : hunks) {
        out += paint(kCyan, "@@ -" + Range(hunk.oldStart, hunk.oldCount) + " +" +
                                Range(hunk.newStart, hunk.newCount) + " @@") +
               "\n";
        for (const CDiffLine& line : hunk.lines) {
            std::string text = line.kind == DiffLineKind::Context   ? " "
                               : line.kind == DiffLineKind::Removed ? "-"
                                                                    : "+";
            text += Show(cp, line.text);
            if (line.breakChanged)
                text += BreakMark(cp, line.lineBreak);
            out += line.kind == DiffLineKind::Context   ? text
                   : line.kind == DiffLineKind::Removed ? paint(kRed, text)
                                                        : paint(kGreen, text);
            out += '\n';
            if (line.lineBreak.empty())
                out += "\\ No newline at end of file\n";
        }
    }
    return out;
}
