#include "platform/message_catalog.h"

// No catalogs on Windows (Debian has no libintl for mingw): the texts stay
// as written.
bool BindMessageCatalog(const std::string& /*localeFolder*/) {
    return false;
}

std::string ProgramFolder() {
    return {};
}
