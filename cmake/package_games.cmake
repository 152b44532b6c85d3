# SPDX-License-Identifier: MIT
# Run by cpack once the files are staged (CPACK_PRE_BUILD_SCRIPTS): a game's program belongs in
# /usr/games for Debian's section games, wherever the configure put its binaries.
file(GLOB staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/dorvane"
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/bin/dorvane")
foreach(program IN LISTS staged)
  get_filename_component(bin ${program} DIRECTORY)
  get_filename_component(prefix ${bin} DIRECTORY)
  file(MAKE_DIRECTORY ${prefix}/games)
  file(RENAME ${program} ${prefix}/games/dorvane)
  file(GLOB left ${bin}/*)
  if(NOT left)
    file(REMOVE_RECURSE ${bin})
  endif()
endforeach()
