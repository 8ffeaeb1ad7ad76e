#include "ocr/text_errors.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace glimra::ocr {

namespace {

bool Space(char32_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The code points of `text`, white space runs as one space, none at the ends.
std::vector<char32_t> Characters(std::string_view text) {
    std::vector<char32_t> out;
    bool pendingSpace = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = std::uint8_t(text[i]);
        const std::size_t extra = b >= 0xF8 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        char32_t c = b;
        std::size_t used = 1;
        if (extra && i + extra < text.size()) {
            char32_t decoded = b & (0x3F >> extra);
            std::size_t k = 1;
            for (; k <= extra && (std::uint8_t(text[i + k]) & 0xC0) == 0x80; ++k)
                decoded = decoded << 6 | (std::uint8_t(text[i + k]) & 0x3F);
            if (k == extra + 1) c = decoded, used = k;  // else malformed: the lead byte alone
        }
        i += used;
        if (Space(c)) {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace) out.push_back(' ');
        pendingSpace = false;
        out.push_back(c);
    }
    return out;
}

}  // namespace

TextErrors CountErrors(std::string_view truth, std::string_view read) {
    const std::vector<char32_t> a = Characters(truth), b = Characters(read);
    // Levenshtein distance, one row at a time.
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return {row[b.size()], a.size()};
}

}  // namespace glimra::ocr
