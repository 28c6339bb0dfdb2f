# What `cmake --install` puts where under the prefix (GNU layout), and the
# Debian package made from the same rules (`make deb`, cpack -G DEB). The
# executables install from src/app.

if(TARGET ctgtilbo_ui)
  install(TARGETS ctgtilbo_ui LIBRARY DESTINATION ${TILBO_MODULE_DIR})
  install(FILES dist/ctgtilbo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES dist/ctgtilbo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# The manual pages: one roff source each in docs/man, the version filled in.
foreach(page ctgtilbo luctool)
  configure_file(docs/man/${page}.1.in ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/man/${page}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

install(FILES dist/completion/ctgtilbo dist/completion/luctool
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ctgtilbo)
set(CPACK_PACKAGE_VENDOR "CTG Tilbo")
set(CPACK_PACKAGE_CONTACT "CTG Tilbo developers <ctgtilbo@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert USGS CTG land-use files into one-degree LUC tiles")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "CTG Tilbo turns USGS land-use/land-cover files in the Composite Theme Grid format into LUC tiles,\n"
    "binary grids of 16-bit land-use codes on the UTM grid, in a desktop window or unattended\n"
    "(ctgtilbo /AUTO). luctool describes, renders and georeferences the tiles for GDAL and QGIS.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Library dependencies are computed from the installed binaries (dpkg-shlibdeps);
# only what no binary links is named here: the font luctool render draws with
# and the Qt platform plugins the window needs on X11 and Wayland.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
if(TARGET ctgtilbo_ui)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", qt6-qpa-plugins")
endif()
include(CPack)
