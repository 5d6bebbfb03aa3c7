#include "app/dialog_settings.h"

#include "service/core.h"

namespace {

constexpr const char* kFolderKey = "pathuser";
constexpr const char* kSuffixesKey = "fileext";
constexpr const char* kSubfoldersKey = "sub";
constexpr const char* kRenameKey = "renamedir";

}  // namespace

CDialogSettings LoadDialogSettings(CCore& core) {
    CDialogSettings s;
    s.folder = core.getConfigStr(kFolderKey);
    s.suffixes = core.getConfigStr(kSuffixesKey);
    s.includeSubfolders = core.getConfigB(kSubfoldersKey) != 0;
    s.renameFolders = core.getConfigB(kRenameKey) != 0;
    return s;
}

void SaveDialogSettings(CCore& core, const CDialogSettings& s) {
    core.saveConfigStr(kFolderKey, s.folder);
    core.saveConfigStr(kSuffixesKey, s.suffixes);
    core.saveConfigB(kSubfoldersKey, s.includeSubfolders ? 1 : 0);
    core.saveConfigB(kRenameKey, s.renameFolders ? 1 : 0);
}
