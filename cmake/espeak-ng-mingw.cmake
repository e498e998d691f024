# espeak-ng for MinGW-w64, the French voice pelko.exe carries, as `bash scripts/setup windows`
# built it (scripts/build-espeak-ng-mingw): the build its cache's `current` link points to,
# resolved once, like the Qt (cmake/qt-mingw.cmake). -DPELKO_ESPEAK_NG_DIR=... picks one by hand.
#
# Gives the target pelko::espeak_ng (headers, the static libraries, WinMM for the
# sound) and pelko_espeak_ng_data_beside(target), which puts the voice's data
# beside a program of the build tree, where the program looks for it.
set(PELKO_ESPEAK_NG_DIR "" CACHE PATH "espeak-ng built for MinGW-w64 (default: the one scripts/setup windows chose)")
if(NOT PELKO_ESPEAK_NG_DIR)
    if(NOT EXISTS "${pelko_cache}/espeak-ng/current/pelko-espeak-ng-origin")
        message(FATAL_ERROR "No espeak-ng for Windows in ${pelko_cache}/espeak-ng: run `bash scripts/setup windows` first.")
    endif()
    file(REAL_PATH "${pelko_cache}/espeak-ng/current" resolved)
    set(PELKO_ESPEAK_NG_DIR "${resolved}" CACHE PATH "" FORCE)
endif()
message(STATUS "espeak-ng for Windows: ${PELKO_ESPEAK_NG_DIR}")

add_library(pelko_espeak_ng INTERFACE)
add_library(pelko::espeak_ng ALIAS pelko_espeak_ng)
# The library goes in statically, so its API is declared without dllimport
# (its headers import unless this is defined).
target_compile_definitions(pelko_espeak_ng INTERFACE LIBESPEAK_NG_EXPORT=)
target_include_directories(pelko_espeak_ng SYSTEM INTERFACE ${PELKO_ESPEAK_NG_DIR}/include)
target_link_libraries(pelko_espeak_ng INTERFACE ${PELKO_ESPEAK_NG_DIR}/lib/libespeak-ng.a
                                                ${PELKO_ESPEAK_NG_DIR}/lib/libspeechPlayer.a
                                                ${PELKO_ESPEAK_NG_DIR}/lib/libucd.a winmm)

set(PELKO_ESPEAK_NG_DATA ${PELKO_ESPEAK_NG_DIR}/espeak-ng-data)
# Copied again whenever the set-up builds espeak-ng anew (its origin file is new then).
function(pelko_espeak_ng_data_beside target)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}-espeak-ng-data.stamp)
    set(beside $<TARGET_FILE_DIR:${target}>/espeak-ng-data)
    add_custom_command(OUTPUT ${stamp}
                       COMMAND ${CMAKE_COMMAND} -E rm -rf ${beside}
                       COMMAND ${CMAKE_COMMAND} -E copy_directory ${PELKO_ESPEAK_NG_DATA} ${beside}
                       COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
                       DEPENDS ${PELKO_ESPEAK_NG_DIR}/pelko-espeak-ng-origin
                       VERBATIM)
    add_custom_target(${target}_espeak_ng_data DEPENDS ${stamp})
    add_dependencies(${target} ${target}_espeak_ng_data)
endfunction()
