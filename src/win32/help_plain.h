#pragma once
// The shared help text (HTML) as plain text for a message box: headings and
// paragraphs on lines of their own, numbered and bulleted list items, tags
// dropped and the five standard entities decoded. UTF-8 in and out.

#include <windows.h>

#include <string>
#include <string_view>

std::string HtmlToPlain(std::string_view html);
// text with %1, %2 and %3 filled in one pass, so that a path that holds
// "%2" stays as it is.
std::string FillHelpPlaces(std::string_view text, const std::string (&values)[3]);
// The help in a message box of owner: places are the replacement rules
// file, the rename rules file and the settings file.
void ShowPlainHelp(HWND owner, const std::string (&places)[3]);
