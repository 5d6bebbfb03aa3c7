#include "win32/help_plain.h"

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
