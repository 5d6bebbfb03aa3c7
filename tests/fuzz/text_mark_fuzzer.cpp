// A file's bytes through the byte order mark reader, and the rewriter's
// round trip after it: text that converts into the working code page (UTF-8
// or GBK) must go back as the same mark and the same bytes, which is what
// lets a rewritten file keep its encoding.

#include "fuzz_support.h"
#include "platform/code_page.h"
#include "platform/text_codec.h"
#include "prep/rules_file_reader.h"

namespace {

// The rules reader takes the file's mark, except that a UTF-8 mark counts only whole.
void CheckRulesMark(std::string_view bytes, TextEncoding encoding, size_t mark) {
    size_t rulesMark = 0;
    const RulesCharset charset = DetectRulesCharset(bytes, rulesMark);
    switch (charset) {
        case RulesCharset::Utf16Le:
            FUZZ_CHECK(encoding == EncUtf16Le && rulesMark == 2);
            break;
        case RulesCharset::Utf16Be:
            FUZZ_CHECK(encoding == EncUtf16Be && rulesMark == 2);
            break;
        case RulesCharset::Utf8:
            FUZZ_CHECK(encoding == EncUtf8 && rulesMark == 3 && mark == 3 && bytes[2] == '\xBF');
            break;
        case RulesCharset::Working:
            FUZZ_CHECK(rulesMark == 0 && !IsUtf16(encoding));
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static const CCodePage utf8("UTF-8");
    static const CCodePage gbk("GBK");
    const CFuzzInput input = SplitInput(data, size);
    const CCodePage& cp = input.flags & 1 ? gbk : utf8;
    const std::string_view bytes = input.bytes;

    const TextEncoding encoding = DetectEncoding(bytes);
    const size_t mark = MarkLength(encoding, bytes.size());
    FUZZ_CHECK(mark <= bytes.size());
    CheckRulesMark(bytes, encoding, mark);

    const std::string_view text = bytes.substr(mark);
    if (IsUtf16(encoding) && text.size() % 2 != 0)
        return 0;
    std::string working;
    if (encoding == EncAnsi || (encoding == EncUtf8 && cp.IsUtf8())) {
        if (!(encoding == EncUtf8 ? IsValidUtf8(text) : cp.IsValid(text)))
            return 0;
        working.assign(text);
    } else if (!ConvertCharset(CharsetOf(encoding, cp.Name()), cp.Name().c_str(), text, working)) {
        return 0;
    }
    std::string newMark;
    std::string newText;
    FUZZ_CHECK(EncodeLikeFile(cp, bytes.substr(0, mark), encoding, working, newMark, newText));
    FUZZ_CHECK(newText == text);
    // A file of just EF BB gets its mark made whole.
    FUZZ_CHECK(newMark ==
               (encoding == EncUtf8 && mark < 3 ? "\xEF\xBB\xBF" : bytes.substr(0, mark)));
    return 0;
}
