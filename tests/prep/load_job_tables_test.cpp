#include "prep/load_job_tables.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "platform/code_page.h"
#include "prep/prep_messages.h"
#ifndef _WIN32
#include "platform/posix/sys_calls.h"
#endif
#include "support/engine_fixture.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;
const std::string kLoads;  // the expected message of a load that succeeds silently

// n rules "f<i>`r<i>", one per line.
std::string ManyRules(int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "f" + std::to_string(i) + "`r" + std::to_string(i) + "\n";
    return text;
}

class LoadJobTablesTest : public CEngineTest {
  protected:
    void SetUp() override {
        CEngineTest::SetUp();
        g_jobTables.suffixText = "*.txt";
        g_jobTables.replaceRulesPath = m_dir / "vexa_文本替换规则.txt";
        g_jobTables.renameRulesPath = m_dir / "vexa_文件夹重命名规则.txt";
    }
    // Writes the rules files, std::nullopt leaving one missing; renaming is on with a rename file.
    void WriteRules(const std::optional<std::string>& replace,
                    const std::optional<std::string>& rename = std::nullopt) {
        for (const auto& [path, bytes] : {std::pair{g_jobTables.replaceRulesPath, replace},
                                          std::pair{g_jobTables.renameRulesPath, rename}}) {
            std::remove(path.c_str());
            if (bytes)
                WriteFileBytes(path, *bytes);
        }
        g_jobTables.renameFolders = rename ? 1 : 0;
    }
    // Loads and expects kLoads (1, no warning) or a refusal with exactly this one message.
    void ExpectLoad(const std::string& message) {
        m_host.warnings.clear();
        EXPECT_EQ(LoadJobTables(&m_owner), message == kLoads ? 1 : 0);
        EXPECT_EQ(m_host.warnings, std::vector<std::string>(message != kLoads, message));
    }
    static Pairs Rules(bool rename) {
        Pairs rules;
        const int count = rename ? g_jobTables.renameRuleCount : g_jobTables.replaceRuleCount;
        for (int i = 0; i < count; ++i) {
            rules.emplace_back(rename ? g_jobTables.OldName(i) : g_jobTables.Find(i),
                               rename ? g_jobTables.NewName(i) : g_jobTables.Replacement(i));
        }
        return rules;
    }
    int m_owner = 0;  // stands for the dialog window
};

// Extensions come from the fields that hold a dot, up to the first empty one.
TEST_F(LoadJobTablesTest, ExtensionsAndRulesKeepTheirOrderAndOnlyReplacementCaretsBreakLines) {
    g_jobTables.suffixText = "*.tar.gz;htm;*.*;*.;;*.htm";
    WriteRules("colour`color\r\na^b`x^y\nobsolete`\n`ignored\n\nend^start`end start`after\n^`^^",
               "docs`文档\nlone`\n`lone\n^`x^y\n");
    ExpectLoad(kLoads);
    EXPECT_EQ(Rules(false), (Pairs{{"colour", "color"},
                                   {"a\r\nb", "x\r\ny"},
                                   {"obsolete", ""},
                                   {"end\r\nstart", "end start"},
                                   {"\r\n", "\r\n\r\n"}}));
    EXPECT_EQ(Rules(true), (Pairs{{"docs", "文档"}, {"^", "x^y"}}));
    std::vector<std::string_view> extensions;
    for (int i = 0; i < g_jobTables.extensionCount; ++i)
        extensions.push_back(g_jobTables.Extension(i));
    EXPECT_EQ(extensions, (std::vector<std::string_view>{"tar", "*", ""}));

    // With renaming off the rename rules are neither read nor cleared, and may be missing.
    WriteRules("a`b");
    ExpectLoad(kLoads);
    EXPECT_EQ(Rules(true), (Pairs{{"docs", "文档"}, {"^", "x^y"}}));
}

// With a regex the find text's "^" is the regex's own; the replacement's is
// still CR LF. A rule that does not compile refuses the load with its line.
TEST_F(LoadJobTablesTest, RegexRulesKeepTheirCaretsAndAreRefusedByLineWhenTheyDoNotCompile) {
    g_jobTables.modes = {false, false, true};
    WriteRules("^a`x^y\n");
    ExpectLoad(kLoads);
    EXPECT_EQ(Rules(false), (Pairs{{"^a", "x\r\ny"}}));
    WriteRules("ok`fine\n(a`b\n(c)`$2\n");
    m_host.warnings.clear();
    EXPECT_EQ(LoadJobTables(&m_owner), 0);
    ASSERT_EQ(m_host.warnings.size(), 1u);
    EXPECT_NE(m_host.warnings[0].find("文本内容替换规则第2行的正则表达式无效：Unmatched marking "
                                      "parenthesis"),
              std::string::npos);
    EXPECT_NE(m_host.warnings[0].find("\n文本内容替换规则第3行的正则表达式无效：替换内容引用了"
                                      "不存在的分组 $2"),
              std::string::npos);
    g_jobTables.modes = {};
    ExpectLoad(kLoads);  // literal again: the same lines load
}

