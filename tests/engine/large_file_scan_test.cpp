#include "engine/large_file_scan.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

TEST(LargeFileScanTest, FindsMatchesAcrossPiecesAndKeepsUnitAlignment) {
    const std::string le = std::string(
        "\xFF\xFE"
        "a\0b\0c\0",
        8);
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::string> needles;
        size_t begin;
        bool aligned, pad;
        ScanOutcome expected;
    } cases[] = {
        {"straddles pieces", "xxxxxneedlexx", {"needle"}, 0, false, false, ScanOutcome::Found},
        {"many needles",
         "xxxxxneedlexx",
         {"q1", "q2", "zz", "dle"},
         0,
         false,
         false,
         ScanOutcome::Found},
        {"absent", "xxxxxneedlexx", {"needles", "q"}, 0, false, false, ScanOutcome::NotFound},
        {"before the text", "abcdef", {"abc"}, 3, false, false, ScanOutcome::NotFound},
        {"on a unit", le, {std::string("b\0c", 3)}, 2, true, false, ScanOutcome::Found},
        {"between units", le, {std::string("\0b", 2)}, 2, true, false, ScanOutcome::NotFound},
        {"odd last byte padded",
         le + "d",
         {std::string("d\0", 2)},
         2,
         true,
         true,
         ScanOutcome::Found},
        {"odd last byte alone",
         le + "d",
         {std::string("d\0", 2)},
         2,
         true,
         false,
         ScanOutcome::NotFound},
        {"only empty needles", "abc", {""}, 0, false, false, ScanOutcome::NotFound},
    };
    CTempDir dir;
    for (const auto& c : cases) {
        WriteFileBytes(dir / "f", c.file);
        for (size_t piece : {1, 2, 3, 5, 64}) {
            CScanRequest request{c.needles, c.begin, c.aligned, c.pad, piece};
            int error = -1;
            EXPECT_EQ(ScanFileForAny(dir / "f", request, error), c.expected)
                << c.name << ", pieces of " << piece;
            EXPECT_EQ(error, 0) << c.name;
        }
    }
    int error = 0;
    EXPECT_EQ(ScanFileForAny(dir / "missing", CScanRequest{{"a"}}, error), ScanOutcome::ReadFailed);
    EXPECT_NE(error, 0);
}

}  // namespace
