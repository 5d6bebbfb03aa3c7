#include "cli_runner.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

CCliRun RunVexaCli(const std::string& configHome, const CCliCall& call) {
    const std::string outPath = configHome + "/.stdout";
    const std::string errPath = configHome + "/.stderr";
    const std::string inPath = configHome + "/.stdin";
    fs::create_directories(configHome);
    WriteFileBytes(inPath, call.input);

    int master = -1;
    int slave = -1;
    if (call.terminal && ::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = call.terminal ? slave : ::open(inPath.c_str(), O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
        ::setenv("LC_ALL", "C.UTF-8", 1);
        ::unsetenv("VEXA_CLI_TEST_SIGINT_AT");
        for (const auto& [name, value] : call.env)
            ::setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(VEXA_CLI_PATH)};
        for (const std::string& a : call.args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(VEXA_CLI_PATH, argv.data());
        ::_exit(127);
    }
    if (call.terminal) {
        ::close(slave);
        // The answer is typed before the question: the terminal keeps it until read.
        if (::write(master, call.input.data(), call.input.size()) < 0)
            return {};
    }
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    if (master >= 0)
        ::close(master);
    CCliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    run.out = ReadFileBytes(outPath);
    run.err = ReadFileBytes(errPath);
    return run;
}

std::vector<std::pair<std::string, std::string>> TreeSnapshot(const std::string& root) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        if (entry.is_directory())
            entries.emplace_back(name + "/", "");
        else
            entries.emplace_back(name, ReadFileBytes(entry.path().string()));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}
