# cpack -G DEB in the build folder makes quorvane_<version>_<arch>.deb. Its
# dependencies are the shared libraries the program and its plugin link (dpkg-shlibdeps)
# plus what it needs at run time without linking: the Arial-compatible fonts
# the board is designed in, Qt's platform plugins, and Qt's SVG plugins, which
# draw the window icon and the start screen's logo at sizes not rendered at
# build time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "Tessaline")
set(CPACK_PACKAGE_CONTACT "Tessaline <quorvane@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Baseball scoreboard kept from the keyboard")
set(CPACK_PACKAGE_DESCRIPTION "Quorvane shows a baseball game on a board of seven-segment LED digits
that fills any screen or projector: the count and a ten-inning line score
with each team's runs, hits and errors, kept by the operator from the keyboard.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quorvane)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-qpa-plugins, libqt6svg6")
include(CPack)
