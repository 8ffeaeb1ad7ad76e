// 80-bit x87 arithmetic as the pixel code relies on it. The precision-control field of
// the x87 control word decides how many significand bits every x87 result keeps, and a
// process may start with it set to 53 bits (double), which would silently change the
// results of long double arithmetic. ExtendedPrecision pins it for a scope.
#pragma once

#include <cfloat>
#include <cstdint>

static_assert(LDBL_MANT_DIG == 64, "the pixel code needs long double to be the x87 80-bit format");

namespace glimra {

// For its lifetime: x87 results keep a 64-bit significand and round to nearest, even.
// The previous control word comes back on destruction.
class ExtendedPrecision {
  public:
    ExtendedPrecision();
    ~ExtendedPrecision();
    ExtendedPrecision(const ExtendedPrecision&) = delete;
    ExtendedPrecision& operator=(const ExtendedPrecision&) = delete;

  private:
    std::uint16_t saved_;
};

}  // namespace glimra
