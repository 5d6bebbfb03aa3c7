#include "service/core.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/engine_fixture.h"

namespace {

using CoreTest = CEngineTest;

TEST_F(CoreTest, GetFgCountsEmptyFieldsAndIsEmptyBeyondTheLast) {
    struct Case {
        std::string text;
        char sep;
        int n;
        std::string expected;
    } cases[] = {
        {"report.txt", '.', 1, "txt"},
        {"a.b.c", '.', 1, "b"},
        {"readme", '.', 1, ""},
        {".config", '.', 1, "config"},
        {"*.txt;;*.htm", ';', 1, ""},
        {"*.txt;;*.htm", ';', 2, "*.htm"},
        {"find`repl`x", '`', 1, "repl"},
        {"`x", '`', 0, ""},
        {"a", '.', 5, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(m_core->getFg(c.text, c.sep, c.n), c.expected) << c.text << " field " << c.n;
    }
}

TEST_F(CoreTest, ParsePathEndsInExactlyOneSlash) {
    EXPECT_EQ(m_core->parsePath("/data/site"), "/data/site/");
    EXPECT_EQ(m_core->parsePath("/data/site///"), "/data/site/");
    EXPECT_EQ(m_core->parsePath("/"), "/");
    EXPECT_EQ(m_core->parsePath(""), "");
}

TEST_F(CoreTest, CreateFileKeepsExistingContent) {
    const std::string path = m_dir / "rules.txt";
    EXPECT_TRUE(m_core->createFile(path, 0));
    EXPECT_EQ(ReadFileBytes(path), "");
    WriteFileBytes(path, "a`b\n");
    EXPECT_TRUE(m_core->createFile(path, 0));
    EXPECT_EQ(ReadFileBytes(path), "a`b\n");
    EXPECT_TRUE(m_core->isFileExist(path));
    EXPECT_FALSE(m_core->isPathExist(path));
    EXPECT_TRUE(m_core->isPathExist(m_dir.Path()));
}

TEST_F(CoreTest, AppPathLivesInTheConfigFolder) {
    const std::string prefix = m_core->getAppPath();
    EXPECT_EQ(prefix, m_dir / "config/Vexa/vexa");
    EXPECT_TRUE(m_core->isPathExist(m_dir / "config/Vexa"));
}

TEST_F(CoreTest, RenameFolderNeverReplacesAnExistingFolder) {
    MakeTree(m_dir.Path(), {{"old/file", "x"}, {"taken/", ""}});
    int error = 0;
    EXPECT_EQ(m_core->renameFolder((m_dir / "old").c_str(), (m_dir / "taken").c_str(), &error), 0);
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(ReadFileBytes(m_dir / "old/file"), "x");
    EXPECT_EQ(m_core->renameFolder((m_dir / "old").c_str(), (m_dir / "new").c_str(), &error), 1);
    EXPECT_EQ(ReadFileBytes(m_dir / "new/file"), "x");
}

TEST_F(CoreTest, SettingsAndDialogsGoThroughTheInstalledBackEnds) {
    EXPECT_EQ(m_core->getConfigStr("pathuser"), "");
    EXPECT_EQ(m_core->getConfigB("sub"), 0);
    m_core->saveConfigStr("pathuser", "/data");
    m_core->saveConfigB("sub", 1);
    EXPECT_EQ(m_core->getConfigStr("pathuser"), "/data");
    EXPECT_EQ(m_core->getConfigB("sub"), 1);
    m_host.answer = CDialogHost::kNo;
    EXPECT_EQ(m_core->msgboxConfirm(nullptr, "q"), CDialogHost::kNo);
    m_core->msgboxWarning(nullptr, "w");
    EXPECT_EQ(m_host.warnings, std::vector<std::string>{"w"});
    EXPECT_EQ(m_core->getStrInt(12), "12");
}

}  // namespace
