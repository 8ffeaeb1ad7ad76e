#include "imaging/gif_file.h"

#include <gif_lib.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace glimra {

namespace {

struct GifSource {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

// giflib's reader: copies from memory, fewer bytes at the end; never throws.
int ReadGif(GifFileType* gif, GifByteType* buffer, int count) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    const std::size_t n =
        std::min(std::size_t(std::max(count, 0)), source->bytes.size() - source->position);
    std::memcpy(buffer, source->bytes.data() + source->position, n);
    source->position += n;
    return int(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

[[noreturn]] void Fail(int error) {
    const char* reason = GifErrorString(error);
    throw PictureFileError(std::string("the GIF file cannot be read: ") +
                           (reason ? reason : "damaged"));
}

// The first frame on the target: its colours, and where its rows fall on the
// logical screen.
class FirstFrame {
  public:
    FirstFrame(const GifFileType& gif, const ColorMapObject& colours, int transparent,
               PictureTarget& target)
        : desc_(gif.Image), colours_(colours), transparent_(transparent) {
        width_ = gif.SWidth > 0 ? gif.SWidth : desc_.Width;
        const int height = gif.SHeight > 0 ? gif.SHeight : desc_.Height;
        const bool covers =
            desc_.Left == 0 && desc_.Top == 0 && desc_.Width >= width_ && desc_.Height >= height;
        const bool alpha = transparent != NO_TRANSPARENT_COLOR || !covers;
        bytesPerPixel_ = alpha ? 4 : 3;
        view_ = target.Make(width_, height, alpha);
        for (int y = 0; y < view_.height; ++y)
            std::memset(view_.Row(y), 0, std::size_t(width_) * bytesPerPixel_);
    }

    // The frame's row `frameRow`, one colour index per pixel.
    void Row(int frameRow, const GifPixelType* indexes) const {
        const int y = desc_.Top + frameRow;
        if (y >= view_.height) return;
        std::uint8_t* row = view_.Row(y);
        for (int x = std::max(0, desc_.Left); x < std::min(width_, desc_.Left + desc_.Width); ++x) {
            const int index = indexes[x - desc_.Left];
            if (index == transparent_) continue;
            std::uint8_t* p = row + x * bytesPerPixel_;
            if (index < colours_.ColorCount) {
                p[0] = colours_.Colors[index].Blue;
                p[1] = colours_.Colors[index].Green;
                p[2] = colours_.Colors[index].Red;
            }
            if (bytesPerPixel_ == 4) p[3] = 255;
        }
    }

  private:
    GifImageDesc desc_;
    const ColorMapObject& colours_;
    int transparent_;
    int width_ = 0;
    int bytesPerPixel_ = 3;
    PixelView view_;
};

// The rows of a frame in the order the file holds them: from the top, or in the
// four passes of an interlaced frame.
constexpr int kPassStart[] = {0, 4, 2, 1};
constexpr int kPassStep[] = {8, 8, 4, 2};

}  // namespace

void DecodeGifFile(std::span<const std::uint8_t> file, PictureTarget& target) {
    GifSource source{file};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, ReadGif, &error));
    if (!gif) Fail(error);
    // The first graphics control block before the first frame gives its transparent colour.
    int transparent = NO_TRANSPARENT_COLOR;
    bool controlSeen = false;
    bool coloured = false;  // the first frame has a colour table, its own or the screen's
    std::vector<GifPixelType> indexes;
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    while (type != TERMINATE_RECORD_TYPE) {
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) Fail(gif->Error);
        if (type == EXTENSION_RECORD_TYPE) {
            int function = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &function, &block) == GIF_ERROR) Fail(gif->Error);
            if (gif->ImageCount == 0 && !controlSeen && block &&
                function == GRAPHICS_EXT_FUNC_CODE) {
                controlSeen = true;
                GraphicsControlBlock control;
                if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                    transparent = control.TransparentColor;
            }
            // Then its further blocks up to the empty one. At least one more is read even
            // after an empty first block, as giflib's whole-file reader (DGifSlurp) does,
            // so that the same files are accepted.
            do
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) Fail(gif->Error);
            while (block);
        } else if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif.get()) == GIF_ERROR) Fail(gif->Error);
            const GifImageDesc& desc = gif->Image;
            if (desc.Width <= 0 || desc.Height <= 0 || desc.Width > INT_MAX / desc.Height)
                Fail(gif->Error);
            std::optional<FirstFrame> first;
            if (gif->ImageCount == 1) {
                const ColorMapObject* colours = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
                coloured = colours != nullptr;
                if (colours) first.emplace(*gif, *colours, transparent, target);
            }
            indexes.resize(std::size_t(desc.Width));
            const int passes = desc.Interlace ? 4 : 1;
            for (int pass = 0; pass < passes; ++pass)
                for (int row = desc.Interlace ? kPassStart[pass] : 0; row < desc.Height;
                     row += desc.Interlace ? kPassStep[pass] : 1) {
                    if (DGifGetLine(gif.get(), indexes.data(), desc.Width) == GIF_ERROR)
                        Fail(gif->Error);
                    if (first) first->Row(row, indexes.data());
                }
        }
    }
    if (gif->ImageCount == 0) Fail(D_GIF_ERR_NO_IMAG_DSCR);
    if (!coloured) throw PictureFileError("the GIF file has no colours");
}

}  // namespace glimra
