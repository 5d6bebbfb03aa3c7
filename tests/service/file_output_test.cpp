// outTxtFile puts working-code-page text back in the encoding and byte order
// mark the file has, and writes nothing when that encoding cannot hold it.

#include <gtest/gtest.h>

#include "service/core.h"
#include "support/engine_fixture.h"

namespace {

using namespace std::string_literals;
using FileOutput = CEngineTest;

TEST_F(FileOutput, KeepsTheFilesEncodingOrWritesNothing) {
    const std::string path = m_dir / "out/f.txt";
    const struct {
        std::string before;
        std::string content;
        WriteStatus status;
        std::string after;
    } cases[] = {
        {"\xFF\xFEo\0"s, "新", WriteStatus::Written, "\xFF\xFE\xB0\x65"s},
        {"\xEF\xBB\xBFold", "新", WriteStatus::Written, "\xEF\xBB\xBF新"},
        {"\xFF\xFEo\0"s, "\xC0", WriteStatus::Refused, "\xFF\xFEo\0"s},
    };
    for (const auto& c : cases) {
        WriteFileBytes(path, c.before);
        EXPECT_EQ(m_core->outTxtFile(c.content, path).status, c.status) << c.content;
        EXPECT_EQ(ReadFileBytes(path), c.after);
    }
}

}  // namespace
