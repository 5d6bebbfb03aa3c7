// The rules files as the loader reads them: any bytes, in UTF-8 or GBK as the
// working code page, as replacement rules and as rename rules. A load either
// fills the table with rules that fit it, without a word, or refuses with
// exactly one warning and leaves the table empty.

#include "fuzz_support.h"
#include "platform/code_page.h"
#include "platform/paths.h"
#include "prep/load_job_tables.h"
#include "prep/rules_file_reader.h"

namespace {

// Loads bytes as the replacement rules, or as the rename rules beside one
// plain replacement rule; returns what LoadJobTables returned.
int Load(std::string_view bytes, bool asRename) {
    CRecordingDialogHost& host = FuzzCore();
    g_jobTables.suffixText = "*.txt";
    g_jobTables.renameFolders = asRename ? 1 : 0;
    g_jobTables.replaceRulesBytes = asRename ? std::string("a`b") : std::string(bytes);
    g_jobTables.renameRulesBytes = std::string(bytes);
    const int loaded = LoadJobTables(nullptr);
    FUZZ_CHECK(host.warnings.size() == (loaded == 1 ? 0u : 1u));
    return loaded;
}

void CheckReplaceRules(std::string_view bytes) {
    const int loaded = Load(bytes, false);
    FUZZ_CHECK((loaded == 1) == (g_jobTables.replaceRuleCount > 0));
    for (int i = 0; i < g_jobTables.replaceRuleCount; ++i)
        FUZZ_CHECK(!g_jobTables.Find(i).empty());
}

void CheckRenameRules(std::string_view bytes) {
    const int loaded = Load(bytes, true);
    FUZZ_CHECK((loaded == 1) == (g_jobTables.renameRuleCount > 0));
    for (int i = 0; i < g_jobTables.renameRuleCount; ++i) {
        FUZZ_CHECK(!IsUnsafeEntryName(g_jobTables.OldName(i)));
        FUZZ_CHECK(!IsUnsafeEntryName(g_jobTables.NewName(i)));
    }
}

// Lines come numbered from 1 without a gap, and a rule's fields are pieces of its line.
void CheckLines(std::string_view bytes) {
    size_t expected = 1;
    const size_t bad = ForEachRulesLine(bytes, [&](size_t number, const std::string& line) {
        FUZZ_CHECK(number == expected++);
        const auto [find, replacement] = SplitRuleLine(line);
        FUZZ_CHECK(line.compare(0, find.size(), find) == 0);
        FUZZ_CHECK(line.find(replacement, find.size()) != std::string::npos);
        return true;
    });
    FUZZ_CHECK(bad == 0 || bad == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const CFuzzInput input = SplitInput(data, size);
    CCodePage::SetWorking(input.flags & 1 ? "GBK" : "UTF-8");
    CheckLines(input.bytes);
    CheckReplaceRules(input.bytes);
    CheckRenameRules(input.bytes);
    return 0;
}
