#include "service/core.h"

#include <cstdio>

#include "platform/paths.h"
#include "service/dialog_host.h"
#include "service/settings_store.h"
#include "service/user_folders.h"

CCore* g_pCore = nullptr;

void CCore::autoFileConfig() {
    if (m_pStore)
        m_pStore->Load();
}

std::string CCore::getAppPath() {
    const std::string prefix = AppPrefix();
    if (!prefix.empty())
        MakeFolders(prefix.substr(0, prefix.rfind('/')));
    return prefix;
}

std::string CCore::AppPrefix() const {
    const std::string folder = UserConfigFolder();
    return folder.empty() ? folder : folder + "/vexa";
}

bool CCore::createFile(const std::string& path, int /*mode*/) {
    return CreateEmptyFile(path);
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
    return KindOfPath(path) == PathKind::Folder ? 1 : 0;
}

int CCore::isFileExist(const std::string& path) {
    return KindOfPath(path) == PathKind::File ? 1 : 0;
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
    const CIoResult r = RenamePath(from, to);
    if (error)
        *error = r.osError;
    return r.Ok() ? 1 : 0;
}

void CCore::UTF8_ANSI(std::string& /*text*/) {}

std::string CCore::uu(int operation, const tagSoft* soft, const std::string& text) {
    return m_pHost ? m_pHost->About(operation, soft, text) : std::string();
}
