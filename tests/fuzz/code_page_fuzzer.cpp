// The working code page's decoders. UTF-8 validation is held against iconv's
// strict decoder; GBK's character lengths must cut valid text exactly where
// the decoder does, and its conversions must give back every byte, since the
// search never starts a match inside a character and a rewrite converts
// text it does not change.

#include <algorithm>
#include <vector>

#include "fuzz_support.h"
#include "platform/code_page.h"
#include "platform/mbcs.h"

namespace {

// Where each character of text starts by cp's lengths, and the end.
std::vector<size_t> Boundaries(const CCodePage& cp, std::string_view text) {
    std::vector<size_t> at{0};
    while (at.back() < text.size()) {
        const size_t length = cp.CharLength(text, at.back());
        FUZZ_CHECK(length >= 1 && length <= 4 && length <= text.size() - at.back());
        at.push_back(at.back() + length);
    }
    return at;
}

void CheckUtf8(std::string_view bytes, unsigned cutByte) {
    static const CCodePage utf8("UTF-8");
    std::string units;
    const bool valid = IsValidUtf8(bytes);
    FUZZ_CHECK(valid == ConvertCharset("UTF-8", "UTF-16LE", bytes, units));
    if (!valid)
        return;
    const std::vector<size_t> at = Boundaries(utf8, bytes);
    for (size_t i = 0; i + 1 < at.size(); ++i)
        FUZZ_CHECK(IsValidUtf8(bytes.substr(at[i], at[i + 1] - at[i])));
    // Read a piece at a time, the complete part of a cut is whole characters.
    const std::string_view cut = bytes.substr(0, bytes.size() * cutByte / 255);
    const size_t complete = Utf8CompletePart(cut);
    FUZZ_CHECK(cut.size() - complete <= 3 && IsValidUtf8(cut.substr(0, complete)));
}

void CheckGbk(std::string_view bytes) {
    static const CCodePage gbk("GBK");
    const std::vector<size_t> at = Boundaries(gbk, bytes);
    if (!gbk.IsValid(bytes))
        return;
    std::u16string units;
    std::string back;
    FUZZ_CHECK(gbk.ToUtf16(bytes, units) && gbk.FromUtf16(units, back) && back == bytes);
    for (size_t i = 0; i + 1 < at.size(); ++i)
        FUZZ_CHECK(gbk.IsValid(bytes.substr(at[i], at[i + 1] - at[i])));
    // The last character is found where it starts, or earlier on another boundary.
    if (at.size() < 2)
        return;
    const size_t last = at[at.size() - 2];
    const size_t hit = MbsFind(gbk, bytes, bytes.substr(last));
    FUZZ_CHECK(hit <= last && std::binary_search(at.begin(), at.end(), hit));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const CFuzzInput input = SplitInput(data, size);
    CheckUtf8(input.bytes, input.flags);
    CheckGbk(input.bytes);
    return 0;
}
