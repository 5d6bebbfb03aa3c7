#include "prep/load_job_tables.h"

#include <optional>
#include <string>
#include <string_view>

#include "engine/report/reason_texts.h"
#include "engine/report/run_summary.h"
#include "platform/code_page.h"
#include "platform/file_io.h"
#include "platform/mbcs.h"
#include "platform/paths.h"
#include "prep/job_tables.h"
#include "prep/prep_messages.h"
#include "prep/rules_file_reader.h"
#include "prep/suffix_scan.h"
#include "service/core.h"

namespace {

void Warn(void* owner, const std::string& text) {
    g_pCore->msgboxWarning(owner, text);
}

void Warn(void* owner, std::string_view text, std::initializer_list<std::string> args) {
    Warn(owner, FillMessage(text, args));
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

// One line of the replacement rules file (step 5). False after a warning.
bool AddReplaceRule(void* owner, size_t lineNo, const std::string& line) {
    // Zero bytes are what a UTF-16 file without its mark looks like; they are never text here.
    if (line.find('\0') != std::string::npos) {
        Warn(owner, kMsgReplaceLineHoldsZero, {std::to_string(lineNo)});
        return false;
    }
    auto [find, replacement] = SplitRuleLine(line);
    if (find.empty())
        return true;
    const CCodePage& working = CCodePage::Working();
    MbsReplaceAll(working, find, "^", "\r\n");
    MbsReplaceAll(working, replacement, "^", "\r\n");
    if (g_jobTables.AppendReplaceRule(find, replacement))
        return true;
    WarnNotAppended(owner, kReplaceMessages, g_jobTables.replaceRuleCount, lineNo);
    return false;
}

// One line of the rename rules file (step 9). False after a warning.
bool AddRenameRule(void* owner, size_t lineNo, const std::string& line) {
    const auto [oldName, newName] = SplitRuleLine(line);
    if (oldName.empty() || newName.empty())
        return true;
    if (IsUnsafeEntryName(oldName) || IsUnsafeEntryName(newName)) {
        Warn(owner, kMsgRenameRuleUnsafe, {std::to_string(lineNo)});
        return false;
    }
    if (g_jobTables.AppendRenameRule(oldName, newName))
        return true;
    WarnNotAppended(owner, kRenameMessages, g_jobTables.renameRuleCount, lineNo);
    return false;
}

// Reads the rules file at path (or takes the bytes already read) and hands
// each line to addRule, which warns and returns false to refuse (steps 5
// and 9). False after exactly one warning.
bool FillRules(void* owner, const std::string& path, const std::optional<std::string>& bytes,
               const CRulesMessages& messages,
               bool (*addRule)(void* owner, size_t lineNo, const std::string& line)) {
    std::string raw = bytes.value_or(std::string());
    const CIoResult read = bytes ? CIoResult{} : ReadFilePath(path, raw, kMaxRulesFileBytes + 1);
    if (read.status == IoStatus::TooLarge || raw.size() > kMaxRulesFileBytes) {
        Warn(owner, kMsgRulesFileTooLarge, {PathForDisplay(path)});
        return false;
    }
    if (!read.Ok()) {
        Warn(owner, messages.unreadable, {ReasonText(ReadReason(read.status), read.osError)});
        return false;
    }
    bool refused = false;
    const size_t badLine = ForEachRulesLine(raw, [&](size_t lineNo, const std::string& line) {
        refused = !addRule(owner, lineNo, line);
        return !refused;
    });
    if (badLine != 0)
        WarnBadText(owner, messages, badLine);
    return !refused && badLine == 0;
}

// Whether a rules file is there to be read; false after a warning that says
// it is missing, or what else is at its path.
bool RulesFileThere(void* owner, const std::string& path, std::string_view missing) {
    if (g_pCore->isFileExist(path))
        return true;
    if (KindOfPath(path) == PathKind::Missing)
        Warn(owner, std::string(missing));
    else
        Warn(owner, kMsgRulesFileNotRegular, {PathForDisplay(path)});
    return false;
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
    if (!tables.replaceRulesBytes &&
        !RulesFileThere(owner, tables.replaceRulesPath, kMsgNoReplaceFile))
        return 0;
    if (!FillRules(owner, tables.replaceRulesPath, tables.replaceRulesBytes, kReplaceMessages,
                   AddReplaceRule)) {
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
    if (!tables.renameRulesBytes &&
        !RulesFileThere(owner, tables.renameRulesPath, kMsgNoRenameFile))
        return 0;
    if (!FillRules(owner, tables.renameRulesPath, tables.renameRulesBytes, kRenameMessages,
                   AddRenameRule)) {
        tables.ClearRenameRules();
        return 0;
    }
    if (tables.renameRuleCount == 0) {
        Warn(owner, std::string(kMsgNoRenameRules));
        return 0;
    }
    return 1;
}
