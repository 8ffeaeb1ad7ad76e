// Feeds arbitrary bytes to the BMP header check, as the flag beside a language
// file brings them. Whatever the check accepts is handed to a drawing call that
// trusts the headers, so everything that call reads is read here: the
// information header, the colour masks, the colour table and every padded row
// (AddressSanitizer stops a read past the input). The picture promised can
// hold no more pixels than the file's bytes can fill.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "imaging/bmp_file.h"

namespace {

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "bmp_file_fuzzer: %s\n", what);
    std::abort();
}

// Sums the bytes [from, from + count) of the file, so that each is read.
std::uint32_t Touch(const std::uint8_t* file, std::size_t from, std::size_t count) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += file[from + i];
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using glimra::BmpLayout;
    BmpLayout layout;
    try {
        layout = glimra::CheckBmpFile(std::span(data, size));
    } catch (const glimra::BmpFileError&) {
        return 0;
    }
    const int bpp = layout.bitsPerPixel;
    Require(layout.width >= 1 && layout.width <= BmpLayout::kMaxSide && layout.height >= 1 &&
                layout.height <= BmpLayout::kMaxSide,
            "a size outside 1 to 32768");
    Require(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32,
            "a depth a drawing call does not know");
    Require(!layout.masks || bpp == 16 || bpp == 32, "colour masks at a depth without them");
    Require(bpp <= 8 ? layout.colours >= 1 && layout.colours <= (1u << bpp) : layout.colours == 0,
            "a colour table of the wrong length");
    Require(layout.stride % 4 == 0 && layout.stride * 8 >= std::size_t(layout.width) * bpp &&
                layout.stride * 8 < std::size_t(layout.width) * bpp + 32 + 8,
            "rows not padded to four bytes");
    Require(std::uint64_t(layout.width) * std::uint64_t(layout.height) * std::uint64_t(bpp) <=
                8 * std::uint64_t(size),
            "more pixels than the file can hold");

    std::uint32_t sum = Touch(data, BmpLayout::kInfoOffset, layout.infoSize);
    if (layout.masks) sum += Touch(data, BmpLayout::kInfoOffset + 40, 12);
    sum += Touch(data, layout.tableOffset, 4 * layout.colours);
    for (int y = 0; y < layout.height; ++y)
        sum += Touch(data, layout.RowOffset(y), layout.stride);
    // The sum goes nowhere, but the reads must happen.
    volatile std::uint32_t keep = sum;
    (void)keep;
    return 0;
}
