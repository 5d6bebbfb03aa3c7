#include "service/soft_record.h"

#include <cstring>

#include "platform/code_page.h"

tagSoft* g_pSoft = nullptr;

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::string_view kFieldEnd = "001E";

void AppendUnit(std::string& out, unsigned char high, unsigned char low) {
    for (unsigned char byte : {high, low}) {
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 0x0F];
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

bool EncodeSoftField(std::string_view value, char* field, size_t width) {
    std::memset(field, 0, width);
    const CCodePage& cp = CCodePage::Working();
    std::string digits;
    for (size_t pos = 0; pos < value.size();) {
        const size_t len = cp.CharLength(value, pos);
        if (len > 2)
            return false;
        const auto first = static_cast<unsigned char>(value[pos]);
        if (len == 1) {
            AppendUnit(digits, 0, first);
        } else {
            AppendUnit(digits, first, static_cast<unsigned char>(value[pos + 1]));
        }
        pos += len;
    }
    digits += kFieldEnd;
    if (digits.size() + 1 > width)
        return false;
    std::memcpy(field, digits.data(), digits.size());
    return true;
}

std::string DecodeSoftField(const char* field, size_t width) {
    const size_t len = strnlen(field, width);
    if (len == width || len % 4 != 0 || len < kFieldEnd.size() ||
        std::string_view(field + len - kFieldEnd.size(), kFieldEnd.size()) != kFieldEnd)
        return {};
    std::string value;
    for (size_t pos = 0; pos + kFieldEnd.size() < len; pos += 4) {
        int bytes[2];
        for (int i = 0; i < 2; ++i) {
            const int high = HexValue(field[pos + 2 * i]);
            const int low = HexValue(field[pos + 2 * i + 1]);
            if (high < 0 || low < 0)
                return {};
            bytes[i] = high * 16 + low;
        }
        if (bytes[0] != 0)
            value += static_cast<char>(bytes[0]);
        else if (bytes[1] == 0)
            return {};
        value += static_cast<char>(bytes[1]);
    }
    return value;
}

void FillSoftRecord(tagSoft& soft) {
    EncodeSoftField(kSoftVersion, soft.version, sizeof soft.version);
    EncodeSoftField(kSoftShortName, soft.shortName, sizeof soft.shortName);
    EncodeSoftField(kSoftCategory, soft.category, sizeof soft.category);
    EncodeSoftField(kSoftTitle, soft.title, sizeof soft.title);
}
