// The undo journal's decoder on any log. With the selector's low bit set,
// every line of the input is first given the hash a writer would have put
// at its end, so that the fields behind the hash are reached too.

#include <cinttypes>
#include <set>
#include <string>

#include "engine/journal/journal_format.h"
#include "fuzz_support.h"

namespace {

std::string Sealed(std::string_view lines) {
    std::string log;
    while (!lines.empty()) {
        const size_t end = lines.find('\n');
        const std::string_view body = lines.substr(0, end);
        char hash[24];
        std::snprintf(hash, sizeof hash, "\t#%016" PRIx64 "\n", Hash64(body));
        log.append(body).append(hash);
        lines.remove_prefix(end == std::string_view::npos ? lines.size() : end + 1);
    }
    return log;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const CFuzzInput input = SplitInput(data, size);
    const std::string log = input.flags & 1 ? Sealed(input.bytes) : std::string(input.bytes);
    CJournalContents contents;
    if (!DecodeJournal(log, contents))
        return 0;
    FUZZ_CHECK(!(contents.finished && contents.torn));
    FUZZ_CHECK(!(contents.damagedLine != 0 && contents.torn));
    // One entry per change: a number recorded twice keeps only its later record.
    std::set<std::uint64_t> numbers;
    for (const CJournalEntry& entry : contents.entries) {
        FUZZ_CHECK(entry.kind == JournalRecord::File || entry.kind == JournalRecord::Folder);
        FUZZ_CHECK(entry.kind != JournalRecord::File || entry.kept == KeptAs::Link ||
                   entry.kept == KeptAs::Copy);
        FUZZ_CHECK(numbers.insert(entry.seq).second);
        // No name read from a journal leads out of the chosen folder.
        for (const std::string* name : {&entry.path, &entry.oldName, &entry.newName}) {
            FUZZ_CHECK(("/" + *name + "/").find("/../") == std::string::npos);
            FUZZ_CHECK(name->empty() || name->front() != '/');
        }
    }
    for (const CJournalEntry& temp : DecodeUndoTemps(log))
        FUZZ_CHECK(temp.kind == JournalRecord::UndoTemp && !temp.tempName.empty());
    // The decoder starts afresh: a second decode into the same contents agrees.
    CJournalContents again = contents;
    FUZZ_CHECK(DecodeJournal(log, again) && again.entries.size() == contents.entries.size());
    return 0;
}
