#include "cli/cli_options.h"

#include <string_view>
#include <vector>

namespace {

struct CFlag {
    char shortName;
    const char* longName;
    bool CCliOptions::*field;
};

const CFlag kFlags[] = {
    {'s', "sub", &CCliOptions::includeSubfolders},
    {'R', "rename", &CCliOptions::renameFolders},
    {'n', "dry-run", &CCliOptions::dryRun},
    {'y', "yes", &CCliOptions::yes},
    {'l', "list", &CCliOptions::list},
    {'q', "quiet", &CCliOptions::quiet},
    {'\0', "no-undo", &CCliOptions::noUndo},
};

// The commands that take the place of a run, and how many operands each needs.
struct CCommandOption {
    const char* longName;
    CliCommand command;
    size_t operands;
};

const CCommandOption kCommands[] = {
    {"undo", CliCommand::Undo, 1},
    {"journal", CliCommand::ListJournals, 0},
    {"forget", CliCommand::Forget, 1},
};

CCliParse Failure(std::string error) {
    CCliParse parse;
    parse.command = CliCommand::UsageError;
    parse.error = std::move(error);
    return parse;
}

}  // namespace

CCliParse ParseCliOptions(int argc, char** argv) {
    CCliParse parse;
    CCliOptions& o = parse.options;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg.starts_with("--")) {
            const size_t eq = arg.find('=');
            const std::string_view name = arg.substr(2, eq == arg.npos ? arg.npos : eq - 2);
            if (name == "help" || name == "version") {
                parse.command = name == "help" ? CliCommand::Help : CliCommand::Version;
                return parse;
            }
            if (name == "rules" || name == "rename-rules") {
                std::string value;
                if (eq != arg.npos) {
                    value = arg.substr(eq + 1);
                } else if (i + 1 < argc) {
                    value = argv[++i];
                } else {
                    return Failure("选项 --" + std::string(name) + " 需要一个文件名");
                }
                if (value.empty())
                    return Failure("选项 --" + std::string(name) + " 的文件名为空");
                (name == "rules" ? o.rulesPath : o.renameRulesPath) = value;
                continue;
            }
            bool known = false;
            for (const CCommandOption& c : kCommands) {
                if (name == c.longName && eq == arg.npos && parse.command == CliCommand::Run) {
                    parse.command = c.command;
                    known = true;
                }
            }
            for (const CFlag& flag : kFlags) {
                if (name == flag.longName && eq == arg.npos) {
                    o.*flag.field = true;
                    known = true;
                }
            }
            if (!known)
                return Failure("未知选项：" + std::string(arg));
            continue;
        }
        for (const char c : arg.substr(1)) {
            if (c == 'h' || c == 'V') {
                parse.command = c == 'h' ? CliCommand::Help : CliCommand::Version;
                return parse;
            }
            bool known = false;
            for (const CFlag& flag : kFlags) {
                if (c == flag.shortName && c != '\0') {
                    o.*flag.field = true;
                    known = true;
                }
            }
            if (!known)
                return Failure("未知选项：-" + std::string(1, c));
        }
    }
    for (const CCommandOption& c : kCommands) {
        if (parse.command != c.command)
            continue;
        if (operands.size() != c.operands)
            return Failure("--" + std::string(c.longName) +
                           (c.operands == 0 ? " 不需要参数" : " 需要一个参数：目录"));
        if (c.operands == 1)
            o.folder = operands[0];
        return parse;
    }
    if (operands.size() != 2) {
        return Failure(operands.size() < 2 ? "需要两个参数：目录 和 文件后缀"
                                           : "参数过多：只需要 目录 和 文件后缀");
    }
    o.folder = operands[0];
    o.suffixes = operands[1];
    return parse;
}
