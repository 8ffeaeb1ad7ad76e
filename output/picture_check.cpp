#include "output/picture_check.h"

#include <string>

#include "output/save_error.h"

namespace glimra {

void CheckPicture(const PixelView& view, const char* format) {
    const std::string prefix = std::string("Cannot save as ") + format + ": ";
    if (view.Empty() || view.data == nullptr)
        throw SaveError(prefix + "the picture is empty (width or height 0).");
    if (view.bytesPerPixel != 3)
        throw SaveError(prefix + "the picture is not in 24 bits per pixel.");
}

}  // namespace glimra
