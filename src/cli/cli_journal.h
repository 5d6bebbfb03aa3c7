#pragma once
// The journal commands of vexa-cli: the list of kept journals and forgetting
// one. Undo itself is a run of its own kind (CCliJob).

#include <string>

// Prints every kept journal with its folder, time, changes and the room its
// copies take. Returns the exit status.
int ListJournals();
// Deletes the journal of folder. Returns the exit status.
int ForgetJournal(const std::string& folder);
