# Installed layout (cmake --install, the Debian package):
#   bin/veltrix, bin/vanquil
#   share/veltrix/...              the program folder: pictures and readme files
#   share/applications/veltrix.desktop, share/metainfo/org.veltrix.Veltrix.metainfo.xml
#   share/icons/hicolor/{32x32,scalable}/apps/veltrix.{png,svg}
# An installed veltrix finds its pictures in ../share/veltrix next to its bin folder; that folder
# is not writable, so the data log goes to $XDG_STATE_HOME/veltrix instead.
include(GNUInstallDirs)

install(TARGETS veltrix vanquil RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/assets/program-folder/ DESTINATION ${CMAKE_INSTALL_DATADIR}/veltrix)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/veltrix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.veltrix.Veltrix.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/assets/program-folder/veltrix.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/veltrix.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Debian package (make package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Veltrix developers <veltrix@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "hardware-health monitor with fan control and a tray icon")
set(CPACK_PACKAGE_DESCRIPTION
    "Veltrix reads the sensor chip of one maker's mainboards (Winbond W83627HF, W83697HF,\n"
    "W83637HF, ITE IT8705F, IT8712F) through I/O ports, shows voltages, temperatures and fan\n"
    "speeds, raises alarms, logs, graphs and controls fans. Without supported hardware it runs\n"
    "on a simulated board. Includes vanquil, the clean-up tool.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Run-time dependencies come from the linked shared libraries (dpkg-shlibdeps); the fonts are
# what the desktop front end draws its texts with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
include(CPack)
