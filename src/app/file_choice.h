#pragma once
// CFileChoice: ways of choosing a run's files besides the suffix list, for
// a front end that offers them (the command line): whole-name globs and
// excludes, or exactly the files of a list. All in the working code page.

#include <string>
#include <vector>

struct CJob;

struct CFileChoice {
    std::vector<std::string> globs;     // select beside the suffixes
    std::vector<std::string> excludes;  // files and folders passed over
    bool suffixesGiven = true;          // false: the globs alone select
    // Paths below the chosen folder, "/" between names: exactly these
    // files, no walk.
    std::vector<std::string> fileList;
    bool useFileList = false;

    // Puts the choice into a job built from the inputs.
    void ApplyTo(CJob& job) const;
};
