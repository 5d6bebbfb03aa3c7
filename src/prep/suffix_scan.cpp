#include "prep/suffix_scan.h"

#include "service/core.h"

std::vector<CSuffixEntry> ScanSuffixText(const std::string& suffixText) {
    std::vector<CSuffixEntry> entries;
    for (int n = 0;; ++n) {
        std::string field = g_pCore->getFg(suffixText, ';', n);
        if (field.empty())
            break;
        if (field.find('.') == std::string::npos)
            continue;
        std::string extension = g_pCore->getFg(field, '.', 1);
        entries.push_back({std::move(field), std::move(extension)});
    }
    return entries;
}
