#pragma once
// A run's journal read back as that run's events, for a front end that shows
// what the last run on a folder changed after the program has restarted.

#include <string>
#include <vector>

#include "engine/journal/journal_format.h"
#include "engine/run/run_state.h"

// Each file the journal says was rewritten and each folder it says was
// renamed, in the order the changes were made, with full paths below
// folderPath (the chosen folder as given, ending in a separator), as the run
// itself reported them: a file by the name it had when rewritten, a rename
// as its parent was then named. A run that was interrupted may have been cut
// off between a record and its change: its last entry may not have happened.
std::vector<CRunEvent> JournalEvents(const CJournalContents& journal,
                                     const std::string& folderPath);
