#pragma once
// The command line of vexa-cli, parsed without touching anything else.

#include <string>
#include <vector>

// --color: whether --diff is coloured.
enum class ColorWhen { Auto, Always, Never };

struct CCliOptions {
    std::string folder;
    std::string suffixes;                  // empty when left out (with --glob or --files-from)
    bool includeSubfolders = false;        // -s
    bool renameFolders = false;            // -R
    bool ignoreCase = false;               // -i, --ignore-case
    bool wholeWord = false;                // -w, --word
    bool regex = false;                    // -E, --regex
    std::string rulesPath;                 // --rules; empty: the dialog's own file; "-": stdin
    std::string renameRulesPath;           // --rename-rules; the same
    bool dryRun = false;                   // -n
    bool yes = false;                      // -y
    bool list = false;                     // -l
    bool diff = false;                     // --diff
    ColorWhen color = ColorWhen::Auto;     // --color: auto on a terminal without NO_COLOR
    bool quiet = false;                    // -q
    bool noUndo = false;                   // --no-undo: keep no journal
    unsigned jobs = 0;                     // -j, --jobs; 0: one thread per processor
    std::vector<std::string> rules;        // -e, --rule FIND`REPLACEMENT, after those of --rules
    std::vector<std::string> renameRules;  // --rename-rule OLD`NEW, after those of --rename-rules
    std::vector<std::string> globs;        // -g, --glob: files selected besides the suffixes
    std::vector<std::string> excludes;     // --exclude: files and folders passed over
    std::string filesFrom;                 // --files-from: exactly these files; "-": stdin
    bool nulSeparated = false;             // -0: the list's paths end in a zero byte
    bool json = false;                     // --json: JSON Lines on stdout
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
