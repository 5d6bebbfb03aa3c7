#include "engine/walk/folder_renamer.h"

#include "platform/name_text.h"

std::string CSimulatedRenamer::Key(const CDir& parent, const CPlatformName& name) const {
    const CNodeId& id = parent.Id();
    return std::to_string(id.dev) + ":" + std::to_string(id.ino) + "/" + NameToPathText(name);
}

CIoResult CSimulatedRenamer::Probe(const CDir& parent, const CPlatformName& name) const {
    const std::string key = Key(parent, name);
    if (m_taken.count(key))
        return {};
    if (m_freed.count(key))
        return {IoStatus::NotFound, 0};
    EntryType type{};
    return parent.Probe(name, type);
}

CIoResult CSimulatedRenamer::Rename(const CDir& parent, const std::string&,
                                    const CPlatformName& oldName, const CPlatformName& newName) {
    if (CIoResult from = Probe(parent, oldName); !from.Ok())
        return from;
    const CIoResult to = Probe(parent, newName);
    if (to.Ok())
        return {IoStatus::Exists, 0};
    if (to.status != IoStatus::NotFound)
        return to;
    const std::string fromKey = Key(parent, oldName);
    const std::string toKey = Key(parent, newName);
    m_taken.erase(fromKey);
    m_freed.insert(fromKey);
    m_freed.erase(toKey);
    m_taken.insert(toKey);
    return {};
}
