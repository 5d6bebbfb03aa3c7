#pragma once
// The rules editor's texts, which both dialogs show the same way. UTF-8.
// A "{}" is filled in order by FillMessage (prep/prep_messages.h).

namespace app_text {

inline constexpr const char* kRulesCaption = "规则 - Korvane";
inline constexpr const char* kReplaceTab = "内容替换规则";
inline constexpr const char* kRenameTab = "重命名规则";
inline constexpr const char* kFindHeader = "查找";
inline constexpr const char* kReplaceHeader = "替换为";
inline constexpr const char* kOldNameHeader = "原名称";
inline constexpr const char* kNewNameHeader = "新名称";
inline constexpr const char* kAddRow = "添加";
inline constexpr const char* kRemoveRow = "删除";
inline constexpr const char* kMoveUp = "上移";
inline constexpr const char* kMoveDown = "下移";
inline constexpr const char* kSave = "保存";
inline constexpr const char* kOpenInEditor = "用文本编辑器打开";
inline constexpr const char* kSampleLabel = "试用文本（换行按 CR LF 计，与规则中的“^”相同）：";
inline constexpr const char* kResultLabel = "替换结果：";
inline constexpr const char* kSamplePlaceholder =
    "在这里输入一段文字，下面即时显示当前规则替换后的结果";
inline constexpr const char* kSampleNotInCodePage = "（试用文本含有{}无法表示的字符）";
inline constexpr const char* kSampleTooLarge = "（替换结果过长，不再显示）";
// How a line break in a cell is shown; typed with Shift+Enter.
inline constexpr const char* kLineBreakMark = "⏎";
inline constexpr const char* kCellTip = "双击编辑；Shift+Enter 输入换行（保存为“^”）";

// What a line that the table cannot show as a rule does when the rules load.
inline constexpr const char* kKeptDeletes = "删除 {}";
inline constexpr const char* kKeptIgnoredNoAccent = "忽略 {}（没有反引号）";
inline constexpr const char* kKeptEmpty = "（空行）";
inline constexpr const char* kKeptEmptyField = "忽略 {}（有一栏为空）";
inline constexpr const char* kKeptManyAccents = "{} → {}（第二个反引号及其后的文字被忽略）";
inline constexpr const char* kKeptBadText = "（第 {} 行不是有效的{}文本，保留原样）";
inline constexpr const char* kKeptTip = "规则文件中的这一行保留原样，不能在表格中编辑";

// Problems of a row the loader cannot see.
inline constexpr const char* kCellNotInCodePage = "第 {} 行：含有{}无法表示的字符。";
inline constexpr const char* kCellHoldsCaret =
    "第 {} 行：“^”在规则文件中表示换行，无法查找或替换“^”本身；换行请用 Shift+Enter 输入。";
// Under the table: how many rows are invalid, then the first reason.
inline constexpr const char* kRowsInvalid = "{} 行有误，无法保存：{}";
inline constexpr const char* kRowsValid = "共 {} 条规则";

// Opening, saving and closing.
inline constexpr const char* kCannotLoadRules = "无法读取规则文件 {}：{}";
inline constexpr const char* kCannotSaveRules = "无法保存规则文件 {}：{}";
inline constexpr const char* kRulesChangedElsewhere =
    "规则文件 {} "
    "在打开后已被其他程序改动，未保存。\n重新载入该文件将放弃表格中的修改。要重新载入吗？";
inline constexpr const char* kAskSaveOnClose = "规则已修改但尚未保存。要保存吗？";
inline constexpr const char* kRulesSaved = "已保存";

}  // namespace app_text
