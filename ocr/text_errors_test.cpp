#include "ocr/text_errors.h"

#include <gtest/gtest.h>

namespace {

using glimra::ocr::CountErrors;

TEST(TextErrors, CountsEditsOfCharacters_WhiteSpaceRunsAsOneSpace) {
    struct Case {
        const char* truth;
        const char* read;
        std::size_t edits, length;
    } cases[] = {
        {"File Edit View", "File Edit View", 0, 14},
        {"File Edit View", "Fi1e Edit  View", 1, 14},  // a substitution
        {"File\nEdit\n", "  File Edit", 0, 9},         // line ends and ends of text
        {"int x = 0;", "intx = 0;", 1, 10},            // a lost space
        {"int x = 0;", "int x = 0;;", 1, 10},          // an insertion
        {"Größe", "Grose", 2, 5},                      // characters, not bytes
        {"abc", "", 3, 3},
        {"", "abc", 3, 0},
        {"kitten", "sitting", 3, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.truth) + " / " + c.read);
        const auto errors = CountErrors(c.truth, c.read);
        EXPECT_EQ(errors.edits, c.edits);
        EXPECT_EQ(errors.length, c.length);
    }
    EXPECT_DOUBLE_EQ(CountErrors("File Edit View", "Fi1e Edit View").Rate(), 1.0 / 14);
    EXPECT_EQ(CountErrors("", "").Rate(), 0.0);
    EXPECT_EQ(CountErrors("", "x").Rate(), 1.0);
    // A malformed byte is one character of its own.
    EXPECT_EQ(CountErrors("a\xC3", "a").edits, 1u);
}

}  // namespace
