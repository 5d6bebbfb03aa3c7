#pragma once
// The undo journals as a front end shows them: the list of kept journals,
// forgetting one, and a folder's last run read back after a restart. UTF-8.

#include <string>
#include <vector>

#include "engine/run/run_state.h"

// Every kept journal with its folder, time, changes, the room its copies
// take and its state; then the room all take and where they lie.
std::string JournalListing();

enum class ForgetResult { Forgotten, NoJournal, Busy, Failed };
struct CForgetOutcome {
    ForgetResult result;
    std::string text;  // what happened, for the user
};
// Deletes the journal of folder (any spelling), unless a run holds it.
CForgetOutcome ForgetJournalOf(const std::string& folder);

// Whether folder (spelt as a run spells it) has a journal of a last run.
bool HasJournalOfLastRun(const std::string& folder);
// What the last run on folder changed, as its journal says, as a run's
// events and a counts line; false when it has none (any more).
struct CLastRunShown {
    std::vector<CRunEvent> events;
    std::string countsLine;
};
bool ReadLastRunShown(const std::string& folder, CLastRunShown& shown);
