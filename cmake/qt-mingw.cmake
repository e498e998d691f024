# The static Qt for MinGW-w64 that `bash scripts/setup windows` made available
# (scripts/build-qt-mingw): the prefix its cache's `current` link points to,
# resolved once, so that a later run of the set-up that picks another Qt does
# not change this build tree under it. -DPELKO_QT_MINGW_DIR=... picks one by hand.
if(DEFINED ENV{PELKO_CACHE})
    set(pelko_cache "$ENV{PELKO_CACHE}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(pelko_cache "$ENV{XDG_CACHE_HOME}/pelko")
else()
    set(pelko_cache "$ENV{HOME}/.cache/pelko")
endif()
set(PELKO_QT_MINGW_DIR "" CACHE PATH "Prefix of the static Qt for MinGW-w64 (default: the one scripts/setup windows chose)")
if(NOT PELKO_QT_MINGW_DIR)
    if(NOT EXISTS "${pelko_cache}/qt-mingw/current/lib/cmake/Qt6/Qt6Config.cmake")
        message(FATAL_ERROR "No Qt for Windows in ${pelko_cache}/qt-mingw: run `bash scripts/setup windows` first.")
    endif()
    file(REAL_PATH "${pelko_cache}/qt-mingw/current" resolved)
    set(PELKO_QT_MINGW_DIR "${resolved}" CACHE PATH "" FORCE)
endif()
message(STATUS "Qt for Windows: ${PELKO_QT_MINGW_DIR}")

# The toolchain finds packages only below its root paths.
list(APPEND CMAKE_FIND_ROOT_PATH "${PELKO_QT_MINGW_DIR}")
list(APPEND CMAKE_PREFIX_PATH "${PELKO_QT_MINGW_DIR}")
# moc, rcc and uic come from the Linux Qt of the same version.
set(QT_HOST_PATH /usr)
file(GLOB pelko_host_qt LIST_DIRECTORIES true /usr/lib/*/cmake/Qt6HostInfo)
if(NOT pelko_host_qt)
    message(FATAL_ERROR "No Linux Qt for the host tools (qt6-base-dev): run `bash scripts/setup windows` first.")
endif()
list(GET pelko_host_qt 0 pelko_host_qt)
get_filename_component(QT_HOST_PATH_CMAKE_DIR "${pelko_host_qt}" DIRECTORY)
