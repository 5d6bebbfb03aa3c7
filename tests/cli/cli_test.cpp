// vexa-cli's contract through the real binary: refusals and their messages,
// the confirmation, --list against the real run, exit statuses, Ctrl-C, a
// GBK locale, help and version. What a run does to a tree is the engine's
// tests' business; here only what the whole program adds.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>

#include <set>
#include <sstream>
#include "engine/journal/journal_store.h"

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;

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

// Every entry below root by relative name: a folder maps to "/", a file to
// its content.
std::map<std::string, std::string> Tree(const std::string& root) {
    std::map<std::string, std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(root))
        entries[e.path().lexically_relative(root)] =
            e.is_directory() ? "/" : ReadFileBytes(e.path());
    return entries;
}

// Standard base64, for the names --json gives as bytes.
std::string Base64Of(const std::string& bytes) {
    static const char* const kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0, have = 0;
    for (const unsigned char c : bytes) {
        bits = bits << 8 | c;
        for (have += 8; have >= 6; have -= 6)
            out += kDigits[(bits >> (have - 6)) & 63];
    }
    if (have > 0)
        out += kDigits[(bits << (6 - have)) & 63];
    return out + std::string((4 - out.size() % 4) % 4, '=');
}

class CCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFileBytes(m_dir / "rules.txt", "旧`新\n");
        WriteFileBytes(m_dir / "rename.txt", "a`x\n");
        WriteFileBytes(m_dir / ".stdin", "");
    }
    std::string Root() const { return m_dir / "tree"; }
    std::vector<std::string> WithRules(std::vector<std::string> args) {
        args.insert(args.end(), {"--rules", m_dir / "rules.txt", "--rename-rules",
                                 m_dir / "rename.txt", Root(), "*.txt"});
        return args;
    }

    // Runs the built vexa-cli with HOME at m_dir, XDG_CONFIG_HOME and XDG_DATA_HOME in it and
    // LC_ALL=C.UTF-8, then the assignments in env. stdin is a pseudo-terminal
    // on which typed was typed before the question, or an empty file when
    // typed is null.
    CCliRun Run(const std::vector<std::string>& args, const std::string& env = "",
                const char* typed = nullptr) {
        const std::string out = m_dir / ".stdout", err = m_dir / ".stderr";
        int master = -1, slave = -1;
        if (typed && (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0 ||
                      ::write(master, typed, std::strlen(typed)) <= 0))
            ADD_FAILURE() << "no pseudo-terminal";
        std::string command = "HOME=" + m_dir.Path() + " XDG_CONFIG_HOME=" + m_dir / "config" +
                              " XDG_DATA_HOME=" + m_dir / "data" + " LC_ALL=C.UTF-8 " + env +
                              " exec " VEXA_CLI_PATH;
        for (const std::string& a : args)
            command += " '" + a + "'";
        command += (typed ? " <&" + std::to_string(slave) : " <" + m_dir / ".stdin") + " >" + out +
                   " 2>" + err;
        const int raw = std::system(command.c_str());
        ::close(master), ::close(slave);
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), ReadFileBytes(out),
                ReadFileBytes(err)};
    }

    CTempDir m_dir;
};

