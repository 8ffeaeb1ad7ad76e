#include "testing/recording/decoded_animation.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace glimra::test {

namespace {

struct Input {
    const std::vector<std::uint8_t>* file;
    std::size_t offset = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* data, int size) {
    auto* input = static_cast<Input*>(gif->UserData);
    const std::size_t count =
        std::min(static_cast<std::size_t>(size), input->file->size() - input->offset);
    std::memcpy(data, input->file->data() + input->offset, count);
    input->offset += count;
    return static_cast<int>(count);
}

[[noreturn]] void Fail(const std::string& text) {
    throw std::runtime_error("GIF: " + text);
}

// The loop count of a NETSCAPE2.0 extension among `blocks`, or -1.
int LoopCount(const ExtensionBlock* blocks, int count) {
    for (int i = 0; i + 1 < count; ++i)
        if (blocks[i].Function == APPLICATION_EXT_FUNC_CODE && blocks[i].ByteCount == 11 &&
            std::memcmp(blocks[i].Bytes, "NETSCAPE2.0", 11) == 0 &&
            blocks[i + 1].Function == CONTINUE_EXT_FUNC_CODE && blocks[i + 1].ByteCount == 3 &&
            blocks[i + 1].Bytes[0] == 1)
            return blocks[i + 1].Bytes[1] | blocks[i + 1].Bytes[2] << 8;
    return -1;
}

}  // namespace

DecodedAnimation DecodeAnimation(const std::vector<std::uint8_t>& file) {
    Input input{&file};
    int error = 0;
    GifFileType* gif = DGifOpen(&input, ReadBytes, &error);
    if (!gif) Fail(GifErrorString(error));
    struct Closer {
        GifFileType* gif;
        ~Closer() { DGifCloseFile(gif, nullptr); }
    } closer{gif};
    if (DGifSlurp(gif) != GIF_OK) Fail(GifErrorString(gif->Error));

    DecodedAnimation animation;
    animation.width = gif->SWidth;
    animation.height = gif->SHeight;
    animation.globalTableSize = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
    std::vector<std::uint32_t> canvas(static_cast<std::size_t>(gif->SWidth) * gif->SHeight, 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        if (animation.loopCount < 0)
            animation.loopCount = LoopCount(image.ExtensionBlocks, image.ExtensionBlockCount);
        GraphicsControlBlock control{};
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &control);
        const GifImageDesc& desc = image.ImageDesc;
        if (desc.Left < 0 || desc.Top < 0 || desc.Left + desc.Width > gif->SWidth ||
            desc.Top + desc.Height > gif->SHeight)
            Fail("image " + std::to_string(i) + " reaches past the screen");
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        if (!map) Fail("image " + std::to_string(i) + " has no colour table");

        DecodedFrame frame;
        frame.delay = control.DelayTime;
        frame.left = desc.Left;
        frame.top = desc.Top;
        frame.width = desc.Width;
        frame.height = desc.Height;
        frame.disposal = control.DisposalMode;
        frame.transparent = control.TransparentColor;
        frame.tableSize = desc.ColorMap ? desc.ColorMap->ColorCount : 0;
        const std::vector<std::uint32_t> before = canvas;
        for (int y = 0; y < desc.Height; ++y)
            for (int x = 0; x < desc.Width; ++x) {
                const int index = image.RasterBits[static_cast<std::size_t>(y) * desc.Width + x];
                if (index == control.TransparentColor) continue;
                if (index >= map->ColorCount)
                    Fail("image " + std::to_string(i) + " has an index past its table");
                const GifColorType& colour = map->Colors[index];
                canvas[static_cast<std::size_t>(desc.Top + y) * gif->SWidth + desc.Left + x] =
                    std::uint32_t{colour.Red} << 16 | std::uint32_t{colour.Green} << 8 |
                    colour.Blue;
            }
        frame.pixels = canvas;
        animation.frames.push_back(std::move(frame));
        // What the next image is drawn over.
        if (control.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = 0; y < desc.Height; ++y)
                std::fill_n(
                    &canvas[static_cast<std::size_t>(desc.Top + y) * gif->SWidth + desc.Left],
                    desc.Width, 0u);
        } else if (control.DisposalMode == DISPOSE_PREVIOUS) {
            canvas = before;
        }
    }
    if (animation.loopCount < 0)
        animation.loopCount = LoopCount(gif->ExtensionBlocks, gif->ExtensionBlockCount);
    return animation;
}

}  // namespace glimra::test
