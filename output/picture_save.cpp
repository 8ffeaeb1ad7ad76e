#include "output/picture_save.h"

#include "output/atomic_save.h"
#include "output/bmp_writer.h"
#include "output/gif_writer.h"
#include "output/jpeg_writer.h"
#include "output/png_writer.h"
#include "output/save_error.h"

namespace glimra {

void ConvertTo24Bits(ui::TPicture& picture) {
    if (picture.Bitmap().PixelFormat() == ui::TPixelFormat::pf24bit) return;
    picture.Bitmap().SetPixelFormat(ui::TPixelFormat::pf24bit);
    picture.Changed();
}

void SavePicture(const std::string& path, int type, ui::TPicture& picture) {
    void (*writer)(const PixelView&, ByteSink&) = nullptr;
    switch (type) {
        case kSaveBmp:
            writer = WriteBmp;
            break;
        case kSaveJpeg:
            writer = WriteJpeg;
            break;
        case kSaveGif:
            writer = WriteGif;
            break;
        case kSavePng:
            writer = WritePng;
            break;
        default:
            throw SaveError("Cannot save: the file type " + std::to_string(type) +
                            " is not known.");
    }
    ConvertTo24Bits(picture);
    const PixelView view = picture.Bitmap().View();
    SaveAtomically(path, [&](ByteSink& sink) { writer(view, sink); });
}

}  // namespace glimra
