# Cross-compiles for 32-bit Windows with Debian's mingw-w64 (package g++-mingw-w64-i686-posix).
# The -posix flavour gives std::thread and friends, which GoogleTest needs. Everything links
# statically, so dorvane.exe needs nothing beyond the system's own DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(DORVANE_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${DORVANE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DORVANE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${DORVANE_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DORVANE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
