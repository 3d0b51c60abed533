# The Debian package: `cpack -G DEB` in a build configured with
# -DCMAKE_INSTALL_PREFIX=/usr writes tidewell_<version>_<arch>.deb.
# The library dependencies come from the binaries (dpkg-shlibdeps, in
# dpkg-dev); the fonts the dialogs name are added by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidewell)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tidewell developers <tidewell@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "copy one folder tree onto another by saved copy settings")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tidewell copies a source folder tree onto a destination folder by saved
copy settings: which files, newer files only, with or without subfolders,
a question before each overwrite, replaced files moved to the trash,
folders left out. A setting can pack the tree into an LZH archive instead,
and ordered sets of settings run in one go with one log, from the window,
the command line or a timer.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
set(CPACK_STRIP_FILES ON)
# The package holds what the program needs at run time, not the tests' files.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/")
include(CPack)
