# SPDX-License-Identifier: MIT
# Shows that the layer check passes a tree that keeps its layers and fails each way of breaking
# them. Run with -DCHECK=<include_layers.cmake> -DWORK=<scratch folder>.
cmake_minimum_required(VERSION 3.25)

# check(<name> <expect: pass|fail> <file> <include line> [<file> <include line>]...): writes a
# small tree of those files, runs the check on it and fails when the outcome differs.
function(check name expect)
  set(root ${WORK}/${name})
  file(REMOVE_RECURSE ${root})
  # Every tree starts out sound, so that only the lines given decide.
  file(WRITE ${root}/catalogue/state.h "#include \"platform/form.h\"\n")
  file(WRITE ${root}/mainwindow/dorvane.cpp "#include \"about/aboutqim.h\"\n"
                                            "#include \"colours/skrewform.h\"\n"
                                            "#include \"launcher/launcher.h\"\n")
  set(args ${ARGN})
  while(args)
    list(POP_FRONT args file line)
    file(APPEND ${root}/${file} "${line}\n")
  endwhile()
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${root} -P ${CHECK}
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
  if(expect STREQUAL "pass" AND NOT rc EQUAL 0)
    message(SEND_ERROR "${name}: the check refused a sound tree:\n${err}")
  elseif(expect STREQUAL "fail" AND rc EQUAL 0)
    message(SEND_ERROR "${name}: the check let a bad include through")
  endif()
endfunction()

check(sound pass
      about/aboutqim.cpp "#include \"about/aboutqim.h\""
      about/aboutqim.h "#include \"catalogue/state.h\""
      colours/skrewform.h "#include \"platform/services.h\""
      launcher/launcher.cpp "#include <string>"
      mainwindow/launch.cpp "#include \"mainwindow/dorvane.h\"")
check(dialog_into_main_window fail about/aboutqim.cpp "#include \"mainwindow/dorvane.h\"")
check(between_dialog_folders fail colours/skrewform.cpp "#include \"launcher/launcher.h\"")
check(launcher_into_about fail launcher/random.cpp "#include \"about/aboutqim.h\"")
check(catalogue_upwards fail catalogue/database.cpp "#include \"colours/skrewform.h\"")
check(relative_path fail launcher/launcher.cpp "#include \"../mainwindow/dorvane.h\"")
check(angle_brackets_and_spaces fail colours/skrewform.h "  #  include <mainwindow/addmaps.h>")
file(REMOVE_RECURSE ${WORK})
