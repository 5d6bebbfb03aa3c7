#include "app/help_page.h"

#include <string_view>

#include "app/help_text.h"

namespace {

// The parts of the shared text that depend on the build.
constexpr std::string_view kUndoHeading = "<h4>撤销</h4>";
constexpr std::string_view kNextHeading = "<h4>注意</h4>";
constexpr std::string_view kLinuxOnly = "在 Linux 上，";
constexpr std::string_view kJournalFolder = "~/.local/share/Vexa/journal/";
constexpr std::string_view kNoJournal =
    "<p>这个版本不记录撤销日志，执行之后不能撤销：执行前请先自行备份文件。</p>";

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void ReplaceFirst(std::string& text, std::string_view what, std::string_view with) {
    const size_t at = text.find(what);
    if (at != std::string::npos)
        text.replace(at, what.size(), with);
}

}  // namespace

// %1, %2 and %3 are filled in one pass, so that a path that holds "%2"
// stays as it is.
std::string HelpPageHtml(const std::string& replaceRules, const std::string& renameRules,
                         const std::string& settings, const std::string& journalFolder,
                         bool keepsJournal) {
    std::string html = kHelpHtml;
    const size_t undo = html.find(kUndoHeading);
    const size_t next = html.find(kNextHeading);
    if (!keepsJournal && undo != std::string::npos && next != std::string::npos) {
        html.replace(undo + kUndoHeading.size(), next - undo - kUndoHeading.size(), kNoJournal);
    } else if (keepsJournal) {
        ReplaceFirst(html, kLinuxOnly, "");
        if (!journalFolder.empty())
            ReplaceFirst(html, kJournalFolder, Escaped(journalFolder));
    }
    const std::string places[] = {Escaped(replaceRules), Escaped(renameRules), Escaped(settings)};
    std::string out;
    for (size_t i = 0; i < html.size(); ++i) {
        if (html[i] == '%' && i + 1 < html.size() && html[i + 1] >= '1' && html[i + 1] <= '3') {
            out += places[html[i + 1] - '1'];
            ++i;
        } else {
            out += html[i];
        }
    }
    return out;
}