// Exit status 2, the dialog's message after the path it concerns (the
// folder checked before the suffix, the rules files after), nothing on
// stdout, nothing changed, and nothing made in the config folder.
TEST_F(CCliTest, RefusesBadInputWithTheDialogsMessageInTheDialogsOrderAndChangesNothing) {
    MakeTree(Root(), {{"f.txt", "旧"}});
    const std::string rules = m_dir / "rules.txt", missing = m_dir / "missing.txt";
    const std::string dialogs = m_dir / "config/Vexa/vexa_文本替换规则.txt";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{m_dir / "nowhere", "txt"}, m_dir / "nowhere: 路径无效！"},
        {{Root(), "txt;htm"}, "文件后缀指定无效！"},
        {{"--rules", rules, Root(), ";*.txt"}, "请指定文件扩展名。所有文件用 *.* 表示。"},
        {{"--rules", missing, Root(), "*.txt"}, missing + ": 文本内容替换规则配置文件不存在。"},
        {{"-R", "--rules", rules, "--rename-rules", missing, Root(), "*.txt"},
         missing + ": 文件夹重命名规则配置文件不存在。"},
        {{Root(), "*.txt"}, dialogs + ": 文本内容替换规则配置文件不存在。"},  // never made
        {{"--rules", rules, Root(), "*.txt"}, "--yes"},  // no terminal to ask on
        {{"--bogus", Root(), "*.txt"}, "--bogus"},
        {{"--sub=1", Root(), "*.txt"}, "--sub"},
        {{Root(), "--help=foo", "*.txt"}, "--help"},
        {{"--rules", "-", Root(), "*.txt"}, "--yes"},  // stdin cannot also answer
        {{"-y", "--rules=-", "--rename-rules", "-", "-R", Root(), "*.txt"}, "标准输入"},
        {{Root()}, "--help"},
        {{"-y", "-e", "x`" + std::string(201, 'y'), Root(), "*.txt"}, "命令行的第1条 -e 规则过长"},
        {{"-e", "foo", Root(), "*.txt"}, "查找内容`替换内容"},
        {{"--files-from", "-", "--rules", "-", Root()}, "标准输入只有一个"},
        {{"-R", "--files-from", "list", Root()}, "-R 不能与 --files-from 同用"},
    };
    const auto before = Tree(Root());
    for (const auto& [args, message] : cases) {
        const CCliRun run = Run(args);
        EXPECT_EQ(std::tuple(run.status, run.out, Tree(Root()) == before), std::tuple(2, "", true))
            << message;
        EXPECT_THAT(run.err, HasSubstr(message));
    }
    EXPECT_FALSE(fs::exists(m_dir / "config"));
}

// The dry run touches nothing and lists exactly what the real run then does,
// a name that could pass for a rename quoted; both exit 0, and naming the
// rules files makes nothing in the config folder.
TEST_F(CCliTest, ListIsExactlyTheRealRunsChanges) {
    MakeTree(Root(), {{"t.txt", "旧"}, {"same.txt", "-"}, {"a/i.txt", "旧"}, {"c -> d.txt", "旧"}});
    MakeTree(m_dir / "after",
             {{"t.txt", "新"}, {"same.txt", "-"}, {"x/i.txt", "新"}, {"c -> d.txt", "新"}});
    const auto before = Tree(Root());
    const CCliRun dry = Run(WithRules({"-s", "-R", "-n", "-l"}));
    EXPECT_EQ(Tree(Root()), before);
    const CCliRun real = Run(WithRules({"-s", "-R", "-y", "-l", "-q"}));
    const std::string r = Root() + "/";
    EXPECT_EQ(Lines(dry.out),
              (std::multiset<std::string>{r + "t.txt", r + "a/i.txt", "\"" + r + "c -> d.txt\"",
                                          r + "a -> " + r + "x"}));
    EXPECT_EQ(std::tuple(dry.status, real.status, real.out), std::tuple(0, 0, dry.out)) << real.err;
    EXPECT_EQ(Tree(Root()), Tree(m_dir / "after"));
    EXPECT_FALSE(fs::exists(m_dir / "config"));
}

// The question is asked on a terminal: "no" ends the run with exit status 2
// and "yes" runs it, where a file with a due change that is not made ends
// it with exit status 1.
TEST_F(CCliTest, AsksOnATerminalAndExitsOneWhenAFileWithADueChangeIsSkipped) {
    MakeTree(Root(), {{"ok.txt", "旧"}, {"ro.txt", "旧"}});
    ASSERT_EQ(::chmod((Root() + "/ro.txt").c_str(), 0444), 0);
    CCliRun run = Run(WithRules({"-l"}), "", "no\n");
    EXPECT_EQ(std::tuple(run.status, ReadFileBytes(Root() + "/ok.txt")), std::tuple(2, "旧"));
    EXPECT_THAT(run.err, HasSubstr("替换操作无法撤销，请自行备份文件！确定要继续执行吗？"));
    run = Run(WithRules({"-l"}), "", "yes\n");
    EXPECT_EQ(std::tuple(run.status, run.out), std::tuple(1, Root() + "/ok.txt\n")) << run.err;
    EXPECT_THAT(run.err, HasSubstr("已跳过：" + Root() + "/ro.txt"));
    EXPECT_EQ(ReadFileBytes(Root() + "/ok.txt"), "新");
}

