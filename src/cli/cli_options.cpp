#include "cli/cli_options.h"

#include <getopt.h>

#include <string_view>
#include <variant>
#include <vector>

#include "platform/message_catalog.h"

namespace {

using FlagField = bool CCliOptions::*;
using TextField = std::string CCliOptions::*;
using ListField = std::vector<std::string> CCliOptions::*;
// Takes the option's value; false with error set when it is not acceptable.
using ApplyValue = bool (*)(CCliOptions& options, const char* value, std::string& error);

// One row per option: adding an option is adding a row here (and its field,
// and its line in the help text). A short name of 0 means long only.
struct COptionSpec {
    char shortName;
    const char* longName;
    std::variant<FlagField, TextField, ListField, ApplyValue, CliCommand> action;
};

// -j / --jobs: a whole number of threads from 1 to 256.
bool ApplyJobs(CCliOptions& options, const char* value, std::string& error) {
    const std::string_view text = value;
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != text.npos ||
        std::stoul(std::string(text)) < 1 || std::stoul(std::string(text)) > 256) {
        error = Tr(N_("需要 1 到 256 之间的线程数"));
        return false;
    }
    options.jobs = static_cast<unsigned>(std::stoul(std::string(text)));
    return true;
}

// --color: auto, always or never.
bool ApplyColor(CCliOptions& options, const char* value, std::string& error) {
    const std::string_view text = value;
    if (text == "auto" || text == "always" || text == "never") {
        options.color = text == "auto"     ? ColorWhen::Auto
                        : text == "always" ? ColorWhen::Always
                                           : ColorWhen::Never;
        return true;
    }
    error = Tr(N_("需要 auto、always 或 never"));
    return false;
}

// A rule as a line of the rules file holds it: FIND`REPLACEMENT (rename:
// OLD`NEW, neither empty), one line.
bool CheckRule(const char* value, bool rename, std::string& error) {
    const std::string_view text = value;
    const size_t accent = text.find('`');
    if (text.find_first_of("\r\n") != text.npos) {
        error = Tr(N_("规则不能含有换行，换行写作 ^"));
        return false;
    }
    if (accent == 0 || accent == text.npos || (rename && accent + 1 == text.size())) {
        error = Tr(rename ? N_("需要 旧名称`新名称") : N_("需要 查找内容`替换内容"));
        return false;
    }
    return true;
}

bool ApplyRule(CCliOptions& options, const char* value, std::string& error) {
    if (!CheckRule(value, false, error))
        return false;
    options.rules.emplace_back(value);
    return true;
}

bool ApplyRenameRule(CCliOptions& options, const char* value, std::string& error) {
    if (!CheckRule(value, true, error))
        return false;
    options.renameRules.emplace_back(value);
    return true;
}

const COptionSpec kOptions[] = {
    {'s', "sub", &CCliOptions::includeSubfolders},
    {'R', "rename", &CCliOptions::renameFolders},
    {'i', "ignore-case", &CCliOptions::ignoreCase},
    {'w', "word", &CCliOptions::wholeWord},
    {'E', "regex", &CCliOptions::regex},
    {0, "rules", &CCliOptions::rulesPath},
    {0, "rename-rules", &CCliOptions::renameRulesPath},
    {'n', "dry-run", &CCliOptions::dryRun},
    {'y', "yes", &CCliOptions::yes},
    {'l', "list", &CCliOptions::list},
    {0, "diff", &CCliOptions::diff},
    {0, "color", &ApplyColor},
    {'q', "quiet", &CCliOptions::quiet},
    {0, "no-undo", &CCliOptions::noUndo},
    {0, "undo", CliCommand::Undo},
    {0, "journal", CliCommand::ListJournals},
    {0, "forget", CliCommand::Forget},
    {'j', "jobs", &ApplyJobs},
    {'e', "rule", &ApplyRule},
    {0, "rename-rule", &ApplyRenameRule},
    {'g', "glob", &CCliOptions::globs},
    {0, "exclude", &CCliOptions::excludes},
    {0, "files-from", &CCliOptions::filesFrom},
    {'0', "null", &CCliOptions::nulSeparated},
    {0, "json", &CCliOptions::json},
    {'h', "help", CliCommand::Help},
    {'V', "version", CliCommand::Version},
};

