#include "output/gif_writer.h"

#include <gif_lib.h>

#include <memory>
#include <string>
#include <vector>

#include "output/buffered_writer.h"
#include "output/floyd_steinberg_dither.h"
#include "output/octree_quantizer.h"
#include "output/picture_check.h"
#include "output/save_error.h"

namespace glimra {

namespace {

constexpr int kMaxSide = 65535;  // the format's 16-bit sizes

// giflib's output function: must not throw, answers the number of bytes taken.
int WriteToSink(GifFileType* gif, const GifByteType* data, int size) {
    auto* out = static_cast<BufferedWriter*>(gif->UserData);
    return out->TryPut(data, static_cast<std::size_t>(size)) ? size : 0;
}

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// giflib's colour tables have a power of two entries (2 to 256); the entries
// past the palette stay black and are never used.
std::unique_ptr<ColorMapObject, MapDeleter> MakeColorMap(const std::vector<PaletteColor>& palette) {
    int size = 2;
    while (size < static_cast<int>(palette.size()))
        size *= 2;
    std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(size, nullptr));
    if (!map) throw SaveError("Cannot save as GIF: not enough memory.");
    for (std::size_t i = 0; i < palette.size(); ++i)
        map->Colors[i] = {palette[i].red, palette[i].green, palette[i].blue};
    return map;
}

// The open giflib encoder; closing it (here or in Close) writes the trailer and
// frees it.
class GifEncoder {
  public:
    explicit GifEncoder(BufferedWriter& out) : out_(out) {
        int error = 0;
        gif_ = EGifOpen(&out_, WriteToSink, &error);
        if (!gif_) Fail(error);
    }
    GifEncoder(const GifEncoder&) = delete;
    GifEncoder& operator=(const GifEncoder&) = delete;
    ~GifEncoder() {
        if (gif_) EGifCloseFile(gif_, nullptr);
    }

    GifFileType* get() const { return gif_; }

    // Throws unless `result` is GIF_OK.
    void Check(int result) {
        if (result != GIF_OK) Fail(gif_->Error);
    }

    void Close() {
        int error = 0;
        const int result = EGifCloseFile(gif_, &error);
        gif_ = nullptr;
        if (result != GIF_OK) Fail(error);
        // giflib does not check the write of the trailer byte.
        out_.RethrowPending();
    }

  private:
    // A failing sink's own error wins over giflib's report of it.
    [[noreturn]] void Fail(int error) {
        out_.RethrowPending();
        const char* text = GifErrorString(error);
        throw SaveError(std::string("Cannot save as GIF: ") + (text ? text : "giflib failed") +
                        ".");
    }

    BufferedWriter& out_;
    GifFileType* gif_ = nullptr;
};

}  // namespace

void WriteGif(const PixelView& view, ByteSink& sink) {
    CheckPicture(view, "GIF");
    if (view.width > kMaxSide || view.height > kMaxSide)
        throw SaveError("Cannot save as GIF: the picture is " + std::to_string(view.width) + " x " +
                        std::to_string(view.height) + " pixels; a GIF file holds at most " +
                        std::to_string(kMaxSide) + " pixels in width and height.");
    const std::vector<PaletteColor> palette = BuildOctreePalette(view);
    FloydSteinbergDither dither(view, palette);
    std::vector<GifPixelType> indexes(static_cast<std::size_t>(view.width));

    BufferedWriter out(sink);
    GifEncoder gif(out);
    {
        const auto map = MakeColorMap(palette);
        gif.Check(EGifPutScreenDesc(gif.get(), view.width, view.height, 8, 0, map.get()));
    }
    gif.Check(EGifPutImageDesc(gif.get(), 0, 0, view.width, view.height, false, nullptr));
    for (int y = 0; y < view.height; ++y) {
        dither.NextRow(indexes.data());
        gif.Check(EGifPutLine(gif.get(), indexes.data(), view.width));
    }
    gif.Close();
    out.Finish();
}

}  // namespace glimra
