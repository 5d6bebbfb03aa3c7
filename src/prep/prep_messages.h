#pragma once
// The warnings LoadJobTables shows, UTF-8. A "{}" is filled in order by
// FillMessage, which also translates: a suffix pattern, a line number, a code
// page name or an OS reason. A refusal shows one of these, or one line of
// them for each faulty line of a rules file.

#include <string_view>

#include "platform/message_catalog.h"

// Suffix text.
inline constexpr std::string_view kMsgNoExtensions = N_("请指定文件扩展名。所有文件用 *.* 表示。");
inline constexpr std::string_view kMsgTooManyExtensions = N_("文件扩展名不能超过50个：{}。");
inline constexpr std::string_view kMsgExtensionTooLong = N_("文件扩展名不能超过10个字节：{}。");

// Replacement rules file.
inline constexpr std::string_view kMsgNoReplaceFile = N_("文本内容替换规则配置文件不存在。");
inline constexpr std::string_view kMsgReplaceFileUnreadable =
    N_("文本内容替换规则配置文件无法读取（{}）。");
inline constexpr std::string_view kMsgReplaceLineBadText =
    N_("文本内容替换规则第{}行不是有效的{}文本，配置文件的编码不符。");
inline constexpr std::string_view kMsgTooManyReplaceRules =
    N_("文本内容替换规则不能超过100条：第{}行。");
inline constexpr std::string_view kMsgReplaceRuleTooLong =
    N_("文本内容替换规则第{}行过长：查找和替换内容各不能超过200个字节。");
inline constexpr std::string_view kMsgNoReplaceRules = N_("文本内容替换有效规则不能为空。");
inline constexpr std::string_view kMsgReplaceLineHoldsZero =
    N_("文本内容替换规则第{}行含有零字节（UTF-16 的配置文件须以字节顺序标记开头）。");

// Either rules file.
inline constexpr std::string_view kMsgRulesFileNotRegular = N_("规则配置文件 {} 不是普通文件。");
inline constexpr std::string_view kMsgRulesFileTooLarge =
    N_("规则配置文件 {} 超过 1 MiB，不是规则文件，未读取。");

// Rename rules file.
inline constexpr std::string_view kMsgNoRenameFile = N_("文件夹重命名规则配置文件不存在。");
inline constexpr std::string_view kMsgRenameFileUnreadable =
    N_("文件夹重命名规则配置文件无法读取（{}）。");
inline constexpr std::string_view kMsgRenameLineBadText =
    N_("文件夹重命名规则第{}行不是有效的{}文本，配置文件的编码不符。");
inline constexpr std::string_view kMsgTooManyRenameRules =
    N_("文件夹重命名规则不能超过100条：第{}行。");
inline constexpr std::string_view kMsgRenameRuleTooLong =
    N_("文件夹重命名规则第{}行过长：文件夹名不能超过200个字节。");
#ifdef _WIN32
inline constexpr std::string_view kMsgRenameRuleUnsafe =
    N_("文件夹重命名规则第{}行无效：文件夹名不能含有 \\ / : * ? \" < > | 或控制字符，"
       "不能以点或空格结尾，不能是 CON、NUL、COM1 等设备名，也不能是“.”或“..”。");
#else
inline constexpr std::string_view kMsgRenameRuleUnsafe =
    N_("文件夹重命名规则第{}行无效：文件夹名不能含有“/”或零字节，也不能是“.”或“..”。");
#endif
inline constexpr std::string_view kMsgNoRenameRules = N_("文件夹重命名有效规则不能为空。");

// Lines that load, but probably not as meant: shown before a run.
inline constexpr std::string_view kWarnNoAccent =
    N_("第 {} 行没有反引号：整行作为查找文本，替换为空（删除）");
inline constexpr std::string_view kWarnManyAccents =
    N_("第 {} 行有不止一个反引号：第二个反引号及其后的文字被忽略");
inline constexpr std::string_view kRenameRulesHeading = N_("文件夹重命名规则");
// More faulty lines than a message lists.
inline constexpr std::string_view kMsgMoreBadLines = N_("另有 {} 行也有问题。");

// A rule that a match mode cannot use: the line (or -e rule) and why.
inline constexpr std::string_view kMsgReplaceRuleBadRegex =
    N_("文本内容替换规则第{}行的正则表达式无效：{}");
inline constexpr std::string_view kMsgCommandRuleBadRegex =
    N_("命令行的第{}条 -e 规则的正则表达式无效：{}");
inline constexpr std::string_view kMsgNoSuchGroup = N_("替换内容引用了不存在的分组 {}");

// A rule as the rules editor holds it, before it is a line (the dialogs only).
inline constexpr std::string_view kMsgEmptyFind = "第 {} 行：查找内容不能为空。";
inline constexpr std::string_view kMsgEmptyName = "第 {} 行：原名称和新名称都不能为空。";
inline constexpr std::string_view kMsgCellHoldsAccent =
    "第 {} 行：不能含有反引号“`”，它在规则文件中分隔两栏。";
inline constexpr std::string_view kMsgNameHoldsLineBreak = "第 {} 行：文件夹名不能含有换行。";
// Rules given on the command line (-e, --rename-rule); "{}" is the rule's
// number among them.
inline constexpr std::string_view kMsgCommandRuleBadText =
    N_("命令行的第{}条规则不是有效的{}文本。");
inline constexpr std::string_view kMsgTooManyCommandReplaceRules =
    N_("文本内容替换规则不能超过100条：命令行的第{}条 -e 规则。");
inline constexpr std::string_view kMsgCommandReplaceRuleTooLong =
    N_("命令行的第{}条 -e 规则过长：查找和替换内容各不能超过200个字节。");
inline constexpr std::string_view kMsgTooManyCommandRenameRules =
    N_("文件夹重命名规则不能超过100条：命令行的第{}条 --rename-rule 规则。");
inline constexpr std::string_view kMsgCommandRenameRuleTooLong =
    N_("命令行的第{}条 --rename-rule 规则过长：文件夹名不能超过200个字节。");
