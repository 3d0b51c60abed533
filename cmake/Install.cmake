# Installation as a Linux program: the executable in bin, the archiver
# library in a private library folder the program looks into (after the
# folder of the executable), the desktop entry, icons, AppStream metadata,
# the man page and the package documents. An installed program keeps the
# user's settings in ~/.config/tidewell, since it cannot write beside itself.
# Include this file from the top-level CMakeLists.txt after add_subdirectory(src).
include(GNUInstallDirs)

set(TIDEWELL_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/tidewell)
set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/platform/DynamicLibrary.cpp
             TARGET_DIRECTORY tidewell_platform APPEND PROPERTY COMPILE_DEFINITIONS
             TIDEWELL_PRIVATE_LIBDIR="${CMAKE_INSTALL_FULL_LIBDIR}/tidewell")

install(TARGETS tidewell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A library loaded by the program alone: readable, not executable.
install(TARGETS unlha32 LIBRARY DESTINATION ${TIDEWELL_PRIVATE_LIBDIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

set(resources ${PROJECT_SOURCE_DIR}/src/resources)
install(FILES ${resources}/org.tidewell.Tidewell.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${resources}/org.tidewell.Tidewell.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${resources}/icons/tidewell.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${resources}/icons/tidewell.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128)
    install(FILES ${resources}/icons/hicolor/${size}x${size}/tidewell.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian wants the man page and the changelog compressed, without a time
# stamp in the gzip header so that builds repeat byte for byte.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(docs_out ${CMAKE_BINARY_DIR}/docs)
add_custom_command(
    OUTPUT ${docs_out}/tidewell.1.gz ${docs_out}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${docs_out}
    COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/docs/tidewell.1 > ${docs_out}/tidewell.1.gz
    COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog > ${docs_out}/changelog.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/tidewell.1 ${PROJECT_SOURCE_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(tidewell_docs ALL DEPENDS ${docs_out}/tidewell.1.gz ${docs_out}/changelog.gz)
install(FILES ${docs_out}/tidewell.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${docs_out}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tidewell)

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
