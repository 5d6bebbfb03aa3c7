#pragma once
// The byte order mark of a file: which encoding it names, where the text
// after it starts, and how new text is put back in the same form. This is
// the one place that reads a mark.

#include <cstddef>
#include <string>
#include <string_view>

class CCodePage;

// The encoding of a file, told by its first two bytes. Code 3 is never produced.
enum TextEncoding : int {
    EncUtf16Le = 0,  // FF FE
    EncUtf8 = 1,     // EF BB (the third byte of the mark is taken on trust)
    EncUtf16Be = 2,  // FE FF
    EncAnsi = 4,     // anything else: the working code page
};

// The encoding named by the first bytes of a file (fewer than two: EncAnsi).
TextEncoding DetectEncoding(std::string_view head);

// Bytes of the mark that precede the text of a file of size bytes.
size_t MarkLength(TextEncoding encoding, size_t size);

inline bool IsUtf16(TextEncoding encoding) {
    return encoding == EncUtf16Le || encoding == EncUtf16Be;
}

// The iconv name of the text after the mark; the working code page for EncAnsi.
const char* CharsetOf(TextEncoding encoding, const std::string& workingName);

// The text of a file whose bytes start with mark, given new content in the
// working code page cp: mark goes back as it stands (EF BB alone gets a whole mark), the
// content is converted strictly into the encoding the mark names. False when
// the content cannot be put in that encoding without loss.
bool EncodeLikeFile(const CCodePage& cp, std::string_view mark, TextEncoding encoding,
                    std::string_view content, std::string& outMark, std::string& outText);
