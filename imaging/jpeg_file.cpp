#include "imaging/jpeg_file.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>
// clang-format on

#include <csetjmp>
#include <string>

#include "imaging/jpeg_errors.h"

namespace glimra {

namespace {

// Owns the decompression object; destroying it is safe in every state.
struct JpegDecompressor {
    jpeg_decompress_struct info{};
    ~JpegDecompressor() { jpeg_destroy_decompress(&info); }
};

// Decodes into 24-bit rows, blue, green, red, as libjpeg-turbo writes them
// itself (JCS_EXT_BGR). False when libjpeg reported an error. A libjpeg error
// leaves by longjmp, so this function holds no object with a destructor; the
// target's own errors are exceptions, thrown while no libjpeg frame is running.
bool Decompress(jpeg_decompress_struct& info, JpegErrors& errors,
                std::span<const std::uint8_t> file, PictureTarget& target) {
    if (setjmp(errors.jump)) return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;
    // The target sees the size before libjpeg takes memory for the whole picture
    // (a progressive file's coefficients), so that it can refuse a huge one first.
    jpeg_calc_output_dimensions(&info);
    const PixelView rows = target.Make(int(info.output_width), int(info.output_height), false);
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rows.Row(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

void DecodeJpegFile(std::span<const std::uint8_t> file, PictureTarget& target) {
    JpegErrors errors;
    JpegDecompressor decompressor;
    decompressor.info.err = errors.Install();
    if (!Decompress(decompressor.info, errors, file, target))
        throw PictureFileError(std::string("the JPEG file cannot be read: ") + errors.message);
}

}  // namespace glimra
