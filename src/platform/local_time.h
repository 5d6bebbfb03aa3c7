#pragma once
// A moment as the user's clock shows it, for listings and counts lines.

#include <cstdint>
#include <string>

// "YYYY-MM-DD HH:MM:SS" in local time for seconds since 1970; "?" when the
// system cannot tell.
std::string LocalTimeText(std::int64_t seconds);
