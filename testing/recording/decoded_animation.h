// The recorder's GIF files read back: giflib's decoder reads the images, and the
// frames are composed here as a viewer shows them, each image drawn over what
// the frame before left, its transparent pixels letting that show through.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace glimra::test {

struct DecodedFrame {
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows from the top
    int delay = 0;                      // hundredths of a second
    // The image that made the frame.
    int left = 0, top = 0, width = 0, height = 0;
    int disposal = 0;      // the control block's disposal method
    int transparent = -1;  // the transparent index, -1 for none
    int tableSize = 0;     // entries of the image's own table, 0 where it has none
};

struct DecodedAnimation {
    int width = 0, height = 0;
    int globalTableSize = 0;
    int loopCount = -1;  // from the NETSCAPE2.0 extension (0: for ever); -1: no such extension
    std::vector<DecodedFrame> frames;
};

// Throws std::runtime_error for a file giflib cannot read, an image past the
// screen or an index past its colour table.
DecodedAnimation DecodeAnimation(const std::vector<std::uint8_t>& file);

}  // namespace glimra::test
