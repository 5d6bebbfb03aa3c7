#include "service/user_folders.h"

#include <cstdlib>

#include "platform/user_home.h"

namespace {

constexpr const char* kProgramFolder = "/Vexa";

// Relative values are ignored, as the XDG base directory rules say.
std::string AbsoluteFromEnv(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string UserFolder(const char* xdgName, const char* underHome) {
    if (std::string base = AbsoluteFromEnv(xdgName); !base.empty())
        return base + kProgramFolder;
    std::string home = AbsoluteFromEnv("HOME");
    if (home.empty())
        home = PasswordDatabaseHome();
    if (home.empty())
        return {};
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    return (home == "/" ? "" : home) + underHome + kProgramFolder;
}

}  // namespace

std::string UserConfigFolder() {
    return UserFolder("XDG_CONFIG_HOME", "/.config");
}

std::string UserDataFolder() {
    return UserFolder("XDG_DATA_HOME", "/.local/share");
}
