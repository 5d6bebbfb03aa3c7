#include "engine/journal/journal_events.h"

namespace {

std::string Below(const std::string& folderPath, const std::string& parent,
                  const std::string& name) {
    // The parent is empty for the chosen folder, else it ends in "/".
    const bool joined = parent.empty() || parent.ends_with('/');
    return folderPath + WalkPathOf(joined ? parent + name : parent + "/" + name);
}

}  // namespace

std::vector<CRunEvent> JournalEvents(const CJournalContents& journal,
                                     const std::string& folderPath) {
    std::vector<CRunEvent> events;
    events.reserve(journal.entries.size());
    for (const CJournalEntry& e : journal.entries) {
        if (e.kind == JournalRecord::File)
            events.push_back({RunEventKind::Rewritten, folderPath + WalkPathOf(e.path), "", ""});
        else if (e.kind == JournalRecord::Folder)
            events.push_back({RunEventKind::Renamed, Below(folderPath, e.path, e.oldName),
                              Below(folderPath, e.path, e.newName), ""});
    }
    return events;
}
