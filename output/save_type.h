// The file types of the save command, named once: their order is the order of the
// save dialog's type list (its filter index counts from 1), and each carries the
// file-name pattern that the list shows for it.
#pragma once

namespace glimra {

enum class SaveType { Bmp = 1, Jpeg = 2, Gif = 3, Png = 4 };

struct SaveTypeEntry {
    SaveType type;
    const char* pattern;  // as the dialog's filter names it: "*.bmp"
};

inline constexpr SaveTypeEntry kSaveTypes[] = {
    {SaveType::Bmp, "*.bmp"},
    {SaveType::Jpeg, "*.jpg"},
    {SaveType::Gif, "*.gif"},
    {SaveType::Png, "*.png"},
};

// The type at a position of the dialog's list; throws SaveError for a position
// that names none.
SaveType SaveTypeAt(int filterIndex);

}  // namespace glimra
