#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/code_page.h"

namespace {

// The check looks at thirty-two or sixteen bytes at a time: every sequence is
// tried at every offset around a block's end and at the end of the text,
// each way the processor may take, against the system's strict converter.
TEST(Utf8Check, AgreesWithTheStrictConverterAtEveryOffset) {
    const std::string sequences[] = {"a",
                                     "\xC2\xA9",
                                     "\xE4\xB8\xAD",
                                     "\xF0\x9F\x98\x80",
                                     "\xF4\x8F\xBF\xBF",  // valid
                                     "\xC0\xAF",
                                     "\xC1\xBF",
                                     "\xE0\x9F\xBF",
                                     "\xF0\x8F\xBF\xBF",  // overlong
                                     "\xED\xA0\x80",
                                     "\xF4\x90\x80\x80",
                                     "\xF5\x80\x80\x80",
                                     "\xFF",  // surrogate, too large
                                     "\x80",
                                     "\xE4\xB8",
                                     "\xF0\x9F\x98",
                                     "\xC2"
                                     "a",
                                     "\xE4\xB8\xAD\xAD"};  // cut, stray
    for (const std::string& seq : sequences) {
        for (size_t before = 0; before < 70; ++before) {
            for (const std::string& after :
                 {std::string(), std::string("bc"), std::string(20, 'x')}) {
                const std::string text = std::string(before, 'z') + seq + after;
                std::string ignored;
                const bool valid = ConvertCharset("UTF-8", "UTF-16LE", text, ignored);
                for (size_t width : {1, 16, 32})
                    EXPECT_EQ(IsValidUtf8Using(text, width), valid) << width << " " << text;
            }
        }
    }
    std::mt19937 rng(7);
    const std::string alphabet[] = {"a", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\x80", "\xC3"};
    for (int i = 0; i < 2000; ++i) {
        std::string text;
        for (int n = static_cast<int>(rng() % 40); n > 0; --n)
            text += alphabet[rng() % (i % 2 ? 5 : 3)];
        std::string ignored;
        const bool valid = ConvertCharset("UTF-8", "UTF-16LE", text, ignored);
        for (size_t width : {1, 16, 32})
            EXPECT_EQ(IsValidUtf8Using(text, width), valid) << width << " " << text;
        // Valid text cut anywhere: the complete part is valid, and at most
        // three bytes shorter.
        const std::string_view cut = std::string_view(text).substr(0, rng() % (text.size() + 1));
        if (i % 2 == 0) {
            EXPECT_TRUE(IsValidUtf8(cut.substr(0, Utf8CompletePart(cut))));
            EXPECT_LE(cut.size() - Utf8CompletePart(cut), 3u);
        }
    }
    EXPECT_EQ(Utf8CompletePart("ab\xE4\xB8"), 2u);
    EXPECT_EQ(Utf8CompletePart("ab\xE4\xB8\xAD"), 5u);
}

// A view that was never given storage has no pointer: the check of the
// last, padded block copied from it all the same.
TEST(Utf8Check, EmptyViewWithoutStorage) {
    EXPECT_TRUE(IsValidUtf8(std::string_view()));
    EXPECT_EQ(Utf8CompletePart(std::string_view()), 0u);
}

}  // namespace
