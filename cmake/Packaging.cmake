# SPDX-License-Identifier: GPL-3.0-or-later
# What "cmake --install" puts where, and the Debian package "cpack -G DEB" builds from it
# (quorvel_<version>_<arch>.deb, runtime dependencies computed by dpkg-shlibdeps).
include(GNUInstallDirs)
# "install" and cpack take what is built; they do not build every test program first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(QUORVEL_APP_ID de.zantor.Quorvel)
set(QUORVEL_DATA ${PROJECT_SOURCE_DIR}/data)
set(QUORVEL_GENERATED ${PROJECT_BINARY_DIR}/packaging)
set(QUORVEL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/quorvel)

install(TARGETS quorvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${QUORVEL_DATA}/${QUORVEL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUORVEL_DATA}/${QUORVEL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${QUORVEL_DATA}/icons/quorvel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${QUORVEL_APP_ID}.svg)

# PNG sizes of the icon, rendered from the SVG at build time.
find_program(RSVG_CONVERT rsvg-convert)
set(icon_pngs)
if(RSVG_CONVERT)
  foreach(size 16 24 32 48 64 128 256)
    set(png ${QUORVEL_GENERATED}/icons/${size}x${size}/${QUORVEL_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${QUORVEL_GENERATED}/icons/${size}x${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${QUORVEL_DATA}/icons/quorvel.svg
      DEPENDS ${QUORVEL_DATA}/icons/quorvel.svg VERBATIM)
    list(APPEND icon_pngs ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
else()
  message(WARNING "rsvg-convert not found (Debian package librsvg2-bin): the icon is installed as SVG only")
endif()

# Manual pages and the changelog compressed as Debian wants them (gzip -9n: no name, no time stamp).
set(gzipped)
function(quorvel_gzip source target)
  add_custom_command(OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUORVEL_GENERATED}
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${source} ${target}
    DEPENDS ${source} VERBATIM)
  set(gzipped ${gzipped} ${target} PARENT_SCOPE)
endfunction()
quorvel_gzip(${QUORVEL_DATA}/man/quorvel.1 ${QUORVEL_GENERATED}/man/quorvel.1.gz)
quorvel_gzip(${QUORVEL_DATA}/man/de/quorvel.1 ${QUORVEL_GENERATED}/man/de/quorvel.1.gz)
quorvel_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog ${QUORVEL_GENERATED}/changelog.gz)
add_custom_target(quorvel_package_files ALL DEPENDS ${icon_pngs} ${gzipped})
install(FILES ${QUORVEL_GENERATED}/man/quorvel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${QUORVEL_GENERATED}/man/de/quorvel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/de/man1 RENAME quorvel.1.gz)
install(FILES ${QUORVEL_GENERATED}/changelog.gz DESTINATION ${QUORVEL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${QUORVEL_DOCDIR})
# The user guide and its pictures.
install(FILES ${PROJECT_SOURCE_DIR}/docs/handbuch.md DESTINATION ${QUORVEL_DOCDIR} OPTIONAL)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/bilder DESTINATION ${QUORVEL_DOCDIR} OPTIONAL)

set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR ZAN-TOR)
set(CPACK_PACKAGE_CONTACT "ZAN-TOR <quorvel@zan-tor.de>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bookkeeping for the German cash-basis profit calculation")
# The extended description; cpack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quorvel records the income and expenses of a small business as bookings for\n\
the German cash-basis profit calculation (Einnahmen-Ueberschuss-Rechnung),\n\
shows the VAT owed for a period and prints the reports needed for the tax\n\
return. Reports and CSV files can also be made from the command line.\n\
The program speaks German.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.zan-tor.de/quorvel/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found by shlibdeps: the fonts the pages and windows are measured with, German texts of Qt's dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_GENERATOR DEB)
include(CPack)
