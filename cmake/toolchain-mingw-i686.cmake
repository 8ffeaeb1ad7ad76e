# The program itself: 32-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(GLIMRA_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
