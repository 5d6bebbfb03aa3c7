#include "engine/walk/name_order.h"

#include <algorithm>

namespace {

#ifdef _WIN32
// UTF-16 units in code point order: surrogates come after the rest of the
// basic plane, as the characters they make come after it.
unsigned Weight(wchar_t unit) {
    const unsigned u = static_cast<unsigned>(unit);
    if (u >= 0xD800 && u <= 0xDFFF)
        return u + 0x2000;
    return u >= 0xE000 ? u - 0x800 : u;
}

bool NameLess(const CPlatformName& a, const CPlatformName& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](wchar_t x, wchar_t y) { return Weight(x) < Weight(y); });
}
#else
// std::string compares its bytes as unsigned char.
bool NameLess(const CPlatformName& a, const CPlatformName& b) {
    return a < b;
}
#endif

}  // namespace

void SortByName(std::vector<CDirEntry>& entries) {
    std::sort(entries.begin(), entries.end(),
              [](const CDirEntry& a, const CDirEntry& b) { return NameLess(a.name, b.name); });
}
