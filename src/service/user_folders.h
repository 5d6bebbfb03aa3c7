#pragma once
// The program's own folders for the current user: the config folder (rules
// files, settings) and the data folder (what a run keeps for later). Each
// comes from its XDG variable when that names an absolute path, else from
// $HOME, else from the home folder in the password database. Never a shared
// folder such as /tmp, where another user could have put files first.

#include <string>

// "$XDG_CONFIG_HOME/Vexa", "$HOME/.config/Vexa" or "<passwd home>/.config/Vexa";
// empty when none of them is known. Nothing is created.
std::string UserConfigFolder();
// "$XDG_DATA_HOME/Vexa", "$HOME/.local/share/Vexa" or the same under the
// password database's home; empty when none is known. Nothing is created.
std::string UserDataFolder();
