#pragma once
// The checks one rule goes through, shared by the loader (a line of a rules
// file) and the rules editor (a row of cells): what makes a rule unusable,
// and what makes a line load other than it probably means. Texts are in the
// working code page; the problems are UTF-8 texts naming the line.

#include <cstddef>
#include <string>
#include <string_view>

enum class RulesFile { Replace, Rename };

// How many grave accents split line (0, 1 or 2 for "two or more"): a grave
// accent that is the trail byte of a double-byte character does not count.
int CountRuleAccents(std::string_view line);

// Why the rule of a line numbered lineNo, split into its two fields (before
// "^" stands for a line break), cannot be stored after rulesBefore others;
// empty when it can. Empty fields are not checked here: the loader ignores
// such a line, the editor refuses it (CellsProblem).
std::string RuleProblem(RulesFile file, const std::string& field0, const std::string& field1,
                        size_t lineNo, int rulesBefore);

// The same for the two cells of an editor's row, where "\n" is a line break
// (a "^" in the file, for a replacement rule). They also may not be empty
// (the find text, or either name) nor hold a grave accent nor, for a
// rename, a line break.
std::string CellsProblem(RulesFile file, const std::string& cell0, const std::string& cell1,
                         size_t lineNo, int rulesBefore);

// What a line that loads does other than a reader may think; empty when
// nothing: no grave accent in a replacement rule (the whole line is deleted
// wherever it occurs), more than one in either file (the rest is ignored).
std::string LineWarning(RulesFile file, std::string_view line, size_t lineNo);

// The two fields of a replacement rule as the run uses them, every "^" a CR
// LF; in a regex find text (regexFind) "^" keeps its regex meaning.
void ExpandLineBreaks(std::string& field0, std::string& field1, bool regexFind = false);
