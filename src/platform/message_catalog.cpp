#include "platform/message_catalog.h"

#include "platform/message_catalog_hook.h"

namespace {
CTranslate g_translate = nullptr;  // written once by BindMessageCatalog, before any thread
}

void SetTranslate(CTranslate translate) {
    g_translate = translate;
}

// The empty text stays empty: a catalog's entry for it is its header.
const char* Tr(const char* text) {
    return g_translate && *text ? g_translate(text) : text;
}

std::string Tr(std::string_view text) {
    return Tr(std::string(text).c_str());
}

std::string FillMessage(std::string_view text, std::initializer_list<std::string> args) {
    const std::string format = Tr(text);
    std::string out;
    auto next = args.begin();
    size_t pos = 0;
    for (;;) {
        const size_t mark = format.find("{}", pos);
        if (mark == std::string::npos || next == args.end()) {
            out.append(format, pos);
            return out;
        }
        out.append(format, pos, mark - pos);
        out.append(*next++);
        pos = mark + 2;
    }
}
