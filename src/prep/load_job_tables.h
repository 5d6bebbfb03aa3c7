#pragma once
// Turning the suffix text and the two rules files into the job tables.

// Fills the extension list and the replacement rules of g_jobTables, and the
// rename rules when its rename-folders switch is on, from its suffix text and
// rules paths. Returns 1 when loaded; 0 when refused, after exactly one
// warning through g_pCore->msgboxWarning(owner, ...). A table the load
// cleared before a refusal stays cleared; so does the table being filled when
// the refusal comes from one of its lines or entries. Runs on the dialog's
// thread (or the command line's) while no run is active; needs g_pCore.
int LoadJobTables(void* owner);
