#include "prep/rules_file_reader.h"

#include "platform/code_page.h"

namespace {

constexpr unsigned kLf = 0x0A;
constexpr unsigned kCr = 0x0D;
constexpr unsigned kCtrlZ = 0x1A;

// A view of text as a sequence of code units of one or two bytes.
class CUnits {
  public:
    CUnits(std::string_view text, RulesCharset charset)
        : m_text(text),
          m_width(charset == RulesCharset::Utf16Le || charset == RulesCharset::Utf16Be ? 2 : 1),
          m_bBigEndian(charset == RulesCharset::Utf16Be) {}

    size_t Width() const { return m_width; }
    // Whole units only: an odd last byte of UTF-16 is never read as a unit.
    size_t Count() const { return m_text.size() / m_width; }
    unsigned At(size_t i) const {
        const auto* p = reinterpret_cast<const unsigned char*>(m_text.data()) + i * m_width;
        if (m_width == 1)
            return p[0];
        return m_bBigEndian ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
    }

  private:
    std::string_view m_text;
    size_t m_width;
    bool m_bBigEndian;
};

const char* CharsetName(RulesCharset charset) {
    switch (charset) {
        case RulesCharset::Utf8:
            return "UTF-8";
        case RulesCharset::Utf16Le:
            return "UTF-16LE";
        case RulesCharset::Utf16Be:
            return "UTF-16BE";
        case RulesCharset::Working:
            break;
    }
    return nullptr;
}

}  // namespace

RulesCharset DetectRulesCharset(std::string_view raw, size_t& markBytes) {
    if (raw.starts_with("\xEF\xBB\xBF")) {
        markBytes = 3;
        return RulesCharset::Utf8;
    }
    if (raw.starts_with("\xFF\xFE")) {
        markBytes = 2;
        return RulesCharset::Utf16Le;
    }
    if (raw.starts_with("\xFE\xFF")) {
        markBytes = 2;
        return RulesCharset::Utf16Be;
    }
    markBytes = 0;
    return RulesCharset::Working;
}

std::vector<std::string_view> SplitTextLines(std::string_view text, RulesCharset charset) {
    const CUnits units(text, charset);
    const size_t width = units.Width();
    size_t end = units.Count();
    for (size_t i = 0; i < end; ++i) {
        if (units.At(i) == kCtrlZ)
            end = i;
    }
    // Without a Ctrl-Z the odd last byte of a UTF-16 text belongs to the last line.
    const size_t endByte = end == units.Count() ? text.size() : end * width;

    std::vector<std::string_view> lines;
    size_t start = 0;  // in units
    for (size_t i = 0; i < end; ++i) {
        if (units.At(i) != kLf)
            continue;
        const size_t stop = i > start && units.At(i - 1) == kCr ? i - 1 : i;
        lines.push_back(text.substr(start * width, (stop - start) * width));
        start = i + 1;
    }
    if (start * width < endByte)
        lines.push_back(text.substr(start * width, endByte - start * width));
    return lines;
}

CRulesText DecodeRulesText(std::string_view raw) {
    size_t markBytes = 0;
    RulesCharset charset = DetectRulesCharset(raw, markBytes);
    const CCodePage& working = CCodePage::Working();
    const bool same =
        charset == RulesCharset::Working || (charset == RulesCharset::Utf8 && working.IsUtf8());

    CRulesText result;
    const std::vector<std::string_view> lines = SplitTextLines(raw.substr(markBytes), charset);
    result.lines.reserve(lines.size());
    for (std::string_view line : lines) {
        std::string decoded;
        const bool ok =
            same ? working.IsValid(line) : working.FromCharset(CharsetName(charset), line, decoded);
        if (!ok) {
            result.badLine = static_cast<int>(result.lines.size()) + 1;
            break;
        }
        result.lines.push_back(same ? std::string(line) : std::move(decoded));
    }
    return result;
}

CFileRead ReadRulesFile(const std::string& path, CRulesText& text) {
    text = CRulesText{};
    std::string raw;
    CFileRead read = ReadWholeFile(path, raw);
    if (read.Ok())
        text = DecodeRulesText(raw);
    return read;
}

std::pair<std::string, std::string> SplitRuleLine(std::string_view line) {
    const CCodePage& working = CCodePage::Working();
    size_t accents[2] = {line.size(), line.size()};
    int found = 0;
    for (size_t pos = 0; pos < line.size() && found < 2; pos += working.CharLength(line, pos)) {
        if (line[pos] == '`')
            accents[found++] = pos;
    }
    if (found == 0)
        return {std::string(line), std::string()};
    return {std::string(line.substr(0, accents[0])),
            std::string(line.substr(accents[0] + 1, accents[1] - accents[0] - 1))};
}
