// Words and sixteen-byte vectors for the pixel loops that the compiler cannot vectorise
// by itself. Vectors use the compiler's vector extension; where the target has no vector
// unit, the compiler splits them into plain integer operations. Both are loaded and
// stored with memcpy (no alignment needed, and no aliasing question); vectors are never
// passed to or returned from functions by value, which would change the calling
// convention on targets without SSE.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace glimra {

// Byte 0 of a pixel is the low byte of a word.
static_assert(std::endian::native == std::endian::little);

using U16x8 = std::uint16_t __attribute__((vector_size(16)));
using U32x4 = std::uint32_t __attribute__((vector_size(16)));
using U64x2 = std::uint64_t __attribute__((vector_size(16)));

inline std::uint64_t Load64(const std::uint8_t* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

inline void Store64(std::uint8_t* p, std::uint64_t word) {
    std::memcpy(p, &word, sizeof word);
}

// Stores a vector at `p` (16-byte aligned) past the caches, where the processor can:
// a large target written once is then not read first, line by line, into the caches
// that it would only push out of them. A thread that stores so calls StoresDone
// before others read what it wrote.
inline void StoreStreaming(std::uint8_t* p, const U32x4& v) {
#if defined(__SSE2__)
    _mm_stream_si128(reinterpret_cast<__m128i*>(p), reinterpret_cast<const __m128i&>(v));
#else
    std::memcpy(p, &v, sizeof v);
#endif
}

inline void StoresDone() {
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

// The low 24 bits of a word: one packed b, g, r pixel.
constexpr std::uint64_t kPackedPixel = 0xFFFFFF;

}  // namespace glimra
