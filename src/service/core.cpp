#include "service/core.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/sys_calls.h"
#include "service/dialog_host.h"
#include "service/settings_store.h"

CCore* g_pCore = nullptr;

namespace {

bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

}  // namespace

void CCore::autoFileConfig() {
    if (m_pStore)
        m_pStore->Load();
}

std::string CCore::getAppPath() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.config";
    } else {
        base = "/tmp";
    }
    const std::string folder = base + "/Vexa";
    MakeFolders(folder);
    return folder + "/vexa";
}

bool CCore::createFile(const std::string& path, int /*mode*/) {
    // O_EXCL: an existing file, whatever it holds, is never opened for writing.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
        return ::close(fd) == 0;
    }
    return errno == EEXIST && isFileExist(path);
}

std::string CCore::getConfigStr(const char* key) {
    return m_pStore ? m_pStore->GetStr(key) : "";
}

int CCore::getConfigB(const char* key) {
    return m_pStore ? (m_pStore->GetBool(key) ? 1 : 0) : 0;
}

void CCore::saveConfigStr(const char* key, const std::string& value) {
    if (m_pStore)
        m_pStore->SaveStr(key, value);
}

void CCore::saveConfigB(const char* key, int value) {
    if (m_pStore)
        m_pStore->SaveBool(key, value ? 1 : 0);
}

int CCore::isPathExist(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? 1 : 0;
}

int CCore::isFileExist(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? 1 : 0;
}

std::string CCore::parsePath(const std::string& path) {
    if (path.empty())
        return path;
    size_t end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    std::string out = path.substr(0, end);
    if (out != "/")
        out += '/';
    return out;
}

std::string CCore::getFg(const std::string& text, char sep, int n) {
    if (n < 0)
        return "";
    size_t start = 0;
    for (int field = 0; field < n; ++field) {
        const size_t next = text.find(sep, start);
        if (next == std::string::npos)
            return "";
        start = next + 1;
    }
    const size_t end = text.find(sep, start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void CCore::msgboxWarning(void* owner, const std::string& text) {
    if (m_pHost) {
        m_pHost->Warning(owner, text);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

int CCore::msgboxConfirm(void* owner, const std::string& text) {
    return m_pHost ? m_pHost->Confirm(owner, text) : CDialogHost::kNo;
}

std::string CCore::getStrInt(int value) {
    return std::to_string(value);
}

void CCore::openUrl(const std::string& target) {
    if (m_pHost)
        m_pHost->OpenUrl(target);
}

int CCore::renameFolder(const char* from, const char* to, int* error) {
    auto done = [error](int ok, int err) {
        if (error)
            *error = err;
        return ok;
    };
    if (Sys().renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return done(1, 0);
    if (errno != EINVAL && errno != ENOSYS)
        return done(0, errno);
    // The file system refuses the flag: check, then rename. The window between
    // the two is the best this file system allows.
    struct stat st {};
    if (::lstat(to, &st) == 0)
        return done(0, EEXIST);
    if (Sys().renameat2(AT_FDCWD, from, AT_FDCWD, to, 0) == 0)
        return done(1, 0);
    return done(0, errno);
}

void CCore::UTF8_ANSI(std::string& /*text*/) {}

std::string CCore::uu(int operation, const tagSoft* soft, const std::string& text) {
    return m_pHost ? m_pHost->About(operation, soft, text) : std::string();
}
