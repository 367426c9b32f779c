# Cross-build for 64-bit Windows with Debian's MinGW-w64: the same program, for machines where
# only the 64-bit Wine runs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOLVEX_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
