// The product identity record, byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/code_page.h"
#include "service/soft_record.h"

// Each field holds its text and zero bytes up to its width, whatever the
// record held before.
TEST(SoftRecord, FieldsSpellTheIdentityInHexUnits) {
    tagSoft soft;
    std::memset(&soft, 0x55, sizeof soft);
    FillSoftRecord(soft);
    const auto* bytes = reinterpret_cast<const char*>(&soft);
    const std::tuple<size_t, size_t, std::string, const char*> fields[] = {
        {0, 51, "0031002E0030003400320037001E", "1.0427"},
        {51, 101, "0056006500780061001E", "Vexa"},
        {152, 101, "0073006F006600740077006100720065001E", "software"},
        {253, 101, "004B006F007200760061006E0065001E", "Korvane"},
    };
    for (const auto& [offset, width, text, decoded] : fields) {
        EXPECT_EQ(std::string(bytes + offset, width), text + std::string(width - text.size(), 0));
        EXPECT_EQ(DecodeSoftField(bytes + offset, width), decoded);
    }
}

// A refused value leaves the field empty; a field that is not well formed
// decodes to nothing.
TEST(SoftRecord, DoubleByteCharactersAreLeadThenTrailAndLimitsHold) {
    CCodePage::SetWorking("GBK");
    char field[101];
    ASSERT_TRUE(EncodeSoftField("\xD6\xD0", field, sizeof field));  // "中" in GBK
    EXPECT_STREQ(field, "D6D0001E");
    EXPECT_EQ(DecodeSoftField(field, sizeof field), "\xD6\xD0");
    CCodePage::SetWorking("UTF-8");
    for (const std::string& refused : {std::string(25, 'x'), std::string("中")}) {
        EXPECT_FALSE(EncodeSoftField(refused, field, sizeof field)) << refused;
        EXPECT_STREQ(field, "");
    }
    for (const char* bad : {"0056", "0056x065001E", "0000001E", "0056006"}) {
        std::snprintf(field, sizeof field, "%s", bad);
        EXPECT_EQ(DecodeSoftField(field, sizeof field), "") << bad;
    }
    std::memset(field, 'A', sizeof field);  // no terminator within the width
    EXPECT_EQ(DecodeSoftField(field, sizeof field), "");
}
