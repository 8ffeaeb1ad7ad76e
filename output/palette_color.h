// One entry of an indexed picture's colour table.
#pragma once

#include <cstdint>

namespace glimra {

struct PaletteColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const PaletteColor&, const PaletteColor&) = default;
};

}  // namespace glimra
