#pragma once
// Turning the suffix text and the two rules files into the job tables.

#include <cstdint>
#include <optional>
#include <vector>

#include "prep/refusal.h"

// A rules file holds at most 100 lines of at most two 200-byte texts: one
// larger than this is no rules file, and is refused before it is read whole.
inline constexpr std::uint64_t kMaxRulesFileBytes = std::uint64_t{1} << 20;

// Fills the extension list and the replacement rules of g_jobTables, and the
// rename rules when its rename-folders switch is on, from its suffix text and
// rules paths. Returns 1 when loaded; 0 when refused, after exactly one
// warning through g_pCore->msgboxWarning(owner, ...). A table the load
// cleared before a refusal stays cleared; so does the table being filled when
// the refusal comes from its lines or entries. Runs on the dialog's
// thread (or the command line's) while no run is active; needs g_pCore.
int LoadJobTables(void* owner);
// The same load, its refusal returned instead of shown: every faulty line of
// a rules file, one line of text each. When it loads, warnings (if given)
// receive the lines that load other than a reader may think (LineWarning),
// in order; they never refuse.
std::optional<CRefusal> LoadTables(std::vector<CRefusal>* warnings = nullptr);
