#pragma once
// The help text (help_text.h) as this build's dialog shows it, UTF-8 HTML:
// the places of the rules and settings files filled in, and the undo
// section true for this build: where it keeps its journals, or, on a build
// that keeps none, that a run cannot be undone.

#include <string>

std::string HelpPageHtml(const std::string& replaceRules, const std::string& renameRules,
                         const std::string& settings, const std::string& journalFolder,
                         bool keepsJournal);
