#pragma once
// CJob: everything a run needs, as one value. The front end builds it from
// the checked inputs on its own thread; the worker gets its own copy when
// the run starts and reads nothing global.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/io_result.h"
#include "platform/journal_files.h"

struct CReplaceRuleText {
    std::string find;  // never empty; may hold CR LF
    std::string replacement;
};

// How the find texts match. None on: byte for byte, the fast path of
// rule_matcher.h. Any on: every rule is a regular expression over the
// decoded text (a literal find text escaped into one), see mode_rules.h.
struct CMatchModes {
    bool ignoreCase = false;  // -i: letters equal whatever their case
    bool wholeWord = false;   // -w: neither preceded nor followed by a word character
    bool regex = false;       // -E: find texts are Perl regular expressions
    bool Any() const { return ignoreCase || wholeWord || regex; }
    bool operator==(const CMatchModes&) const = default;
};

struct CRenameRuleText {
    std::string oldName;
    std::string newName;
};

struct CJob {
    std::string folder;                   // the chosen folder, ending in "/"
    std::vector<std::string> extensions;  // without the dot; "*" selects every file
    // Whole-name patterns (walk/glob.h) in the working code page: a file is
    // selected when its extension or any of globs says so; whatever matches
    // one of excludes is passed over, and such a folder is not entered.
    std::vector<std::string> globs;
    std::vector<std::string> excludes;
    std::vector<CReplaceRuleText> rules;  // applied in this order
    CMatchModes modes;                    // with a regex, a find text keeps "^" as the regex's own
    std::vector<CRenameRuleText> renameRules;
    bool includeSubfolders = false;
    bool renameFolders = false;
    bool dryRun = false;   // read and apply the rules, simulate the renames; write nothing
    std::string codePage;  // the working code page's iconv name; empty: the process's
    unsigned jobs = 0;     // threads that rewrite files; 0: one per processor
    // The rules files and the settings file: never rewritten, wherever they lie.
    std::vector<CNodeId> protectedFiles;
    // Folders never walked nor renamed (the undo journals' folder).
    std::vector<CNodeId> protectedFolders;
    // Where the undo journals live; empty: no journal and no lock (tests).
    std::string journalRoot;
    bool keepJournal = kJournalAvailable;  // record the run so that it can be undone
    // The room the journals' copies may take in all.
    std::uint64_t journalCopyLimit = std::uint64_t{2} << 30;
    bool undo = false;  // undo the last run on folder instead of applying rules
    // Files from this size on are not held in memory but searched a piece at
    // a time; one in which a find text occurs is skipped as too large. A
    // result of this size is never made either.
    std::uint64_t maxFileBytes = kMaxFileBytes;
    // Files from this size on are first searched a piece at a time, and
    // rewritten a piece at a time where their text allows it, so that a run
    // holds a few pieces of them and never the whole file.
    std::uint64_t streamFromBytes = std::uint64_t{64} << 20;
    // Instead of a walk, exactly these files: paths relative to folder, in
    // the working code page, names separated by "/". A path that leads
    // outside folder or through a link, or to anything but a regular file,
    // is skipped with its reason. Extensions, subfolders and renames do not apply.
    std::vector<std::string> fileList;
    bool useFileList = false;
    // With keepOnly, the walk goes on as usual (renames included) but hands
    // out only these of the files it selects: paths relative to folder as
    // the run's events spell them (a preview's own paths), so a preview
    // run can leave files out. The others are passed over silently.
    std::vector<std::string> keptFiles;
    bool keepOnly = false;
};
