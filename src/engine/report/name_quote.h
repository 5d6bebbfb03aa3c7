#pragma once
// Names as a listing or a summary prints them: plain when plain, quoted with
// C-style escapes when they hold a control character, a backslash, a double
// quote or the text " -> ", so that every printed line reads back to the
// exact bytes and a name can never pass for two lines or for a rename. On
// Windows the backslash separates folders and is no reason to quote, and a
// lone surrogate of a name is quoted as \uXXXX.

#include <string>
#include <string_view>

std::string QuoteName(std::string_view name);