// getopt's value for an option: its short name, or one past the byte range.
int ValueOf(size_t index) {
    return kOptions[index].shortName ? kOptions[index].shortName : 256 + static_cast<int>(index);
}

bool TakesValue(const COptionSpec& row) {
    return !std::holds_alternative<FlagField>(row.action) &&
           !std::holds_alternative<CliCommand>(row.action);
}

const COptionSpec* FindByValue(int value) {
    for (size_t i = 0; i < std::size(kOptions); ++i) {
        if (ValueOf(i) == value)
            return &kOptions[i];
    }
    return nullptr;
}

CCliParse Failure(std::string error) {
    CCliParse parse;
    parse.command = CliCommand::UsageError;
    parse.error = std::move(error);
    return parse;
}

// The option as the user wrote it: "--name" without any "=value", or "-c".
std::string Written(std::string_view arg, int shortName) {
    if (!arg.starts_with("--"))
        return {'-', static_cast<char>(shortName)};
    return std::string(arg.substr(0, arg.find('=')));
}

// The name of a known option, in the form the user used.
std::string Named(const COptionSpec& row, std::string_view arg) {
    if (row.shortName && !arg.starts_with("--"))
        return {'-', row.shortName};
    return "--" + std::string(row.longName);
}

std::string Unknown(std::string_view written) {
    if (written.starts_with("--")) {
        // The separator of a list of names: 、 in Chinese, a comma in English.
        const std::string separator = Tr(N_("、"));
        std::string candidates;
        int count = 0;
        for (const COptionSpec& row : kOptions) {
            if (std::string_view(row.longName).starts_with(written.substr(2)))
                candidates += (count++ ? separator : "") + std::string("--") + row.longName;
        }
        if (count > 1)
            return FillMessage(N_("选项 {} 不明确，可能是：{}"),
                               {std::string(written), candidates});
    }
    return FillMessage(N_("未知选项：{}"), {std::string(written)});
}

// Applies one recognised option; an error text when its value is refused.
std::string Apply(const COptionSpec& row, const char* value, std::string_view arg,
                  CCliParse& parse) {
    CCliOptions& o = parse.options;
    if (const auto* flag = std::get_if<FlagField>(&row.action)) {
        o.** flag = true;
    } else if (const auto* text = std::get_if<TextField>(&row.action)) {
        if (!*value)
            return FillMessage(N_("选项 {} 的值为空"), {Named(row, arg)});
        o.** text = value;
    } else if (const auto* list = std::get_if<ListField>(&row.action)) {
        if (!*value)
            return "选项 " + Named(row, arg) + " 的值为空";
        (o.**list).emplace_back(value);
    } else if (const auto* apply = std::get_if<ApplyValue>(&row.action)) {
        std::string error;
        if (!(*apply)(o, value, error))
            return FillMessage(N_("选项 {}：{}"), {Named(row, arg), error});
    } else {
        parse.command = std::get<CliCommand>(row.action);
    }
    return {};
}

