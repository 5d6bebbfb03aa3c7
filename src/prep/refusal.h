#pragma once
// Why a job may not start, found before it starts: the input it concerns
// and the text the user is shown (UTF-8). A front end shows it its own way.

#include <string>

// The input a refusal concerns, so that a front end can point at it.
enum class JobInput { Folder, Suffix, ReplaceRules, RenameRules };

struct CRefusal {
    JobInput input;
    std::string text;
};
