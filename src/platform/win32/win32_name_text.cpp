#include "platform/name_text.h"

#include "platform/code_page.h"
#include "platform/win32/win32_nt.h"

std::string NameToPathText(const CPlatformName& name) {
    return Utf8FromWide(name);
}

bool PathTextToName(std::string_view text, CPlatformName& name) {
    return WideFromUtf8(text, name);
}

bool NameToWorking(const CCodePage& cp, const CPlatformName& name, std::string& text) {
    return cp.FromUtf16(std::u16string(name.begin(), name.end()), text);
}

bool NameFromWorking(const CCodePage& cp, std::string_view text, CPlatformName& name) {
    std::u16string units;
    if (!cp.ToUtf16(text, units))
        return false;
    name.assign(units.begin(), units.end());
    return true;
}
