# Installation: the program keeps its settings, profile and log in its own
# folder and loads the archiver library from beside itself, so both go into
# one program folder (lib/tidewell); bin/tidewell is a link to the program
# (the program folder is found through /proc/self/exe, which resolves it).
# The desktop entry and the icon let a Linux desktop list the program.
# Include this file from the top-level CMakeLists.txt after add_subdirectory(src).
include(GNUInstallDirs)

set(TIDEWELL_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/tidewell)
install(TARGETS tidewell unlha32
        RUNTIME DESTINATION ${TIDEWELL_INSTALL_PROGRAM_DIR}
        LIBRARY DESTINATION ${TIDEWELL_INSTALL_PROGRAM_DIR})

file(RELATIVE_PATH tidewell_link_target ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${TIDEWELL_INSTALL_PROGRAM_DIR}/tidewell)
install(CODE "
    set(link \"\$ENV{DESTDIR}${CMAKE_INSTALL_FULL_BINDIR}/tidewell\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}${CMAKE_INSTALL_FULL_BINDIR}\")
    file(REMOVE \"\${link}\")
    file(CREATE_LINK \"${tidewell_link_target}\" \"\${link}\" SYMBOLIC)
    message(STATUS \"Installing: \${link} -> ${tidewell_link_target}\")
")

install(FILES ${PROJECT_SOURCE_DIR}/src/resources/tidewell.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/src/resources/icons/tidewell.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${PROJECT_SOURCE_DIR}/src/resources/icons/tidewell.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
