// The suffix text through the checks of a start command, on a folder that
// exists: either the tables hold the extensions the text names, each one
// found in the text after a dot and before a dot, a semicolon or the end, or
// the start is refused with exactly one warning.

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "platform/code_page.h"
#include "prep/job_inputs.h"

namespace {

// An empty folder of this process's own, removed when the process ends.
const std::string& Folder() {
    static const std::string folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vexa-fuzz-XXXXXX";
        FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
        return pattern;
    }();
    static const bool removed = std::atexit([] { ::rmdir(Folder().c_str()); }) == 0;
    (void)removed;
    return folder;
}

// The extension stands in text between a dot and the end of its field.
bool NamedIn(std::string_view text, std::string_view extension) {
    const std::string dotted = "." + std::string(extension);
    for (size_t at = text.find(dotted); at != std::string_view::npos;
         at = text.find(dotted, at + 1)) {
        const size_t end = at + dotted.size();
        if (end == text.size() || text[end] == '.' || text[end] == ';')
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const CFuzzInput input = SplitInput(data, size);
    CCodePage::SetWorking(input.flags & 1 ? "GBK" : "UTF-8");
    CRecordingDialogHost& host = FuzzCore();
    g_jobTables.folderPath = Folder();
    g_jobTables.suffixText = std::string(input.bytes);
    g_jobTables.replaceRulesBytes = std::string("a`b");
    g_jobTables.renameFolders = 0;
    int refusedInputs = 0;
    const int ready = CheckJobInputs(nullptr, [&](JobInput) { ++refusedInputs; });

    FUZZ_CHECK(host.warnings.size() == (ready == 1 ? 0u : 1u));
    FUZZ_CHECK(refusedInputs == (input.bytes.find('.') == std::string_view::npos ? 1 : 0));
    if (ready != 1)
        return 0;
    FUZZ_CHECK(g_jobTables.folderPath == Folder() + "/");
    FUZZ_CHECK(g_jobTables.extensionCount > 0 && g_jobTables.extensionCount <= kMaxExtensions);
    // The text ends at a zero byte, as the framework's strings do.
    const std::string_view text = g_jobTables.suffixText.c_str();
    for (int i = 0; i < g_jobTables.extensionCount; ++i)
        FUZZ_CHECK(NamedIn(text, g_jobTables.Extension(i)));
    return 0;
}
