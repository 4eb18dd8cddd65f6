# Install layout, desktop integration and the Debian package. The version comes from
# project() alone: the about window, the metainfo and the package all read it from there.
include(GNUInstallDirs)
# Installing and packaging need the program, not every test and benchmark.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(PELKO_RELEASE_DATE "2026-12-08" CACHE STRING "Date of this version's release (YYYY-MM-DD)")
set(PELKO_SCREENSHOT_URL "https://pelko.invalid/screenshots" CACHE STRING
    "Where the pictures of docs/ named in the metainfo are published")
set(PELKO_APPSTREAM_ID "invalid.pelko.Pelko")

install(TARGETS pelko RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The help pages are built into the program; only the sample problems are files.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/DATA ${PROJECT_SOURCE_DIR}/data/PLACTICE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/pelko)
# The certificate checking page a school publishes; pelko --site-key new copies it with the key.
install(FILES ${PROJECT_SOURCE_DIR}/share/pelko/verify.html DESTINATION ${CMAKE_INSTALL_DATADIR}/pelko)
# The results database's roles, for its administrator.
install(FILES ${PROJECT_SOURCE_DIR}/share/pelko/roles.sql DESTINATION ${CMAKE_INSTALL_DATADIR}/pelko)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/pelko.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/pelko.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(${PROJECT_SOURCE_DIR}/packaging/pelko.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/${PELKO_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${PELKO_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page and the Debian documentation folder, compressed the way Debian asks
# (gzip -9n: no name or time inside, so the same sources give the same bytes).
execute_process(COMMAND date -u -R -d "${PELKO_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE PELKO_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/pelko.1.in ${PROJECT_BINARY_DIR}/pelko.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
foreach(page pelko.1 changelog)
  execute_process(COMMAND gzip -9n -c ${PROJECT_BINARY_DIR}/${page}
                  OUTPUT_FILE ${PROJECT_BINARY_DIR}/${page}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/pelko.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pelko)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelko)
set(CPACK_PACKAGE_VENDOR "Pelko")
set(CPACK_PACKAGE_CONTACT "Pelko maintainers <maintainers@pelko.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese typing test through the input method")
# One string: a CMake list would join its parts with ";" into the package's description.
set(CPACK_PACKAGE_DESCRIPTION
    "Pelko measures how fast and how accurately a person enters Japanese text\nthrough the input method, keeps the results in logs and a ranking, and\nprints a certificate.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The xcb platform plugin is a package of its own; the fonts are the ones Fonts.cpp asks for.
# The libraries come from dpkg-shlibdeps where it is installed, else from this list.
set(PELKO_DEB_RUNTIME "qt6-qpa-plugins, fonts-ipafont-gothic")
find_program(PELKO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(PELKO_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${PELKO_DEB_RUNTIME}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), libcups2, libsodium23, libqrencode4, libzxing2, libpoppler-qt6-3, libpq5, ${PELKO_DEB_RUNTIME}")
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ibus-mozc | fcitx5-mozc")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "printer-driver-cups-pdf")
include(CPack)
