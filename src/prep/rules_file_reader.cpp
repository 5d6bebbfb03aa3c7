#include "prep/rules_file_reader.h"

#include "platform/code_page.h"
#include "platform/text_codec.h"

namespace {

constexpr unsigned kLf = 0x0A;
constexpr unsigned kCr = 0x0D;
constexpr unsigned kCtrlZ = 0x1A;

}  // namespace

const char* RulesCharsetName(RulesCharset charset) {
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

RulesCharset DetectRulesCharset(std::string_view raw, size_t& markBytes) {
    markBytes = 0;
    switch (DetectEncoding(raw)) {
        case EncUtf16Le:
            markBytes = 2;
            return RulesCharset::Utf16Le;
        case EncUtf16Be:
            markBytes = 2;
            return RulesCharset::Utf16Be;
        case EncUtf8:
            // A rules file's mark counts only whole: EF BB alone is text.
            if (MarkLength(EncUtf8, raw.size()) == 3 && raw[2] == '\xBF') {
                markBytes = 3;
                return RulesCharset::Utf8;
            }
            break;
        case EncAnsi:
            break;
    }
    return RulesCharset::Working;
}

CTextLines::CTextLines(std::string_view text, RulesCharset charset)
    : m_text(text),
      m_width(charset == RulesCharset::Utf16Le || charset == RulesCharset::Utf16Be ? 2 : 1),
      m_bBigEndian(charset == RulesCharset::Utf16Be) {
    for (size_t pos = 0; pos + m_width <= m_text.size(); pos += m_width) {
        if (UnitAt(pos) == kCtrlZ) {
            m_text = m_text.substr(0, pos);
            break;
        }
    }
}

unsigned CTextLines::UnitAt(size_t pos) const {
    const auto* p = reinterpret_cast<const unsigned char*>(m_text.data()) + pos;
    if (m_width == 1)
        return p[0];
    return m_bBigEndian ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
}

bool CTextLines::Next(std::string_view& line) {
    if (m_pos >= m_text.size())
        return false;
    const size_t start = m_pos;
    for (size_t pos = start; pos + m_width <= m_text.size(); pos += m_width) {
        if (UnitAt(pos) != kLf)
            continue;
        const bool crBefore = pos > start && UnitAt(pos - m_width) == kCr;
        line = m_text.substr(start, pos - start - (crBefore ? m_width : 0));
        m_pos = pos + m_width;
        return true;
    }
    line = m_text.substr(start);
    m_pos = m_text.size();
    return true;
}

size_t ForEachRulesLine(std::string_view raw,
                        const std::function<bool(size_t, const std::string&)>& onLine,
                        const std::function<void(size_t)>& onBadText) {
    size_t markBytes = 0;
    const RulesCharset charset = DetectRulesCharset(raw, markBytes);
    const CCodePage& working = CCodePage::Working();
    const bool asIs =
        charset == RulesCharset::Working || (charset == RulesCharset::Utf8 && working.IsUtf8());

    CTextLines lines(raw.substr(markBytes), charset);
    std::string_view line;
    std::string text;
    size_t firstBad = 0;
    for (size_t number = 1; lines.Next(line); ++number) {
        const bool decoded = asIs ? working.IsValid(line)
                                  : working.FromCharset(RulesCharsetName(charset), line, text);
        if (!decoded) {
            firstBad = firstBad ? firstBad : number;
            if (!onBadText)
                return number;
            onBadText(number);
            continue;
        }
        if (asIs)
            text.assign(line);
        if (!onLine(number, text))
            return 0;
    }
    return firstBad;
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
