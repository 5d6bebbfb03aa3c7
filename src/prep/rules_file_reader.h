#pragma once
// Reading a rules file: its bytes are split into lines the way a text-mode
// read on the original platform does, decoded into the working code page, and
// each line is split into its two fields at the grave accent.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_read.h"

// The encoding of a rules file, told by its byte order mark. Without a mark
// the file is text in the working code page.
enum class RulesCharset { Working, Utf8, Utf16Le, Utf16Be };

// The charset the mark at the start of raw names, and the mark's length in bytes.
RulesCharset DetectRulesCharset(std::string_view raw, size_t& markBytes);

// Splits text (without its mark) into lines: a line ends at LF, a CR just
// before the LF is dropped with it, a lone CR stays in the line, a last line
// without LF is still a line, and a Ctrl-Z ends the text. For UTF-16 these
// are 16-bit units in the file's byte order, and an odd last byte stays in
// the last line.
std::vector<std::string_view> SplitTextLines(std::string_view text,
                                             RulesCharset charset = RulesCharset::Working);

struct CRulesText {
    // The lines in the working code page, up to the first one that is not
    // valid text in it.
    std::vector<std::string> lines;
    // Number (from 1) of the first line that is not valid text in the working
    // code page, or could not be converted into it; 0 when every line is.
    int badLine = 0;
};

// Decodes the raw bytes of a rules file. The byte order mark is not part of the first line.
CRulesText DecodeRulesText(std::string_view raw);

// Reads and decodes the rules file at path. text is left empty when the read fails.
CFileRead ReadRulesFile(const std::string& path, CRulesText& text);

// Field 0 and field 1 of a rule line in the working code page, split at the
// grave accent as getFg splits (empty pieces count; text after a second
// accent is ignored), except that a grave accent that is the trail byte of a
// double-byte character does not split.
std::pair<std::string, std::string> SplitRuleLine(std::string_view line);
