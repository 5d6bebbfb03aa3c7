#pragma once
// Whole-name patterns as shells and ripgrep take them: "*" any run of
// characters but "/", "?" one character but "/", "[...]" one of a set
// ("[!...]" or "[^...]" none of it, "a-z" a range), and "**/" any number of
// folders, none included ("/**" at the end: everything below). Characters
// are UTF-8 where the bytes are; any other byte is a character of its own.

#include <string_view>

// Whether text matches pattern as a whole.
bool GlobMatches(std::string_view pattern, std::string_view text);

// Whether a file or folder is meant by pattern: a pattern without "/" is
// matched against its name, one with "/" against its path below the chosen
// folder ("/" between names; a leading "/" anchors it there). A pattern
// ending in "/" means folders only.
bool GlobMeans(std::string_view pattern, std::string_view name, std::string_view relativePath,
               bool folder);
