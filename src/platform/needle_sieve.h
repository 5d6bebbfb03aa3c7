#pragma once
// CNeedleSieve: whether any of a few byte strings occurs in a text, sixteen
// or thirty-two places at a time. Each place is first tested against the
// first three bytes of every needle at once (a table look-up per half byte,
// with the needles spread over eight groups); only places that pass are
// compared in full. Most text passes nowhere, so a file that holds none of
// the needles costs a few instructions per sixteen bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CNeedleSieve {
  public:
    // At most this many needles; more share the groups too thinly.
    static constexpr size_t kMaxNeedles = 64;
    // The bytes of a needle the first test looks at.
    static constexpr size_t kPrefix = 3;

    // Takes the needles; false (and unusable) when the processor has no
    // byte shuffles, when there are none or too many, or when one is shorter
    // than kPrefix. maxPlaces: 16 keeps to sixteen places at a time even
    // where the processor could take thirty-two (tests cover both).
    bool Prepare(const std::vector<std::string>& needles, size_t maxPlaces = 32);
    bool Usable() const { return m_usable; }

    // Whether any needle occurs in text byte for byte. Only when Usable().
    bool AnyOccurs(std::string_view text) const { return Scan(text, false) != 0; }
    // Bit i set: needle i occurs in text byte for byte. Only when Usable().
    std::uint64_t Occurring(std::string_view text) const { return Scan(text, true); }

  private:
    // The needles found (a bit each), all of them or up to the first.
    std::uint64_t Scan(std::string_view text, bool all) const;
    // The groups of the needles a place passed for (a bit per group).
    std::uint8_t Passes(const unsigned char* at) const;
    // The needles of the groups in groups that start at text[at], added to found.
    void Confirm(std::string_view text, size_t at, unsigned groups, std::uint64_t& found) const;

    bool m_usable = false;
    bool m_wide = false;  // 32 places at a time
    // Entry 16 * k + n, bit g: a needle of group g has n as the low (high)
    // half of its byte k.
    std::array<std::uint8_t, 16 * kPrefix> m_low{}, m_high{};
    std::vector<std::string> m_needles;
    std::array<std::vector<std::uint8_t>, 8> m_groups;  // indices into m_needles
};
