# Installation and the Debian package: `cmake --install build` puts the three
# executables, their manual pages, the desktop entry, its icon and metainfo
# and tavcli's completion under the usual prefix; `cpack` (from the build
# folder) makes the .deb, and scripts/package.sh checks it.
include(GNUInstallDirs)

install(TARGETS tavgui tavcli tavsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/com.norvane.TavGUI.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tavgui.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/completion/tavcli
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${PROJECT_SOURCE_DIR}/README.md
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tavgui)

set(TAV_GENERATED ${PROJECT_BINARY_DIR}/packaging)
configure_file(${CMAKE_CURRENT_LIST_DIR}/com.norvane.TavGUI.metainfo.xml.in
    ${TAV_GENERATED}/com.norvane.TavGUI.metainfo.xml @ONLY)
install(FILES ${TAV_GENERATED}/com.norvane.TavGUI.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The machine-readable copyright file, with the fonts' licence in full.
file(READ ${PROJECT_SOURCE_DIR}/fonts/LICENSE-Barlow.txt _ofl)
string(REGEX REPLACE "^.*(SIL OPEN FONT LICENSE Version 1.1)" "\\1" _ofl "${_ofl}")
string(STRIP "${_ofl}" _ofl)
string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" _ofl "${_ofl}")
string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" _ofl "${_ofl}")
string(REGEX REPLACE "\n" "\n " OFL_TEXT " ${_ofl}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${TAV_GENERATED}/copyright @ONLY)
# A changelog of the one version, dated from the last commit.
execute_process(COMMAND date -u -R -d @${TAV_SOURCE_DATE_EPOCH} OUTPUT_VARIABLE TAV_CHANGELOG_DATE
    OUTPUT_STRIP_TRAILING_WHITESPACE)
file(WRITE ${TAV_GENERATED}/changelog
    "tavgui (${TAV_VERSION}) unstable; urgency=medium\n\n  * Release ${TAV_VERSION}.\n\n"
    " -- Norvane support <support@norvane.com>  ${TAV_CHANGELOG_DATE}\n")
execute_process(COMMAND gzip -9 -n -f -k ${TAV_GENERATED}/changelog)
install(FILES ${TAV_GENERATED}/copyright ${TAV_GENERATED}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tavgui)

# The manual pages, from each program's --help (packaging/man/manpage.sh).
find_program(TAV_HELP2MAN help2man)
# The pages are written by running the programs; under the thread sanitizer
# their start-up inside Qt's uninstrumented libraries ends in a report, and
# a sanitizer build is never packaged.
if(TAV_HELP2MAN AND NOT TAV_SANITIZE_THREAD)
    set(_summary_tavgui "evaluation and configuration tool for TAV transmitter modules")
    set(_summary_tavcli "drive TAV transmitter modules from a shell")
    set(_summary_tavsim "simulate a TAV transmitter module on a pseudo-terminal")
    set(_pages)
    foreach(program tavgui tavcli tavsim)
        set(_include ${CMAKE_CURRENT_LIST_DIR}/man/${program}.h2m)
        set(_args ${_include})
        if(NOT EXISTS ${_include})
            set(_include)
            set(_args)
        endif()
        add_custom_command(OUTPUT ${TAV_GENERATED}/${program}.1.gz
            COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${TAV_SOURCE_DATE_EPOCH}
                ${CMAKE_CURRENT_LIST_DIR}/man/manpage.sh $<TARGET_FILE:${program}> ${TAV_GENERATED}/${program}.1.gz
                "${_summary_${program}}" ${_args}
            DEPENDS ${program} ${CMAKE_CURRENT_LIST_DIR}/man/manpage.sh ${_include}
            COMMENT "Writing the manual page of ${program}" VERBATIM)
        list(APPEND _pages ${TAV_GENERATED}/${program}.1.gz)
    endforeach()
    add_custom_target(manpages ALL DEPENDS ${_pages})
    install(FILES ${_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    message(STATUS "help2man not found: no manual pages (scripts/deps.sh installs it)")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavgui)
set(CPACK_PACKAGE_VERSION ${TAV_VERSION})
set(CPACK_PACKAGE_VENDOR "Norvane")
set(CPACK_PACKAGE_CONTACT "Norvane support <support@norvane.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Evaluation and configuration tool for TAV satellite-IoT transmitter modules")
set(CPACK_PACKAGE_DESCRIPTION "TavGUI configures the TAV family of satellite-IoT transmitter modules and
their evaluation kits over a serial port, in the modules' AT-command
protocol: identity and configuration, orbit data upload, pass prediction
and transmission sequences, with every exchange logged.
.
The package holds the window (tavgui), the same operations from a shell
(tavcli, with its bash completion) and the module simulator (tavsim), on
which every page and command can be tried without hardware.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY tavgui)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://norvane.com")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The shared libraries come from dpkg-shlibdeps; the QML modules and the
# platform plugins are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6svg6, qml6-module-qtquick, qml6-module-qtquick-controls, qml6-module-qtquick-templates, qml6-module-qtquick-layouts, qml6-module-qtquick-window, qml6-module-qtquick-dialogs, qml6-module-qtquick-shapes, qml6-module-qtqml-workerscript, qml6-module-qtqml, qml6-module-qtqml-models, qml6-module-qtcore, qml6-module-qt-labs-settings, qml6-module-qt-labs-platform, qml6-module-qt-labs-folderlistmodel")
include(CPack)
