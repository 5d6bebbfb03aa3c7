#include "app/rules_document.h"

#include <gtest/gtest.h>

#include "app/rules_tester.h"
#include "platform/code_page.h"
#include "support/temp_dir.h"

namespace {

std::string Encode(const char* charset, const std::string& utf8) {
    std::string out;
    EXPECT_TRUE(ConvertCharset("UTF-8", charset, utf8, out));
    return out;
}

class CRulesDocumentTest : public ::testing::Test {
  protected:
    void TearDown() override { CCodePage::SetWorking("UTF-8"); }
    // Loads bytes from a file, adds colour`color at the end and saves; the file's bytes after.
    std::string AddRuleAndSave(const std::string& bytes) {
        const std::string path = m_dir / "rules.txt";
        WriteFileBytes(path, bytes);
        CRulesDocument doc(RulesFile::Replace);
        EXPECT_EQ(doc.Load(path), "");
        doc.InsertRule(doc.RowCount());
        EXPECT_FALSE(doc.Row(doc.RowCount() - 1).problem.empty());  // an empty find text
        doc.SetCell(doc.RowCount() - 1, 0, "colour");
        doc.SetCell(doc.RowCount() - 1, 1, "color");
        std::string why;
        EXPECT_EQ(doc.Save(why), CRulesDocument::SaveOutcome::Saved) << why;
        EXPECT_FALSE(doc.Modified());
        return ReadFileBytes(path);
    }
    CTempDir m_dir;
};

// The rows nobody touched keep their bytes, each line its own break, the
// mark and a trailing Ctrl-Z stay; the new line takes the file's break and
// encoding, and a last line that had no break gets one.
TEST_F(CRulesDocumentTest, SavingAddsTheNewLineAndKeepsEverythingElseByteForByte) {
    const std::string le = Encode("UTF-16LE", "a`b\r\n# 注释\r\nx^y`z\n");
    EXPECT_EQ(AddRuleAndSave("\xFF\xFE" + le + std::string("\x1A\0", 2)),
              "\xFF\xFE" + le + Encode("UTF-16LE", "colour`color\r\n") + std::string("\x1A\0", 2));
    EXPECT_EQ(AddRuleAndSave("\xEF\xBB\xBFold`new\r\nlast`one"),
              "\xEF\xBB\xBFold`new\r\nlast`one\r\ncolour`color\r\n");
    CCodePage::SetWorking("GBK");
    const std::string gbk =
        Encode("GBK", "旧`新\n乛`x\n");  // 乛 ends in a byte that looks like "^"
    EXPECT_EQ(AddRuleAndSave(gbk), gbk + "colour`color\n");
}

// Rows are what the loader would take; other lines are kept and say what
// they do. A line break in a cell is "^" in the file.
TEST_F(CRulesDocumentTest, RowsShowRulesAndKeptLinesSayWhatTheyDo) {
    CRulesDocument doc(RulesFile::Replace);
    doc.LoadBytes("end^start`end start\n# comment\n\na`b`c\n`x\n");
    ASSERT_EQ(doc.RowCount(), 5u);
    EXPECT_EQ(std::tuple(doc.Row(0).bKept, doc.Row(0).cells[0], doc.Row(0).cells[1]),
              std::tuple(false, "end\nstart", "end start"));
    const char* notes[] = {"删除 # comment", "（空行）", "a → b（第二个反引号及其后的文字被忽略）",
                           "忽略 `x（有一栏为空）"};
    for (size_t i = 1; i < 5; ++i)
        EXPECT_EQ(std::tuple(doc.Row(i).bKept, doc.Row(i).note), std::tuple(true, notes[i - 1]));
    EXPECT_EQ(doc.RuleCount(), 3);
    doc.SetCell(0, 1, "x\r\ny");
    doc.MoveRow(0, false);
    EXPECT_EQ(doc.ToBytes(), "# comment\nend^start`x^y\n\na`b`c\n`x\n");
    EXPECT_EQ(TryRules(doc.Rules(), "end\nstart a # comment"), "x\ny b ");
    // The tester applies the dialog's match modes; with a regex "^" is its own.
    CRulesDocument modes(RulesFile::Replace);
    modes.LoadBytes("^(\\w+)@(\\w+)`$2@$1\nCOLOUR`color\n");
    EXPECT_EQ(TryRules(modes.Rules(true), "me@host\nx@y", {false, false, true}), "host@me\ny@x");
    EXPECT_EQ(TryRules(modes.Rules(), "Colour colours", {true, true, false}), "color colours");
}

// Each invalid row names why, as the loader words it where it has a word
// for it; saving is refused and writes nothing.
TEST_F(CRulesDocumentTest, InvalidRowsNameWhyAndAreNotSaved) {
    CRulesDocument replace(RulesFile::Replace);
    const std::string path = m_dir / "r.txt";
    WriteFileBytes(path, "a`b\n");
    ASSERT_EQ(replace.Load(path), "");
    const std::pair<std::string, std::string> cases[] = {
        {"", "第 1 行：查找内容不能为空。"},
        {"a`b", "第 1 行：不能含有反引号“`”，它在规则文件中分隔两栏。"},
        {"a^b",
         "第 1 行：“^”在规则文件中表示换行，无法查找或替换“^”本身；换行请用 Shift+Enter 输入。"},
        {std::string(199, 'x') + "\n",
         "文本内容替换规则第1行过长：查找和替换内容各不能超过200个字节。"},
    };
    for (const auto& [cell, problem] : cases) {
        replace.SetCell(0, 0, cell);
        EXPECT_EQ(std::tuple(replace.Row(0).problem, replace.InvalidCount()),
                  std::tuple(problem, 1u));
    }
    std::string why;
    EXPECT_EQ(replace.Save(why), CRulesDocument::SaveOutcome::Failed);
    EXPECT_EQ(ReadFileBytes(path), "a`b\n");

    CCodePage::SetWorking("GBK");
    replace.SetCell(0, 0, "😀");
    EXPECT_EQ(replace.FirstProblem(), "第 1 行：含有GBK无法表示的字符。");
    CRulesDocument rename(RulesFile::Rename);
    rename.LoadBytes("docs`文档\n");
    rename.SetCell(0, 1, "..");
    EXPECT_NE(rename.FirstProblem().find("文件夹重命名规则第1行无效"), std::string::npos);
    rename.SetCell(0, 1, "a\nb");
    EXPECT_EQ(rename.FirstProblem(), "第 1 行：文件夹名不能含有换行。");
}

// A file changed by another program after it was read is not overwritten.
TEST_F(CRulesDocumentTest, AFileChangedSinceItWasReadIsNotOverwritten) {
    const std::string path = m_dir / "r.txt";
    WriteFileBytes(path, "a`b\n");
    CRulesDocument doc(RulesFile::Replace);
    ASSERT_EQ(doc.Load(path), "");
    WriteFileBytes(path, "changed`elsewhere\n");
    doc.SetCell(0, 1, "c");
    std::string why;
    EXPECT_EQ(doc.Save(why), CRulesDocument::SaveOutcome::ChangedElsewhere);
    EXPECT_EQ(ReadFileBytes(path), "changed`elsewhere\n");
    // A missing file is created by the first save.
    CRulesDocument fresh(RulesFile::Rename);
    ASSERT_EQ(fresh.Load(m_dir / "new.txt"), "");
    fresh.InsertRule(0);
    fresh.SetCell(0, 0, "a");
    fresh.SetCell(0, 1, "b");
    EXPECT_EQ(fresh.Save(why), CRulesDocument::SaveOutcome::Saved) << why;
#ifdef _WIN32
    EXPECT_EQ(ReadFileBytes(m_dir / "new.txt"), "a`b\r\n");
#else
    EXPECT_EQ(ReadFileBytes(m_dir / "new.txt"), "a`b\n");
#endif
}

}  // namespace
