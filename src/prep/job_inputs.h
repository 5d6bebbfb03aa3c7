#pragma once
// The checks of a start command that both front ends share: the dialog and
// vexa-cli take the same inputs through the same checks, in the same order,
// with the same messages.

#include <functional>
#include <optional>
#include <vector>

#include "platform/message_catalog.h"
#include "prep/refusal.h"

// The rules files' names: the program location prefix followed by these.
inline constexpr const char* kReplaceRulesSuffix = "_文本替换规则.txt";
inline constexpr const char* kRenameRulesSuffix = "_文件夹重命名规则.txt";

// Asked before a run; only Yes starts it.
inline constexpr const char* kMsgConfirmRun =
    N_("替换操作无法撤销，请自行备份文件！确定要继续执行吗？");

// Checks the inputs already read into g_jobTables: the folder must exist and
// the suffix text must hold a dot. Then the folder path is made to end in
// "/" and the tables are loaded (LoadJobTables). Returns 1 when ready; 0
// after exactly one warning through g_pCore->msgboxWarning(owner, ...).
// beforeWarning, when given, runs before the warning of a refused input.
int CheckJobInputs(void* owner, const std::function<void(JobInput)>& beforeWarning = {});
// The same checks and load, the refusal returned instead of shown, and the
// load's warnings (LoadTables) when it loads.
std::optional<CRefusal> CheckInputs(std::vector<CRefusal>* warnings = nullptr);
// The first two checks alone (the folder exists, the suffix text holds a
// dot), then the folder path made to end in "/": the refusals that point at
// an input of the dialog.
std::optional<CRefusal> CheckFolderAndSuffix();
