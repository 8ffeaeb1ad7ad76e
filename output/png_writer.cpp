#include "output/png_writer.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <string>

#include "output/buffered_writer.h"
#include "output/picture_check.h"
#include "output/save_error.h"

namespace glimra {

namespace {

// libpng reports a fatal error through this function and then must not come
// back: it keeps the text and jumps to the setjmp in Encode, so no C++
// exception ever crosses libpng's frames.
struct ErrorText {
    char message[200] = {};
};

void OnError(png_structp png, png_const_charp message) {
    auto* text = static_cast<ErrorText*>(png_get_error_ptr(png));
    std::strncpy(text->message, message ? message : "", sizeof text->message - 1);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void WriteToSink(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<BufferedWriter*>(png_get_io_ptr(png));
    if (!out->TryPut(data, size)) png_error(png, "writing failed");
}

void FlushNothing(png_structp) {}

// Runs libpng over the picture; false when libpng reported an error. An error
// leaves this function by longjmp, so it holds no object with a destructor.
bool Encode(png_structp png, png_infop info, const PixelView& view, bool alpha) {
    if (setjmp(png_jmpbuf(png))) return false;
    // libpng refuses more than a million rows or columns unless told otherwise.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_IHDR(png, info, static_cast<png_uint_32>(view.width),
                 static_cast<png_uint_32>(view.height), 8,
                 alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Screenshots are flat areas, text and some photographs: trying only the
    // Sub and Up filters and deflating with run-length matches keeps the file
    // close to what full filtering and LZ77 searching give, in a fraction of
    // the time.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB | PNG_FILTER_UP);
    png_set_compression_strategy(png, Z_RLE);
    png_write_info(png, info);
    png_set_bgr(png);
    for (int y = 0; y < view.height; ++y)
        png_write_row(png, view.Row(y));
    png_write_end(png, info);
    return true;
}

// Owns libpng's write and info structures.
struct WriteObject {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~WriteObject() { png_destroy_write_struct(&png, &info); }
};

}  // namespace

namespace {

void Write(const PixelView& view, ByteSink& sink, bool alpha) {
    BufferedWriter out(sink);
    ErrorText error;
    {
        WriteObject object;
        object.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, OnError, OnWarning);
        if (object.png) object.info = png_create_info_struct(object.png);
        if (!object.info) throw SaveError("Cannot save as PNG: not enough memory.");
        png_set_write_fn(object.png, &out, WriteToSink, FlushNothing);
        if (!Encode(object.png, object.info, view, alpha)) {
            out.RethrowPending();
            throw SaveError(std::string("Cannot save as PNG: ") + error.message + ".");
        }
    }
    out.Finish();
}

}  // namespace

void WritePng(const PixelView& view, ByteSink& sink) {
    CheckPicture(view, "PNG");
    Write(view, sink, false);
}

void WritePngWithAlpha(const PixelView& view, ByteSink& sink) {
    if (view.bytesPerPixel != 4 || view.Empty() || view.data == nullptr)
        throw SaveError("Cannot save as PNG: the picture has no alpha.");
    Write(view, sink, true);
}

}  // namespace glimra
