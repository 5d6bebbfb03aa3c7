#pragma once
// The home folder the system's user database gives the user running the
// program, for when the environment names none.

#include <string>

// The home folder of the current user as the password database has it;
// empty when there is no entry or it names no absolute path.
std::string PasswordDatabaseHome();
