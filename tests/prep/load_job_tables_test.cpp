#include "prep/load_job_tables.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/code_page.h"
#include "platform/sys_calls.h"
#include "prep_fixture.h"

namespace {

using LoadJobTablesTest = CPrepTest;

// n replacement (or rename) lines "f<i>`r<i>".
std::string ManyRules(int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "f" + std::to_string(i) + "`r" + std::to_string(i) + "\n";
    return text;
}

TEST_F(LoadJobTablesTest, ChecksRunInOrderAndEachRefusalShowsOneMessage) {
    struct Case {
        std::string suffix;
        std::optional<std::string> replace;
        int renameFolders;
        std::optional<std::string> rename;
        std::string message;
        // Entries left afterwards in the three tables: the load cleared the
        // tables it reached, and earlier content stays in the others.
        int extensions, replaceRules, renameRules;
    };
    const Case cases[] = {
        {";*.txt", std::nullopt, 1, std::nullopt, "请指定文件扩展名。所有文件用 *.* 表示。", 0, 1,
         1},
        {"*.txt", std::nullopt, 1, std::nullopt, "文本内容替换规则配置文件不存在。", 1, 0, 1},
        {"*.txt", "\n\n`x\n``\n\r\n", 1, std::nullopt, "文本内容替换有效规则不能为空。", 1, 0, 1},
        {"*.txt", "", 0, std::nullopt, "文本内容替换有效规则不能为空。", 1, 0, 1},
        {"*.txt", "a`b\n", 1, std::nullopt, "文件夹重命名规则配置文件不存在。", 1, 1, 0},
        {"*.txt", "a`b\n", 1, "old`\n`new\n\n", "文件夹重命名有效规则不能为空。", 1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        std::remove(g_jobTables.replaceRulesPath.c_str());
        std::remove(g_jobTables.renameRulesPath.c_str());
        WriteRules(c.replace, c.rename);
        g_jobTables.suffixText = c.suffix;
        g_jobTables.renameFolders = c.renameFolders;
        g_jobTables.ClearExtensions();
        g_jobTables.ClearReplaceRules();
        g_jobTables.ClearRenameRules();
        ASSERT_TRUE(g_jobTables.AppendExtension("txt"));
        ASSERT_TRUE(g_jobTables.AppendReplaceRule("a", "b"));
        ASSERT_TRUE(g_jobTables.AppendRenameRule("old", "new"));
        ExpectRefused(c.message);
        EXPECT_EQ(g_jobTables.extensionCount, c.extensions);
        EXPECT_EQ(g_jobTables.replaceRuleCount, c.replaceRules);
        EXPECT_EQ(g_jobTables.renameRuleCount, c.renameRules);
    }
}

TEST_F(LoadJobTablesTest, ReplacementRulesKeepOrderAndTurnCaretsIntoLineBreaks) {
    WriteRules(
        "colour`color\r\n"
        "a^b`x^y\n"
        "obsolete`\n"
        "`ignored\n"
        "\n"
        "end^start`end start`after the second accent\n"
        "^`^^");
    ASSERT_EQ(Load(), 1);
    EXPECT_TRUE(m_host.warnings.empty());
    using Rule = std::pair<std::string, std::string>;
    std::vector<Rule> rules;
    for (int i = 0; i < g_jobTables.replaceRuleCount; ++i)
        rules.emplace_back(g_jobTables.Find(i), g_jobTables.Replacement(i));
    EXPECT_EQ(rules, (std::vector<Rule>{{"colour", "color"},
                                        {"a\r\nb", "x\r\ny"},
                                        {"obsolete", ""},
                                        {"end\r\nstart", "end start"},
                                        {"\r\n", "\r\n\r\n"}}));
}

TEST_F(LoadJobTablesTest, RenameRulesAreReadOnlyWhenRenamingIsOn) {
    WriteRules("a`b\n", "docs`文档\nlone`\n^`x^y\n");
    ASSERT_TRUE(g_jobTables.AppendRenameRule("kept", "from before"));
    g_jobTables.renameFolders = 0;
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(g_jobTables.renameRuleCount, 1);
    EXPECT_EQ(g_jobTables.OldName(0), "kept");

    // With the switch off the rename rules file may even be missing.
    ASSERT_EQ(std::remove(g_jobTables.renameRulesPath.c_str()), 0);
    EXPECT_EQ(Load(), 1);
    EXPECT_TRUE(m_host.warnings.empty());

    WriteRules(std::nullopt, "docs`文档\nlone`\n^`x^y\n");
    g_jobTables.renameFolders = 1;
    ASSERT_EQ(Load(), 1);
    ASSERT_EQ(g_jobTables.renameRuleCount, 2);
    EXPECT_EQ(g_jobTables.OldName(0), "docs");
    EXPECT_EQ(g_jobTables.NewName(0), "文档");
    EXPECT_EQ(g_jobTables.OldName(1), "^");
    EXPECT_EQ(g_jobTables.NewName(1), "x^y");
}

TEST_F(LoadJobTablesTest, MarkedRulesFilesLoadInEveryEncoding) {
    const std::string text = "colour`color\r\n业务^`事务\r\n";
    std::string le, be;
    ASSERT_TRUE(ConvertCharset("UTF-8", "UTF-16LE", text, le));
    ASSERT_TRUE(ConvertCharset("UTF-8", "UTF-16BE", text, be));
    for (const std::string& file : {"\xEF\xBB\xBF" + text, "\xFF\xFE" + le, "\xFE\xFF" + be}) {
        WriteRules(file);
        ASSERT_EQ(Load(), 1) << testing::PrintToString(m_host.warnings);
        ASSERT_EQ(g_jobTables.replaceRuleCount, 2);
        EXPECT_EQ(g_jobTables.Find(0), "colour");
        EXPECT_EQ(g_jobTables.Find(1), "业务\r\n");
        EXPECT_EQ(g_jobTables.Replacement(1), "事务");
    }
}

TEST_F(LoadJobTablesTest, GbkRulesLoadInAGbkCodePageAndOtherTextIsRefused) {
    CCodePage::SetWorking("GBK");
    // "乛" is 81 5E and "乣" 81 60: neither trail byte is a caret or a separator.
    WriteRules("\x81\x5E^x`y\x81\x60z\n\xD6\xD0\xCE\xC4`\xBA\xBA\xD7\xD6\n");
    ASSERT_EQ(Load(), 1);
    ASSERT_EQ(g_jobTables.replaceRuleCount, 2);
    EXPECT_EQ(g_jobTables.Find(0), "\x81\x5E\r\nx");
    EXPECT_EQ(g_jobTables.Replacement(0), "y\x81\x60z");
    EXPECT_EQ(g_jobTables.Find(1), "\xD6\xD0\xCE\xC4");

    WriteRules("a`b\n中文`汉字\n");
    ExpectRefused("文本内容替换规则第2行不是有效的GBK文本，配置文件的编码不符。");
    EXPECT_EQ(g_jobTables.replaceRuleCount, 0);

    CCodePage::SetWorking("UTF-8");
    WriteRules("a`b\n", "\n\xD6\xD0\xCE\xC4`x\n");
    g_jobTables.renameFolders = 1;
    ExpectRefused("文件夹重命名规则第2行不是有效的UTF-8文本，配置文件的编码不符。");
    EXPECT_EQ(g_jobTables.renameRuleCount, 0);

    // A UTF-16 file without its mark is full of zero bytes.
    WriteRules(std::string("a\0`\0b\0\n\0", 8));
    ExpectRefused("文本内容替换规则第1行不是有效的UTF-8文本，配置文件的编码不符。");
}

TEST_F(LoadJobTablesTest, RulesBeyondTheCapacitiesAreRefusedByLine) {
    const std::string longest(200, 'x');
    struct Case {
        std::string replace;
        std::string rename;  // empty: renaming off
        std::string message;
    };
    const Case cases[] = {
        {ManyRules(99) + longest + "`" + longest + "\n", "", ""},
        {"\n" + ManyRules(101), "", "文本内容替换规则不能超过100条：第102行。"},
        {"a`b\n" + std::string(199, 'x') + "^`y\n", "",
         "文本内容替换规则第2行过长：查找和替换内容各不能超过200个字节。"},
        {"a`" + longest + "y\n", "",
         "文本内容替换规则第1行过长：查找和替换内容各不能超过200个字节。"},
        {"a`b\n", ManyRules(99) + "`\n" + longest + "`" + longest + "\n", ""},
        {"a`b\n", ManyRules(101), "文件夹重命名规则不能超过100条：第101行。"},
        {"a`b\n", "a`" + longest + "y\n", "文件夹重命名规则第1行过长：文件夹名不能超过200个字节。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        WriteRules(c.replace, c.rename);
        g_jobTables.renameFolders = c.rename.empty() ? 0 : 1;
        if (c.message.empty()) {
            EXPECT_EQ(Load(), 1);
            EXPECT_TRUE(m_host.warnings.empty());
            continue;
        }
        ExpectRefused(c.message);
        EXPECT_EQ(c.rename.empty() ? g_jobTables.replaceRuleCount : g_jobTables.renameRuleCount, 0);
    }
}

TEST_F(LoadJobTablesTest, RenameRulesThatCouldLeaveTheFolderAreRefused) {
    g_jobTables.renameFolders = 1;
    const std::string unsafe[] = {
        "docs`../../etc",         "a/b`c", "a`b/c", "..`x", "x`.", "x`..", ".`x",
        std::string("a\0b`c", 5), "/`x"};
    for (const std::string& line : unsafe) {
        WriteRules("a`b\n", "ok`fine\n\n" + line + "\n");
        ExpectRefused(
            "文件夹重命名规则第3行无效：文件夹名不能含有“/”或零字节，也不能是“.”或“..”。");
        EXPECT_EQ(g_jobTables.renameRuleCount, 0);
    }
    // Names that merely hold dots are fine, and an ignored line is never checked.
    WriteRules("a`b\n", "...`.x\nv1.0`v2.0\n../x`\n");
    EXPECT_EQ(Load(), 1);
    EXPECT_EQ(g_jobTables.renameRuleCount, 2);
}

TEST_F(LoadJobTablesTest, ARulesFileThatCannotBeReadIsRefused) {
    WriteRules("a`b\n", "c`d\n");
    g_jobTables.renameFolders = 1;
    CSysCallsOverride restore;
    static std::string s_failPath;
    Sys().open = [](const char* path, int flags, mode_t mode) {
        if (path == s_failPath) {
            errno = EIO;
            return -1;
        }
        return RealSysCalls().open(path, flags, mode);
    };
    const std::string reason = std::string("无法打开: ") + std::strerror(EIO);

    s_failPath = g_jobTables.replaceRulesPath;
    ExpectRefused("文本内容替换规则配置文件无法读取（" + reason + "）。");
    s_failPath = g_jobTables.renameRulesPath;
    ExpectRefused("文件夹重命名规则配置文件无法读取（" + reason + "）。");
    EXPECT_EQ(g_jobTables.replaceRuleCount, 1);
    EXPECT_EQ(g_jobTables.renameRuleCount, 0);
}

}  // namespace