// Every file, marked or (in the working code page) not, ends up as GBK text
// in which a trail byte that looks like "^" or "`" is neither: "乛" is 81 5E
// and "乣" 81 60.
TEST_F(LoadJobTablesTest, FilesAreDecodedByTheirMarkIntoTheWorkingCodePage) {
    CCodePage::SetWorking("GBK");
    const std::string text = "乛^x`y乣z\r\n业务^`事务\r\n";
    std::string le, be, gbk;
    ASSERT_TRUE(ConvertCharset("UTF-8", "UTF-16LE", text, le));
    ASSERT_TRUE(ConvertCharset("UTF-8", "UTF-16BE", text, be));
    ASSERT_TRUE(ConvertCharset("UTF-8", "GBK", text, gbk));
    for (const std::string& file : {"\xEF\xBB\xBF" + text, "\xFF\xFE" + le, "\xFE\xFF" + be, gbk}) {
        WriteRules(file);
        ExpectLoad(kLoads);
        EXPECT_EQ(Rules(false), (Pairs{{"\x81\x5E\r\nx", "y\x81\x60z"},
                                       {"\xD2\xB5\xCE\xF1\r\n", "\xCA\xC2\xCE\xF1"}}))
            << testing::PrintToString(file);
    }
}

// A refusal names the extension, or the file and the line. The job tables'
// own tests cover the capacities' bounds, and the command-line tests the
// missing files and the order of the checks; each case here also carries
// every later fault.
TEST_F(LoadJobTablesTest, CapacitiesUnsafeNamesAndForeignTextAreRefusedByLine) {
    std::string fifty;
    for (int i = 0; i < 50; ++i)
        fifty += "*.e" + std::to_string(i) + ";";
    for (const auto& [suffix, message] :
         {std::pair<std::string, std::string>{"*.txt;*.扩展名称",
                                              "文件扩展名不能超过10个字节：*.扩展名称。"},
          {fifty + "*.e50", "文件扩展名不能超过50个：*.e50。"}}) {
        g_jobTables.suffixText = suffix;
        WriteRules("a`b\n");
        ExpectLoad(message);
    }
    g_jobTables.suffixText = "*.txt";
    const std::string longest(200, 'x');
    const std::string unsafe = FillMessage(kMsgRenameRuleUnsafe, {"3"});
    const std::string unsafe1 = FillMessage(kMsgRenameRuleUnsafe, {"1"});
    const std::string notGbk = "不是有效的GBK文本，配置文件的编码不符。";
    const std::string notUtf8 = "不是有效的UTF-8文本，配置文件的编码不符。";
    const std::tuple<const char*, std::string, std::optional<std::string>, std::string> cases[] = {
        {"UTF-8", "`x\n``\n\n", "", "文本内容替换有效规则不能为空。"},
        {"UTF-8", "a`b\n", "old`\n`new\n\n", "文件夹重命名有效规则不能为空。"},
        {"UTF-8", "\n" + ManyRules(101), std::nullopt, "文本内容替换规则不能超过100条：第102行。"},
        {"UTF-8", "a`b\n" + std::string(199, 'x') + "^`y\n", std::nullopt,
         "文本内容替换规则第2行过长：查找和替换内容各不能超过200个字节。"},
        {"UTF-8", "a`" + longest + "y", std::nullopt,
         "文本内容替换规则第1行过长：查找和替换内容各不能超过200个字节。"},
        {"UTF-8", "a`b", ManyRules(101), "文件夹重命名规则不能超过100条：第101行。"},
        {"UTF-8", "a`b", "a`" + longest + "y",
         "文件夹重命名规则第1行过长：文件夹名不能超过200个字节。"},
#ifdef _WIN32  // a name may not end in a dot there
        {"UTF-8", "a`b", "...`.x\nv1.0`v2.0\n../x`\n", unsafe1},
#else
        {"UTF-8", "a`b", "...`.x\nv1.0`v2.0\n../x`\n", kLoads},
#endif
        {"UTF-8", "a`b", "ok`fine\n\ndocs`../../etc", unsafe},
        {"UTF-8", "a`b", "ok`fine\n\n..`x", unsafe},
        {"UTF-8", "a`b", "ok`fine\n\nx`.", unsafe},
        {"UTF-8", "a`b", std::string("ok`fine\n\na\0b`c", 14), unsafe},
        {"GBK", "a`b\n\xD6\xD0`\xCE\n", std::nullopt, "文本内容替换规则第2行" + notGbk},
        {"UTF-8", "a`b\n", "\n\xD6\xD0\xCE\xC4`x\n", "文件夹重命名规则第2行" + notUtf8},
        // UTF-16 without its mark is full of zero bytes; so is a lone surrogate with it.
        {"UTF-8", std::string("x`y\na\0`\0b\0\n\0", 12), std::nullopt,
         FillMessage(kMsgReplaceLineHoldsZero, {"2"}) + "\n" +
             FillMessage(kMsgReplaceLineHoldsZero, {"3"})},
        {"UTF-8", std::string("\xFF\xFE") + std::string("a\0`\0b\0\n\0\0\xD8", 10), std::nullopt,
         "文本内容替换规则第2行" + notUtf8},
    };
    for (const auto& [working, replace, rename, message] : cases) {
        SCOPED_TRACE(message);
        CCodePage::SetWorking(working);
        WriteRules(replace, rename);
        ExpectLoad(message);
    }
}

