#include "imaging/extended_precision.h"

namespace glimra {

namespace {

// Control-word fields: bits 8-9 precision control (11 = 64-bit significand), bits 10-11
// rounding control (00 = to nearest, even).
constexpr std::uint16_t kPrecisionAndRounding = 0x0F00;
constexpr std::uint16_t kExtendedToNearest = 0x0300;

std::uint16_t ReadControlWord() {
    std::uint16_t word;
    __asm__ volatile("fnstcw %0" : "=m"(word) : : "memory");
    return word;
}

void WriteControlWord(std::uint16_t word) {
    __asm__ volatile("fldcw %0" : : "m"(word) : "memory");
}

}  // namespace

ExtendedPrecision::ExtendedPrecision() : saved_(ReadControlWord()) {
    WriteControlWord(
        static_cast<std::uint16_t>((saved_ & ~kPrecisionAndRounding) | kExtendedToNearest));
}

ExtendedPrecision::~ExtendedPrecision() {
    WriteControlWord(saved_);
}

}  // namespace glimra
