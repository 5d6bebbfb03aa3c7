#include "cli/file_list_input.h"

#include <filesystem>
#include <system_error>

#include "platform/paths.h"

namespace {

namespace fs = std::filesystem;

bool IsAbsolute(std::string_view path) {
    if (!path.empty() && kPathSeparators.find(path[0]) != std::string_view::npos)
        return true;
    return kPathTextIsUtf8 && path.size() >= 2 && path[1] == ':';  // a drive
}

// The names of path after base's (when path is relative). A ".." at the
// start of a relative path climbs out of base; one after a name is kept,
// as that name may be a link, which only the run may look at.
std::vector<std::string> Names(std::string_view path, const std::vector<std::string>& base) {
    std::vector<std::string> names = IsAbsolute(path) ? std::vector<std::string>{} : base;
    bool leading = true;
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find_first_of(kPathSeparators, start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view name = path.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == ".")
            continue;
        if (name == ".." && leading) {
            if (!names.empty())
                names.pop_back();
            continue;
        }
        leading = false;
        names.emplace_back(name);
    }
    return names;
}

// The folder's names with every ".." applied: a folder that was given is
// taken as the user wrote it.
std::vector<std::string> FolderNames(std::string_view folder, const std::vector<std::string>& cwd) {
    std::vector<std::string> names;
    for (std::string& name : Names(folder, cwd)) {
        if (name != "..")
            names.push_back(std::move(name));
        else if (!names.empty())
            names.pop_back();
    }
    return names;
}

bool StartsWith(const std::vector<std::string>& path, const std::vector<std::string>& folder) {
    return !folder.empty() && path.size() > folder.size() &&
           std::equal(folder.begin(), folder.end(), path.begin());
}

std::string Join(std::vector<std::string>::const_iterator first,
                 std::vector<std::string>::const_iterator last) {
    std::string out;
    for (auto it = first; it != last; ++it)
        out += (out.empty() ? "" : "/") + *it;
    return out;
}

fs::path FsPath(const std::string& text) {
    if constexpr (kPathTextIsUtf8)
        return fs::path(std::u8string(text.begin(), text.end()));
    return fs::path(text);
}

std::string FsText(const fs::path& path) {
    if constexpr (kPathTextIsUtf8) {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    }
    return path.string();
}

}  // namespace

std::vector<std::string> SplitFileList(std::string_view bytes, bool nul) {
    std::vector<std::string> paths;
    const char end = nul ? '\0' : '\n';
    for (size_t start = 0; start < bytes.size();) {
        size_t stop = bytes.find(end, start);
        if (stop == std::string_view::npos)
            stop = bytes.size();
        std::string_view path = bytes.substr(start, stop - start);
        if (!nul && path.ends_with('\r'))
            path.remove_suffix(1);
        if (!path.empty())
            paths.emplace_back(path);
        start = stop + 1;
    }
    return paths;
}

CFileListPlace::CFileListPlace(const std::string& cwd, const std::string& folder,
                               const std::string& canonicalFolder)
    : m_cwd(FolderNames(cwd, {})),
      m_folder(FolderNames(folder, m_cwd)),
      m_canonical(canonicalFolder.empty() ? m_folder : FolderNames(canonicalFolder, {})) {}

std::string CFileListPlace::BelowFolder(const std::string& listed) const {
    const std::vector<std::string> names = Names(listed, m_cwd);
    for (const std::vector<std::string>* folder : {&m_folder, &m_canonical}) {
        if (StartsWith(names, *folder))
            return Join(names.begin() + static_cast<std::ptrdiff_t>(folder->size()), names.end());
    }
    // The way there from the folder: up to where they part, then down.
    size_t common = 0;
    while (common < m_folder.size() && common < names.size() && names[common] == m_folder[common])
        ++common;
    std::string way;
    for (size_t i = common; i < m_folder.size(); ++i)
        way += "../";
    way += Join(names.begin() + static_cast<std::ptrdiff_t>(common), names.end());
    return way.empty() ? "." : way;  // the folder itself
}

std::string CurrentFolder() {
    std::error_code error;
    const fs::path cwd = fs::current_path(error);
    return error ? std::string() : FsText(cwd);
}

std::string CanonicalFolder(const std::string& folder) {
    std::error_code error;
    const fs::path canonical = fs::canonical(FsPath(folder), error);
    return error ? std::string() : FsText(canonical);
}
