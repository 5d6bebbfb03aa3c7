#pragma once
// The dialog's four inputs, and the one place that names their settings keys.

#include <string>
#include <vector>

#include "engine/run/job.h"

class CCore;

struct CDialogSettings {
    // As the settings store keeps text: the working code page (UTF-8 on
    // Windows), as the controls show it.
    std::string folder;
    std::string suffixes;
    bool includeSubfolders = false;
    bool renameFolders = false;
    // 区分大小写 (on unless ignoreCase), 全字匹配, 正则表达式: keys of their
    // own, which older versions ignore; absent, they keep the literal match.
    CMatchModes modes;
};

// The inputs saved last (empty and off when none were).
CDialogSettings LoadDialogSettings(CCore& core);
void SaveDialogSettings(CCore& core, const CDialogSettings& settings);

// The folders used last, newest first: at most this many are kept.
inline constexpr size_t kRecentFoldersKept = 10;
// Each under a key of its own, which versions that know none of them ignore.
std::vector<std::string> LoadRecentFolders(CCore& core);
void SaveRecentFolders(CCore& core, const std::vector<std::string>& folders);
// Puts folder (as typed; trailing separators do not count) first, once, and
// keeps the newest kRecentFoldersKept. An empty folder changes nothing.
void RememberFolder(std::vector<std::string>& folders, std::string folder);
