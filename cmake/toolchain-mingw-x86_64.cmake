# The same code for 64-bit Windows: only for running the Windows tests under
# 64-bit Wine on a machine whose kernel cannot run 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GLIMRA_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
