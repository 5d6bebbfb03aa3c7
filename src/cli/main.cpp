// vexa-cli: rewrites text in many files and renames folders, like the dialog,
// from the command line. Everything but the process entry lives in cli_job.
#include "cli/cli_job.h"

int main(int argc, char** argv) {
    return RunCli(argc, argv);
}
