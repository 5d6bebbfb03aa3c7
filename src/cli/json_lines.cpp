#include "cli/json_lines.h"

#include <algorithm>
#include <iterator>

#include "platform/code_page.h"

namespace {

constexpr const char* kTypes[] = {"rewritten",     "skipped", "write_failed", "renamed",
                                  "rename_failed", "skipped", "binary",       "link"};
static_assert(std::size(kTypes) == kRunEventKinds);

// A UTF-16 unit as \uXXXX.
void AppendEscape(std::string& out, unsigned unit) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHex[(unit >> shift) & 0xF];
}

// The code point UTF-8 text starts with and its length; length 1 and
// U+FFFD for a byte that starts no character.
char32_t DecodeOne(std::string_view text, size_t& length) {
    const auto lead = static_cast<unsigned char>(text[0]);
    length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (lead >= 0x80 && (lead < 0xC2 || lead > 0xF4 || !IsValidUtf8(text.substr(0, length)))) {
        length = 1;
        return 0xFFFD;
    }
    char32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (size_t i = 1; i < length; ++i)
        c = c << 6 | (static_cast<unsigned char>(text[i]) & 0x3F);
    return c;
}

std::string Field(const char* name, const std::string& json) {
    return std::string(",\"") + name + "\":" + json;
}

std::string Count(const char* name, long long n) {
    return Field(name, std::to_string(n));
}

}  // namespace

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (size_t at = 0, length = 0; at < utf8.size(); at += length) {
        const char32_t c = DecodeOne(utf8.substr(at), length);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c < 0x10000) {
            AppendEscape(out, static_cast<unsigned>(c));
        } else {
            AppendEscape(out, 0xD800 + ((static_cast<unsigned>(c) - 0x10000) >> 10));
            AppendEscape(out, 0xDC00 + ((static_cast<unsigned>(c) - 0x10000) & 0x3FF));
        }
    }
    return out + "\"";
}

std::string JsonPath(std::string_view bytes) {
    if (IsValidUtf8(bytes))
        return "{\"text\":" + JsonString(bytes) + "}";
    return "{\"bytes\":\"" + Base64(bytes) + "\"}";
}

std::string Base64(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t at = 0; at < bytes.size(); at += 3) {
        const size_t have = std::min<size_t>(3, bytes.size() - at);
        std::uint32_t group = 0;
        for (size_t i = 0; i < 3; ++i)
            group = group << 8 | (i < have ? static_cast<unsigned char>(bytes[at + i]) : 0);
        for (size_t i = 0; i < 4; ++i)
            out += i <= have ? kDigits[(group >> (18 - 6 * i)) & 0x3F] : '=';
    }
    return out;
}

std::string JsonEventLine(const CRunEvent& event) {
    std::string line = std::string("{\"type\":\"") + kTypes[static_cast<size_t>(event.kind)] + "\"";
    line += Field("path", JsonPath(event.path));
    if (!event.newPath.empty())
        line += Field("to", JsonPath(event.newPath));
    if (!event.reason.empty())
        line += Field("reason", JsonString(event.reason));
    if (event.kind == RunEventKind::Rewritten)
        line += Count("replacements", event.replacements);
    return line + "}\n";
}

std::string JsonSummaryLine(const CRunResult& r, bool stopped, std::int64_t elapsedMs) {
    std::string line = "{\"type\":\"summary\"";
    line += Count("selected", r.selected);
    line += Count("rewritten", r.Count(RunEventKind::Rewritten));
    line += Count("unchanged", r.unchanged);
    line += Count("skipped", r.Count(RunEventKind::Skipped) + r.Count(RunEventKind::FolderSkipped));
    line += Count("write_failed", r.Count(RunEventKind::WriteFailed));
    line += Count("renamed", r.Count(RunEventKind::Renamed));
    line += Count("rename_failed", r.Count(RunEventKind::RenameFailed));
    line += Count("binary", r.Count(RunEventKind::Binary));
    line += Count("links", r.Count(RunEventKind::LinkPassedOver));
    line += Field("stopped", stopped ? "true" : "false");
    line += Count("elapsed_ms", elapsedMs);
    return line + "}\n";
}
