#include "prep/suffix_scan.h"

#include <gtest/gtest.h>

#include "prep_fixture.h"

namespace {

using SuffixScanTest = CPrepTest;

TEST_F(SuffixScanTest, ExtensionsComeFromPatternsUpToTheFirstEmptyField) {
    struct Case {
        std::string suffix;
        std::vector<std::string> extensions;
    };
    const Case cases[] = {
        {"*.txt;*.htm", {"txt", "htm"}},
        {"*.txt;;*.htm", {"txt"}},
        {"*.txt;*.htm;", {"txt", "htm"}},
        {";*.txt", {}},
        {"*.txt;htm", {"txt"}},
        {"*.tar.gz", {"tar"}},
        {"*.*", {"*"}},
        {"*.;a.b", {"", "b"}},
        {"readme;*.md", {"md"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> got;
        for (const CSuffixEntry& entry : ScanSuffixText(c.suffix))
            got.push_back(entry.extension);
        EXPECT_EQ(got, c.extensions) << c.suffix;
    }
}

TEST_F(SuffixScanTest, LoadFillsTheListInOrderOrRefusesAnEmptyOne) {
    WriteRules("a`b\n");
    g_jobTables.suffixText = "*.txt;*.*;*.";
    ASSERT_EQ(Load(), 1);
    ASSERT_EQ(g_jobTables.extensionCount, 3);
    EXPECT_EQ(g_jobTables.Extension(0), "txt");
    EXPECT_EQ(g_jobTables.Extension(1), "*");
    EXPECT_EQ(g_jobTables.Extension(2), "");

    for (const char* suffix : {";*.txt", "txt;htm", ""}) {
        g_jobTables.suffixText = suffix;
        ExpectRefused("请指定文件扩展名。所有文件用 *.* 表示。");
        EXPECT_EQ(g_jobTables.extensionCount, 0) << suffix;
    }
}

TEST_F(SuffixScanTest, EntriesBeyondTheCapacitiesAreRefusedByPattern) {
    WriteRules("a`b\n");
    std::string fifty;
    for (int i = 0; i < 50; ++i)
        fifty += "*.e" + std::to_string(i) + ";";
    g_jobTables.suffixText = fifty + "*.abcdefghij";
    ExpectRefused("文件扩展名不能超过50个：*.abcdefghij。");
    EXPECT_EQ(g_jobTables.extensionCount, 0);

    g_jobTables.suffixText = fifty;
    EXPECT_EQ(Load(), 1);
    EXPECT_EQ(g_jobTables.extensionCount, 50);

    // An empty entry takes a slot like any other.
    std::string emptyEntries;
    for (int i = 0; i < 50; ++i)
        emptyEntries += "x.;";
    g_jobTables.suffixText = emptyEntries + "*.txt";
    ExpectRefused("文件扩展名不能超过50个：*.txt。");

    g_jobTables.suffixText = "*.txt;*.abcdefghij";
    EXPECT_EQ(Load(), 1);
    g_jobTables.suffixText = "*.txt;*.abcdefghijk;*.htm";
    ExpectRefused("文件扩展名不能超过10个字节：*.abcdefghijk。");
    EXPECT_EQ(g_jobTables.extensionCount, 0);

    // Counted in bytes of the working code page: four Chinese characters are 12.
    g_jobTables.suffixText = "*.扩展名称";
    ExpectRefused("文件扩展名不能超过10个字节：*.扩展名称。");
}

TEST_F(SuffixScanTest, ASuffixRefusalComesBeforeAMissingRulesFile) {
    g_jobTables.suffixText = "*.abcdefghijk";
    ExpectRefused("文件扩展名不能超过10个字节：*.abcdefghijk。");
}

}  // namespace
