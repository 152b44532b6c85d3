# SPDX-License-Identifier: MIT
# Cross-compiles for 64-bit Windows with Debian's g++-mingw-w64-x86-64-posix.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DORVANE_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# The build's own test programs run under Wine (Debian's wine64 runs 64-bit programs only).
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
