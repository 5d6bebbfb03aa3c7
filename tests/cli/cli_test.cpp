// vexa-cli's contract through the real binary: refusals and their messages,
// the confirmation, --dry-run against the real run, --list, exit codes,
// Ctrl-C, a GBK locale, help and version.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using Env = std::vector<std::pair<std::string, std::string>>;

struct CCliRun {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

std::multiset<std::string> Lines(const std::string& text) {
    std::multiset<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.insert(line);
    return lines;
}

// Every entry below root by relative name: a folder ends in "/" and maps to
// "", a link maps to "@" and its target, a file to its content.
std::map<std::string, std::string> TreeSnapshot(const std::string& root) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).string();
        if (entry.is_symlink())
            entries[name] = "@" + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            entries[name + "/"] = "";
        else
            entries[name] = ReadFileBytes(entry.path().string());
    }
    return entries;
}

class CCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFileBytes(m_dir / "rules.txt", "旧`新\nold^line`one line\n");
        WriteFileBytes(m_dir / "rename.txt", "a`x\nb`y\n");
    }
    std::string Root() const { return m_dir / "tree"; }
    std::vector<std::string> WithRules(std::vector<std::string> args,
                                       const std::string& suffixes = "*.txt;*.htm") {
        args.insert(args.end(), {"--rules", m_dir / "rules.txt", "--rename-rules",
                                 m_dir / "rename.txt", Root(), suffixes});
        return args;
    }
    // Whether a run made anything in its XDG_CONFIG_HOME.
    bool ConfigMade() const { return fs::exists(m_dir / "config"); }

    // Runs the built vexa-cli with XDG_CONFIG_HOME at m_dir/config and
    // LC_ALL=C.UTF-8, then env. stdin is a pseudo-terminal on which typed was
    // typed before the question, or an empty file when typed is null.
    CCliRun Run(const std::vector<std::string>& args, const Env& env = {},
                const char* typed = nullptr) {
        const std::string out = m_dir / ".stdout", err = m_dir / ".stderr";
        int master = -1, slave = -1;
        if (typed && ::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
            ADD_FAILURE() << "no pseudo-terminal";
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(typed ? slave : ::open((m_dir / ".stdin").c_str(), O_RDONLY | O_CREAT, 0600), 0);
            ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
            ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
            ::setenv("XDG_CONFIG_HOME", (m_dir / "config").c_str(), 1);
            ::setenv("LC_ALL", "C.UTF-8", 1);
            for (const auto& [name, value] : env)
                ::setenv(name.c_str(), value.c_str(), 1);
            std::vector<char*> argv{const_cast<char*>(VEXA_CLI_PATH)};
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(VEXA_CLI_PATH, argv.data());
            ::_exit(127);
        }
        if (typed) {
            ::close(slave);
            EXPECT_GT(::write(master, typed, std::strlen(typed)), 0);
        }
        int raw = 0;
        ::waitpid(pid, &raw, 0);
        if (typed)
            ::close(master);
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), ReadFileBytes(out),
                ReadFileBytes(err)};
    }

    CTempDir m_dir;
};

TEST_F(CCliTest, RefusesBadInputWithTheDialogsMessageInTheDialogsOrderAndChangesNothing) {
    MakeTree(Root(), {{"f.txt", "旧"}});
    const std::string rules = m_dir / "rules.txt", missing = m_dir / "missing.txt";
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{m_dir / "nowhere", "txt"}, "路径无效！"},  // the folder is checked before the suffix
        {{Root(), "txt;htm"}, "文件后缀指定无效！"},
        {{"--rules", rules, Root(), ";*.txt"}, "请指定文件扩展名。所有文件用 *.* 表示。"},
        {{"--rules", missing, Root(), "*.txt"}, "文本内容替换规则配置文件不存在。"},
        {{"-R", "--rules", rules, "--rename-rules", missing, Root(), "*.txt"},
         "文件夹重命名规则配置文件不存在。"},
        {{Root(), "*.txt"}, "文本内容替换规则配置文件不存在。"},  // the dialog's file, never made
        {{"--rules", rules, Root(), "*.txt"}, "--yes"},           // no terminal to ask on
        {{"--bogus", Root(), "*.txt"}, "--bogus"},
        {{Root()}, "--help"},
    };
    const auto before = TreeSnapshot(Root());
    for (const auto& [args, message] : cases) {
        const CCliRun run = Run(args);
        EXPECT_EQ(run.status, 2) << message;
        EXPECT_THAT(run.err, HasSubstr(message));
        EXPECT_EQ(run.out, "") << message;
        EXPECT_EQ(TreeSnapshot(Root()), before) << message;
    }
    EXPECT_FALSE(ConfigMade());
}

