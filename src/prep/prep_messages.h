#pragma once
// The warnings LoadJobTables shows, UTF-8. A "{}" is filled in order by
// FillMessage: a suffix pattern, a line number, a code page name or an OS
// reason. Each refusal shows exactly one of these.

#include <initializer_list>
#include <string>
#include <string_view>

// Suffix text.
inline constexpr std::string_view kMsgNoExtensions = "请指定文件扩展名。所有文件用 *.* 表示。";
inline constexpr std::string_view kMsgTooManyExtensions = "文件扩展名不能超过50个：{}。";
inline constexpr std::string_view kMsgExtensionTooLong = "文件扩展名不能超过10个字节：{}。";

// Replacement rules file.
inline constexpr std::string_view kMsgNoReplaceFile = "文本内容替换规则配置文件不存在。";
inline constexpr std::string_view kMsgReplaceFileUnreadable =
    "文本内容替换规则配置文件无法读取（{}）。";
inline constexpr std::string_view kMsgReplaceLineBadText =
    "文本内容替换规则第{}行不是有效的{}文本，配置文件的编码不符。";
inline constexpr std::string_view kMsgTooManyReplaceRules =
    "文本内容替换规则不能超过100条：第{}行。";
inline constexpr std::string_view kMsgReplaceRuleTooLong =
    "文本内容替换规则第{}行过长：查找和替换内容各不能超过200个字节。";
inline constexpr std::string_view kMsgNoReplaceRules = "文本内容替换有效规则不能为空。";
inline constexpr std::string_view kMsgReplaceLineHoldsZero =
    "文本内容替换规则第{}行含有零字节（UTF-16 的配置文件须以字节顺序标记开头）。";

// Either rules file.
inline constexpr std::string_view kMsgRulesFileNotRegular = "规则配置文件 {} 不是普通文件。";
inline constexpr std::string_view kMsgRulesFileTooLarge =
    "规则配置文件 {} 超过 1 MiB，不是规则文件，未读取。";

// Rename rules file.
inline constexpr std::string_view kMsgNoRenameFile = "文件夹重命名规则配置文件不存在。";
inline constexpr std::string_view kMsgRenameFileUnreadable =
    "文件夹重命名规则配置文件无法读取（{}）。";
inline constexpr std::string_view kMsgRenameLineBadText =
    "文件夹重命名规则第{}行不是有效的{}文本，配置文件的编码不符。";
inline constexpr std::string_view kMsgTooManyRenameRules =
    "文件夹重命名规则不能超过100条：第{}行。";
inline constexpr std::string_view kMsgRenameRuleTooLong =
    "文件夹重命名规则第{}行过长：文件夹名不能超过200个字节。";
#ifdef _WIN32
inline constexpr std::string_view kMsgRenameRuleUnsafe =
    "文件夹重命名规则第{}行无效：文件夹名不能含有 \\ / : * ? \" < > | 或控制字符，"
    "不能以点或空格结尾，不能是 CON、NUL、COM1 等设备名，也不能是“.”或“..”。";
#else
inline constexpr std::string_view kMsgRenameRuleUnsafe =
    "文件夹重命名规则第{}行无效：文件夹名不能含有“/”或零字节，也不能是“.”或“..”。";
#endif
inline constexpr std::string_view kMsgNoRenameRules = "文件夹重命名有效规则不能为空。";

// Rules given on the command line (-e, --rename-rule); "{}" is the rule's
// number among them.
inline constexpr std::string_view kMsgCommandRuleBadText = "命令行的第{}条规则不是有效的{}文本。";
inline constexpr std::string_view kMsgTooManyCommandReplaceRules =
    "文本内容替换规则不能超过100条：命令行的第{}条 -e 规则。";
inline constexpr std::string_view kMsgCommandReplaceRuleTooLong =
    "命令行的第{}条 -e 规则过长：查找和替换内容各不能超过200个字节。";
inline constexpr std::string_view kMsgTooManyCommandRenameRules =
    "文件夹重命名规则不能超过100条：命令行的第{}条 --rename-rule 规则。";
inline constexpr std::string_view kMsgCommandRenameRuleTooLong =
    "命令行的第{}条 --rename-rule 规则过长：文件夹名不能超过200个字节。";

// Fills each "{}" of text with the next argument; surplus placeholders stay.
inline std::string FillMessage(std::string_view text, std::initializer_list<std::string> args) {
    std::string out;
    auto next = args.begin();
    size_t pos = 0;
    for (;;) {
        const size_t mark = text.find("{}", pos);
        if (mark == std::string_view::npos || next == args.end()) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, mark - pos));
        out.append(*next++);
        pos = mark + 2;
    }
}
