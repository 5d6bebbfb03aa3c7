#pragma once
// Runs the real vexa-cli in a test's folder: its own XDG_CONFIG_HOME, stdin
// from a file or a pseudo-terminal, stdout and stderr captured apart.

#include <string>
#include <utility>
#include <vector>

struct CCliRun {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

struct CCliCall {
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> env;  // added to XDG_CONFIG_HOME
    bool terminal = false;  // stdin (only) is a pseudo-terminal that receives input
    std::string input;
};

// configHome becomes XDG_CONFIG_HOME; LC_ALL is C.UTF-8.
CCliRun RunVexaCli(const std::string& configHome, const CCliCall& call);

// Every file and folder below root (relative names, folders ending in "/"),
// with the content of each file: a snapshot to compare whole trees.
std::vector<std::pair<std::string, std::string>> TreeSnapshot(const std::string& root);
