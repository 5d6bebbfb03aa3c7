#pragma once
// CListedFiles: files named by their paths below the chosen folder (a list
// from another program) rather than found by a walk. Each is reached from
// the chosen folder's open handle one name at a time, links never followed,
// so that no listed path can lead outside the folder. Worker thread only.

#include <memory>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/report/reason_texts.h"
#include "platform/code_page.h"
#include "platform/dir.h"

struct CListedFile {
    std::shared_ptr<const CDir> dir;  // the folder it lies in
    CDirEntry entry;                  // its name there, type and identity
    std::string displayPath;          // the chosen folder's path and the listed path
    Reason reason = Reason::None;     // why it is not handled; None: a regular file
    int osError = 0;
    bool repeated = false;  // the path was found before: nothing was looked at
};

class CListedFiles {
  public:
    // root: the chosen folder, open; rootPath: its path, ending in a separator.
    // Folders in protectedFolders are never entered.
    CListedFiles(std::shared_ptr<const CDir> root, std::string rootPath, const CCodePage& codePage,
                 const std::unordered_set<CNodeId, CNodeIdHash>& protectedFolders);

    // The file at listed: a path relative to the chosen folder in the
    // working code page, its names separated by "/". "." and empty names are
    // passed over; "..", an absolute path, a name that is a link or no
    // folder on the way, a missing file and anything but a regular file
    // come back with their reason. A path found before comes back repeated,
    // without a look at the file, which a worker may be replacing meanwhile
    // (on Windows, an open handle makes the replace fail).
    CListedFile Find(const std::string& listed);

  private:
    // The folder that names lead to from the chosen folder, into out.dir.
    Reason OpenFolder(const std::vector<CPlatformName>& names, CListedFile& out);

    std::shared_ptr<const CDir> m_root;
    std::string m_rootPath;
    const CCodePage& m_codePage;
    const std::unordered_set<CNodeId, CNodeIdHash>& m_protectedFolders;
    // The folder reached last, kept: lists name many files of one folder in a row.
    CPlatformName m_lastFolder;
    std::shared_ptr<const CDir> m_lastDir;
    std::set<CPlatformName> m_found;  // the paths found so far, "/" between names
};
