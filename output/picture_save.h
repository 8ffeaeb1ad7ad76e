// The save command's work: the picture in the format of the type chosen in the
// save dialog, written to the file without risk to an existing one.
#pragma once

#include <string>

#include "ui/TPicture.h"

namespace glimra {

// The types of the save dialog's list, by their index there.
enum SaveType { kSaveBmp = 1, kSaveJpeg = 2, kSaveGif = 3, kSavePng = 4 };

// Brings `picture` to 24 bits per pixel in place, for good; the colours stay.
// The save and the print work on this layout.
void ConvertTo24Bits(ui::TPicture& picture);

// Converts `picture` to 24 bits per pixel (the conversion stays also when the
// save fails), then writes it as type `type` to `path`. The type alone decides
// the format, whatever the name's extension. Throws SaveError.
void SavePicture(const std::string& path, int type, ui::TPicture& picture);

}  // namespace glimra
