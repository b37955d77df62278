# Fails when a file of dtcore includes a Qt header.
file(GLOB_RECURSE files
  ${ROOT}/src/platform/*.h ${ROOT}/src/platform/*.cpp
  ${ROOT}/src/image/*.h ${ROOT}/src/image/*.cpp ${ROOT}/src/xpm/*.h ${ROOT}/src/xpm/*.cpp
  ${ROOT}/src/distance/*.h ${ROOT}/src/distance/*.cpp ${ROOT}/src/morphology/*.h ${ROOT}/src/morphology/*.cpp
  ${ROOT}/src/filtermorph/*.h ${ROOT}/src/filtermorph/*.cpp)
set(bad "")
foreach(f ${files})
  if(f MATCHES "/gui/" OR f MATCHES "/platform/qt/")
    continue()
  endif()
  file(STRINGS ${f} lines REGEX "#[ \t]*include[ \t]*[<\"]Q")
  if(lines)
    list(APPEND bad "${f}")
  endif()
endforeach()
if(bad)
  message(FATAL_ERROR "Qt headers in dtcore: ${bad}")
endif()
