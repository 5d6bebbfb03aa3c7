#include "prep/job_tables.h"

#include <gtest/gtest.h>

#include "support/engine_fixture.h"

namespace {

using JobTablesTest = CEngineTest;

TEST_F(JobTablesTest, NothingIsWrittenOutsideASlot) {
    EXPECT_TRUE(g_jobTables.AppendExtension(std::string(10, 'x')));
    EXPECT_FALSE(g_jobTables.AppendExtension(std::string(11, 'x')));
    EXPECT_FALSE(g_jobTables.AppendExtension(std::string("a\0b", 3)));
    EXPECT_EQ(g_jobTables.extensionCount, 1);
    for (int i = 1; i < kMaxExtensions; ++i)
        ASSERT_TRUE(g_jobTables.AppendExtension("e"));
    EXPECT_FALSE(g_jobTables.AppendExtension("e"));

    const std::string longest(kMaxRuleTextBytes, 'r');
    EXPECT_TRUE(g_jobTables.AppendReplaceRule(longest, longest));
    EXPECT_FALSE(g_jobTables.AppendReplaceRule(longest + "r", ""));
    EXPECT_EQ(g_jobTables.Find(0), longest);
    EXPECT_EQ(g_jobTables.Replacement(0), longest);
    for (int i = 1; i < kMaxRules; ++i)
        ASSERT_TRUE(g_jobTables.AppendRenameRule("a", "b"));
    EXPECT_TRUE(g_jobTables.AppendRenameRule("a", "b"));
    EXPECT_FALSE(g_jobTables.AppendRenameRule("a", "b"));
}

}  // namespace
