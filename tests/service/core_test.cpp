#include "service/core.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "support/engine_fixture.h"

namespace {

using CoreTest = CEngineTest;

TEST_F(CoreTest, ParsePathEndsInExactlyOneSlash) {
    const std::string site = std::string("/data/site") + kPathSeparator;
    EXPECT_EQ(m_core->parsePath("/data/site"), site);
    EXPECT_EQ(m_core->parsePath("/data/site///"), site);
    EXPECT_EQ(m_core->parsePath("/"), "/");
    EXPECT_EQ(m_core->parsePath(""), "");
}

TEST_F(CoreTest, RenameFolderNeverReplacesAnExistingFolder) {
    MakeTree(m_dir.Path(), {{"old/file", "x"}, {"taken/", ""}});
    int error = 0;
    EXPECT_EQ(m_core->renameFolder((m_dir / "old").c_str(), (m_dir / "taken").c_str(), &error), 0);
#ifdef _WIN32
    EXPECT_EQ(error, 183);  // ERROR_ALREADY_EXISTS
#else
    EXPECT_EQ(error, EEXIST);
#endif
    EXPECT_EQ(ReadFileBytes(m_dir / "old/file"), "x");
    EXPECT_EQ(m_core->renameFolder((m_dir / "old").c_str(), (m_dir / "new").c_str(), &error), 1);
    EXPECT_EQ(ReadFileBytes(m_dir / "new/file"), "x");
}

}  // namespace
