#pragma once
// The rules editor's tester: a sample text with the rules applied as a run
// applies them to a file's text. Front end's thread.

#include <string>
#include <vector>

#include "engine/run/job.h"

// sample (UTF-8) with rules (working code page, CR LF line breaks) applied
// in order; the sample's line breaks are CR LF to the rules, as "^" is. The
// result is UTF-8 with "\n" line breaks again, or a note on why the sample
// cannot be tried.
// With a match mode on, the rules are those loaded under it (a regex find
// text keeps its "^") and apply as a run with the same modes applies them;
// a rule that does not compile is left out.
std::string TryRules(const std::vector<CReplaceRuleText>& rules, const std::string& sample,
                     const CMatchModes& modes = {});
