// Random rules files and suffix texts, built from the bytes that matter to
// the reader and the loader: the load either succeeds silently or refuses
// with one warning, and nothing lands outside a slot.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/code_page.h"
#include "prep/rules_file_reader.h"
#include "prep_fixture.h"

namespace {

using LoadFuzzTest = CPrepTest;

// Mostly the ASCII bytes the format gives a meaning to; in some rounds also
// bytes that start marks, GBK characters with ASCII trail bytes, or nothing valid.
std::string RandomBytes(std::mt19937& rng, size_t maxLength) {
    static const char kAscii[] = "ab.;`^/\r\n\x1A";
    static const char kNoise[] = "\x81\x5E\x60\xD6\xD0\xEF\xBB\xBF\xFF\xFE\xE4\xB8";  // and a zero
    const bool noisy = rng() % 4 == 0;
    std::uniform_int_distribution<size_t> length(0, maxLength);
    std::uniform_int_distribution<size_t> ascii(0, sizeof kAscii - 2);
    std::uniform_int_distribution<size_t> noise(0, sizeof kNoise - 1);
    std::string bytes(length(rng), '\0');
    for (char& c : bytes)
        c = noisy && rng() % 3 == 0 ? kNoise[noise(rng)] : kAscii[ascii(rng)];
    if (!bytes.empty() && rng() % 4 == 0)  // a byte order mark now and then
        bytes.insert(0, rng() % 2 ? "\xFF\xFE" : "\xEF\xBB\xBF");
    return bytes;
}

// Every slot from count on is still all zero.
template <typename Slot>
void ExpectSlotsSound(const Slot* slots, size_t slotBytes, int count, int capacity) {
    ASSERT_GE(count, 0);
    ASSERT_LE(count, capacity);
    const auto* bytes = reinterpret_cast<const unsigned char*>(slots);
    const auto* end = bytes + capacity * slotBytes;
    const auto* stray = std::find_if(bytes + count * slotBytes, end, [](auto b) { return b != 0; });
    ASSERT_EQ(stray, end) << "byte " << stray - bytes << " written past the last entry";
}

TEST_F(LoadFuzzTest, RandomInputLoadsOrRefusesWithOneWarning) {
    std::mt19937 rng(20261206);
    int loadedRounds = 0;
    for (int round = 0; round < 300; ++round) {
        if (round % 150 == 0)
            CCodePage::SetWorking(round ? "GBK" : "UTF-8");
        g_jobTables.suffixText = "*." + RandomBytes(rng, 12);
        g_jobTables.renameFolders = static_cast<int>(rng() % 2);
        WriteRules(RandomBytes(rng, 300), RandomBytes(rng, 300));

        const int loaded = Load();
        loadedRounds += loaded;
        ASSERT_EQ(m_host.warnings.size(), loaded ? 0u : 1u) << "round " << round;
        ExpectSlotsSound(g_jobTables.extensions->slots, kMaxExtensionBytes + 1,
                         g_jobTables.extensionCount, kMaxExtensions);
        ExpectSlotsSound(g_jobTables.replaceRules, sizeof(ReplaceRule),
                         g_jobTables.replaceRuleCount, kMaxRules);
        ExpectSlotsSound(g_jobTables.renameRules, sizeof(RenameRule), g_jobTables.renameRuleCount,
                         kMaxRules);
        // A refused load may leave tables it never reached as an earlier round filled them.
        if (!loaded)
            continue;
        for (int i = 0; i < g_jobTables.replaceRuleCount; ++i) {
            ASSERT_FALSE(g_jobTables.Find(i).empty());
            ASSERT_TRUE(CCodePage::Working().IsValid(g_jobTables.Find(i)));
            if (CCodePage::Working().IsUtf8()) {
                ASSERT_EQ(g_jobTables.Find(i).find('^'), std::string_view::npos);
            }
        }
        for (int i = 0; i < g_jobTables.renameRuleCount; ++i) {
            for (std::string_view name : {g_jobTables.OldName(i), g_jobTables.NewName(i)}) {
                ASSERT_FALSE(name.empty());
                ASSERT_NE(name, "..");
                ASSERT_EQ(name.find('/'), std::string_view::npos);
            }
        }
    }
    // The rounds must reach the filled tables too, not only refusals.
    EXPECT_GT(loadedRounds, 30);
}

TEST_F(LoadFuzzTest, RandomTextSplitsIntoLinesWithoutBreaks) {
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        const std::string text = RandomBytes(rng, 200);
        size_t total = 0;
        for (std::string_view line : SplitTextLines(text)) {
            ASSERT_GE(line.data(), text.data());
            ASSERT_LE(line.data() + line.size(), text.data() + text.size());
            ASSERT_EQ(line.find('\n'), std::string_view::npos);
            ASSERT_EQ(line.find('\x1A'), std::string_view::npos);
            total += line.size();
        }
        ASSERT_LE(total, text.size());
    }
}

}  // namespace
