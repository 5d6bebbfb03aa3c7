#pragma once
// The job value of a run, made from the job tables once they are checked
// and loaded (CheckJobInputs). Called on the front end's thread while idle.

#include <string>

#include "engine/run/job.h"
#include "prep/job_tables.h"

// The folder, extensions, rules and switches of tables as one value, with the
// identities of the rules files and of the settings file beside them
// (tables.appPrefix + ".ini"), which the run never rewrites.
CJob BuildJob(const JobTables& tables, bool dryRun = false);

// The job that undoes the last run in folder, in the working code page.
CJob BuildUndoJob(const std::string& folder, bool dryRun = false);

// Where runs keep their journals; empty where they keep none (Windows, whose
// journal file operations are not written yet).
std::string RunJournalRoot();
