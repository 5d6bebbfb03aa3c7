#pragma once
// The command line of vexa-cli, parsed without touching anything else.

#include <string>

struct CCliOptions {
    std::string folder;
    std::string suffixes;
    bool includeSubfolders = false;  // -s
    bool renameFolders = false;      // -R
    std::string rulesPath;           // --rules; empty: the dialog's own file
    std::string renameRulesPath;     // --rename-rules; empty: the dialog's own file
    bool dryRun = false;             // -n
    bool yes = false;                // -y
    bool list = false;               // -l
    bool quiet = false;              // -q
    bool noUndo = false;             // --no-undo: keep no journal
};

enum class CliCommand {
    Run,
    Help,
    Version,
    Undo,          // --undo FOLDER
    ListJournals,  // --journal
    Forget,        // --forget FOLDER
    UsageError,    // error holds what was wrong
};

struct CCliParse {
    CliCommand command = CliCommand::Run;
    CCliOptions options;
    std::string error;  // UTF-8
};

// Options and operands may come in any order; "--" ends the options.
CCliParse ParseCliOptions(int argc, char** argv);
