#pragma once
// CDir: an open folder that everything below it is reached through. Files and
// subfolders are opened relative to it and never through a symbolic link, so
// a folder swapped for a link while a run is inside it cannot redirect a
// read or a write, and no path length limit applies at any depth.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/io_result.h"

// A name within one folder, as the system spells it: bytes on POSIX, UTF-16
// units on Windows (not always valid UTF-16: a lone surrogate is a name too).
// name_text.h converts names where they meet text.
#ifdef _WIN32
using CPlatformName = std::wstring;
#else
using CPlatformName = std::string;
#endif

enum class EntryType : std::uint8_t {
    File,    // regular file
    Folder,  // a real folder, not a link to one
    Link,    // symbolic link: never followed
    Other,   // FIFO, device, socket
};

struct CDirEntry {
    CPlatformName name;
    EntryType type = EntryType::Other;
    CNodeId id;  // of the entry itself (links not followed)
};

// A walk holds one open folder per level of depth: lets this process hold
// as many as the system allows it, so that depth is not cut short by a low
// default. Returns how many it may hold now.
std::uint64_t RaiseOpenFolderLimit();

class CDir {
  public:
    CDir() = default;
    ~CDir();
    CDir(CDir&& other) noexcept;
    CDir& operator=(CDir&& other) noexcept;
    CDir(const CDir&) = delete;
    CDir& operator=(const CDir&) = delete;

    // The folder at path; links in the path are followed (the chosen folder
    // may itself be a link, resolved here once).
    static CIoResult OpenPath(const std::string& path, CDir& out);
    // The subfolder name of this folder; a link is refused (IsLink), and so is
    // anything but a folder (NotFolder).
    CIoResult OpenChild(const CPlatformName& name, CDir& out) const;
#ifdef _WIN32
    // A name given as UTF-8 text, as the undo journal keeps its names.
    CIoResult OpenChild(const std::string& name, CDir& out) const;
#endif

    bool IsOpen() const {
        return m_handle >= 0;
    }
    // The folder's identity, taken when it was opened.
    const CNodeId& Id() const {
        return m_id;
    }

    // Every entry but "." and "..", read completely before the caller handles
    // any. A listing that fails part way returns no entries, never a partial list.
    CIoResult Snapshot(std::vector<CDirEntry>& entries) const;
    // What name is now, links not followed; NotFound when it is absent.
    // id, when given, receives the entry's identity.
    CIoResult Probe(const CPlatformName& name, EntryType& type, CNodeId* id = nullptr) const;
    // Renames an entry within this folder; never replaces what exists (Exists).
    CIoResult RenameChild(const CPlatformName& oldName, const CPlatformName& newName) const;

    // The system handle, for the platform layer's own sources only.
    std::intptr_t Handle() const {
        return m_handle;
    }

  private:
    void Close();
    // Takes over an open handle and reads the folder's identity from it.
    CIoResult Adopt(std::intptr_t handle);

    std::intptr_t m_handle = -1;
    CNodeId m_id;
};
