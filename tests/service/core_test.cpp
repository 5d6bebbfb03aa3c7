#include "service/core.h"

#include <gtest/gtest.h>

#include "support/engine_fixture.h"

namespace {

using CoreTest = CEngineTest;

TEST_F(CoreTest, ParsePathEndsInExactlyOneSlash) {
    EXPECT_EQ(m_core->parsePath("/data/site"), "/data/site/");
    EXPECT_EQ(m_core->parsePath("/data/site///"), "/data/site/");
    EXPECT_EQ(m_core->parsePath("/"), "/");
    EXPECT_EQ(m_core->parsePath(""), "");
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
