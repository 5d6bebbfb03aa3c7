#pragma once
// The dialog's four inputs, and the one place that names their settings keys.

#include <string>

class CCore;

struct CDialogSettings {
    // As the settings store keeps text: the working code page (UTF-8 on
    // Windows), as the controls show it.
    std::string folder;
    std::string suffixes;
    bool includeSubfolders = false;
    bool renameFolders = false;
};

// The inputs saved last (empty and off when none were).
CDialogSettings LoadDialogSettings(CCore& core);
void SaveDialogSettings(CCore& core, const CDialogSettings& settings);
