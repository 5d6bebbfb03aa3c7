#pragma once
// The command line of vexa-cli, parsed without touching anything else.

#include <string>

// --color: whether --diff is coloured.
enum class ColorWhen { Auto, Always, Never };

struct CCliOptions {
    std::string folder;
    std::string suffixes;
    bool includeSubfolders = false;     // -s
    bool renameFolders = false;         // -R
    std::string rulesPath;              // --rules; empty: the dialog's own file; "-": stdin
    std::string renameRulesPath;        // --rename-rules; the same
    bool dryRun = false;                // -n
    bool yes = false;                   // -y
    bool list = false;                  // -l
    bool diff = false;                  // --diff
    ColorWhen color = ColorWhen::Auto;  // --color: auto on a terminal without NO_COLOR
    bool quiet = false;                 // -q
    bool noUndo = false;                // --no-undo: keep no journal
    unsigned jobs = 0;                  // -j, --jobs; 0: one thread per processor
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

// GNU style: options and operands in any order, "--" ends the options,
// --name=value or --name value, unambiguous abbreviations of long names,
// short flags bundled (-sny). Every error is reported in the program's own
// words and names the option. argv may be reordered.
CCliParse ParseCliOptions(int argc, char** argv);
