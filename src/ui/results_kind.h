#pragma once
// What the results window and the counts line describe: a run that changed
// files, a preview of one, or the undo of the last run.

enum class ResultsKind { Run, Preview, Undo };
