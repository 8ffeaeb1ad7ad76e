#include "output/save_type.h"

#include <string>

#include "output/save_error.h"

namespace glimra {

SaveType SaveTypeAt(int filterIndex) {
    for (const SaveTypeEntry& entry : kSaveTypes)
        if (static_cast<int>(entry.type) == filterIndex) return entry.type;
    throw SaveError("Cannot save: the file type " + std::to_string(filterIndex) + " is not known.");
}

}  // namespace glimra
