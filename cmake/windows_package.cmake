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

# Which Qt is inside, where its exact source is and whether Debian's patches
# are in it, as far as the pelko-qt-origin that scripts/build-qt-mingw wrote
# in its prefix proves it (cmake/windows_qt_source.cmake).
include(cmake/windows_qt_source.cmake)
if(EXISTS ${PELKO_QT_MINGW_DIR}/pelko-qt-origin)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PELKO_QT_MINGW_DIR}/pelko-qt-origin)
endif()
pelko_write_qt_source(${PELKO_QT_MINGW_DIR}/pelko-qt-origin ${Qt6_VERSION} ${CMAKE_CURRENT_BINARY_DIR}/qt-source.txt)
if(PELKO_QT_VERDICT STREQUAL "patched")
    message(STATUS "Qt in the Windows packages: built from Debian's source, with Debian's patches")
elseif(PELKO_QT_VERDICT STREQUAL "unpatched")
    message(STATUS "Qt in the Windows packages: a prebuilt archive without Debian's patches (fine for "
                   "testing; Qt\\SOURCE.txt says so)")
else()
    message(WARNING "The Qt in ${PELKO_QT_MINGW_DIR} has no known origin: the Windows packages will say "
                    "so, and that it must be taken to lack Debian's patches (Qt\\SOURCE.txt).")
endif()
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
# Start menu gets pelko and its uninstaller.
#
# The installer keeps its own records (the folder, the Start-menu folder) in
# Software\<vendor>\<registry key> and its "Apps" entry in ...\Uninstall\<registry
# key>, and its uninstaller deletes both keys whole. CPack's default registry
# key is the install folder's name, "pelko": Software\Dravilo\pelko, the key
# that holds the learner's Results and Options, in HKCU for a learner who is not
# an administrator. So the installer's key is a name of its own beside it, one
# without the version, so that a later installer still finds this one's
# uninstaller.
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY pelko-installer)
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
