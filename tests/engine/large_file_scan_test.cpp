#include "engine/rewrite/large_file_scan.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/temp_dir.h"

namespace {

// Matches are found across piece boundaries, only at unit starts once the
// scan is aligned, and never before the text begins.
TEST(LargeFileScanTest, FindsMatchesAcrossPiecesAndKeepsUnitAlignment) {
    using enum ScanOutcome;
    const std::string le("a\0b\0c\0", 6);
    const std::tuple<std::string, std::string, std::vector<std::string>, bool, ScanOutcome>
        cases[] = {
            {"xxx", "xxneedlexx", {"q1", "zz", "needle"}, false, Found},
            {"xxn", "eedlexx", {"needle"}, false, Found},  // across the prefix
            {"xxx", "xxneedlexx", {"needles", "q", ""}, false, NotFound},
            {"", le, {std::string("b\0c", 3)}, true, Found},
            {"", le, {std::string("\0b", 2)}, true, NotFound},
            {"a", le.substr(1), {std::string("\0b", 2)}, true, NotFound},
        };
    CTempDir dir;
    for (const auto& [prefix, rest, needles, aligned, expected] : cases) {
        WriteFileBytes(dir / "f", rest);
        CDir folder;
        ASSERT_TRUE(CDir::OpenPath(dir.Path(), folder).Ok());
        for (size_t piece : {1, 2, 3, 5, 64}) {
            CFileReader reader;
            ASSERT_TRUE(reader.Open(folder, PlatformName("f")).Ok());
            CIoResult error;
            EXPECT_EQ(ScanForAny(reader, prefix, {needles, aligned, piece}, error), expected)
                << testing::PrintToString(rest) << " " << needles.back() << ", piece " << piece;
            EXPECT_TRUE(error.Ok());
        }
    }
}

}  // namespace
