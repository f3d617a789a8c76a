# Installation under any prefix, desktop integration and the Debian package.
#
#   bin/orbe
#   share/orbe/NOMBRES.TXT                  the shipped list of places
#   share/applications/<id>.desktop         Path= is share/orbe, so the program
#                                           started from the menu finds its list
#   share/icons/hicolor/<size>/apps/<id>.*  16 to 256 px and scalable
#   share/metainfo/<id>.metainfo.xml
#   share/doc/orbe/copyright

set(ORBE_APP_ID "io.github.orbe.Orbe")
set(ORBE_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")
set(ORBE_ICONS_DIR "${PROJECT_SOURCE_DIR}/assets/icons")

install(TARGETS orbe RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES "${PROJECT_SOURCE_DIR}/assets/NOMBRES.TXT" DESTINATION ${CMAKE_INSTALL_DATADIR}/orbe)

# The desktop entry names the installed program and list folder, so it is
# written at install time: `cmake --install --prefix` may differ from the
# prefix the build was configured with.
install(CODE "
    set(ORBE_APP_ID \"${ORBE_APP_ID}\")
    set(ORBE_DESKTOP_TEMPLATE \"${ORBE_PACKAGING_DIR}/${ORBE_APP_ID}.desktop.in\")
    set(ORBE_DESKTOP_WORK_DIR \"${CMAKE_CURRENT_BINARY_DIR}/packaging\")
    set(ORBE_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
    set(ORBE_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
    include(\"${ORBE_PACKAGING_DIR}/desktop-entry.cmake\")
")

foreach(size 16 22 32 48 64 128 256)
    install(FILES "${ORBE_ICONS_DIR}/orbe-${size}.png"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${ORBE_APP_ID}.png)
endforeach()
install(FILES "${ORBE_ICONS_DIR}/orbe.svg"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${ORBE_APP_ID}.svg)

install(FILES "${ORBE_PACKAGING_DIR}/${ORBE_APP_ID}.metainfo.xml" DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES "${ORBE_PACKAGING_DIR}/copyright" DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orbe)

# cpack -G DEB: orbe_2.3.0_<arch>.deb, installing under /usr.
# Installing (and cpack) takes what is built; it does not build everything
# first, so the packaging tests can package the build they run in.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "orbe")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0")
set(CPACK_PACKAGE_VENDOR "Equipo de Orbe")
set(CPACK_PACKAGE_CONTACT "Equipo de Orbe <orbe@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "political world map: find countries and their capitals")
set(CPACK_PACKAGE_DESCRIPTION
    "Orbe shows a large political map of the world in a scrolling view. Choose a
country from the list (Spanish names, capital in parentheses) and a marker
lands on its capital; press the map anywhere to read the point's coordinates
and mark the nearest listed capital. The list of 246 places is a plain text
file that can be edited or replaced.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
# The desktop entry is written with the prefix the package installs to, not
# the staging folder cpack installs into.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX "${CPACK_PACKAGING_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "education")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/orbe/orbe")
# Library dependencies come from dpkg-shlibdeps; the layout's fonts are
# substituted by Liberation Sans, which nothing links against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
include(CPack)
