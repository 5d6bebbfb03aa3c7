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

// The load's refusal, about the input the load is at.
struct CRefusing {
    JobInput input = JobInput::Suffix;
    std::optional<CRefusal> refusal;
};

void Refuse(CRefusing& r, const std::string& text) {
    r.refusal = CRefusal{r.input, text};
}

void Refuse(CRefusing& r, std::string_view text, std::initializer_list<std::string> args) {
    Refuse(r, FillMessage(text, args));
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

void RefuseBadText(CRefusing& r, const CRulesMessages& messages, size_t lineNo) {
    Refuse(r, messages.badText, {std::to_string(lineNo), CCodePage::Working().Name()});
}

// After a failed append: the table was full, or a text did not fit its slot.
void RefuseNotAppended(CRefusing& r, const CRulesMessages& messages, int count, size_t lineNo) {
    Refuse(r, count >= kMaxRules ? messages.tooMany : messages.tooLong, {std::to_string(lineNo)});
}

// Step 2. False, refused, when an entry does not fit the list.
bool FillExtensions(CRefusing& r) {
    // The text ends at a zero byte, as the framework's strings do.
    const std::string suffixText = g_jobTables.suffixText.c_str();
    for (const CSuffixEntry& entry : ScanSuffixText(suffixText)) {
        if (g_jobTables.AppendExtension(entry.extension))
            continue;
        const bool full = g_jobTables.extensionCount >= kMaxExtensions;
        Refuse(r, full ? kMsgTooManyExtensions : kMsgExtensionTooLong, {ForMessage(entry.pattern)});
        return false;
    }
    return true;
}

// One line of the replacement rules file (step 5). False when refused.
bool AddReplaceRule(CRefusing& r, size_t lineNo, const std::string& line) {
    // Zero bytes are what a UTF-16 file without its mark looks like; they are never text here.
    if (line.find('\0') != std::string::npos) {
        Refuse(r, kMsgReplaceLineHoldsZero, {std::to_string(lineNo)});
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
    RefuseNotAppended(r, kReplaceMessages, g_jobTables.replaceRuleCount, lineNo);
    return false;
}

// One line of the rename rules file (step 9). False when refused.
bool AddRenameRule(CRefusing& r, size_t lineNo, const std::string& line) {
    const auto [oldName, newName] = SplitRuleLine(line);
    if (oldName.empty() || newName.empty())
        return true;
    if (IsUnsafeEntryName(oldName) || IsUnsafeEntryName(newName)) {
        Refuse(r, kMsgRenameRuleUnsafe, {std::to_string(lineNo)});
        return false;
    }
    if (g_jobTables.AppendRenameRule(oldName, newName))
        return true;
    RefuseNotAppended(r, kRenameMessages, g_jobTables.renameRuleCount, lineNo);
    return false;
}

// Reads the rules file at path (or takes the bytes already read) and hands
// each line to addRule, which refuses and returns false (steps 5 and 9).
// False when refused.
bool FillRules(CRefusing& r, const std::string& path, const std::optional<std::string>& bytes,
               const CRulesMessages& messages,
               bool (*addRule)(CRefusing& r, size_t lineNo, const std::string& line)) {
    std::string raw = bytes.value_or(std::string());
    const CIoResult read = bytes ? CIoResult{} : ReadFilePath(path, raw, kMaxRulesFileBytes + 1);
    if (read.status == IoStatus::TooLarge || raw.size() > kMaxRulesFileBytes) {
        Refuse(r, kMsgRulesFileTooLarge, {PathForDisplay(path)});
        return false;
    }
    if (!read.Ok()) {
        Refuse(r, messages.unreadable, {ReasonText(ReadReason(read.status), read.osError)});
        return false;
    }
    bool refused = false;
    const size_t badLine = ForEachRulesLine(raw, [&](size_t lineNo, const std::string& line) {
        refused = !addRule(r, lineNo, line);
        return !refused;
    });
    if (badLine != 0)
        RefuseBadText(r, messages, badLine);
    return !refused && badLine == 0;
}

// Whether a rules file is there to be read; false, refused with it missing
// or with what else is at its path, when not.
bool RulesFileThere(CRefusing& r, const std::string& path, std::string_view missing) {
    if (g_pCore->isFileExist(path))
        return true;
    if (KindOfPath(path) == PathKind::Missing)
        Refuse(r, missing, {});
    else
        Refuse(r, kMsgRulesFileNotRegular, {PathForDisplay(path)});
    return false;
}

}  // namespace

std::optional<CRefusal> LoadTables() {
    CRefusing r;
    JobTables& tables = g_jobTables;
    if (!tables.IsAllocated())
        tables.Allocate();

    tables.ClearExtensions();
    if (!FillExtensions(r)) {
        tables.ClearExtensions();
        return r.refusal;
    }
    if (tables.extensionCount == 0) {
        Refuse(r, kMsgNoExtensions, {});
        return r.refusal;
    }

    r.input = JobInput::ReplaceRules;
    tables.ClearReplaceRules();
    if (!tables.replaceRulesBytes && !RulesFileThere(r, tables.replaceRulesPath, kMsgNoReplaceFile))
        return r.refusal;
    if (!FillRules(r, tables.replaceRulesPath, tables.replaceRulesBytes, kReplaceMessages,
                   AddReplaceRule)) {
        r.input = JobInput::ReplaceRules;
        tables.ClearReplaceRules();
        return r.refusal;
    }
    if (tables.replaceRuleCount == 0) {
        Refuse(r, kMsgNoReplaceRules, {});
        return r.refusal;
    }

    if (!tables.renameFolders)
        return std::nullopt;

    r.input = JobInput::RenameRules;
    tables.ClearRenameRules();
    if (!tables.renameRulesBytes && !RulesFileThere(r, tables.renameRulesPath, kMsgNoRenameFile))
        return r.refusal;
    if (!FillRules(r, tables.renameRulesPath, tables.renameRulesBytes, kRenameMessages,
                   AddRenameRule)) {
        r.input = JobInput::RenameRules;
        tables.ClearRenameRules();
        return r.refusal;
    }
    if (tables.renameRuleCount == 0) {
        Refuse(r, kMsgNoRenameRules, {});
        return r.refusal;
    }
    return std::nullopt;
}

int LoadJobTables(void* owner) {
    if (const std::optional<CRefusal> refused = LoadTables()) {
        g_pCore->msgboxWarning(owner, refused->text);
        return 0;
    }
    return 1;
}