TEST_F(CCliTest, AsksOnATerminalAndProceedsOnlyOnYes) {
    MakeTree(Root(), {{"f.txt", "旧"}});
    CCliRun run = Run(WithRules({}), {}, "no\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.err, HasSubstr("替换操作无法撤销，请自行备份文件！确定要继续执行吗？"));
    EXPECT_EQ(ReadFileBytes(Root() + "/f.txt"), "旧");
    run = Run(WithRules({}), {}, "yes\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(Root() + "/f.txt"), "新");
    EXPECT_THAT(run.err, HasSubstr("执行完成！"));
}

// The dry run lists exactly what the real run then does and touches nothing.
// Links to a folder and to a file outside the tree are passed over and are
// no error, even where a rename rule names them; names that could pass for
// two lines or for a rename are quoted.
TEST_F(CCliTest, DryRunListsExactlyWhatTheRealRunDoes) {
    // Each entry before the run, and what the real run makes of it.
    const std::pair<std::string, std::string> entries[][2] = {
        {{"top.txt", "x 旧 y"}, {"top.txt", "x 新 y"}},
        {{"same.htm", "nothing to do"}, {"same.htm", "nothing to do"}},
        {{"a/in.txt", "old\r\nline"}, {"x/in.txt", "one line"}},
        {{"a/a/", ""}, {"x/x/", ""}},
        {{"a\nb.txt", "旧"}, {"a\nb.txt", "新"}},
        {{"c -> d.htm", "旧"}, {"c -> d.htm", "新"}},
    };
    std::map<std::string, std::string> expected{
        {"x/", ""}, {"b", "@" + m_dir / "outside"}, {"l.txt", "@" + m_dir / "outside/o.txt"}};
    for (const auto& [before, after] : entries) {
        MakeTree(Root(), {before});
        expected.insert(after);
    }
    MakeTree(m_dir / "outside", {{"o.txt", "旧"}});
    ASSERT_EQ(::symlink((m_dir / "outside").c_str(), (Root() + "/b").c_str()), 0);
    ASSERT_EQ(::symlink((m_dir / "outside/o.txt").c_str(), (Root() + "/l.txt").c_str()), 0);
    const auto before = TreeSnapshot(Root());
    const CCliRun dry = Run(WithRules({"-s", "-R", "-n", "-l"}));
    EXPECT_EQ(TreeSnapshot(Root()), before);
    const CCliRun real = Run(WithRules({"-s", "-R", "-y", "-l", "-q"}));

    const std::string r = Root() + "/";
    EXPECT_EQ(Lines(dry.out),
              (std::multiset<std::string>{r + "top.txt", r + "a/in.txt", "\"" + r + "a\\nb.txt\"",
                                          "\"" + r + "c -> d.htm\"", r + "a/a -> " + r + "a/x",
                                          r + "a -> " + r + "x"}));
    EXPECT_EQ(real.out, dry.out);
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(real.status, 0) << real.err;
    EXPECT_THAT(real.err, HasSubstr("未跟随符号链接 2 个"));
    EXPECT_EQ(TreeSnapshot(Root()), expected);
    EXPECT_EQ(ReadFileBytes(m_dir / "outside/o.txt"), "旧");
    EXPECT_FALSE(ConfigMade());  // the rules files were named: nothing of the dialog's is made
}

// A file with a due change that is not made ends the run with exit status 1.
TEST_F(CCliTest, ExitsOneWhenAFileWithADueChangeIsSkipped) {
    for (const std::string name : {"readonly.txt", "fifo"}) {
        RemoveTree(Root());
        MakeTree(Root(), {{"ok.txt", "旧"}});
        const std::string path = Root() + "/" + name;
        if (name == "fifo") {
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        } else {
            WriteFileBytes(path, "旧");
            ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        }
        const CCliRun run = Run(WithRules({"-y", "-l"}, name == "fifo" ? "*.*" : "*.txt"));
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(run.out, Root() + "/ok.txt\n");
        EXPECT_THAT(run.err, HasSubstr("已跳过：" + path));
    }
}

// Ctrl-C while the first file is in hand: that file is finished, nothing
// else is rewritten, the folder walked into is still renamed, and the
// summary comes before exit status 130.
TEST_F(CCliTest, CtrlCFinishesTheFileInHandRenamesWalkedFoldersAndExits130) {
    MakeTree(Root(), {{"a/one.txt", "旧"}, {"a/two.txt", "旧"}});
    const CCliRun run =
        Run(WithRules({"-s", "-R", "-y", "-l"}), {{"VEXA_CLI_TEST_SIGINT_AT", "1"}});
    EXPECT_EQ(run.status, 130) << run.err;
    const std::string one = ReadFileBytes(Root() + "/x/one.txt");
    const std::string two = ReadFileBytes(Root() + "/x/two.txt");
    EXPECT_TRUE((one == "新") != (two == "新")) << one << " " << two;
    EXPECT_THAT(run.err, HasSubstr("已选文件 1 个"));
    EXPECT_THAT(run.err, HasSubstr("执行完成！"));
    EXPECT_THAT(run.out, HasSubstr(Root() + "/a -> " + Root() + "/x\n"));
}

// Under a GBK locale the working code page is GBK: rules and files are GBK
// text, a GBK trail byte that looks like ASCII never starts a match, and the
// messages reach the terminal in GBK.
TEST_F(CCliTest, UnderAGbkLocaleWorksAndSpeaksInGbk) {
    const std::string locales = m_dir / "locale";
    const std::string build = "mkdir -p " + locales + " && localedef -i zh_CN -f GBK " + locales +
                              "/zh_CN.GBK >/dev/null 2>&1";
    if (std::system(build.c_str()) != 0) {
        GTEST_SKIP() << "localedef cannot build zh_CN.GBK here";
    }
    const Env gbk = {{"LOCPATH", locales}, {"LC_ALL", "zh_CN.GBK"}};
    const std::string trailA = "\x81\x61";  // one GBK character whose trail byte is 'a'
    MakeTree(Root(), {{"f.txt", trailA + "a\xD6\xD0"}});            // ..., a, 中
    WriteFileBytes(m_dir / "gbk.txt", "a`b\n\xD6\xD0`\xCE\xC4\n");  // a`b, 中`文

    CCliRun run = Run({"--rules", m_dir / "gbk.txt", m_dir / "nowhere", "*.txt"}, gbk);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "\xC2\xB7\xBE\xB6\xCE\xDE\xD0\xA7\xA3\xA1\n");  // 路径无效！ in GBK
    run = Run({"-y", "--rules", m_dir / "gbk.txt", Root(), "*.txt"}, gbk);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(Root() + "/f.txt"), trailA + "b\xCE\xC4");
}

TEST_F(CCliTest, HelpAndVersionGoToStdout) {
    CCliRun run = Run({"-V"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "vexa-cli 1.0.4.27\n");
    run = Run({"--help"});
    EXPECT_EQ(run.status, 0);
    for (const char* topic : {"--dry-run", "--yes", "_文本替换规则.txt", "Ctrl-C", "130"})
        EXPECT_THAT(run.out, HasSubstr(topic));
}

}  // namespace
