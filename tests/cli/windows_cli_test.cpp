// vexa-cli on Windows, through the real program: a redirected stream is no
// console (the NUL device included), lists and messages go out as UTF-8, and
// a rename rule that would leave the folder through a backslash is refused.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "support/temp_dir.h"

namespace {

using testing::HasSubstr;

struct CCliRun {
    DWORD status = 0;
    std::string out;
    std::string err;
};

class WindowsCli : public ::testing::Test {
  protected:
    // Runs vexa-cli with stdin from NUL and stdout, stderr into files.
    CCliRun Run(const std::wstring& args) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        auto open = [&](const std::string& path, DWORD access, DWORD disposition) {
            return ::CreateFileW(NativePath(path).c_str(), access, FILE_SHARE_READ, &inherit,
                                 disposition, 0, nullptr);
        };
        STARTUPINFOW start{};
        start.cb = sizeof start;
        start.dwFlags = STARTF_USESTDHANDLES;
        start.hStdInput = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ, &inherit,
                                        OPEN_EXISTING, 0, nullptr);
        start.hStdOutput = open(m_dir / "out", GENERIC_WRITE, CREATE_ALWAYS);
        start.hStdError = open(m_dir / "err", GENERIC_WRITE, CREATE_ALWAYS);
        std::wstring line =
            L"vexa-cli.exe --rules \"" + NativePath(m_dir / "rules.txt").wstring() + L"\" " + args;
        PROCESS_INFORMATION process{};
        CCliRun run;
        // Built on the host: under wine its path is on the drive that maps "/".
        const std::string built = VEXA_CLI_PATH;
        const std::wstring exe = NativePath((built.starts_with("/") ? "Z:" : "") + built).wstring();
        if (::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                             &start, &process)) {
            ::WaitForSingleObject(process.hProcess, 60000);
            ::GetExitCodeProcess(process.hProcess, &run.status);
            ::CloseHandle(process.hProcess);
            ::CloseHandle(process.hThread);
        } else {
            ADD_FAILURE() << "cannot start " << VEXA_CLI_PATH;
        }
        for (HANDLE h : {start.hStdInput, start.hStdOutput, start.hStdError})
            ::CloseHandle(h);
        run.out = ReadFileBytes(m_dir / "out");
        run.err = ReadFileBytes(m_dir / "err");
        return run;
    }
    std::wstring Tree() const { return L"\"" + NativePath(m_dir / "tree").wstring() + L"\""; }

    CTempDir m_dir;
    CConfigHome m_home{m_dir};
};

TEST_F(WindowsCli, RedirectedStreamsAreNoConsoleAndCarryUtf8) {
    WriteFileBytes(m_dir / "rules.txt", "old`new\n");
    // The tests' wine runs with code page 1252: é has a form there, 中 none.
    MakeTree(m_dir / "tree", {{"café.txt", "old"}, {"中文.txt", "old"}, {"sub/a.txt", "old"}});
    CCliRun r = Run(Tree() + L" *.txt");
    EXPECT_EQ(r.status, 2u);
    EXPECT_THAT(r.err, HasSubstr("标准输入不是终端"));
    EXPECT_EQ(ReadFileBytes(m_dir / "tree/café.txt"), "old");

    r = Run(L"-y -l -s " + Tree() + L" *.txt");
    EXPECT_EQ(r.status, 0u) << r.err;
    EXPECT_THAT(r.out, HasSubstr("\\café.txt\n"));
    EXPECT_THAT(r.out, HasSubstr("\\sub\\a.txt\n"));
    EXPECT_EQ(ReadFileBytes(m_dir / "tree/café.txt"), "new");
    EXPECT_EQ(ReadFileBytes(m_dir / "tree/中文.txt"), "old");

    // Ctrl-C through the console's handler: the file in hand is finished, the run stops.
    MakeTree(m_dir / "tree", {{"café.txt", "old"}, {"sub/a.txt", "old"}, {"sub/b.txt", "old"}});
    ::_putenv_s("VEXA_CLI_TEST_SIGINT_AT", "1");
    r = Run(L"-y -l -s " + Tree() + L" *.txt");
    ::_putenv_s("VEXA_CLI_TEST_SIGINT_AT", "");
    EXPECT_EQ(r.status, 130u);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);

    WriteFileBytes(m_dir / "rename.txt", "sub`..\\x\n");
    WriteFileBytes(m_dir / "tree/sub/a.txt", "old");
    r = Run(L"-y -s -R --rename-rules \"" + NativePath(m_dir / "rename.txt").wstring() + L"\" " +
            Tree() + L" *.txt");
    EXPECT_EQ(r.status, 2u);
    EXPECT_THAT(r.err, HasSubstr("重命名规则第1行无效"));
    EXPECT_EQ(ReadFileBytes(m_dir / "tree/sub/a.txt"), "old");
}

}  // namespace
