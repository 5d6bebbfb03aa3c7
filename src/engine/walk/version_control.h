#pragma once
// Version-control metadata (.git, .hg, .svn): rewriting or renaming
// anything in it would corrupt the repository, whatever the rules say, so
// it is never walked, renamed or rewritten.

#include <array>
#include <string_view>

inline bool IsVersionControlName(std::string_view name) {
    static constexpr std::array<std::string_view, 3> kNames{".git", ".hg", ".svn"};
    for (std::string_view vcs : kNames) {
        if (name == vcs)
            return true;
    }
    return false;
}
