// Letter-case-insensitive matching of names in the language data: section names,
// keys and property names. Language texts are ANSI (Windows-1252). Only the ASCII
// letters A-Z and a-z are folded; bytes 0x80 and above compare exactly as they
// are. The names these lookups serve (window, control and property names) are
// ASCII identifiers, and leaving the upper half alone keeps the result the same
// whatever code page the user runs under.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace lang {

constexpr char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

constexpr bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

// FNV-1a over the folded bytes. Transparent, so that std::string_view keys are
// looked up without building a std::string.
struct FoldedHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept {
        std::uint64_t hash = 14695981039346656037ull;
        for (char c : text) {
            hash = (hash ^ std::uint8_t(FoldCase(c))) * 1099511628211ull;
        }
        return std::size_t(hash);
    }
};

struct FoldedEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept {
        return SameText(a, b);
    }
};

template <class T>
using FoldedMap = std::unordered_map<std::string, T, FoldedHash, FoldedEqual>;
using FoldedSet = std::unordered_set<std::string, FoldedHash, FoldedEqual>;

}  // namespace lang
