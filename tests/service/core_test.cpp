#include "service/core.h"

#include <gtest/gtest.h>

#include "support/engine_fixture.h"

namespace {

using CoreTest = CEngineTest;

TEST_F(CoreTest, GetFgCountsEmptyFieldsAndIsEmptyBeyondTheLast) {
    const std::tuple<std::string, char, int, std::string> cases[] = {
        {"a.b.c", '.', 1, "b"},
        {"readme", '.', 1, ""},
        {".config", '.', 1, "config"},
        {"*.txt;;*.htm", ';', 1, ""},
        {"*.txt;;*.htm", ';', 2, "*.htm"},
        {"`x", '`', 0, ""},
        {"a", '.', 5, ""},
    };
    for (const auto& [text, sep, n, expected] : cases)
        EXPECT_EQ(m_core->getFg(text, sep, n), expected) << text << " field " << n;
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
    EXPECT_TRUE(m_core->isFileExist(path));
    WriteFileBytes(path, "a`b\n");
    EXPECT_TRUE(m_core->createFile(path, 0));
    EXPECT_EQ(ReadFileBytes(path), "a`b\n");
    EXPECT_FALSE(m_core->isPathExist(path));
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

}  // namespace
