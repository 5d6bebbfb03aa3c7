#include "engine/walk/glob.h"

namespace {

// The length of the character text starts with: a whole UTF-8 sequence, or one byte.
size_t CharLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const size_t length = lead < 0xC2 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 1;
    if (length > text.size())
        return 1;
    for (size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 1;
    }
    return length;
}

// The character at the start of text as a number that orders as its bytes do.
unsigned long CharValue(std::string_view text, size_t length) {
    unsigned long value = 0;
    for (size_t i = 0; i < length; ++i)
        value = value << 8 | static_cast<unsigned char>(text[i]);
    return value;
}

// Matches the set that starts pattern ("[...]") against the character
// c of length bytes. consumed: the set's length in the pattern; 0 when the
// "[" opens no set (no closing "]"), and then it stands for itself.
bool MatchSet(std::string_view pattern, std::string_view c, size_t& consumed) {
    size_t at = 1;
    const bool negated = at < pattern.size() && (pattern[at] == '!' || pattern[at] == '^');
    at += negated;
    bool matched = false;
    const unsigned long value = CharValue(c, c.size());
    for (bool first = true; at < pattern.size() && (first || pattern[at] != ']'); first = false) {
        const size_t lowLength = CharLength(pattern.substr(at));
        const unsigned long low = CharValue(pattern.substr(at), lowLength);
        at += lowLength;
        unsigned long high = low;
        if (at + 1 < pattern.size() && pattern[at] == '-' && pattern[at + 1] != ']') {
            const size_t highLength = CharLength(pattern.substr(at + 1));
            high = CharValue(pattern.substr(at + 1), highLength);
            at += 1 + highLength;
        }
        matched = matched || (low <= value && value <= high);
    }
    if (at >= pattern.size()) {
        consumed = 0;
        return false;
    }
    consumed = at + 1;
    return matched != negated;
}

}  // namespace

bool GlobMatches(std::string_view pattern, std::string_view text) {
    while (!pattern.empty()) {
        if (pattern.starts_with("**/")) {
            // Any number of whole folders, none included.
            pattern.remove_prefix(3);
            for (size_t at = 0;;) {
                if (GlobMatches(pattern, text.substr(at)))
                    return true;
                const size_t slash = text.find('/', at);
                if (slash == std::string_view::npos)
                    return false;
                at = slash + 1;
            }
        }
        if (pattern == "**")
            return true;
        if (pattern[0] == '*') {
            while (!pattern.empty() && pattern[0] == '*')
                pattern.remove_prefix(1);
            for (size_t at = 0;; at += CharLength(text.substr(at))) {
                if (GlobMatches(pattern, text.substr(at)))
                    return true;
                if (at >= text.size() || text[at] == '/')
                    return false;
            }
        }
        if (text.empty())
            return false;
        const size_t length = CharLength(text);
        size_t consumed = 0;
        bool matched = false;
        if (pattern[0] == '?') {
            matched = true;
            consumed = 1;
        } else if (pattern[0] == '[') {
            matched = MatchSet(pattern, text.substr(0, length), consumed);
        }
        if (consumed == 0) {  // a character that stands for itself
            consumed = CharLength(pattern);
            matched = pattern.substr(0, consumed) == text.substr(0, length);
        } else if (text[0] == '/') {
            matched = false;  // only "/" itself, or "**/", matches a separator
        }
        if (!matched)
            return false;
        pattern.remove_prefix(consumed);
        text.remove_prefix(length);
    }
    return text.empty();
}

bool GlobMeans(std::string_view pattern, std::string_view name, std::string_view relativePath,
               bool folder) {
    if (pattern.ends_with('/')) {
        if (!folder)
            return false;
        pattern.remove_suffix(1);
    }
    if (pattern.find('/') == std::string_view::npos)
        return GlobMatches(pattern, name);
    if (pattern.starts_with('/'))
        pattern.remove_prefix(1);
    return GlobMatches(pattern, relativePath);
}
