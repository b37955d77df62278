# Installing dtmorph as a desktop program: `cmake --install BUILD [--prefix P]` puts
#   P/bin/dtdemo, P/bin/dtmorph                      the two programs
#   P/share/dtmorph/samples/*.xpm                    the pictures of the sample commands
#   P/share/applications/dtmorph.desktop             the menu entry, opening pictures in dtdemo
#   P/share/icons/hicolor/scalable/apps/dtmorph.svg  its icon
# (bin and share as GNUInstallDirs names them). The window looks for its samples relative to its
# own program file, so any prefix works.
include(GNUInstallDirs)

set(DT_SAMPLES_UNDER_DATA dtmorph/samples)
file(GLOB DT_SAMPLE_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/samples/*.xpm)
install(TARGETS dtmorph RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${DT_SAMPLE_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/${DT_SAMPLES_UNDER_DATA})

if(TARGET dtdemo)
  install(TARGETS dtdemo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/data/dtmorph.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/dtmorph.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  # Where the sample commands look after the working directory (src/app/SampleFiles.cpp): the
  # installed samples as seen from the programs' folder, then the source tree's for a build tree.
  file(RELATIVE_PATH samples_from_bin
    ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/${DT_SAMPLES_UNDER_DATA})
  target_compile_definitions(dtgui PRIVATE
    DT_SAMPLES_FROM_BIN="${samples_from_bin}"
    DT_SOURCE_SAMPLES_DIR="${PROJECT_SOURCE_DIR}/samples")
endif()
