// Sixteen-byte vectors of the compiler's vector extension, for the pixel loops that the
// compiler cannot vectorise by itself. Where the target has no vector unit, the compiler
// splits them into plain integer operations. Vectors are loaded and stored with memcpy
// (no alignment needed) and never passed to or returned from functions by value, which
// would change the calling convention on targets without SSE.
#pragma once

#include <cstdint>

namespace glimra {

using U16x8 = std::uint16_t __attribute__((vector_size(16)));
using U32x4 = std::uint32_t __attribute__((vector_size(16)));

}  // namespace glimra
