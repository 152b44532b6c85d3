# SPDX-License-Identifier: MIT
# Cross-compiles for 32-bit Windows with Debian's g++-mingw-w64-i686-posix.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(DORVANE_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# The build's own test programs run under Wine (Debian's wine32:i386 runs 32-bit programs).
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
