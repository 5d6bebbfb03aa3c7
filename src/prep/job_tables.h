#pragma once
// JobTables: the process-wide state of one replacement job. The dialog's
// thread writes it only while no run is active (and at shutdown, after the
// worker has ended); the worker only reads it during a run, without a lock.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/job.h"

inline constexpr int kMaxExtensions = 50;
inline constexpr size_t kMaxExtensionBytes = 10;
inline constexpr int kMaxRules = 100;
inline constexpr size_t kMaxRuleTextBytes = 200;

// One slot per extension, zero-terminated, without the dot ("txt").
struct ExtensionList {
    char slots[kMaxExtensions][kMaxExtensionBytes + 1];
};

// 402 bytes: the find text, then the replacement, each zero-terminated. The
// find text is never empty; the replacement may be. Both may hold CR LF.
struct ReplaceRule {
    char find[kMaxRuleTextBytes + 1];
    char replacement[kMaxRuleTextBytes + 1];
};

// 402 bytes: the old folder name, then the new one; neither empty.
struct RenameRule {
    char oldName[kMaxRuleTextBytes + 1];
    char newName[kMaxRuleTextBytes + 1];
};

static_assert(sizeof(ExtensionList) == 550);
static_assert(sizeof(ReplaceRule) == 402);
static_assert(sizeof(RenameRule) == 402);

struct JobTables {
    std::string folderPath;  // as typed, or normalised to end in "/" by a validated start
    std::string suffixText;  // raw suffix patterns, e.g. "*.txt;*.htm"
    int includeSubfolders = 0;
    int renameFolders = 0;
    // How find texts match; with a regex a find text's "^" is the regex's own.
    CMatchModes modes;
    std::string appPrefix;  // getAppPath(), fixed at start-up
    std::string replaceRulesPath;
    std::string renameRulesPath;
    // Rules already read from a stream that can be read only once (standard
    // input, a pipe): loaded instead of the file at the path when set.
    std::optional<std::string> replaceRulesBytes;
    std::optional<std::string> renameRulesBytes;
    // Rule lines given on the command line, in the working code page, loaded
    // after the file's rules; with an empty path and no bytes, no file is read.
    std::vector<std::string> commandLineRules;
    std::vector<std::string> commandLineRenameRules;

    int extensionCount = 0;
    ExtensionList* extensions = nullptr;
    int replaceRuleCount = 0;
    ReplaceRule* replaceRules = nullptr;
    int renameRuleCount = 0;
    RenameRule* renameRules = nullptr;

    // Allocates the three tables zeroed with counts 0 (dialog initialisation).
    void Allocate();
    // Releases the three tables; safe to call twice.
    void Release();
    bool IsAllocated() const { return extensions && replaceRules && renameRules; }

    // Clearing sets the count to 0 and every byte of the table to zero.
    void ClearExtensions();
    void ClearReplaceRules();
    void ClearRenameRules();

    // Appends at the slot the count names. False, and nothing written, when
    // the table is full or a text does not fit its slot (or holds a zero byte).
    bool AppendExtension(std::string_view ext);
    bool AppendReplaceRule(std::string_view find, std::string_view replacement);
    bool AppendRenameRule(std::string_view oldName, std::string_view newName);

    std::string_view Extension(int i) const { return extensions->slots[i]; }
    std::string_view Find(int i) const { return replaceRules[i].find; }
    std::string_view Replacement(int i) const { return replaceRules[i].replacement; }
    std::string_view OldName(int i) const { return renameRules[i].oldName; }
    std::string_view NewName(int i) const { return renameRules[i].newName; }
};

// The one JobTables of the process.
extern JobTables g_jobTables;
