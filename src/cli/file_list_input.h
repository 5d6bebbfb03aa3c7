#pragma once
// --files-from: the paths another program listed (rg -l, git ls-files -z),
// each relative to the current folder or absolute, turned into paths
// relative to the chosen folder, which is how a run takes them. Nothing
// here decides whether a path may be handled: a path that lies outside the
// folder keeps its way there ("../..."), and the run skips it with its path.

#include <string>
#include <string_view>
#include <vector>

// The paths of a list: one per line (LF or CR LF), or each ended by a zero
// byte (nul). Empty entries are dropped.
std::vector<std::string> SplitFileList(std::string_view bytes, bool nul);

class CFileListPlace {
  public:
    // cwd: the current folder, absolute; folder: the chosen folder as given
    // (relative to cwd or absolute); canonicalFolder: the same with links
    // resolved, or empty.
    CFileListPlace(const std::string& cwd, const std::string& folder,
                   const std::string& canonicalFolder);

    // listed below the chosen folder, "/" between names. A path below
    // neither form of the folder comes back as the way from the folder to
    // it, starting with "..".
    std::string BelowFolder(const std::string& listed) const;

  private:
    std::vector<std::string> m_cwd;
    std::vector<std::string> m_folder;
    std::vector<std::string> m_canonical;
};

// The current folder and the canonical form of folder, from the system.
std::string CurrentFolder();
std::string CanonicalFolder(const std::string& folder);
