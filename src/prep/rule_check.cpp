#include "prep/rule_check.h"

#include "platform/code_page.h"
#include "platform/mbcs.h"
#include "platform/paths.h"
#include "prep/job_tables.h"
#include "prep/prep_messages.h"

namespace {

bool HoldsLineBreak(const std::string& text) {
    return text.find('\n') != std::string::npos;
}

}  // namespace

int CountRuleAccents(std::string_view line) {
    const CCodePage& working = CCodePage::Working();
    int found = 0;
    for (size_t pos = 0; pos < line.size() && found < 2; pos += working.CharLength(line, pos))
        found += line[pos] == '`';
    return found;
}

void ExpandLineBreaks(std::string& field0, std::string& field1, bool regexFind) {
    const CCodePage& working = CCodePage::Working();
    if (!regexFind)
        MbsReplaceAll(working, field0, "^", "\r\n");
    MbsReplaceAll(working, field1, "^", "\r\n");
}

std::string RuleProblem(RulesFile file, const std::string& field0, const std::string& field1,
                        size_t lineNo, int rulesBefore) {
    const std::string line = std::to_string(lineNo);
    const bool replace = file == RulesFile::Replace;
    // Zero bytes are what a UTF-16 file without its mark looks like; they are never text here.
    if (replace &&
        (field0.find('\0') != std::string::npos || field1.find('\0') != std::string::npos))
        return FillMessage(kMsgReplaceLineHoldsZero, {line});
    if (!replace && (IsUnsafeEntryName(field0) || IsUnsafeEntryName(field1)))
        return FillMessage(kMsgRenameRuleUnsafe, {line});
    if (rulesBefore >= kMaxRules)
        return FillMessage(replace ? kMsgTooManyReplaceRules : kMsgTooManyRenameRules, {line});
    std::string stored0 = field0, stored1 = field1;
    if (replace)
        ExpandLineBreaks(stored0, stored1);
    if (stored0.size() > kMaxRuleTextBytes || stored1.size() > kMaxRuleTextBytes)
        return FillMessage(replace ? kMsgReplaceRuleTooLong : kMsgRenameRuleTooLong, {line});
    return {};
}

std::string CellsProblem(RulesFile file, const std::string& cell0, const std::string& cell1,
                         size_t lineNo, int rulesBefore) {
    const std::string line = std::to_string(lineNo);
    const bool replace = file == RulesFile::Replace;
    if (cell0.empty() || (!replace && cell1.empty()))
        return FillMessage(replace ? kMsgEmptyFind : kMsgEmptyName, {line});
    if (CountRuleAccents(cell0) > 0 || CountRuleAccents(cell1) > 0)
        return FillMessage(kMsgCellHoldsAccent, {line});
    if (!replace && (HoldsLineBreak(cell0) || HoldsLineBreak(cell1)))
        return FillMessage(kMsgNameHoldsLineBreak, {line});
    if (!replace)
        return RuleProblem(file, cell0, cell1, lineNo, rulesBefore);
    std::string field0 = cell0, field1 = cell1;
    const CCodePage& working = CCodePage::Working();
    MbsReplaceAll(working, field0, "\n", "^");
    MbsReplaceAll(working, field1, "\n", "^");
    return RuleProblem(file, field0, field1, lineNo, rulesBefore);
}

std::string LineWarning(RulesFile file, std::string_view line, size_t lineNo) {
    if (line.empty())
        return {};
    const int accents = CountRuleAccents(line);
    const std::string number = std::to_string(lineNo);
    if (accents == 0 && file == RulesFile::Replace)
        return FillMessage(kWarnNoAccent, {number});
    if (accents < 2)
        return {};
    std::string text = FillMessage(kWarnManyAccents, {number});
    return file == RulesFile::Replace ? text : std::string(kRenameRulesHeading) + text;
}