TEST_F(LoadJobTablesTest, AFolderOrAnOversizedFileInPlaceOfRulesIsRefusedByPath) {
    WriteRules("a`b\n", "c`d\n");
    const std::string path = g_jobTables.renameRulesPath;
    std::filesystem::remove(NativePath(path));
    std::filesystem::create_directory(NativePath(path));
    ExpectLoad(FillMessage(kMsgRulesFileNotRegular, {path}));
    WriteRules("a`b\n" + std::string(kMaxRulesFileBytes, '\n'));
    ExpectLoad(FillMessage(kMsgRulesFileTooLarge, {g_jobTables.replaceRulesPath}));
}

TEST_F(LoadJobTablesTest, AFileThatExistsButCannotBeReadIsRefused) {
#ifdef _WIN32
    GTEST_SKIP() << "the fault seam wraps the POSIX system calls";
#else
    WriteRules("a`b\n", "c`d\n");
    CSysCallsOverride restore;
    static std::string s_failPath;
    Sys().open = [](const char* path, int flags, mode_t mode) {
        errno = EIO;
        return path == s_failPath ? -1 : RealSysCalls().open(path, flags, mode);
    };
    const std::string reason = std::string("（无法打开: ") + std::strerror(EIO) + "）。";
    s_failPath = g_jobTables.replaceRulesPath;
    ExpectLoad("文本内容替换规则配置文件无法读取" + reason);
    s_failPath = g_jobTables.renameRulesPath;
    ExpectLoad("文件夹重命名规则配置文件无法读取" + reason);
#endif
}

// A refusal lists every faulty line in order, each once, however they are
// faulty; the lines that load but probably not as meant are warnings only.
TEST_F(LoadJobTablesTest, EveryFaultyLineIsListedAndDoubtfulLinesAreOnlyWarnedOf) {
    const std::string tooLong(201, 'x');
    WriteRules("ok`fine\n" + tooLong + "`y\n\xFF`bad\nTODO\n" + ManyRules(99) + "f`g\nh`i\n",
               "a`b`c\n../x`y\n");
    ExpectLoad(
        "文本内容替换规则第2行过长：查找和替换内容各不能超过200个字节。\n"
        "文本内容替换规则第3行不是有效的UTF-8文本，配置文件的编码不符。\n"
        "文本内容替换规则不能超过100条：第103行。");

    WriteRules("colour`col`our\n\nTODO\n`x\na`b\n", "a`b`c\nnote\n");
    std::vector<CRefusal> warnings;
    EXPECT_FALSE(LoadTables(&warnings));
    std::vector<std::string> texts;
    for (const CRefusal& warning : warnings)
        texts.push_back(warning.text);
    EXPECT_EQ(texts,
              (std::vector<std::string>{
                  "第 1 行有不止一个反引号：第二个反引号及其后的文字被忽略",
                  "第 3 行没有反引号：整行作为查找文本，替换为空（删除）",
                  "文件夹重命名规则第 1 行有不止一个反引号：第二个反引号及其后的文字被忽略"}));
    EXPECT_EQ(Rules(false), (Pairs{{"colour", "col"}, {"TODO", ""}, {"a", "b"}}));
}

}  // namespace
