#include "platform/name_text.h"

// Names, paths and rules share one encoding here: the locale's character set.

std::string NameToPathText(const CPlatformName& name) {
    return name;
}

bool PathTextToName(std::string_view text, CPlatformName& name) {
    name.assign(text);
    return true;
}

bool NameToWorking(const CCodePage& /*cp*/, const CPlatformName& name, std::string& text) {
    text = name;
    return true;
}

bool NameFromWorking(const CCodePage& /*cp*/, std::string_view text, CPlatformName& name) {
    name.assign(text);
    return true;
}
