#include "platform/text_codec.h"

#include <algorithm>

#include "platform/code_page.h"

TextEncoding DetectEncoding(std::string_view head) {
    if (head.size() < 2)
        return EncAnsi;
    if (head.starts_with("\xFF\xFE"))
        return EncUtf16Le;
    if (head.starts_with("\xFE\xFF"))
        return EncUtf16Be;
    if (head.starts_with("\xEF\xBB"))
        return EncUtf8;
    return EncAnsi;
}

size_t MarkLength(TextEncoding encoding, size_t size) {
    switch (encoding) {
        case EncUtf16Le:
        case EncUtf16Be:
            return 2;
        case EncUtf8:
            return std::min<size_t>(3, size);  // a file of just EF BB is empty text
        case EncAnsi:
            break;
    }
    return 0;
}

const char* CharsetOf(TextEncoding encoding, const std::string& workingName) {
    switch (encoding) {
        case EncUtf16Le:
            return "UTF-16LE";
        case EncUtf16Be:
            return "UTF-16BE";
        case EncUtf8:
            return "UTF-8";
        case EncAnsi:
            break;
    }
    return workingName.c_str();
}

bool EncodeLikeFile(const CCodePage& cp, std::string_view mark, TextEncoding encoding,
                    std::string_view content, std::string& outMark, std::string& outText) {
    outMark =
        encoding == EncUtf8 && mark.size() < 3 ? std::string("\xEF\xBB\xBF") : std::string(mark);
    if (encoding == EncAnsi || (encoding == EncUtf8 && cp.IsUtf8())) {
        if (encoding == EncUtf8 && !IsValidUtf8(content))
            return false;
        outText.assign(content);
        return true;
    }
    return ConvertCharset(cp.Name().c_str(), CharsetOf(encoding, cp.Name()), content, outText);
}
