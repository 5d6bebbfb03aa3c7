#include "engine/large_file_scan.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

// Matches are found across piece boundaries, only at unit starts once the
// scan is aligned, and never before the text begins.
TEST(LargeFileScanTest, FindsMatchesAcrossPiecesAndKeepsUnitAlignment) {
    using enum ScanOutcome;
    const std::string le(
        "\xFF\xFE"
        "a\0b\0c\0",
        8),
        odd = le + "d", d0("d\0", 2);
    const std::tuple<std::string, std::vector<std::string>, size_t, bool, bool, ScanOutcome>
        cases[] = {
            {"xxxxxneedlexx", {"q1", "zz", "needle"}, 0, false, false, Found},
            {"xxxxxneedlexx", {"needles", "q", ""}, 0, false, false, NotFound},
            {"abcdef", {"abc"}, 3, false, false, NotFound},
            {le, {std::string("b\0c", 3)}, 2, true, false, Found},
            {le, {std::string("\0b", 2)}, 2, true, false, NotFound},
            {odd, {d0}, 2, true, true, Found},  // the odd last byte, padded
            {odd, {d0}, 2, true, false, NotFound},
        };
    CTempDir dir;
    for (const auto& [file, needles, begin, aligned, pad, expected] : cases) {
        WriteFileBytes(dir / "f", file);
        for (size_t piece : {1, 2, 3, 5, 64}) {
            int error = -1;
            EXPECT_EQ(ScanFileForAny(dir / "f", {needles, begin, aligned, pad, piece}, error),
                      expected)
                << testing::PrintToString(file) << " " << needles.back() << ", piece " << piece;
            EXPECT_EQ(error, 0);
        }
    }
    int error = 0;
    EXPECT_EQ(ScanFileForAny(dir / "missing", CScanRequest{{"a"}}, error), ReadFailed);
    EXPECT_NE(error, 0);
}

}  // namespace
