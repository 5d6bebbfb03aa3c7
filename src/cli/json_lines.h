#pragma once
// vexa-cli --json: one JSON object per line on stdout, in the manner of
// ripgrep's --json. Every change and every problem of a run is an object
// with its "type"; a summary object ends the run. Paths are
// {"text": "..."} when their bytes are UTF-8 and {"bytes": "<base64>"}
// otherwise, so that every name comes back exactly. The output is ASCII:
// everything else is written as \u escapes, whatever the console takes.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/run/run_state.h"

// A JSON string literal of UTF-8 text (quotes included); bytes that are no
// UTF-8 become U+FFFD.
std::string JsonString(std::string_view utf8);
// A path object: {"text": ...} or {"bytes": ...}.
std::string JsonPath(std::string_view bytes);
// Standard base64 with padding.
std::string Base64(std::string_view bytes);

// The object of one run event, ending in a newline; empty for none.
std::string JsonEventLine(const CRunEvent& event);
// The summary object of a run, ending in a newline.
std::string JsonSummaryLine(const CRunResult& result, bool stopped, std::int64_t elapsedMs);
