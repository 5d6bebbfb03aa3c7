#pragma once
// The search for one byte string in another, which every rule's pass over a
// file's text makes: sixteen places at a time where the processor allows.

#include <cstddef>
#include <string_view>

// Where needle first occurs in text at or after from; npos when nowhere
// (or when from lies past the end). An empty needle occurs at from.
size_t FindBytes(std::string_view text, std::string_view needle, size_t from = 0);
