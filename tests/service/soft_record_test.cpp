// The product identity record, byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

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
