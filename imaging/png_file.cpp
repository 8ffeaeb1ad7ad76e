#include "imaging/png_file.h"

#include <png.h>

#include <cstring>
#include <string>

namespace glimra {

void DecodePngFile(std::span<const std::uint8_t> file, PictureTarget& target) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        throw PictureFileError(std::string("no PNG file: ") + image.message);
    // The image's own cleanup runs on every path from here.
    struct Free {
        png_image& image;
        ~Free() { png_image_free(&image); }
    } free{image};
    if (image.width == 0 || image.height == 0 ||
        std::uint64_t(image.width) * image.height > (std::uint64_t(1) << 28))
        throw PictureFileError("the PNG picture is too large");
    const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    const PixelView view = target.Make(int(image.width), int(image.height), alpha);
    // A view from the bottom up is handed over from its lowest row in memory,
    // with the stride negative, as libpng takes such a buffer.
    void* first = view.stride < 0 ? view.Row(view.height - 1) : view.Row(0);
    if (!png_image_finish_read(&image, nullptr, first, png_int_32(view.stride), nullptr))
        throw PictureFileError(std::string("a damaged PNG file: ") + image.message);
}

}  // namespace glimra
