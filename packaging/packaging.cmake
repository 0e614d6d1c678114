# Installation and the Debian package: `cmake --install build` puts the three
# executables, the desktop entry and its icon under the usual prefix;
# `cpack` (from the build folder) makes the .deb.
include(GNUInstallDirs)

install(TARGETS tavgui tavcli tavsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tavgui.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tavgui.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tavgui)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavgui)
set(CPACK_PACKAGE_VENDOR "Norvane")
set(CPACK_PACKAGE_CONTACT "Norvane support <support@norvane.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Evaluation and configuration tool for TAV satellite-IoT transmitter modules")
set(CPACK_PACKAGE_INSTALL_DIRECTORY tavgui)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://norvane.com")
# The shared libraries come from dpkg-shlibdeps; the QML modules and the
# platform plugins are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6svg6, qml6-module-qtquick, qml6-module-qtquick-controls, qml6-module-qtquick-templates, qml6-module-qtquick-layouts, qml6-module-qtquick-window, qml6-module-qtquick-dialogs, qml6-module-qtquick-shapes, qml6-module-qtqml-workerscript, qml6-module-qtqml, qml6-module-qtqml-models, qml6-module-qtcore, qml6-module-qt-labs-settings, qml6-module-qt-labs-platform, qml6-module-qt-labs-folderlistmodel")
include(CPack)
