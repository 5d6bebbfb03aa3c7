#pragma once
// Listing a folder completely before any of its entries is handled. A listing
// left open while entries are renamed or replaced may return some of them a
// second time (ext4 does so for thousands of entries in large folders), and
// would show the program's own temporary files and freshly renamed folders;
// a snapshot sees the folder as it was when its walk began.
//
// Folders are opened relative to their parent's descriptor, so a folder whose
// full path is longer than the system calls accept can still be reached.

#include <sys/types.h>

#include <string>
#include <vector>

struct CDirEntry {
    std::string name;
    bool isDir = false;  // leads to a folder, symbolic links followed
    bool known = false;  // the entry could be examined: dev and ino are valid
    dev_t dev = 0;       // of what the entry leads to, links followed
    ino_t ino = 0;
};

struct CDirSnapshot {
    int error = 0;                   // errno of a listing that failed; entries are then empty
    std::vector<CDirEntry> entries;  // in the order the file system returned them

    bool Ok() const { return error == 0; }
};

// Opens the folder name relative to dirFd (AT_FDCWD for a path), following
// symbolic links. The descriptor, or -1 with errno set.
int OpenFolderAt(int dirFd, const char* name);

// Every entry of the open folder dirFd except "." and "..". A read that fails
// part way makes the whole listing fail: a partial listing is never returned.
// dirFd stays open and owned by the caller.
CDirSnapshot TakeDirSnapshot(int dirFd);
