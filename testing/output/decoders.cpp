#include "testing/output/decoders.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>
// clang-format on
#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <cstring>
#include <string>

#include "imaging/jpeg_errors.h"
#include "output/save_error.h"

namespace glimra::test {

RgbImage RgbOf(const PixelView& view) {
    RgbImage image{view.width, view.height, {}};
    image.rgb.reserve(std::size_t{3} * view.width * view.height);
    for (int y = 0; y < view.height; ++y) {
        const std::uint8_t* pixel = view.Row(y);
        for (int x = 0; x < view.width; ++x, pixel += view.bytesPerPixel)
            image.rgb.insert(image.rgb.end(), {pixel[2], pixel[1], pixel[0]});
    }
    return image;
}

std::string TestFilePath(const std::string& name) {
    const char* folder = std::getenv("GLIMRA_TEST_OUTPUT");
    const std::filesystem::path base =
        folder && *folder ? std::filesystem::path(folder) : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(base);
    return (base / name).string();
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw DecodeError("cannot open " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// ---- BMP: read from the file layout, checking every field it relies on.

namespace {

std::uint32_t Le(const std::vector<std::uint8_t>& file, std::size_t at, int bytes) {
    if (at + bytes > file.size()) throw DecodeError("BMP: truncated header");
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | file[at + i];
    return value;
}

}  // namespace

RgbImage DecodeBmp(const std::vector<std::uint8_t>& file) {
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') throw DecodeError("BMP: no header");
    if (Le(file, 2, 4) != file.size()) throw DecodeError("BMP: file size field is wrong");
    const std::uint32_t offset = Le(file, 10, 4);
    if (Le(file, 14, 4) != 40) throw DecodeError("BMP: not an information header");
    const auto width = static_cast<std::int32_t>(Le(file, 18, 4));
    const auto height = static_cast<std::int32_t>(Le(file, 22, 4));
    const std::uint32_t bits = Le(file, 28, 2);
    if (Le(file, 26, 2) != 1 || (bits != 24 && bits != 32) || Le(file, 30, 4) != 0)
        throw DecodeError("BMP: not uncompressed 24- or 32-bit");
    if (width <= 0 || height == 0) throw DecodeError("BMP: bad size");
    const int rows = height < 0 ? -height : height;
    const std::size_t bytes = bits / 8, rowSize = (bytes * width + 3) / 4 * 4;
    if (offset < 54 || offset + rowSize * rows > file.size()) throw DecodeError("BMP: truncated");
    RgbImage image{width, rows, std::vector<std::uint8_t>(std::size_t{3} * width * rows)};
    for (int y = 0; y < rows; ++y) {
        const int stored = height > 0 ? rows - 1 - y : y;  // positive height: bottom-up
        const std::uint8_t* in = file.data() + offset + rowSize * stored;
        std::uint8_t* out = image.rgb.data() + std::size_t{3} * width * y;
        for (int x = 0; x < width; ++x) {
            out[3 * x] = in[bytes * x + 2];
            out[3 * x + 1] = in[bytes * x + 1];
            out[3 * x + 2] = in[bytes * x];
        }
    }
    return image;
}

// ---- PNG through libpng's reader.

namespace {

struct PngRead {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const std::vector<std::uint8_t>* file = nullptr;
    std::size_t at = 0;
    char message[200] = {};
    ~PngRead() { png_destroy_read_struct(&png, &info, nullptr); }
};

void PngFail(png_structp png, png_const_charp message) {
    auto* read = static_cast<PngRead*>(png_get_error_ptr(png));
    std::strncpy(read->message, message, sizeof read->message - 1);
    png_longjmp(png, 1);
}

void PngWarn(png_structp, png_const_charp) {}

void PngInput(png_structp png, png_bytep data, png_size_t size) {
    auto* read = static_cast<PngRead*>(png_get_io_ptr(png));
    if (read->at + size > read->file->size()) png_error(png, "truncated");
    std::memcpy(data, read->file->data() + read->at, size);
    read->at += size;
}

// No object with a destructor: libpng leaves by longjmp.
bool PngDecodeRows(PngRead& read, RgbImage& image) {
    if (setjmp(png_jmpbuf(read.png))) return false;
    png_set_user_limits(read.png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_read_info(read.png, read.info);
    if (png_get_bit_depth(read.png, read.info) != 8 ||
        png_get_color_type(read.png, read.info) != PNG_COLOR_TYPE_RGB ||
        png_get_interlace_type(read.png, read.info) != PNG_INTERLACE_NONE)
        png_error(read.png, "not 8-bit RGB without interlacing");
    image.width = static_cast<int>(png_get_image_width(read.png, read.info));
    image.height = static_cast<int>(png_get_image_height(read.png, read.info));
    return true;
}

bool PngReadRows(PngRead& read, std::uint8_t* rgb, int width, int height) {
    if (setjmp(png_jmpbuf(read.png))) return false;
    for (int y = 0; y < height; ++y)
        png_read_row(read.png, rgb + std::size_t{3} * width * y, nullptr);
    png_read_end(read.png, nullptr);
    return true;
}

}  // namespace

RgbImage DecodePng(const std::vector<std::uint8_t>& file) {
    PngRead read;
    read.file = &file;
    read.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &read, PngFail, PngWarn);
    if (!read.png) throw DecodeError("PNG: no memory");
    read.info = png_create_info_struct(read.png);
    if (!read.info) throw DecodeError("PNG: no memory");
    png_set_read_fn(read.png, &read, PngInput);
    RgbImage image;
    if (!PngDecodeRows(read, image)) throw DecodeError(std::string("PNG: ") + read.message);
    image.rgb.resize(std::size_t{3} * image.width * image.height);
    if (!PngReadRows(read, image.rgb.data(), image.width, image.height))
        throw DecodeError(std::string("PNG: ") + read.message);
    return image;
}

// ---- JPEG through libjpeg's decompressor, and the frame type from the markers.

namespace {

struct JpegRead {
    jpeg_decompress_struct info{};
    ~JpegRead() { jpeg_destroy_decompress(&info); }
};

// No object with a destructor: libjpeg leaves by longjmp.
bool JpegHeader(jpeg_decompress_struct& info, JpegErrors& errors, const std::uint8_t* data,
                std::size_t size) {
    if (setjmp(errors.jump)) return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    return true;
}

bool JpegRows(jpeg_decompress_struct& info, JpegErrors& errors, std::uint8_t* rgb) {
    if (setjmp(errors.jump)) return false;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb + std::size_t{3} * info.output_width * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

// The marker of the first frame header (0xC0 to 0xCF other than C4, C8, CC).
int FrameMarker(const std::vector<std::uint8_t>& file) {
    std::size_t at = 2;
    while (at + 4 <= file.size() && file[at] == 0xFF) {
        const int marker = file[at + 1];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return marker;
        if (marker == 0xDA) break;  // scan data: no frame header before it
        at += 2 + ((std::size_t{file[at + 2]} << 8) | file[at + 3]);
    }
    throw DecodeError("JPEG: no frame header");
}

}  // namespace

DecodedJpeg DecodeJpeg(const std::vector<std::uint8_t>& file) {
    if (file.size() < 4 || file[0] != 0xFF || file[1] != 0xD8) throw DecodeError("JPEG: no SOI");
    DecodedJpeg decoded;
    const int frame = FrameMarker(file);
    decoded.baseline = frame == 0xC0;
    decoded.progressive = frame == 0xC2 || frame == 0xC6 || frame == 0xCA || frame == 0xCE;

    JpegErrors errors;
    JpegRead read;
    read.info.err = errors.Install();
    if (!JpegHeader(read.info, errors, file.data(), file.size()))
        throw DecodeError(std::string("JPEG: ") + errors.message);
    decoded.components = read.info.num_components;
    for (int t = 0; t < 4; ++t) {
        const JQUANT_TBL* table = read.info.quant_tbl_ptrs[t];
        decoded.present[t] = table != nullptr;
        if (table)
            for (int i = 0; i < 64; ++i)
                decoded.quantTables[t][i] = table->quantval[i];
    }
    for (int c = 0; c < decoded.components && c < 3; ++c)
        decoded.componentTable[c] = read.info.comp_info[c].quant_tbl_no;
    decoded.image.width = static_cast<int>(read.info.output_width);
    decoded.image.height = static_cast<int>(read.info.output_height);
    decoded.image.rgb.resize(std::size_t{3} * decoded.image.width * decoded.image.height);
    if (!JpegRows(read.info, errors, decoded.image.rgb.data()))
        throw DecodeError(std::string("JPEG: ") + errors.message);
    return decoded;
}

namespace {

struct JpegWrite {
    jpeg_compress_struct info{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    ~JpegWrite() {
        jpeg_destroy_compress(&info);
        std::free(buffer);
    }
};

// No object with a destructor: libjpeg leaves by longjmp.
bool JpegCompress(JpegWrite& write, JpegErrors& errors, const RgbImage& image) {
    if (setjmp(errors.jump)) return false;
    jpeg_CreateCompress(&write.info, JPEG_LIB_VERSION, sizeof write.info);
    jpeg_mem_dest(&write.info, &write.buffer, &write.size);
    write.info.image_width = static_cast<JDIMENSION>(image.width);
    write.info.image_height = static_cast<JDIMENSION>(image.height);
    write.info.input_components = 3;
    write.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&write.info);
    jpeg_set_quality(&write.info, 90, TRUE);
    jpeg_start_compress(&write.info, TRUE);
    for (int y = 0; y < image.height; ++y) {
        JSAMPROW row =
            const_cast<std::uint8_t*>(image.rgb.data()) + std::size_t{3} * image.width * y;
        jpeg_write_scanlines(&write.info, &row, 1);
    }
    jpeg_finish_compress(&write.info);
    return true;
}

}  // namespace

std::vector<std::uint8_t> CompressRgbRows(const RgbImage& image) {
    JpegErrors errors;
    JpegWrite write;
    write.info.err = errors.Install();
    if (!JpegCompress(write, errors, image))
        throw DecodeError(std::string("JPEG: ") + errors.message);
    return {write.buffer, write.buffer + write.size};
}

// ---- GIF through giflib's reader.

namespace {

struct GifInput {
    const std::vector<std::uint8_t>* file;
    std::size_t at = 0;
};

int ReadGifBytes(GifFileType* gif, GifByteType* data, int size) {
    auto* input = static_cast<GifInput*>(gif->UserData);
    const std::size_t left = input->file->size() - input->at;
    const std::size_t part = std::min<std::size_t>(left, static_cast<std::size_t>(size));
    std::memcpy(data, input->file->data() + input->at, part);
    input->at += part;
    return static_cast<int>(part);
}

struct GifRead {
    GifFileType* gif = nullptr;
    ~GifRead() {
        if (gif) DGifCloseFile(gif, nullptr);
    }
};

}  // namespace

DecodedGif DecodeGif(const std::vector<std::uint8_t>& file) {
    GifInput input{&file};
    int error = 0;
    GifRead read;
    read.gif = DGifOpen(&input, ReadGifBytes, &error);
    if (!read.gif) throw DecodeError(std::string("GIF: ") + GifErrorString(error));
    if (DGifSlurp(read.gif) != GIF_OK)
        throw DecodeError(std::string("GIF: ") + GifErrorString(read.gif->Error));
    DecodedGif decoded;
    decoded.width = read.gif->SWidth;
    decoded.height = read.gif->SHeight;
    decoded.imageCount = read.gif->ImageCount;
    if (decoded.imageCount < 1) throw DecodeError("GIF: no image");
    const SavedImage& image = read.gif->SavedImages[0];
    if (image.ImageDesc.Width != decoded.width || image.ImageDesc.Height != decoded.height)
        throw DecodeError("GIF: the image does not cover the screen");
    const ColorMapObject* map =
        image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : read.gif->SColorMap;
    if (!map) throw DecodeError("GIF: no colour table");
    for (int i = 0; i < map->ColorCount; ++i)
        decoded.colors.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
    for (int i = 0; i < read.gif->ImageCount; ++i) {
        GraphicsControlBlock control;
        if (DGifSavedExtensionToGCB(read.gif, i, &control) == GIF_OK &&
            control.TransparentColor != NO_TRANSPARENT_COLOR)
            decoded.transparent = true;
    }
    decoded.indexes.assign(image.RasterBits,
                           image.RasterBits + std::size_t{1} * decoded.width * decoded.height);
    for (std::uint8_t index : decoded.indexes)
        if (index >= decoded.colors.size()) throw DecodeError("GIF: index past the colour table");
    return decoded;
}

// ---- The failing sink.

void FailingSink::Write(const std::uint8_t*, std::size_t size) {
    if (size > limit_ - taken_) throw SaveError(kFailingSinkText);
    taken_ += size;
}

}  // namespace glimra::test
