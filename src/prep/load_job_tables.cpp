#include "prep/load_job_tables.h"

#include <string>
#include <string_view>

#include "engine/job_tables.h"
#include "platform/code_page.h"
#include "platform/mbcs.h"
#include "prep/prep_messages.h"
#include "prep/rules_file_reader.h"
#include "prep/suffix_scan.h"
#include "service/core.h"

namespace {

void Warn(void* owner, const std::string& text) {
    g_pCore->msgboxWarning(owner, text);
}

void Warn(void* owner, std::string_view text, std::initializer_list<std::string> args) {
    Warn(owner, FormatMessage(text, args));
}

// Messages are UTF-8; a pattern typed in another working code page is converted to show it.
std::string ForMessage(const std::string& text) {
    const CCodePage& working = CCodePage::Working();
    std::string out;
    if (working.IsUtf8() || !ConvertCharset(working.Name().c_str(), "UTF-8", text, out))
        return text;
    return out;
}

// What differs between the two rules files: their messages.
struct CRulesMessages {
    std::string_view unreadable;
    std::string_view badText;
    std::string_view tooMany;
    std::string_view tooLong;
};

constexpr CRulesMessages kReplaceMessages{kMsgReplaceFileUnreadable, kMsgReplaceLineBadText,
                                          kMsgTooManyReplaceRules, kMsgReplaceRuleTooLong};
constexpr CRulesMessages kRenameMessages{kMsgRenameFileUnreadable, kMsgRenameLineBadText,
                                         kMsgTooManyRenameRules, kMsgRenameRuleTooLong};

void WarnBadText(void* owner, const CRulesMessages& messages, size_t lineNo) {
    Warn(owner, messages.badText, {std::to_string(lineNo), CCodePage::Working().Name()});
}

// After a failed append: the table was full, or a text did not fit its slot.
void WarnNotAppended(void* owner, const CRulesMessages& messages, int count, size_t lineNo) {
    Warn(owner, count >= kMaxRules ? messages.tooMany : messages.tooLong, {std::to_string(lineNo)});
}

bool ReadRules(void* owner, const std::string& path, const CRulesMessages& messages,
               CRulesText& text) {
    const CFileRead read = ReadRulesFile(path, text);
    if (!read.Ok())
        Warn(owner, messages.unreadable, {read.Reason()});
    return read.Ok();
}

// Step 2. False after a warning when an entry does not fit the list.
bool FillExtensions(void* owner) {
    // The text ends at a zero byte, as the framework's strings do.
    const std::string suffixText = g_jobTables.suffixText.c_str();
    for (const CSuffixEntry& entry : ScanSuffixText(suffixText)) {
        if (g_jobTables.AppendExtension(entry.extension))
            continue;
        const bool full = g_jobTables.extensionCount >= kMaxExtensions;
        Warn(owner, full ? kMsgTooManyExtensions : kMsgExtensionTooLong,
             {ForMessage(entry.pattern)});
        return false;
    }
    return true;
}

// Step 5. False after a warning when the file cannot be read or a line is refused.
bool FillReplaceRules(void* owner) {
    CRulesText text;
    if (!ReadRules(owner, g_jobTables.replaceRulesPath, kReplaceMessages, text))
        return false;
    const CCodePage& working = CCodePage::Working();
    for (size_t i = 0; i < text.lines.size(); ++i) {
        const std::string& line = text.lines[i];
        // Zero bytes are what a UTF-16 file without its mark looks like; they are never text here.
        if (line.find('\0') != std::string::npos) {
            WarnBadText(owner, kReplaceMessages, i + 1);
            return false;
        }
        auto [find, replacement] = SplitRuleLine(line);
        if (find.empty())
            continue;
        MbsReplaceAll(working, find, "^", "\r\n");
        MbsReplaceAll(working, replacement, "^", "\r\n");
        if (!g_jobTables.AppendReplaceRule(find, replacement)) {
            WarnNotAppended(owner, kReplaceMessages, g_jobTables.replaceRuleCount, i + 1);
            return false;
        }
    }
    if (text.badLine != 0) {
        WarnBadText(owner, kReplaceMessages, static_cast<size_t>(text.badLine));
        return false;
    }
    return true;
}

// A new name with a separator, or "." or "..", would move the folder elsewhere
// in the tree or out of it; an old one could never be a folder's own name.
bool IsUnsafeFolderName(std::string_view name) {
    return name == "." || name == ".." || name.find('/') != std::string_view::npos ||
           name.find('\0') != std::string_view::npos;
}

// Step 9. False after a warning when the file cannot be read or a line is refused.
bool FillRenameRules(void* owner) {
    CRulesText text;
    if (!ReadRules(owner, g_jobTables.renameRulesPath, kRenameMessages, text))
        return false;
    for (size_t i = 0; i < text.lines.size(); ++i) {
        const auto [oldName, newName] = SplitRuleLine(text.lines[i]);
        if (oldName.empty() || newName.empty())
            continue;
        if (IsUnsafeFolderName(oldName) || IsUnsafeFolderName(newName)) {
            Warn(owner, kMsgRenameRuleUnsafe, {std::to_string(i + 1)});
            return false;
        }
        if (!g_jobTables.AppendRenameRule(oldName, newName)) {
            WarnNotAppended(owner, kRenameMessages, g_jobTables.renameRuleCount, i + 1);
            return false;
        }
    }
    if (text.badLine != 0) {
        WarnBadText(owner, kRenameMessages, static_cast<size_t>(text.badLine));
        return false;
    }
    return true;
}

}  // namespace

int LoadJobTables(void* owner) {
    JobTables& tables = g_jobTables;
    if (!tables.IsAllocated())
        tables.Allocate();

    tables.ClearExtensions();
    if (!FillExtensions(owner)) {
        tables.ClearExtensions();
        return 0;
    }
    if (tables.extensionCount == 0) {
        Warn(owner, std::string(kMsgNoExtensions));
        return 0;
    }

    tables.ClearReplaceRules();
    if (!g_pCore->isFileExist(tables.replaceRulesPath)) {
        Warn(owner, std::string(kMsgNoReplaceFile));
        return 0;
    }
    if (!FillReplaceRules(owner)) {
        tables.ClearReplaceRules();
        return 0;
    }
    if (tables.replaceRuleCount == 0) {
        Warn(owner, std::string(kMsgNoReplaceRules));
        return 0;
    }

    if (!tables.renameFolders)
        return 1;

    tables.ClearRenameRules();
    if (!g_pCore->isFileExist(tables.renameRulesPath)) {
        Warn(owner, std::string(kMsgNoRenameFile));
        return 0;
    }
    if (!FillRenameRules(owner)) {
        tables.ClearRenameRules();
        return 0;
    }
    if (tables.renameRuleCount == 0) {
        Warn(owner, std::string(kMsgNoRenameRules));
        return 0;
    }
    return 1;
}
