# The program itself: 32-bit Windows. The minimum processor has SSE2 (every x86
# processor since 2004; current Windows requires it): the compiler vectorises the
# pixel loops with it, and float and double arithmetic uses it. long double stays the
# x87 80-bit format that the pixel code's extended-precision rules rely on.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(GLIMRA_TRIPLET i686-w64-mingw32)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
