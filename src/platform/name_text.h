#pragma once
// Where a name from a listing meets text. On POSIX a name is already bytes
// of the working code page and of path text, and every conversion is the
// identity. On Windows a name is UTF-16: it becomes path text (UTF-8) for
// messages, and working-code-page text only to be compared with the rules,
// strictly, so that a name with no exact form in the code page matches no
// rule and is never taken for a look-alike.

#include <string>
#include <string_view>

#include "platform/dir.h"

class CCodePage;

// The name as path text, joined to a folder's path for messages and lists.
std::string NameToPathText(const CPlatformName& name);
// The name that path text spells; false when it spells none.
bool PathTextToName(std::string_view text, CPlatformName& name);
// The name in the code page, exactly; false when it has no exact form there.
bool NameToWorking(const CCodePage& cp, const CPlatformName& name, std::string& text);
// The name that text in the code page spells; false when it is not valid text.
bool NameFromWorking(const CCodePage& cp, std::string_view text, CPlatformName& name);
