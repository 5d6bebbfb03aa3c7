// vexa-cli: rewrites text in many files and renames folders, like the dialog,
// from the command line. Everything but the process entry lives in cli_job.
#include "cli/cli_job.h"

#ifdef _WIN32
#include <string>
#include <vector>

#include "platform/name_text.h"

// The arguments as the system has them, UTF-16, become UTF-8 text: paths
// then reach any name, whatever the code page holds.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(NameToPathText(argv[i]));
    std::vector<char*> pointers;
    for (std::string& arg : args)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    return RunCli(argc, pointers.data());
}
#else
int main(int argc, char** argv) {
    return RunCli(argc, argv);
}
#endif
