# SPDX-License-Identifier: MIT
# Fails when an include runs up the layers (README, "How the code is laid out"; the shared files
# of platform/ lie below all) or, in any of them, to a toolkit or OS header. -DROOT=<source tree>.
set(system "FL/|X11/|windows\\.h|unistd\\.h|sys/|fcntl\\.h|dirent\\.h|pthread\\.h|signal\\.h|spawn\\.h")
function(check dir forbidden)  # forbidden: what the sources of `dir` must not include
  file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/${dir}/*.h ${ROOT}/${dir}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "^platform/.+/")  # the backends include their toolkit
  foreach(src ${sources})
    file(STRINGS ${ROOT}/${src} found REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](\\.\\./)*(${forbidden})")
    if(found)
      message(SEND_ERROR "${src} includes against the layers: ${found}")
    endif()
  endforeach()
endfunction()
check(platform "${system}|catalogue/|about/|colours/|launcher/|mainwindow/")
check(catalogue "${system}|about/|colours/|launcher/|mainwindow/")
check(about "${system}|colours/|launcher/|mainwindow/")
check(colours "${system}|about/|launcher/|mainwindow/")
check(launcher "${system}|about/|colours/|mainwindow/")
check(mainwindow "${system}")
