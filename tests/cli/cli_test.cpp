// vexa-cli's contract through the real binary: refusals and their messages,
// the confirmation, --dry-run against the real run, --list, Ctrl-C, exit codes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace {

const std::string kSuffixes = "*.txt;*.htm";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

class CCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFileBytes(m_dir / "rules.txt", "旧`新\nold^line`one line\n");
        WriteFileBytes(m_dir / "rename.txt", "a`x\nb`x\nkeep`kept\n");
    }
    std::string Root() const { return m_dir / "tree"; }
    std::string Config() const { return m_dir / "config"; }
    CCliRun Run(std::vector<std::string> args, CCliCall call = {}) {
        call.args = std::move(args);
        return RunVexaCli(Config(), call);
    }
    std::vector<std::string> WithRules(std::vector<std::string> args) {
        args.insert(args.end(), {"--rules", m_dir / "rules.txt", "--rename-rules",
                                 m_dir / "rename.txt", Root(), kSuffixes});
        return args;
    }

    CTempDir m_dir;
};

TEST_F(CCliTest, RefusesBadInputWithTheDialogsMessageInTheDialogsOrderAndChangesNothing) {
    MakeTree(Root(), {{"f.txt", "旧"}});
    const std::string rules = m_dir / "rules.txt";
    const std::string missing = m_dir / "missing.txt";
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
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
    for (const Case& c : cases) {
        const CCliRun run = Run(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "") << c.message;
        EXPECT_EQ(TreeSnapshot(Root()), before) << c.message;
    }
    // Neither a rules file nor the dialog's settings were created.
    for (const auto& [name, content] : TreeSnapshot(Config()))
        EXPECT_TRUE(name.back() == '/' || name[0] == '.') << name;
}

TEST_F(CCliTest, AsksOnATerminalAndProceedsOnlyOnYes) {
    MakeTree(Root(), {{"f.txt", "旧"}});
    CCliCall call;
    call.terminal = true;
    call.input = "no\n";
    CCliRun run = Run(WithRules({}), call);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("替换操作无法撤销，请自行备份文件！确定要继续执行吗？"),
              std::string::npos);
    EXPECT_EQ(ReadFileBytes(Root() + "/f.txt"), "旧");

    call.input = "yes\n";
    run = Run(WithRules({}), call);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(Root() + "/f.txt"), "新");
    EXPECT_NE(run.err.find("执行完成！"), std::string::npos);
}

// The dry run must predict the real run exactly, renames and a rename that
// fails because an earlier one took its name included, and touch nothing.
TEST_F(CCliTest, DryRunListsExactlyWhatTheRealRunThenDoes) {
    MakeTree(Root(), {{"top.txt", "x 旧 y"},
                      {"same.htm", "nothing to do"},
                      {"a/in.txt", "old\r\nline"},
                      {"b/in.htm", "旧旧"},
                      {"b/pic.png", "旧"},
                      {"keep/deep/f.txt", "旧"},
                      {"keep/a/", ""}});
    const auto before = TreeSnapshot(Root());
    const CCliRun dry = Run(WithRules({"-s", "-R", "-n", "-l"}));
    EXPECT_EQ(TreeSnapshot(Root()), before);
    const CCliRun real = Run(WithRules({"-s", "-R", "-y", "-l", "-q"}));

    // a and b both want the name x; the first one listed gets it, the other
    // fails in the dry run as in the real run.
    const std::string r = Root() + "/";
    const bool aFirst = real.out.find(r + "a -> ") != std::string::npos;
    const std::string aNow = r + (aFirst ? "x" : "a");
    const std::string bNow = r + (aFirst ? "b" : "x");
    const std::vector<std::string> expected = Sorted({
        r + "top.txt",
        r + "a/in.txt",
        r + "b/in.htm",
        r + "keep/deep/f.txt",
        r + "keep/a -> " + r + "keep/x",
        r + (aFirst ? "a" : "b") + " -> " + r + "x",
        r + "keep -> " + r + "kept",
    });
    EXPECT_EQ(Sorted(Lines(dry.out)), expected);
    EXPECT_EQ(real.out, dry.out);
    EXPECT_EQ(dry.status, 1);
    EXPECT_EQ(real.status, 1);
    EXPECT_NE(real.err.find("重命名失败"), std::string::npos) << real.err;
    EXPECT_EQ(ReadFileBytes(r + "top.txt"), "x 新 y");
    EXPECT_EQ(ReadFileBytes(r + "same.htm"), "nothing to do");
    EXPECT_EQ(ReadFileBytes(aNow + "/in.txt"), "one line");
    EXPECT_EQ(ReadFileBytes(bNow + "/in.htm"), "新新");
    EXPECT_EQ(ReadFileBytes(bNow + "/pic.png"), "旧");
    EXPECT_EQ(ReadFileBytes(r + "kept/deep/f.txt"), "新");
}

