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

// What differs between the two rules files, and between a file and the
// command line: their messages.
struct CRulesMessages {
    std::string_view unreadable;
    std::string_view badText;
    std::string_view tooMany;
    std::string_view tooLong;
};

// The load's refusal, about the input the load is at.
struct CRefusing {
    JobInput input = JobInput::Suffix;
    std::optional<CRefusal> refusal;
    const CRulesMessages* messages = nullptr;  // of the rules being read
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

constexpr CRulesMessages kReplaceMessages{kMsgReplaceFileUnreadable, kMsgReplaceLineBadText,
                                          kMsgTooManyReplaceRules, kMsgReplaceRuleTooLong};
constexpr CRulesMessages kRenameMessages{kMsgRenameFileUnreadable, kMsgRenameLineBadText,
                                         kMsgTooManyRenameRules, kMsgRenameRuleTooLong};
constexpr CRulesMessages kCommandReplaceMessages{
    {}, kMsgCommandRuleBadText, kMsgTooManyCommandReplaceRules, kMsgCommandReplaceRuleTooLong};
constexpr CRulesMessages kCommandRenameMessages{
    {}, kMsgCommandRuleBadText, kMsgTooManyCommandRenameRules, kMsgCommandRenameRuleTooLong};

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
    RefuseNotAppended(r, *r.messages, g_jobTables.replaceRuleCount, lineNo);
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
    RefuseNotAppended(r, *r.messages, g_jobTables.renameRuleCount, lineNo);
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
    r.messages = &messages;
    bool refused = false;
    const size_t badLine = ForEachRulesLine(raw, [&](size_t lineNo, const std::string& line) {
        refused = !addRule(r, lineNo, line);
        return !refused;
    });
    if (badLine != 0)
        RefuseBadText(r, messages, badLine);
    return !refused && badLine == 0;
}

// The rule lines of the command line, after the file's rules. False when refused.
bool FillCommandLineRules(CRefusing& r, const std::vector<std::string>& lines,
                          const CRulesMessages& messages,
                          bool (*addRule)(CRefusing& r, size_t lineNo, const std::string& line)) {
    r.messages = &messages;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!CCodePage::Working().IsValid(lines[i])) {
            RefuseBadText(r, messages, i + 1);
            return false;
        }
        if (!addRule(r, i + 1, lines[i]))
            return false;
    }
    return true;
}

// Whether a rules file is there to be read; false, refused with it missing
// or with what else is at its path, when not.
bool RulesFileThere(CRefusing& r, const std::string& path, std::string_view missing) {
    if (g_pCore->isFileExist(path))
        return true;
    if (KindOfPath(path) == PathKind::Missing)
        Refuse(r, std::string(missing));
    else
        Refuse(r, kMsgRulesFileNotRegular, {PathForDisplay(path)});
    return false;
}

// The rules of one kind: the file's, then the command line's. No file is
// read when there are command line rules and no path.
bool FillAllRules(CRefusing& r, const std::string& path, const std::optional<std::string>& bytes,
                  std::string_view missing, const CRulesMessages& messages,
                  const std::vector<std::string>& lines, const CRulesMessages& lineMessages,
                  bool (*addRule)(CRefusing& r, size_t lineNo, const std::string& line)) {
    if (bytes || !path.empty() || lines.empty()) {
        if (!bytes && !RulesFileThere(r, path, missing))
            return false;
        if (!FillRules(r, path, bytes, messages, addRule))
            return false;
    }
    return FillCommandLineRules(r, lines, lineMessages, addRule);
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
        Refuse(r, std::string(kMsgNoExtensions));
        return r.refusal;
    }

    r.input = JobInput::ReplaceRules;
    tables.ClearReplaceRules();
    if (!FillAllRules(r, tables.replaceRulesPath, tables.replaceRulesBytes, kMsgNoReplaceFile,
                      kReplaceMessages, tables.commandLineRules, kCommandReplaceMessages,
                      AddReplaceRule)) {
        r.input = JobInput::ReplaceRules;
        tables.ClearReplaceRules();
        return r.refusal;
    }
    if (tables.replaceRuleCount == 0) {
        Refuse(r, std::string(kMsgNoReplaceRules));
        return r.refusal;
    }

    if (!tables.renameFolders)
        return std::nullopt;

    r.input = JobInput::RenameRules;
    tables.ClearRenameRules();
    if (!FillAllRules(r, tables.renameRulesPath, tables.renameRulesBytes, kMsgNoRenameFile,
                      kRenameMessages, tables.commandLineRenameRules, kCommandRenameMessages,
                      AddRenameRule)) {
        r.input = JobInput::RenameRules;
        tables.ClearRenameRules();
        return r.refusal;
    }
    if (tables.renameRuleCount == 0) {
        Refuse(r, std::string(kMsgNoRenameRules));
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
