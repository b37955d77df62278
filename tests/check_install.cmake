# Installs the build tree BUILD into a fresh PREFIX and checks that it holds both programs, the
# desktop entry with what it names (the program of Exec, the Icon) and every sample, and that the
# installed dtmorph reads an installed sample.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
set(entry ${PREFIX}/share/applications/dtmorph.desktop)
file(STRINGS ${entry} exec REGEX "^Exec=")
file(STRINGS ${entry} icon REGEX "^Icon=")
string(REGEX REPLACE "^Exec=([^ ]*).*" "bin/\\1" exec "${exec}")
string(REGEX REPLACE "^Icon=" "share/icons/hicolor/scalable/apps/" icon "${icon}")
file(GLOB samples RELATIVE ${SOURCE}/samples ${SOURCE}/samples/*.xpm)
list(TRANSFORM samples PREPEND share/dtmorph/samples/)
foreach(file bin/dtdemo bin/dtmorph ${exec} ${icon}.svg ${samples})
  if(NOT EXISTS ${PREFIX}/${file} OR IS_DIRECTORY ${PREFIX}/${file})
    message(SEND_ERROR "${PREFIX}/${file} is missing")
  endif()
endforeach()
execute_process(COMMAND ${PREFIX}/bin/dtmorph info ${PREFIX}/share/dtmorph/samples/square.xpm
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
