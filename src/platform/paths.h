#pragma once
// Path-level helpers for the service layer and the rules files: what a path
// leads to, making folders and empty files, and renaming by path. A run
// never uses these on the user's tree; it goes through CDir.

#include <string>
#include <string_view>

#include "platform/io_result.h"

// Paths held as text (the chosen folder, the rules files, paths in
// messages): bytes of the working code page on POSIX; UTF-8 on Windows,
// where names need not fit the code page (a lone surrogate of a name is
// kept in the generalised form of UTF-8, so the path still leads to it).
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr std::string_view kPathSeparators = "\\/";
inline constexpr bool kPathTextIsUtf8 = true;
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
inline constexpr bool kPathTextIsUtf8 = false;
#endif

// The folder that holds the user's settings where the system names one
// (%APPDATA% on Windows), as path text; empty where the caller decides.
std::string SystemConfigFolder();
// The same for data kept on this machine (%LOCALAPPDATA% on Windows).
std::string SystemDataFolder();

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
// an entry's own name. The one place that decides, for every system; on
// Windows also the characters \ : * ? " < > |, a trailing dot or space and
// the reserved device names (CON, NUL, COM1, ...), with or without a suffix.
bool IsUnsafeEntryName(std::string_view name);
// The same for a name held as path text (UTF-8 on Windows), as the undo
// journal keeps the names it records.
bool IsUnsafePathTextName(std::string_view name);
