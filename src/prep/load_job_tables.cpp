#include "prep/load_job_tables.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/report/reason_texts.h"
#include "engine/report/run_summary.h"
#include "engine/rewrite/mode_rules.h"
#include "platform/code_page.h"
#include "platform/file_io.h"
#include "platform/mbcs.h"
#include "platform/paths.h"
#include "prep/job_tables.h"
#include "prep/prep_messages.h"
#include "prep/rule_check.h"
#include "prep/rules_file_reader.h"
#include "prep/suffix_scan.h"
#include "service/core.h"

namespace {

// The load's refusal, about the input the load is at, and the warnings
// about lines that load but probably not as meant.
struct CRefusing {
    JobInput input = JobInput::Suffix;
    std::optional<CRefusal> refusal;
    std::vector<CRefusal> warnings;
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

// Why a rule as the run uses it cannot be used with the tables' match
// modes, as the text after the line's number; empty when it can.
std::string ModeProblemText(const std::string& find, const std::string& replacement) {
    const CMatchModes& modes = g_jobTables.modes;
    if (!modes.Any())
        return {};
    const CModeProblem problem = ModeRuleProblem(CCodePage::Working(), modes, find, replacement);
    switch (problem.kind) {
        case CModeProblem::None:
            return {};
        case CModeProblem::NoSuchGroup:
            return FillMessage(kMsgNoSuchGroup, {problem.detail});
        case CModeProblem::BadPattern:
            break;
    }
    return problem.detail;
}

// A message lists this many faulty lines of a rules file at most.
constexpr size_t kListedBadLines = 20;

// What differs between the two rules files.
struct CRulesFileKind {
    RulesFile file;
    std::string_view unreadable;
    std::string_view badText;
};

constexpr CRulesFileKind kReplaceFile{RulesFile::Replace, kMsgReplaceFileUnreadable,
                                      kMsgReplaceLineBadText};
constexpr CRulesFileKind kRenameFile{RulesFile::Rename, kMsgRenameFileUnreadable,
                                     kMsgRenameLineBadText};

// Every faulty line of one rules file, in order, as one refusal.
class CBadLines {
  public:
    void Add(std::string text) { m_lines.push_back(std::move(text)); }
    bool Empty() const { return m_lines.empty(); }
    std::string Text() const {
        std::vector<std::string> listed(
            m_lines.begin(), m_lines.begin() + std::min(m_lines.size(), kListedBadLines));
        if (m_lines.size() > kListedBadLines)
            listed.push_back(
                FillMessage(kMsgMoreBadLines, {std::to_string(m_lines.size() - kListedBadLines)}));
        std::string text;
        for (const std::string& line : listed)
            text.append(text.empty() ? "" : "\n").append(line);
        return text;
    }