TEST_F(CCliTest, ExitsOneWhenAFileWithADueChangeIsSkipped) {
    MakeTree(Root(), {{"ok.txt", "旧"}});
    WriteFileBytes(Root() + "/zero.txt", std::string("旧\0tail", 8));
    const CCliRun run = Run(WithRules({"-y", "-l"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, Root() + "/ok.txt\n");
    EXPECT_NE(run.err.find("已跳过：" + Root() + "/zero.txt"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFileBytes(Root() + "/zero.txt"), std::string("旧\0tail", 8));
}

// Ctrl-C while the first file is in hand: that file is finished, nothing
// else is rewritten, the folder walked into is still renamed, and the
// summary comes before exit status 130.
TEST_F(CCliTest, CtrlCFinishesTheFileInHandRenamesWalkedFoldersAndExits130) {
    MakeTree(Root(), {{"a/one.txt", "旧"}, {"a/two.txt", "旧"}});
    CCliCall call;
    call.env = {{"VEXA_CLI_TEST_SIGINT_AT", "1"}};
    const CCliRun run = Run(WithRules({"-s", "-R", "-y", "-l"}), call);
    EXPECT_EQ(run.status, 130) << run.err;
    const std::string x = Root() + "/x/";
    const std::string one = ReadFileBytes(x + "one.txt");
    const std::string two = ReadFileBytes(x + "two.txt");
    EXPECT_TRUE((one == "新") != (two == "新")) << one << " " << two;
    EXPECT_NE(run.err.find("已选文件 1 个"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("执行完成！"), std::string::npos);
    EXPECT_NE(run.out.find(Root() + "/a -> " + Root() + "/x\n"), std::string::npos) << run.out;
}

// Under a GBK locale the working code page is GBK: rules and files are GBK
// text, a GBK trail byte that looks like ASCII never starts a match, and the
// messages reach the terminal in GBK.
TEST_F(CCliTest, UnderAGbkLocaleWorksAndSpeaksInGbk) {
    const std::string locales = m_dir / "locale";
    const std::string build = "mkdir -p " + locales + " && localedef -i zh_CN -f GBK " + locales +
                              "/zh_CN.GBK >/dev/null 2>&1";
    if (std::system(build.c_str()) != 0)
        GTEST_SKIP() << "localedef cannot build zh_CN.GBK here";
    CCliCall call;
    call.env = {{"LOCPATH", locales}, {"LC_ALL", "zh_CN.GBK"}};
    const std::string trailA = "\x81\x61";  // one GBK character whose trail byte is 'a'
    MakeTree(Root(), {{"f.txt", trailA + "a\xD6\xD0"}});            // ..., a, 中
    WriteFileBytes(m_dir / "gbk.txt", "a`b\n\xD6\xD0`\xCE\xC4\n");  // a`b, 中`文

    CCliRun run = Run({"--rules", m_dir / "gbk.txt", m_dir / "nowhere", "*.txt"}, call);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "\xC2\xB7\xBE\xB6\xCE\xDE\xD0\xA7\xA3\xA1\n");  // 路径无效！ in GBK
    run = Run({"-y", "--rules", m_dir / "gbk.txt", Root(), "*.txt"}, call);
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
        EXPECT_NE(run.out.find(topic), std::string::npos) << topic;
}

}  // namespace
