#pragma once
// Renaming a subfolder by the rename rules, for real or simulated: a dry run
// is the real run with the simulated renamer, which answers as the real one
// would, given the renames it has pretended to make so far.

#include <string>
#include <unordered_set>

#include "platform/dir.h"

class CFolderRenamer {
  public:
    virtual ~CFolderRenamer() = default;
    // Renames oldName to newName inside parent (parentPath, ending in "/",
    // names it for records only), never replacing anything.
    virtual CIoResult Rename(const CDir& parent, const std::string& parentPath,
                             const CPlatformName& oldName, const CPlatformName& newName) = 0;
};

class CRealRenamer final : public CFolderRenamer {
  public:
    CIoResult Rename(const CDir& parent, const std::string&, const CPlatformName& oldName,
                     const CPlatformName& newName) override {
        return parent.RenameChild(oldName, newName);
    }
};

class CSimulatedRenamer final : public CFolderRenamer {
  public:
    CIoResult Rename(const CDir& parent, const std::string& parentPath,
                     const CPlatformName& oldName, const CPlatformName& newName) override;

  private:
    // NotFound or Ok (anything else: OpenFailed) for name in parent, as it
    // would be after the renames simulated so far.
    CIoResult Probe(const CDir& parent, const CPlatformName& name) const;
    std::string Key(const CDir& parent, const CPlatformName& name) const;

    std::unordered_set<std::string> m_taken;  // names simulated renames have taken
    std::unordered_set<std::string> m_freed;  // and freed, keyed by folder identity
};
