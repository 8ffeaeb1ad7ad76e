#include "output/windows/picture_save.h"

#include "output/bmp_writer.h"
#include "output/gif_writer.h"
#include "output/jpeg_writer.h"
#include "output/png_writer.h"
#include "output/windows/atomic_save.h"

namespace glimra {

void SavePicture(const std::string& path, SaveType type, const PixelView& picture) {
    void (*writer)(const PixelView&, ByteSink&) = nullptr;
    switch (type) {
        case SaveType::Bmp:
            writer = WriteBmp;
            break;
        case SaveType::Jpeg:
            writer = WriteJpeg;
            break;
        case SaveType::Gif:
            writer = WriteGif;
            break;
        case SaveType::Png:
            writer = WritePng;
            break;
    }
    SaveAtomically(path, [&](ByteSink& sink) { writer(picture, sink); });
}

void SavePngWithAlpha(const std::string& path, const PixelView& picture) {
    SaveAtomically(path, [&](ByteSink& sink) { WritePngWithAlpha(picture, sink); });
}

}  // namespace glimra
