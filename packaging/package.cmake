# SPDX-License-Identifier: GPL-3.0-or-later
# Install rules and the Debian package: `make package` (cpack -G DEB).
# Everything lands under /usr; the version is the project's.
include(GNUInstallDirs)

set(KESTRUM_RELEASE_DATE 2026-12-08)  # of the version in project()
set(_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(_generated ${PROJECT_BINARY_DIR}/packaging)

install(TARGETS kestrum kestrum-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# udev reads /usr/lib/udev/rules.d whatever the library folder is called.
install(FILES ${_packaging}/udev/70-kestrum-ftdi.rules DESTINATION lib/udev/rules.d)
install(FILES ${_packaging}/desktop/org.kestrum.Kestrum.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_packaging}/desktop/org.kestrum.Kestrum.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${_packaging}/desktop/kestrum-rn.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
configure_file(${_packaging}/desktop/org.kestrum.Kestrum.metainfo.xml.in
               ${_generated}/org.kestrum.Kestrum.metainfo.xml @ONLY)
install(FILES ${_generated}/org.kestrum.Kestrum.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Man pages go compressed, as Debian has them.
set(_manpages)
foreach(_page kestrum.1 kestrum-tool.1)
  add_custom_command(OUTPUT ${_generated}/${_page}.gz
    COMMAND gzip -9 -n -c ${_packaging}/man/${_page} > ${_generated}/${_page}.gz
    DEPENDS ${_packaging}/man/${_page} VERBATIM)
  list(APPEND _manpages ${_generated}/${_page}.gz)
endforeach()
add_custom_target(kestrum_manpages ALL DEPENDS ${_manpages})
install(FILES ${_manpages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Debian's doc folder: the licence in the machine-readable copyright format and the
# changelog. The version is native (no Debian revision), so the changelog is changelog.gz.
set(_docdir ${CMAKE_INSTALL_DATADIR}/doc/${PROJECT_NAME})
add_custom_command(OUTPUT ${_generated}/changelog.gz
  COMMAND gzip -9 -n -c ${_packaging}/debian/changelog > ${_generated}/changelog.gz
  DEPENDS ${_packaging}/debian/changelog VERBATIM)
add_custom_target(kestrum_changelog ALL DEPENDS ${_generated}/changelog.gz)
install(FILES ${_packaging}/debian/copyright ${_generated}/changelog.gz DESTINATION ${_docdir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrum)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kestrum developers <support@kestrum.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "PC program of the Kestrum radon monitor")
# Debian shows the description in 80 columns; dpkg indents each line by one.
set(CPACK_PACKAGE_DESCRIPTION
    "Downloads the measurement memory of a Kestrum radon monitor (K5-K8) over\n\
its FTDI USB-serial converter, charts its runs, saves, exports and prints\n\
them, and sets the instrument's clock and alarm level. With kestrum-tool,\n\
its command-line twin.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${_packaging}/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# The package check: builds the package into a folder of its own and looks into it
# without installing it.
add_test(NAME package_check
  COMMAND ${_packaging}/check-package.sh ${PROJECT_BINARY_DIR} ${PROJECT_VERSION})
set_tests_properties(package_check PROPERTIES TIMEOUT 600)
