#include <libintl.h>
#include <unistd.h>

#include <clocale>
#include <string_view>

#include "platform/message_catalog.h"
#include "platform/message_catalog_hook.h"

namespace {

constexpr const char* kDomain = "vexa";

// C and POSIX, also with a character set (C.UTF-8): the texts as written,
// whatever LANGUAGE says, as gettext does for C.
bool IsPlainLocale(std::string_view name) {
    const std::string_view base = name.substr(0, name.find('.'));
    return base.empty() || base == "C" || base == "POSIX";
}

const char* Translate(const char* text) {
    return ::dgettext(kDomain, text);
}

}  // namespace

bool BindMessageCatalog(const std::string& localeFolder) {
    const char* messages = std::setlocale(LC_MESSAGES, nullptr);
    if (!messages || IsPlainLocale(messages) || localeFolder.empty())
        return false;
    if (!::bindtextdomain(kDomain, localeFolder.c_str()) ||
        !::bind_textdomain_codeset(kDomain, "UTF-8"))
        return false;
    SetTranslate(&Translate);
    return true;
}

std::string ProgramFolder() {
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size())
        return {};
    path.resize(static_cast<size_t>(length));
    return path.substr(0, path.rfind('/'));
}
