#include "app/dialog_settings.h"

#include <algorithm>

#include "platform/paths.h"
#include "service/core.h"

namespace {

constexpr const char* kFolderKey = "pathuser";
constexpr const char* kSuffixesKey = "fileext";
constexpr const char* kSubfoldersKey = "sub";
constexpr const char* kRenameKey = "renamedir";
// Stored as what differs from the literal match, so that an absent key (a
// settings file of an older version) means what it always did.
constexpr const char* kIgnoreCaseKey = "ignorecase";
constexpr const char* kWholeWordKey = "wholeword";
constexpr const char* kRegexKey = "regex";
// "recentdir1" (newest) to "recentdir10"; an empty value ends the list.
constexpr const char* kRecentKeyPrefix = "recentdir";

std::string RecentKey(size_t i) {
    return kRecentKeyPrefix + std::to_string(i + 1);
}

}  // namespace

CDialogSettings LoadDialogSettings(CCore& core) {
    CDialogSettings s;
    s.folder = core.getConfigStr(kFolderKey);
    s.suffixes = core.getConfigStr(kSuffixesKey);
    s.includeSubfolders = core.getConfigB(kSubfoldersKey) != 0;
    s.renameFolders = core.getConfigB(kRenameKey) != 0;
    s.modes.ignoreCase = core.getConfigB(kIgnoreCaseKey) != 0;
    s.modes.wholeWord = core.getConfigB(kWholeWordKey) != 0;
    s.modes.regex = core.getConfigB(kRegexKey) != 0;
    return s;
}

void SaveDialogSettings(CCore& core, const CDialogSettings& s) {
    core.saveConfigStr(kFolderKey, s.folder);
    core.saveConfigStr(kSuffixesKey, s.suffixes);
    core.saveConfigB(kSubfoldersKey, s.includeSubfolders ? 1 : 0);
    core.saveConfigB(kRenameKey, s.renameFolders ? 1 : 0);
    core.saveConfigB(kIgnoreCaseKey, s.modes.ignoreCase ? 1 : 0);
    core.saveConfigB(kWholeWordKey, s.modes.wholeWord ? 1 : 0);
    core.saveConfigB(kRegexKey, s.modes.regex ? 1 : 0);
}

std::vector<std::string> LoadRecentFolders(CCore& core) {
    std::vector<std::string> folders;
    for (size_t i = 0; i < kRecentFoldersKept; ++i) {
        std::string folder = core.getConfigStr(RecentKey(i).c_str());
        if (folder.empty())
            break;
        folders.push_back(std::move(folder));
    }
    return folders;
}

// Every key is written, so a list that got shorter leaves no stale entry.
void SaveRecentFolders(CCore& core, const std::vector<std::string>& folders) {
    for (size_t i = 0; i < kRecentFoldersKept; ++i)
        core.saveConfigStr(RecentKey(i).c_str(), i < folders.size() ? folders[i] : std::string());
}

void RememberFolder(std::vector<std::string>& folders, std::string folder) {
    // "C:\" keeps its separator: "C:" alone names another folder.
    while (folder.size() > 1 && kPathSeparators.find(folder.back()) != std::string::npos &&
           folder[folder.size() - 2] != ':')
        folder.pop_back();
    if (folder.empty())
        return;
    folders.erase(std::remove(folders.begin(), folders.end(), folder), folders.end());
    folders.insert(folders.begin(), std::move(folder));
    if (folders.size() > kRecentFoldersKept)
        folders.resize(kRecentFoldersKept);
}
