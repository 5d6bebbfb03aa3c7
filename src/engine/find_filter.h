#pragma once
// CFindFilter: whether any of several byte strings occurs in a text, in one
// pass over the text. Most selected files contain none of the find texts,
// so this answer decides how fast a run over a large tree is.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class CFindFilter {
  public:
    // The needles must outlive the filter. Empty needles are ignored.
    explicit CFindFilter(const std::vector<std::string_view>& needles);

    // True when some needle occurs in text, starting at any byte.
    bool AnyIn(std::string_view text) const;

  private:
    // A needle is looked for by one of its two-byte pieces, the one least
    // likely to appear in ordinary text, and checked in full where it does.
    struct CAnchor {
        std::string_view needle;
        size_t offset;
        unsigned key;  // the two bytes at offset, first byte low
    };

    bool AnyByScan(std::string_view text) const;

    std::vector<std::string_view> m_singles;  // one-byte needles
    std::vector<CAnchor> m_anchors;
    std::array<std::uint64_t, 65536 / 64> m_keys{};  // one bit per two-byte key in use
};
