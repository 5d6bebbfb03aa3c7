#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "platform/code_page.h"
#include "platform/name_text.h"

#ifdef _WIN32
namespace {
// Where the config folder is on Windows; the tests' paths are UTF-8 there.
constexpr const char* kConfigVariable = "APPDATA";
constexpr const char* kDataVariable = "LOCALAPPDATA";
void SetVariable(const char* name, const char* value) {
    ::_putenv_s(name, value ? value : "");
}
}  // namespace
#else
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
namespace {
constexpr const char* kConfigVariable = "XDG_CONFIG_HOME";
constexpr const char* kDataVariable = "XDG_DATA_HOME";
void SetVariable(const char* name, const char* value) {
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
}
}  // namespace
#endif

namespace fs = std::filesystem;

fs::path NativePath(const std::string& path) {
#ifdef _WIN32
    // UTF-8, absolute, with \\?\ so that no length limit applies.
    std::u8string text(path.begin(), path.end());
    for (char8_t& c : text) {
        if (c == u8'/')
            c = u8'\\';
    }
    return fs::path(u8"\\\\?\\" + text);
#else
    return fs::path(path);
#endif
}

CPlatformName PlatformName(const std::string& text) {
    CPlatformName name;
    PathTextToName(text, name);
    return name;
}

CTempDir::CTempDir() {
    std::u8string base = fs::temp_directory_path().u8string();
    while (!base.empty() && (base.back() == u8'/' || base.back() == u8'\\'))
        base.pop_back();
    std::random_device random;
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        const std::string path = std::string(base.begin(), base.end()) + "/vexa-test-" +
                                 std::to_string(random() % 1000000000);
        std::error_code error;
        if (fs::create_directory(NativePath(path), error))
            m_path = path;
    }
    if (m_path.empty())
        ADD_FAILURE() << "no temporary folder";
}

CTempDir::~CTempDir() {
    RemoveTree(m_path);
}

CConfigHome::CConfigHome(const CTempDir& dir) {
    for (const char* name : {kConfigVariable, kDataVariable}) {
        const char* value = std::getenv(name);
        m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    SetVariable(kConfigVariable, (dir / "config").c_str());
    SetVariable(kDataVariable, (dir / "data").c_str());
    CCodePage::SetWorking("UTF-8");
}

CConfigHome::~CConfigHome() {
    for (const auto& [name, value] : m_saved)
        SetVariable(name.c_str(), value ? value->c_str() : nullptr);
    CCodePage::SetWorking("UTF-8");
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    fs::create_directories(NativePath(path).parent_path());
    std::ofstream out(NativePath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void MakeTree(const std::string& root,
              const std::vector<std::pair<std::string, std::string>>& entries) {
    for (const auto& [name, content] : entries) {
        if (name.ends_with('/')) {
            fs::create_directories(NativePath(root + "/" + name));
        } else {
            WriteFileBytes(root + "/" + name, content);
        }
    }
}

#ifdef _WIN32
void RemoveTree(const std::string& path) {
    std::error_code error;
    // A read-only file cannot be removed on Windows until it is writable again.
    for (fs::recursive_directory_iterator it(NativePath(path), error), end; !error && it != end;
         it.increment(error))
        fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, error);
    fs::remove_all(NativePath(path), error);
}
#else
namespace {

// Relative to each folder's descriptor, so that trees deeper than the path
// limit go too; links are removed, never followed.
void RemoveAt(int dirFd, const char* name) {
    if (DIR* dir = ::fdopendir(::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW))) {
        std::vector<std::string> names;
        while (const dirent* d = ::readdir(dir))
            names.push_back(d->d_name);
        for (const auto& n : names) {
            if (n != "." && n != ".." && ::unlinkat(::dirfd(dir), n.c_str(), 0) != 0)
                RemoveAt(::dirfd(dir), n.c_str());
        }
        ::closedir(dir);
    }
    ::unlinkat(dirFd, name, AT_REMOVEDIR);
}

}  // namespace

void RemoveTree(const std::string& path) {
    if (::unlink(path.c_str()) != 0)
        RemoveAt(AT_FDCWD, path.c_str());
}
#endif