// Lines that load other than they may be meant are said on stderr before the
// question, and with -y too; they change neither the run nor its status.
TEST_F(CCliTest, DoubtfulRulesLinesAreWarnedOfBeforeTheQuestionAndKeepTheStatus) {
    WriteFileBytes(m_dir / "rules.txt", "colour`col`our\nTODO\n");
    const std::string warned =
        "第 1 行有不止一个反引号：第二个反引号及其后的文字被忽略\n"
        "第 2 行没有反引号：整行作为查找文本，替换为空（删除）\n";
    MakeTree(Root(), {{"t.txt", "colour TODO"}});
    const std::vector<std::string> args = {"--rules", m_dir / "rules.txt", Root(), "*.txt"};
    CCliRun run = Run(args, "", "no\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.find(warned + "替换操作无法撤销"), 0u) << run.err;
    std::vector<std::string> yes = args;
    yes.insert(yes.begin(), "-y");
    run = Run(yes);
    EXPECT_EQ(std::tuple(run.status, ReadFileBytes(Root() + "/t.txt")), std::tuple(0, "col "));
    EXPECT_EQ(run.err.find(warned), 0u) << run.err;
}

// Ctrl-C while the first file is in hand: that file is finished (the two
// start alike), nothing else is rewritten, and the summary comes before exit status 130.
TEST_F(CCliTest, CtrlCFinishesTheFileInHandAndExits130) {
    MakeTree(Root(), {{"one.txt", "旧"}, {"two.txt", "旧"}});
    const CCliRun run = Run(WithRules({"-y"}), "VEXA_CLI_TEST_SIGINT_AT=1");
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_NE(ReadFileBytes(Root() + "/one.txt"), ReadFileBytes(Root() + "/two.txt"));
    EXPECT_THAT(run.err, testing::AllOf(HasSubstr("已选文件 1 个"), testing::EndsWith("已停止\n"),
                                        testing::Not(HasSubstr("执行完成"))));
}

// Under a GBK locale the working code page is GBK: rules and files are GBK
// text, a GBK trail byte that looks like ASCII never starts a match, and the
// messages reach the terminal in GBK.
TEST_F(CCliTest, UnderAGbkLocaleWorksAndSpeaksInGbk) {
    const std::string build =
        "localedef -i zh_CN -f GBK " + m_dir / "zh_CN.GBK" + " >/dev/null 2>&1";
    if (std::system(build.c_str()) != 0)
        GTEST_SKIP() << "localedef cannot build zh_CN.GBK here";
    const std::string gbk = "LOCPATH=" + m_dir.Path() + " LC_ALL=zh_CN.GBK";
    const std::string trailA = "\x81\x61";  // one GBK character whose trail byte is 'a'
    MakeTree(Root(), {{"f.txt", trailA + "a\xD6\xD0"}});            // ..., a, 中
    WriteFileBytes(m_dir / "gbk.txt", "a`b\n\xD6\xD0`\xCE\xC4\n");  // a`b, 中`文
    const CCliRun refused = Run({"--rules", m_dir / "gbk.txt", m_dir / "nowhere", "*.txt"}, gbk);
    EXPECT_EQ(
        refused.err,
        "vexa-cli: " +
            m_dir / "nowhere: \xC2\xB7\xBE\xB6\xCE\xDE\xD0\xA7\xA3\xA1\n");  // 路径无效！ in GBK
    const CCliRun diff = Run({"-n", "--diff", "--rules", m_dir / "gbk.txt", Root(), "*.txt"}, gbk);
    EXPECT_THAT(diff.out, HasSubstr("\n-" + trailA + "a\xD6\xD0\n\\ No newline at end of file\n+" +
                                    trailA + "b\xCE\xC4\n"));
    EXPECT_EQ(Run({"-y", "--rules", m_dir / "gbk.txt", Root(), "*.txt"}, gbk).status, 0);
    EXPECT_EQ(ReadFileBytes(Root() + "/f.txt"), trailA + "b\xCE\xC4");
}

// --undo lists, then puts back, what the last run did; the journal is then
// gone; a run killed part way is announced on stderr; --no-undo keeps none.
TEST_F(CCliTest, UndoPutsTheLastRunBackOnceAndSaysWhenARunWasInterrupted) {
    MakeTree(Root(), {{"t.txt", "旧"}, {"a/i.txt", "旧"}});
    const auto before = Tree(Root());
    ASSERT_EQ(Run(WithRules({"-s", "-R", "-y"})).status, 0);
    EXPECT_THAT(Run({"--journal"}).out, HasSubstr(fs::canonical(Root()).string()));
    const CCliRun dry = Run({"--undo", "-n", "-l", Root()});
    EXPECT_EQ(Lines(dry.out), (std::multiset<std::string>{Root() + "/t.txt", Root() + "/a/i.txt",
                                                          Root() + "/x -> " + Root() + "/a"}));
    const CCliRun undo = Run({"--undo", "-y", Root()});
    EXPECT_EQ(std::tuple(undo.status, Tree(Root()) == before), std::tuple(0, true)) << undo.err;
    EXPECT_EQ(Run({"--undo", "-y", Root()}).status, 2);
    // A journal without its end: the next run says so before it starts.
    ASSERT_EQ(Run(WithRules({"-s", "-y"})).status, 0);
    const std::string log = (fs::path(m_dir / "data/Vexa/journal") /
                             CJournalStore::KeyOf(fs::canonical(Root())) / "log");
    std::string bytes = ReadFileBytes(log);
    WriteFileBytes(log, bytes.substr(0, bytes.rfind("E\t")));
    EXPECT_THAT(Run({"--undo", "-n", Root()}).err, HasSubstr("中断"));
    EXPECT_EQ(Run({"--forget", Root()}).status, 0);
    EXPECT_EQ(Run(WithRules({"-s", "-y", "--no-undo"})).status, 0);
    EXPECT_THAT(Run({"--undo", "-y", Root()}).err, HasSubstr("没有可撤销的执行记录"));
}

// Both of the program's rules files lie in the chosen folder and hold a find
// text: neither is rewritten, though this run reads only one of them.
TEST_F(CCliTest, RulesFilesAreNeverRewrittenAndOversizedOrEmptySelectionsAreSaid) {
    const std::string config = m_dir / "config";
    MakeTree(config, {{"Vexa/vexa_文本替换规则.txt", "旧`新\n"},
                      {"Vexa/vexa_文件夹重命名规则.txt", "旧`x\n"},
                      {"Vexa/t.txt", "旧"}});
    const auto rules = Tree(config + "/Vexa");
    EXPECT_EQ(Run({"-s", "-y", config, "*.txt"}).status, 0);
    auto after = Tree(config + "/Vexa");
    EXPECT_EQ(after["t.txt"], "新");
    after["t.txt"] = "旧";
    EXPECT_EQ(after, rules);
    const CCliRun none = Run({"-s", "-y", config, "*.txt\n*.htm"});
    EXPECT_EQ(none.status, 0);
    EXPECT_THAT(none.err, HasSubstr("没有选中任何文件"));
    const CCliRun endless = Run({"--rules", "/dev/zero", "-y", config, "*.txt"});
    EXPECT_EQ(endless.status, 2);
    EXPECT_THAT(endless.err, HasSubstr("/dev/zero 超过 1 MiB"));
}

// Rules from standard input; the diff of a UTF-16 file with CR LF lines,
// names quoted as --list quotes them, a changed line break marked.
TEST_F(CCliTest, DiffShowsDecodedChangesWithRulesFromStandardInput) {
    MakeTree(Root(), {{"u\t.txt", std::string("\xFF\xFE\x7D\x59\r\0\n\0x\0", 10)},
                      {"b.txt", "keep\nend\n"}});
    WriteFileBytes(m_dir / ".stdin", "\xE5\xA5\xBD`\xE5\x9D\x8F\nend`end^\n");  // 好`坏
    const CCliRun run = Run({"-n", "--diff", Root(), "--rules", "-", "*.txt"});
    const std::string u = "\"" + Root() + "/u\\t.txt\"", b = Root() + "/b.txt";
    const std::string diffs[] = {
        "--- " + b + "\n+++ " + b + "\n@@ -1,2 +1,3 @@\n keep\n-end\u240A\n+end\u240D\u240A\n+\n",
        "--- " + u + "\n+++ " + u +
            "\n@@ -1,2 +1,2 @@\n-\u597D\n+\u574F\n x\n\\ No newline at end of file\n"};
    // The files come in the byte order of their names.
    EXPECT_EQ(run.out, diffs[0] + diffs[1]) << run.err;
    EXPECT_EQ(run.status, 0);
}

// --color=always colours the diff as git does; into a file (or a pipe)
// there is no colour unless asked for.
TEST_F(CCliTest, DiffIsColouredOnlyWhenAskedOrOnATerminal) {
    MakeTree(Root(), {{"t.txt", "旧\n"}});
    const CCliRun plain = Run(WithRules({"-n", "--diff"}));
    const CCliRun colour = Run(WithRules({"-n", "--diff", "--color=always"}));
    EXPECT_EQ(plain.out.find('\x1b'), std::string::npos) << plain.out;
    EXPECT_THAT(colour.out,
                HasSubstr("\x1b[36m@@ -1 +1 @@\x1b[m\n\x1b[31m-旧\x1b[m\n\x1b[32m+新\x1b[m\n"));
    EXPECT_EQ(Run(WithRules({"-n", "--diff", "--color=sometimes"})).status, 2);
}

// Under an English locale (built into a private LOCPATH) the summary with
// its reasons, the refusals and the help are English: no Chinese but in the
// rules files' names. The catalog lies beside the build's program, as it
// does when installed. C.UTF-8 keeps Chinese, whatever LANGUAGE says.
TEST_F(CCliTest, SpeaksEnglishWhenTheLocaleAsksForIt) {
    const std::string build =
        "localedef -i en_US -f UTF-8 " + m_dir / "en_US.UTF-8" + " >/dev/null 2>&1";
    if (std::system(build.c_str()) != 0)
        GTEST_SKIP() << "localedef cannot build en_US.UTF-8 here";
    const std::string english = "LOCPATH=" + m_dir.Path() + " LC_ALL=en_US.UTF-8";
    MakeTree(Root(), {{"t.txt", "旧"}, {"ro.txt", "旧"}});
    ASSERT_EQ(::chmod((Root() + "/ro.txt").c_str(), 0444), 0);
    const CCliRun runs[] = {Run(WithRules({"-y"}), english),
                            Run({"--rules", m_dir / "missing.txt", Root(), "*.txt"}, english),
                            Run({m_dir / "nowhere", "*.txt"}, english), Run({"--help"}, english),
                            Run({"--jobs=0"}, english)};
    for (const CCliRun& run : runs) {
        std::string text = run.out + run.err;
        for (const char* name : {"vexa_文本替换规则.txt", "vexa_文件夹重命名规则.txt"})
            while (text.find(name) != std::string::npos)
                text.erase(text.find(name), std::strlen(name));
        // Han characters and CJK punctuation start with a byte from 0xE3 up.
        EXPECT_EQ(
            std::count_if(text.begin(), text.end(), [](unsigned char c) { return c >= 0xE3; }), 0)
            << text;
    }
    EXPECT_THAT(runs[0].err, HasSubstr("skipped: " + Root() + "/ro.txt (the file is read-only"));
    EXPECT_THAT(runs[1].err, HasSubstr(m_dir / "missing.txt: the replacement rules file"));
    EXPECT_THAT(runs[2].err, HasSubstr(m_dir / "nowhere: "));
    EXPECT_THAT(Run(WithRules({"-n"}), "LANGUAGE=en").err, HasSubstr("已选文件"));
}

// Rules on the command line (the default rules file, which does not exist,
// is then not read), globs beside the suffixes, an excluded folder left
// alone, and a binary file that holds the find text left alone with exit 0.
// Then exactly the files of a NUL-separated list, one outside the folder
// skipped with its path and exit status 1.
TEST_F(CCliTest, RulesGlobsExcludesAndAListOfFilesFromTheCommandLine) {
    MakeTree(Root(), {{"a.txt", "foo"},
                      {"jquery.min.js", "foo"},
                      {"b.js", "foo"},
                      {"bin.txt", std::string("foo\0", 4)},
                      {"node_modules/n.txt", "foo"}});
    MakeTree(m_dir / "out", {{"o.txt", "foo"}});
    const CCliRun run = Run({"-y", "-s", "-l", "-e", "foo`bar", "-e", "bar`baz", "--glob",
                             "*.min.js", "--exclude", "node_modules", Root(), "*.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Root() + "/a.txt\n二进制文件：" + Root() + "/bin.txt\n" + Root() +
                           "/jquery.min.js\n");
    for (const auto& [name, bytes] : {std::pair<std::string, std::string>{"a.txt", "baz"},
                                      {"jquery.min.js", "baz"},
                                      {"b.js", "foo"},
                                      {"bin.txt", std::string("foo\0", 4)},
                                      {"node_modules/n.txt", "foo"}})
        EXPECT_EQ(ReadFileBytes(Root() + "/" + name), bytes) << name;
    const std::string nul(1, '\0');
    WriteFileBytes(m_dir / ".stdin", Root() + "/b.js" + nul + m_dir / "out/o.txt" + nul);
    const CCliRun listed = Run({"-y", "--files-from", "-", "-0", "-e", "foo`x", Root()});
    EXPECT_EQ(listed.status, 1) << listed.err;
    EXPECT_THAT(listed.err, HasSubstr(Root() + "/../out/o.txt（不在所选文件夹内"));
    EXPECT_EQ(ReadFileBytes(Root() + "/b.js"), "x");
    EXPECT_EQ(ReadFileBytes(m_dir / "out/o.txt"), "foo");
    EXPECT_EQ(ReadFileBytes(Root() + "/node_modules/n.txt"), "foo");
}

// --json: one object per event in walk order, a name that is no UTF-8 as its
// bytes in base64, and a summary whose counts match the objects.
TEST_F(CCliTest, JsonLinesListEveryEventAndASummaryThatAddsUp) {
    MakeTree(Root(), {{"a/f.txt", "foo foo"},
                      {"b.txt", std::string("foo\0", 4)},
                      {"ro.txt", "foo"},
                      {"\xFF.txt", "foo"}});
    ASSERT_EQ(::chmod((Root() + "/ro.txt").c_str(), 0444), 0);
    ASSERT_EQ(::symlink("b.txt", (Root() + "/l.txt").c_str()), 0);
    const CCliRun run =
        Run({"--json", "-y", "-s", "-R", "-e", "foo`bar", "--rename-rule", "a`x", Root(), "*.txt"});
    const std::string r = "{\"text\":\"" + Root();
    std::string out = run.out;
    const size_t elapsed = out.find("\"elapsed_ms\":");
    ASSERT_NE(elapsed, std::string::npos) << run.err;
    out.replace(elapsed, out.find('}', elapsed) - elapsed, "\"elapsed_ms\":0");
    EXPECT_EQ(
        out, "{\"type\":\"rewritten\",\"path\":" + r + "/a/f.txt\"},\"replacements\":2}\n" +
                 "{\"type\":\"renamed\",\"path\":" + r + "/a\"},\"to\":" + r + "/x\"}}\n" +
                 "{\"type\":\"binary\",\"path\":" + r +
                 "/b.txt\"},\"reason\":\"\\u542b\\u6709\\u96f6\\u5b57\\u8282\\uff0c\\u662f\\u4e8c"
                 "\\u8fdb\\u5236\\u6587\\u4ef6\\uff0c\\u672a\\u6539\\u52a8\"}\n" +
                 "{\"type\":\"link\",\"path\":" + r + "/l.txt\"}}\n" +
                 "{\"type\":\"skipped\",\"path\":" + r +
                 "/ro.txt\"},\"reason\":\"\\u6587\\u4ef6\\u4e3a\\u53ea\\u8bfb\\uff08\\u6ca1\\u6709"
                 "\\u5199\\u6743\\u9650\\u4f4d\\uff09\"}\n" +
                 "{\"type\":\"rewritten\",\"path\":{\"bytes\":\"" + Base64Of(Root() + "/\xFF.txt") +
                 "\"},\"replacements\":1}\n" +
                 "{\"type\":\"summary\",\"selected\":4,\"rewritten\":2,\"unchanged\":0,"
                 "\"skipped\":1,\"write_failed\":0,\"renamed\":1,\"rename_failed\":0,\"binary\":1,"
                 "\"links\":1,\"stopped\":false,\"elapsed_ms\":0}\n");
    EXPECT_EQ(run.status, 1);
}

TEST_F(CCliTest, HelpAndVersionGoToStdout) {
    const CCliRun version = Run({"-V"}), help = Run({"--help"});
    EXPECT_EQ(std::tuple(version.status, version.out, help.status),
              std::tuple(0, "vexa-cli 1.0.4.27\n", 0));
    for (const char* topic :
         {"--dry-run", "--yes", "_文本替换规则.txt", "Ctrl-C", "130", "--undo", "--no-undo"})
        EXPECT_THAT(help.out, HasSubstr(topic));
}

}  // namespace
