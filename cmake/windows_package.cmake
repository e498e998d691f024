# What a Windows learner downloads: pelko.exe (static Qt, no DLL beside it)
# with its French voice's data and its papers, as pelko-<version>-win64.zip and as an NSIS installer
# pelko-<version>-win64.exe with a Start-menu entry and an uninstaller.
#
# pelko.exe carries Qt, which is LGPL-3 or GPL-2/3: Qt's licence texts and
# where its exact source is go with it, in Qt\.
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES res/windows/README.txt DESTINATION .)

# Debian's record of the Qt source's copyright holders and licences (Qt's
# own and those of the third-party code it bundles), and the licence texts it
# points to.
set(PELKO_QT_COPYRIGHT /usr/share/doc/qt6-base-dev/copyright)
if(NOT EXISTS ${PELKO_QT_COPYRIGHT})
    message(FATAL_ERROR "${PELKO_QT_COPYRIGHT} is missing: it goes with pelko.exe (reinstall qt6-base-dev)")
endif()
install(FILES ${PELKO_QT_COPYRIGHT} DESTINATION Qt RENAME copyright.txt)
foreach(licence LGPL-3 GPL-2 GPL-3)
    install(FILES /usr/share/common-licenses/${licence} DESTINATION Qt RENAME ${licence}.txt)
endforeach()

# Where the source of the Qt inside is: the Debian source package of the
# host tools' version, and how this Qt was made from it (pelko-qt-origin,
# written by scripts/build-qt-mingw).
execute_process(COMMAND dpkg-query -W -f=\${source:Version} qt6-base-dev
                OUTPUT_VARIABLE PELKO_QT_DEBIAN_VERSION COMMAND_ERROR_IS_FATAL ANY)
file(STRINGS ${PELKO_QT_MINGW_DIR}/pelko-qt-origin PELKO_QT_ORIGIN)
if(PELKO_QT_ORIGIN MATCHES "^source ")
    set(PELKO_QT_HOW "pelko's scripts/build-qt-mingw unpacked it with dpkg-source, which applies Debian's patch
series (debian/patches/series), and built it with MinGW-w64.")
else()
    # "archive <name>;sha256 <hex>"
    string(REGEX REPLACE "^archive ([^;]*);sha256 (.*)$" "\\1 (SHA-256 \\2)" PELKO_QT_ARCHIVE "${PELKO_QT_ORIGIN}")
    set(PELKO_QT_HOW "It came to this build as a prebuilt archive made from that source with MinGW-w64,
${PELKO_QT_ARCHIVE}.")
endif()
configure_file(res/windows/qt-source.txt.in ${CMAKE_CURRENT_BINARY_DIR}/qt-source.txt @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qt-source.txt DESTINATION Qt RENAME SOURCE.txt)

# The French voice (cmake/espeak-ng-mingw.cmake): its data beside pelko.exe,
# where pelko.exe looks for it (espeak-ng reads it from files), and in
# espeak-ng\ its licences and what it was built from and how.
if(PELKO_ESPEAK)
    install(DIRECTORY ${PELKO_ESPEAK_NG_DATA} DESTINATION .)
    foreach(licence COPYING COPYING.APACHE COPYING.BSD2 COPYING.UCD)
        install(FILES ${PELKO_ESPEAK_NG_DIR}/licences/${licence} DESTINATION espeak-ng RENAME ${licence}.txt)
    endforeach()
    file(STRINGS ${PELKO_ESPEAK_NG_DIR}/pelko-espeak-ng-origin pelko_espeak_ng_origin)
    foreach(line ${pelko_espeak_ng_origin})
        if(line MATCHES "^(archive|sha256|version|options|compiler) (.*)$")
            string(TOUPPER ${CMAKE_MATCH_1} key)
            set(PELKO_ESPEAK_NG_${key} "${CMAKE_MATCH_2}")
        endif()
    endforeach()
    configure_file(res/windows/espeak-ng-source.txt.in ${CMAKE_CURRENT_BINARY_DIR}/espeak-ng-source.txt @ONLY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/espeak-ng-source.txt DESTINATION espeak-ng RENAME SOURCE.txt)
endif()

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_FILE_NAME pelko-${PROJECT_VERSION}-win64)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
# Installed under Program Files\pelko, listed in "Apps" with its icon; the
# Start menu gets pelko and its uninstaller. The uninstaller removes only the
# installer's own registry keys ("Software\Dravilo\pelko <version>" and the
# Uninstall entry), never the learner's results under Software\Dravilo\pelko.
# A 64-bit installer for a 64-bit program: it runs where pelko.exe runs (and
# under a Wine without its 32-bit half), and installs into the 64-bit Program Files.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME pelko)
set(CPACK_NSIS_DISPLAY_NAME pelko)
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_SOURCE_DIR}/res/icons/pelko.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_SOURCE_DIR}/res/icons/pelko.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME pelko.exe)
set(CPACK_NSIS_MENU_LINKS pelko.exe pelko)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_URL_INFO_ABOUT "https://dravilo.example/pelko")
