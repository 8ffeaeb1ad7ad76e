#include "lang/EM_Common.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace lang {

namespace {

// The low 16 bits of a decimal number with an optional sign, or nothing when the
// text is not such a number within 32 signed bits.
std::optional<std::uint16_t> ParsePart(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::uint32_t magnitude = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), magnitude).ec != std::errc() ||
        magnitude > (negative ? 0x80000000u : 0x7FFFFFFFu)) {
        return std::nullopt;
    }
    std::uint32_t value = negative ? 0u - magnitude : magnitude;
    return std::uint16_t(value & 0xFFFFu);
}

}  // namespace

int CountDots(std::string_view text) {
    return int(std::count(text.begin(), text.end(), '.'));
}

void NormalizeVersion(std::string& version) {
    while (CountDots(version) < 3) {
        if (!version.empty() && version.back() != '.') version += '.';
        version += '0';
    }
}

void ParseVersion(std::string_view version, std::uint32_t& ms, std::uint32_t& ls) {
    std::string text(version);
    NormalizeVersion(text);
    std::uint16_t parts[4] = {};
    std::string_view rest = text;
    for (int i = 0; i < 4; ++i) {
        std::size_t dot = i < 3 ? rest.find('.') : rest.size();
        std::optional<std::uint16_t> part = ParsePart(rest.substr(0, dot));
        if (!part) {
            ms = ls = 0;
            return;
        }
        parts[i] = *part;
        rest.remove_prefix(std::min(dot + 1, rest.size()));
    }
    ms = std::uint32_t(parts[0]) << 16 | parts[1];
    ls = std::uint32_t(parts[2]) << 16 | parts[3];
}

bool IsOlderVersion(std::string_view a, std::string_view b) {
    std::uint32_t aMs, aLs, bMs, bLs;
    ParseVersion(a, aMs, aLs);
    ParseVersion(b, bMs, bLs);
    return aMs != bMs ? aMs < bMs : aLs < bLs;
}

}  // namespace lang
