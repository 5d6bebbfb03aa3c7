#pragma once
// Path-level helpers for the service layer and the rules files: what a path
// leads to, making folders and empty files, and renaming by path. A run
// never uses these on the user's tree; it goes through CDir.

#include <string>
#include <string_view>

#include "platform/io_result.h"

enum class PathKind { Missing, Folder, File, Other };

// What path leads to, links followed.
PathKind KindOfPath(const std::string& path);
// Makes path and its missing parents (mode 0700); true when it exists as a folder.
bool MakeFolders(const std::string& path);
// Creates path as an empty file unless something exists there; an existing
// file is never opened for writing. True when a regular file is there now.
bool CreateEmptyFile(const std::string& path);
// Moves from to to, never replacing anything at to (Exists).
CIoResult RenamePath(const std::string& from, const std::string& to);

// Whether a folder name from a rename rule could move a folder elsewhere in
// the tree or out of it ("." and "..", a path separator), or could never be
// an entry's own name. The one place that decides, for every system.
bool IsUnsafeEntryName(std::string_view name);
