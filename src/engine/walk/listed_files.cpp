#include "engine/walk/listed_files.h"

#include <string_view>
#include <utility>
#include <vector>

#include "engine/walk/folder_walker.h"
#include "platform/name_text.h"
#include "platform/paths.h"

namespace {

// The names of a listed path, in order; false when the path leads out of
// the folder (absolute, or a step up).
bool SplitListed(std::string_view listed, std::vector<std::string_view>& names) {
    if (!listed.empty() && kPathSeparators.find(listed.front()) != std::string_view::npos)
        return false;
#ifdef _WIN32
    if (listed.size() >= 2 && listed[1] == ':')
        return false;  // a drive
#endif
    for (size_t start = 0; start <= listed.size();) {
        size_t end = listed.find_first_of(kPathSeparators, start);
        if (end == std::string_view::npos)
            end = listed.size();
        const std::string_view name = listed.substr(start, end - start);
        if (name == "..")
            return false;
        if (!name.empty() && name != ".")
            names.push_back(name);
        start = end + 1;
    }
    return true;
}

// Names joined with "/", which no name holds: one text per path.
CPlatformName Joined(const std::vector<CPlatformName>& names) {
    CPlatformName joined;
    for (const CPlatformName& name : names)
        joined += name + CPlatformName(1, '/');
    return joined;
}

}  // namespace

CListedFiles::CListedFiles(std::shared_ptr<const CDir> root, std::string rootPath,
                           const CCodePage& codePage,
                           const std::unordered_set<CNodeId, CNodeIdHash>& protectedFolders)
    : m_root(std::move(root)),
      m_rootPath(std::move(rootPath)),
      m_codePage(codePage),
      m_protectedFolders(protectedFolders) {}

CListedFile CListedFiles::Find(const std::string& listed) {
    CListedFile out;
    out.displayPath = m_rootPath + listed;
    std::vector<std::string_view> texts;
    if (!SplitListed(listed, texts)) {
        out.reason = Reason::OutsideFolder;
        return out;
    }
    if (texts.empty()) {
        out.reason = Reason::NotRegular;  // the chosen folder itself
        return out;
    }
    std::vector<CPlatformName> names(texts.size());
    std::string display = m_rootPath;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (!NameFromWorking(m_codePage, texts[i], names[i])) {
            out.reason = Reason::NoSuchFile;  // no name is spelt so
            return out;
        }
        if (IsVersionControlName(texts[i])) {
            out.reason = Reason::InRepositoryData;
            return out;
        }
        display += NameToPathText(names[i]);
        if (i + 1 < texts.size())
            display += kPathSeparator;
    }
    out.displayPath = std::move(display);
    const CPlatformName key = Joined(names);
    if (m_found.count(key)) {
        out.repeated = true;
        return out;
    }
    out.entry.name = std::move(names.back());
    names.pop_back();
    out.reason = OpenFolder(names, out);
    if (out.reason != Reason::None)
        return out;
    const CIoResult probed = out.dir->Probe(out.entry.name, out.entry.type, &out.entry.id);
    if (probed.status == IoStatus::NotFound) {
        out.reason = Reason::NoSuchFile;
    } else if (!probed.Ok()) {
        out.reason = Reason::CannotOpen;
        out.osError = probed.osError;
    } else if (out.entry.type == EntryType::Link) {
        out.reason = Reason::ThroughLink;
    } else if (out.entry.type != EntryType::File) {
        out.reason = Reason::NotRegular;
    } else {
        m_found.insert(key);
    }
    return out;
}

Reason CListedFiles::OpenFolder(const std::vector<CPlatformName>& names, CListedFile& out) {
    const CPlatformName key = Joined(names);
    if (m_lastDir && key == m_lastFolder) {
        out.dir = m_lastDir;
        return Reason::None;
    }
    std::shared_ptr<const CDir> dir = m_root;
    for (const CPlatformName& name : names) {
        auto child = std::make_shared<CDir>();
        const CIoResult opened = dir->OpenChild(name, *child);
        if (opened.status == IoStatus::IsLink)
            return Reason::ThroughLink;
        if (opened.status == IoStatus::NotFound || opened.status == IoStatus::NotFolder)
            return Reason::NoSuchFile;
        if (!opened.Ok()) {
            out.osError = opened.osError;
            return Reason::CannotOpenFolder;
        }
        if (m_protectedFolders.count(child->Id()))
            return Reason::OwnFile;
        dir = std::move(child);
    }
    m_lastFolder = std::move(key);
    m_lastDir = dir;
    out.dir = std::move(dir);
    return Reason::None;
}
