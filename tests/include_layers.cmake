# SPDX-License-Identifier: MIT
# Fails when an include runs up the layers (the README's "How the code is laid out"; platform/'s
# shared files, the seam every backend builds on, lie below all) or, in any of them, to a toolkit
# or OS header. Run with -DROOT=<source tree>.
set(system FL/ X11/ windows\\.h unistd\\.h sys/ fcntl\\.h dirent\\.h pthread\\.h signal\\.h spawn\\.h)
function(check dir)  # the folders named after `dir` lie above it
  list(TRANSFORM ARGN APPEND /)
  set(forbidden ${system} ${ARGN})
  list(JOIN forbidden "|" forbidden)
  file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/${dir}/*.h ${ROOT}/${dir}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "^platform/.+/")  # the backends include their toolkit
  foreach(src ${sources})
    file(STRINGS ${ROOT}/${src} found REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](\\.\\./)*(${forbidden})")
    if(found)
      message(SEND_ERROR "${src} includes against the layers: ${found}")
    endif()
  endforeach()
endfunction()
check(platform catalogue about colours launcher mainwindow)
check(catalogue about colours launcher mainwindow)
check(about colours launcher mainwindow)
check(colours about launcher mainwindow)
check(launcher about colours mainwindow)
check(mainwindow)
