#include "win32/help_plain.h"

#include "app/help_text.h"
#include "win32/wide_text.h"
#include "win32/win32_texts.h"

#include <array>
#include <utility>

namespace {

// What a tag turns into; ordered lists number their items.
void AppendTag(std::string_view tag, std::string& out, int& item, bool& numbered) {
    if (tag == "ol" || tag == "ul") {
        numbered = tag == "ol";
        item = 0;
    } else if (tag == "li") {
        out += '\n';
        if (numbered) {
            out += std::to_string(++item);
            out += ". ";
        } else {
            out += "• ";
        }
    } else if (tag == "h3" || tag == "h4" || tag == "p") {
        out += "\n";
    } else if (tag == "/h3" || tag == "/h4" || tag == "/p" || tag == "/ol" || tag == "/ul") {
        out += "\n";
    }
}

}  // namespace

std::string HtmlToPlain(std::string_view html) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kEntities{
        {{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}, {"&quot;", "\""}, {"&#39;", "'"}}};
    std::string out;
    int item = 0;
    bool numbered = false;
    for (size_t i = 0; i < html.size();) {
        if (html[i] == '<') {
            const size_t end = html.find('>', i);
            if (end == std::string_view::npos)
                break;
            AppendTag(html.substr(i + 1, end - i - 1), out, item, numbered);
            i = end + 1;
            continue;
        }
        bool decoded = false;
        for (const auto& [entity, text] : kEntities) {
            if (html.substr(i, entity.size()) == entity) {
                out += text;
                i += entity.size();
                decoded = true;
                break;
            }
        }
        if (!decoded)
            out += html[i++];
    }
    // No blank line at either end, at most one blank line inside.
    std::string tidy;
    for (char c : out) {
        if (c == '\n' && (tidy.empty() || (tidy.size() >= 2 && tidy.ends_with("\n\n"))))
            continue;
        tidy += c;
    }
    while (!tidy.empty() && tidy.back() == '\n')
        tidy.pop_back();
    return tidy;
}

// Fills %1, %2 and %3 in one pass, so a path that holds "%2" stays as it is.
std::string FillHelpPlaces(std::string_view text, const std::string (&values)[3]) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '3') {
            out += values[text[i + 1] - '1'];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The help text both dialogs show, naming where this program keeps its files.
void ShowPlainHelp(HWND owner, const std::string (&places)[3]) {
    const std::string text = FillHelpPlaces(HtmlToPlain(kHelpHtml), places);
    MessageBoxW(owner, Widen(text).c_str(), Widen(win32_text::kHelpCaption).c_str(),
                MB_OK | MB_ICONINFORMATION);
}
