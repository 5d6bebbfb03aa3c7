#pragma once
// The suffix text ("*.txt;*.htm") turned into the extensions to select.

#include <string>
#include <vector>

struct CSuffixEntry {
    std::string pattern;    // the ";"-separated field it came from, "*.txt"
    std::string extension;  // its second "."-separated field, "txt"; may be empty
};

// Scans fields split at ";" until the first empty one; a field without "."
// is skipped; the others give getFg(field, '.', 1), so "*.*" gives "*" and
// "*.tar.gz" gives "tar". Needs g_pCore.
std::vector<CSuffixEntry> ScanSuffixText(const std::string& suffixText);