  private:
    std::vector<std::string> m_lines;
};

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

// One decoded line of a rules file (steps 5 and 9): appended when its
// fields are both there (the find text, for a replacement rule), or the
// reason it cannot be. A table past its capacity is said once, at the
// first line beyond it.
void AddRule(const CRulesFileKind& kind, size_t lineNo, const std::string& line, CBadLines& bad,
             bool& bFull) {
    auto [field0, field1] = SplitRuleLine(line);
    const bool replace = kind.file == RulesFile::Replace;
    if (field0.empty() || (!replace && field1.empty()))
        return;
    JobTables& t = g_jobTables;
    const int count = replace ? t.replaceRuleCount : t.renameRuleCount;
    const std::string problem = RuleProblem(kind.file, field0, field1, lineNo, count);
    if (!problem.empty()) {
        if (count < kMaxRules || !std::exchange(bFull, true))
            bad.Add(problem);
        return;
    }
    if (replace) {
        ExpandLineBreaks(field0, field1, t.modes.regex);
        if (std::string why = ModeProblemText(field0, field1); !why.empty()) {
            bad.Add(FillMessage(kMsgReplaceRuleBadRegex, {std::to_string(lineNo), why}));
            return;
        }
        t.AppendReplaceRule(field0, field1);
    } else {
        t.AppendRenameRule(field0, field1);
    }
}

// Reads the rules file at path (or takes the bytes already read) and adds
// each line (steps 5 and 9), noting the lines that load other than meant.
// False, refused with every faulty line, when one is.
bool FillRules(CRefusing& r, const std::string& path, const std::optional<std::string>& bytes,
               const CRulesFileKind& kind) {
    std::string raw = bytes.value_or(std::string());
    const CIoResult read = bytes ? CIoResult{} : ReadFilePath(path, raw, kMaxRulesFileBytes + 1);
    if (read.status == IoStatus::TooLarge || raw.size() > kMaxRulesFileBytes) {
        Refuse(r, kMsgRulesFileTooLarge, {PathForDisplay(path)});
        return false;
    }
    if (!read.Ok()) {
        Refuse(r, kind.unreadable, {ReasonText(ReadReason(read.status), read.osError)});
        return false;
    }
    CBadLines bad;
    bool bFull = false;
    const std::string codePage = CCodePage::Working().Name();
    ForEachRulesLine(
        raw,
        [&](size_t lineNo, const std::string& line) {
            AddRule(kind, lineNo, line, bad, bFull);
            if (std::string warning = LineWarning(kind.file, line, lineNo); !warning.empty())
                r.warnings.push_back({r.input, std::move(warning)});
            return true;
        },
        [&](size_t lineNo) {
            bad.Add(FillMessage(kind.badText, {std::to_string(lineNo), codePage}));
        });
    if (bad.Empty())
        return true;
    Refuse(r, bad.Text());
    return false;
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

// The rule lines of the command line, after the file's rules (-e,
// --rename-rule): each loads as a line of the file would, and a problem is
// named by the rule's number among them. False, refused, at the first one.
bool FillCommandLineRules(CRefusing& r, const std::vector<std::string>& lines, RulesFile file) {
    const bool replace = file == RulesFile::Replace;
    JobTables& t = g_jobTables;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        if (!CCodePage::Working().IsValid(lines[i])) {
            Refuse(r, kMsgCommandRuleBadText, {number, CCodePage::Working().Name()});
            return false;
        }
        auto [field0, field1] = SplitRuleLine(lines[i]);
        if (field0.empty() || (!replace && field1.empty()))
            continue;
        const int count = replace ? t.replaceRuleCount : t.renameRuleCount;
        std::string problem = RuleProblem(file, field0, field1, i + 1, count);
        if (replace)
            ExpandLineBreaks(field0, field1, t.modes.regex);
        if (count >= kMaxRules)
            problem = FillMessage(
                replace ? kMsgTooManyCommandReplaceRules : kMsgTooManyCommandRenameRules, {number});
        else if (field0.size() > kMaxRuleTextBytes || field1.size() > kMaxRuleTextBytes)
            problem = FillMessage(
                replace ? kMsgCommandReplaceRuleTooLong : kMsgCommandRenameRuleTooLong, {number});
        else if (std::string why = replace ? ModeProblemText(field0, field1) : std::string();
                 !why.empty())
            problem = FillMessage(kMsgCommandRuleBadRegex, {number, why});
        if (!problem.empty()) {
            Refuse(r, problem);
            return false;
        }
        if (replace)
            t.AppendReplaceRule(field0, field1);
        else
            t.AppendRenameRule(field0, field1);
    }
    return true;
}

// The rules of one kind: the file's, then the command line's. No file is
// read when there are command line rules and neither a path nor bytes.
bool FillAllRules(CRefusing& r, const std::string& path, const std::optional<std::string>& bytes,
                  std::string_view missing, const CRulesFileKind& kind,
                  const std::vector<std::string>& lines) {
    if (bytes || !path.empty() || lines.empty()) {
        if (!bytes && !RulesFileThere(r, path, missing))
            return false;
        if (!FillRules(r, path, bytes, kind))
            return false;
    }
    return FillCommandLineRules(r, lines, kind.file);
}

// The steps of the load, in order.
std::optional<CRefusal> Load(CRefusing& r) {
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
    if (!FillAllRules(r, tables.replaceRulesPath, tables.replaceRulesBytes, kMsgNoReplaceFile,
                      kReplaceFile, tables.commandLineRules)) {
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
    if (!FillAllRules(r, tables.renameRulesPath, tables.renameRulesBytes, kMsgNoRenameFile,
                      kRenameFile, tables.commandLineRenameRules)) {
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

}  // namespace

std::optional<CRefusal> LoadTables(std::vector<CRefusal>* warnings) {
    CRefusing r;
    std::optional<CRefusal> refused = Load(r);
    if (warnings)
        *warnings = refused ? std::vector<CRefusal>() : std::move(r.warnings);
    return refused;
}

int LoadJobTables(void* owner) {
    if (const std::optional<CRefusal> refused = LoadTables()) {
        g_pCore->msgboxWarning(owner, refused->text);
        return 0;
    }
    return 1;
}
