// The character error rate by which recognised text is judged: the edits
// (insertions, deletions, substitutions of characters) that turn the text read
// into the true text, over the true text's length. Every run of white space,
// line ends included, counts as one space on both sides, and white space at the
// ends not at all, so that a line break read as a space or two spaces read as
// one are no error.
#pragma once

#include <cstddef>
#include <string_view>

namespace glimra::ocr {

struct TextErrors {
    std::size_t edits = 0;
    std::size_t length = 0;  // characters of the true text

    double Rate() const { return length ? double(edits) / double(length) : edits ? 1.0 : 0.0; }
    TextErrors& operator+=(const TextErrors& o) {
        edits += o.edits;
        length += o.length;
        return *this;
    }
};

// Both texts are UTF-8; characters are code points (a malformed byte counts as one).
TextErrors CountErrors(std::string_view truth, std::string_view read);

}  // namespace glimra::ocr