// How the files are chosen and what goes to stdout: combinations that
// cannot mean anything sensible, and the operands each wants. An error
// text, or empty.
std::string CheckChoice(const CCliOptions& o, size_t operands) {
    if (o.json && (o.list || o.diff))
        return Tr(N_("--json 不能与 --list 或 --diff 同用：--json 已列出每项改动"));
    if (o.nulSeparated && o.filesFrom.empty())
        return Tr(N_("-0 只用于 --files-from"));
    if (!o.filesFrom.empty()) {
        if (o.renameFolders)
            return Tr(N_("-R 不能与 --files-from 同用：按列表处理文件时不遍历文件夹，也不重命名"));
        if (!o.globs.empty() || !o.excludes.empty())
            return Tr(
                N_("--glob 和 --exclude 不能与 --files-from 同用：列出的文件就是要处理的文件"));
        if (o.filesFrom == "-" && (o.rulesPath == "-" || o.renameRulesPath == "-"))
            return Tr(
                N_("--files-from - 不能与 --rules - 或 --rename-rules - 同用：标准输入只有一个"));
        if (operands != 1)
            return Tr(
                operands < 1
                    ? N_("需要一个参数：目录")
                    : N_("参数过多：使用 --files-from 时只需要 目录，列出的文件就是要处理的文件"));
        return {};
    }
    if (operands == 1 && !o.globs.empty())
        return {};
    if (operands != 2)
        return Tr(operands < 2
                      ? N_("需要两个参数：目录 和 文件后缀（给出 --glob 时可省略文件后缀）")
                      : N_("参数过多：只需要 目录 和 文件后缀"));
    return {};
}

}  // namespace

CCliParse ParseCliOptions(int argc, char** argv) {
    // "-": operands come back in order as value 1 (so they may stand
    // anywhere, whatever POSIXLY_CORRECT says); ":": a missing value is
    // reported as such. The library's own messages are off.
    std::string shortNames = "-:";
    std::vector<option> longOptions;
    for (size_t i = 0; i < std::size(kOptions); ++i) {
        const COptionSpec& row = kOptions[i];
        const int hasArg = TakesValue(row) ? required_argument : no_argument;
        if (row.shortName)
            shortNames += std::string(1, row.shortName) + (hasArg ? ":" : "");
        longOptions.push_back({row.longName, hasArg, nullptr, ValueOf(i)});
    }
    longOptions.push_back({nullptr, 0, nullptr, 0});
    CCliParse parse;
    std::vector<std::string> operands;
    opterr = 0;
    optind = 0;  // a full reset, for a second parse in the same process
    for (;;) {
        // The element being read: optind moves past it once it is done,
        // which inside a bundle of short options is not yet the case.
        const int at = optind > 0 ? optind : 1;
        const int c = getopt_long(argc, argv, shortNames.c_str(), longOptions.data(), nullptr);
        if (c == -1)
            break;
        if (c == 1) {
            operands.emplace_back(optarg);
            continue;
        }
        // A value in an element of its own follows the option's element.
        const bool valueApart = c != '?' && optarg && optind >= 2 && argv[optind - 1] == optarg;
        const std::string_view arg = argv[optind > at ? optind - 1 - valueApart : at];
        const COptionSpec* row = FindByValue(c == '?' || c == ':' ? optopt : c);
        if (c == ':')
            return Failure(FillMessage(N_("选项 {} 需要一个值"), {Named(*row, arg)}));
        if (c == '?' && row && arg.starts_with("--"))
            return Failure(FillMessage(N_("选项 {} 不接受值"), {Named(*row, arg)}));
        if (c == '?')
            return Failure(Unknown(Written(arg, optopt)));
        if (std::string error = Apply(*row, optarg, arg, parse); !error.empty())
            return Failure(error);
        if (parse.command == CliCommand::Help || parse.command == CliCommand::Version)
            return parse;
    }
    for (; optind < argc; ++optind)
        operands.emplace_back(argv[optind]);
    // The journal commands take the folder alone, or nothing.
    if (parse.command != CliCommand::Run) {
        const size_t wanted = parse.command == CliCommand::ListJournals ? 0 : 1;
        if (operands.size() != wanted)
            return Failure(Tr(wanted == 0 ? N_("--journal 不需要参数")
                                          : N_("--undo 和 --forget 需要一个参数：目录")));
        if (wanted == 1)
            parse.options.folder = operands[0];
        return parse;
    }
    if (std::string error = CheckChoice(parse.options, operands.size()); !error.empty())
        return Failure(error);
    parse.options.folder = operands[0];
    if (operands.size() > 1)
        parse.options.suffixes = operands[1];
    return parse;
}
