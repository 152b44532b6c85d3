# SPDX-License-Identifier: MIT
# The Debian package, made by `cpack` in the build folder from what `cmake --install` installs:
# build/dorvane_<version>_<arch>.deb. Its library dependencies are worked out from the program
# by dpkg-shlibdeps (dpkg-dev). Configure it like a release: Release, DORVANE_STATIC off (the
# system's shared FLTK and libjpeg), CMAKE_INSTALL_PREFIX /usr; the "package" preset does. The
# package installs under /usr, with the program in /usr/games, from any configure.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Dorvane developers")
set(CPACK_PACKAGE_CONTACT "Tobias Wrenfield <toby@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "map launcher for Duke Nukem 3D and its map editor")
# Wrapped as Debian wants it (lines under 80 characters); CPack indents the lines and turns the
# empty one into " .".
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "Dorvane keeps a catalogue of Duke Nukem 3D map files in 68 slots and starts"
       "the game, its map editor or its setup program with the chosen map, or"
       "without one. It can pick a random map, and sort, move and clear the"
       "catalogue's entries."
       ""
       "It runs in the game's folder, which holds the catalogue file Qimdat.dat and"
       "the game's programs; DOS versions of them run inside DOSBox, Windows"
       "versions through Wine.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_games.cmake)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.example.com/wrenfield/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The game's DOS and Windows programs need one of these to run; the launcher itself does not.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "dosbox, wine")
# The face of the widths the window's layouts were drawn for (the program falls back to the
# default sans face without it, and some captions are cut off).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-urw-base35")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
