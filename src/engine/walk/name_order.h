#pragma once
// The order in which a folder's entries are handled: by their names, as
// bytes (on Windows, by code point, the order of the names' UTF-8 bytes),
// files and subfolders together. Listings come in whatever order the file
// system keeps (newest first on tmpfs, hashed on ext4); sorting makes a
// run's list, results and journal the same on every file system.

#include <vector>

#include "platform/dir.h"

void SortByName(std::vector<CDirEntry>& entries);
