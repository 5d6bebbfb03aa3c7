#include "support/temp_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/code_page.h"

namespace fs = std::filesystem;

CTempDir::CTempDir() {
    std::string pattern = (fs::temp_directory_path() / "vexa-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        ADD_FAILURE() << "mkdtemp failed";
    m_path = pattern;
}

CTempDir::~CTempDir() {
    RemoveTree(m_path);
}

CConfigHome::CConfigHome(const CTempDir& dir) {
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
        const char* value = std::getenv(name);
        m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    CCodePage::SetWorking("UTF-8");
}

CConfigHome::~CConfigHome() {
    for (const auto& [name, value] : m_saved) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    CCodePage::SetWorking("UTF-8");
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void MakeTree(const std::string& root,
              const std::vector<std::pair<std::string, std::string>>& entries) {
    for (const auto& [name, content] : entries) {
        if (name.ends_with('/')) {
            fs::create_directories(root + "/" + name);
        } else {
            WriteFileBytes(root + "/" + name, content);
        }
    }
}

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
