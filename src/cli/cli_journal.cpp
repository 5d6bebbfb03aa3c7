#include "cli/cli_journal.h"

#include <cstdio>

#include "app/journals.h"
#include "cli/cli_job.h"
#include "cli/console_host.h"

int ListJournals() {
    WriteLocaleText(stdout, JournalListing());
    return kExitClean;
}

int ForgetJournal(const std::string& folder) {
    const CForgetOutcome outcome = ForgetJournalOf(folder);
    switch (outcome.result) {
        case ForgetResult::Forgotten:
            WriteLocaleText(stderr, outcome.text + "\n");
            return kExitClean;
        case ForgetResult::NoJournal:
        case ForgetResult::Busy:
            WriteLocaleText(stderr, "vexa-cli: " + outcome.text + "\n");
            return kExitRefused;
        case ForgetResult::Failed:
            break;
    }
    WriteLocaleText(stderr, "vexa-cli: " + outcome.text + "\n");
    return kExitProblems;
}
