# Installation as a desktop program (cmake --install) and the Debian package (cpack -G DEB).
#
# The help file is installed by help/ into ${CMAKE_INSTALL_DATADIR}/quorvan; the
# program also finds it there relative to bin/, so the package may be built with
# any prefix.

set(QUORVAN_DATA_SOURCE_DIR ${CMAKE_SOURCE_DIR}/data)

install(TARGETS quorvan RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The editor and the web preview plugin, loaded by the program from
# bin/../lib/quorvan (relative, so a relocated tree still finds them).
install(TARGETS quorvan_gui quorvan_webpreview LIBRARY DESTINATION ${QUORVAN_INSTALL_PKGLIBDIR})

install(FILES ${QUORVAN_DATA_SOURCE_DIR}/io.github.quorvan.Quorvan.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUORVAN_DATA_SOURCE_DIR}/quorvan-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME quorvan.xml)
install(FILES ${QUORVAN_DATA_SOURCE_DIR}/io.github.quorvan.Quorvan.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Icons: data/icons/quorvan.svg and data/icons/quorvan-<N>.png, into hicolor.
set(QUORVAN_ICON_SIZES 16 24 32 48 64 128 256)
set(_quorvan_icons ${QUORVAN_DATA_SOURCE_DIR}/icons)
install(FILES ${_quorvan_icons}/quorvan.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(_size ${QUORVAN_ICON_SIZES})
    install(FILES ${_quorvan_icons}/quorvan-${_size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
            RENAME quorvan.png)
endforeach()

# --- Debian package ---------------------------------------------------------
# No maintainer scripts: Debian's shared-mime-info, desktop-file-utils and icon
# cache packages refresh their databases through dpkg triggers on these folders.
set(QUORVAN_PACKAGE_MAINTAINER "Quorvan developers <quorvan@quorvan.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvan)
set(CPACK_PACKAGE_VENDOR "Quorvan developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${QUORVAN_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "HTML table editor with an English and Japanese user interface")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Quorvan lays out an HTML table as a grid of cells. The table and each cell"
    "get their attributes (header cells, merges, sizes, alignment, colours),"
    "each cell's content is typed as HTML, and the program writes the markup of"
    "one TABLE element to copy into a web page, with previews in the window and"
    "in the browser. Tables are saved as compressed .qvn files; older .qvf"
    "files still open. The interface and the help are in English or Japanese,"
    "following the user's locale.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)            # quorvan_3.1.0_amd64.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUORVAN_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)             # needs dpkg-shlibdeps (dpkg-dev)
# The libraries come from shlibdeps, which reads the loaded libraries in
# lib/quorvan too (the web engine from the preview plugin). What it cannot see: the web engine's helper
# process (a separate program, not a linked library) renders every preview, and
# Qt's own dialogs and menus speak Japanese only with Qt's translation catalogues.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6webenginecore6-bin, qt6-translations-l10n")
# Japanese text needs a CJK font; the browser preview hands its page to xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
