#include "prep/job_tables.h"

#include <cstring>

JobTables g_jobTables;

namespace {

bool Fits(std::string_view text, size_t capacity) {
    return text.size() <= capacity && text.find('\0') == std::string_view::npos;
}

void CopyInto(char* slot, std::string_view text) {
    std::memcpy(slot, text.data(), text.size());
    slot[text.size()] = '\0';
}

}  // namespace

void JobTables::Allocate() {
    Release();
    extensions = new ExtensionList{};
    replaceRules = new ReplaceRule[kMaxRules]{};
    renameRules = new RenameRule[kMaxRules]{};
    extensionCount = replaceRuleCount = renameRuleCount = 0;
}

void JobTables::Release() {
    delete extensions;
    delete[] replaceRules;
    delete[] renameRules;
    extensions = nullptr;
    replaceRules = nullptr;
    renameRules = nullptr;
    extensionCount = replaceRuleCount = renameRuleCount = 0;
}

void JobTables::ClearExtensions() {
    extensionCount = 0;
    if (extensions)
        std::memset(extensions, 0, sizeof *extensions);
}

void JobTables::ClearReplaceRules() {
    replaceRuleCount = 0;
    if (replaceRules)
        std::memset(replaceRules, 0, sizeof(ReplaceRule) * kMaxRules);
}

void JobTables::ClearRenameRules() {
    renameRuleCount = 0;
    if (renameRules)
        std::memset(renameRules, 0, sizeof(RenameRule) * kMaxRules);
}

bool JobTables::AppendExtension(std::string_view ext) {
    if (!extensions || extensionCount >= kMaxExtensions || !Fits(ext, kMaxExtensionBytes)) {
        return false;
    }
    CopyInto(extensions->slots[extensionCount++], ext);
    return true;
}

bool JobTables::AppendReplaceRule(std::string_view find, std::string_view replacement) {
    if (!replaceRules || replaceRuleCount >= kMaxRules || !Fits(find, kMaxRuleTextBytes) ||
        !Fits(replacement, kMaxRuleTextBytes)) {
        return false;
    }
    ReplaceRule& rule = replaceRules[replaceRuleCount++];
    CopyInto(rule.find, find);
    CopyInto(rule.replacement, replacement);
    return true;
}

bool JobTables::AppendRenameRule(std::string_view oldName, std::string_view newName) {
    if (!renameRules || renameRuleCount >= kMaxRules || !Fits(oldName, kMaxRuleTextBytes) ||
        !Fits(newName, kMaxRuleTextBytes)) {
        return false;
    }
    RenameRule& rule = renameRules[renameRuleCount++];
    CopyInto(rule.oldName, oldName);
    CopyInto(rule.newName, newName);
    return true;
}
