#pragma once
// The user's language for a program's texts. The texts are written in
// Chinese, UTF-8, and that is what every program shows unless its main binds
// the message catalog; then a locale that selects another language (English)
// gets that language's text, looked up by the Chinese one. Only vexa-cli
// binds it: the dialogs stay Chinese whatever the locale.

#include <initializer_list>
#include <string>
#include <string_view>

// Marks a text stored in a table for the catalog; it is translated where it
// is shown, with Tr. The build extracts both marks into the catalog template.
constexpr const char* N_(const char* text) {
    return text;
}

// text in the user's language (UTF-8), or text itself when no catalog is
// bound or it lacks the text. Any thread, once the catalog is bound.
const char* Tr(const char* text);
std::string Tr(std::string_view text);

// text in the user's language with each "{}" filled, in order, by the next
// argument; surplus placeholders stay. A translation may reorder nothing:
// the arguments fill its placeholders in the same order.
std::string FillMessage(std::string_view text, std::initializer_list<std::string> args);

// Binds the catalog "vexa" in localeFolder (the share/locale folder beside
// the program's bin folder), unless the messages locale is C or POSIX (with
// or without a character set), whose texts are the ones written. Call once,
// after the locale is set and before any thread starts. False where the
// system has no catalogs (Windows) or none was bound.
bool BindMessageCatalog(const std::string& localeFolder);

// The folder the running program's file lies in, as path text; empty when
// the system does not say.
std::string ProgramFolder();
