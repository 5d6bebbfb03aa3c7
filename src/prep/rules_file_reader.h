#pragma once
// Reading a rules file: its bytes are split into lines the way a text-mode
// read on the original platform does, each line is decoded into the working
// code page, and split into its two fields at the grave accent.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

// The encoding of a rules file, told by its byte order mark. Without a mark
// the file is text in the working code page.
enum class RulesCharset { Working, Utf8, Utf16Le, Utf16Be };

// The charset the mark at the start of raw names, and the mark's length in bytes.
RulesCharset DetectRulesCharset(std::string_view raw, size_t& markBytes);

// The lines of a text (without its mark), one at a time: a line ends at LF, a
// CR just before the LF is dropped with it, a lone CR stays in the line, a
// last line without LF is still a line, and a Ctrl-Z ends the text. For
// UTF-16 these are 16-bit units in the text's byte order, and an odd last
// byte stays in the last line. Lines are views into text.
class CTextLines {
  public:
    explicit CTextLines(std::string_view text, RulesCharset charset = RulesCharset::Working);
    // The next line, without its line break; false at the end of the text.
    bool Next(std::string_view& line);
    // Where the line after the last one returned starts (past its break).
    size_t Position() const { return m_pos; }
    // Where the lines end: at the Ctrl-Z, if any, else the text's end.
    size_t TextEnd() const { return m_text.size(); }

  private:
    unsigned UnitAt(size_t pos) const;

    std::string_view m_text;  // up to the Ctrl-Z, if any
    size_t m_width;           // bytes per unit
    bool m_bBigEndian;
    size_t m_pos = 0;  // where the next line starts
};

// The iconv name of a marked charset; null for the working code page.
const char* RulesCharsetName(RulesCharset charset);

// Calls onLine(number from 1, line) for each line of a rules file's raw bytes,
// decoded by its mark into the working code page, in order, until onLine
// returns false. Returns the number of the first line that is not valid text
// in the working code page or cannot be converted into it (onLine is called
// neither for it nor after it); 0 when there is none or onLine stopped first.
// With onBadText, such a line is handed to it instead and the lines go on.
size_t ForEachRulesLine(std::string_view raw,
                        const std::function<bool(size_t, const std::string&)>& onLine,
                        const std::function<void(size_t)>& onBadText = {});

// Field 0 and field 1 of a rule line in the working code page, split at the
// grave accent as getFg splits (empty pieces count; text after a second
// accent is ignored), except that a grave accent that is the trail byte of a
// double-byte character does not split.
std::pair<std::string, std::string> SplitRuleLine(std::string_view line);
