# Qt\SOURCE.txt of the Windows packages: which Qt pelko.exe carries, where
# its exact source is, and whether Debian's patches (its security fixes among
# them) are in it. Read from the pelko-qt-origin that scripts/build-qt-mingw
# leaves in the Qt prefix; nothing more is claimed than that record proves.
#
# windows_package.cmake includes it; it also runs alone, so that the text can
# be checked for any origin without building Qt:
#   cmake -DORIGIN=<pelko-qt-origin> -DQT_VERSION=6.4.2 -DOUTPUT=<file> -P cmake/windows_qt_source.cmake

# Prebuilt archives known by their SHA-256, with the Debian source package
# whose original tarball they were built from, WITHOUT Debian's patch series
# (../shared/qt-mingw/README.md), which lacks the fixes the text names. Any
# other archive is of unknown make.
set(PELKO_QT_UNPATCHED_ARCHIVES
    "589855d66643f5e802bd85451f219e30ec5ab61e339297272dd33a7ed8219616=6.4.2+dfsg-10")
set(PELKO_QT_SOURCE_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/../res/windows/qt-source.txt.in)

# Sets <which> to what the text says about the Qt whose origin file is
# <origin> ("" or a missing file: none), and <verdict> to patched, unpatched
# or unknown.
function(pelko_qt_origin origin which verdict)
    set(lines "")
    set(known "")
    if(origin AND EXISTS "${origin}")
        file(STRINGS "${origin}" lines)
    endif()
    set(hex64 "[0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f]")
    set(hex64 "${hex64}${hex64}${hex64}${hex64}${hex64}${hex64}${hex64}${hex64}")
    set(debian_version "[0-9][0-9A-Za-z.+~:-]*")
    if(lines MATCHES "^source qt6-base (${debian_version});dsc-sha256 (${hex64})$")
        set(version ${CMAKE_MATCH_1})
        set(dsc ${CMAKE_MATCH_2})
        set(text "Which Qt: built with MinGW-w64 by pelko's scripts/build-qt-mingw from
Debian's source package qt6-base, version ${version}, unpacked with
dpkg-source, which applied Debian's patch series (debian/patches/series) to
it. Debian's patches are in this Qt, with the security fixes Debian made to
this version. The SHA-256 of the source package's .dsc:

    ${dsc}

Its source is that source package. Debian keeps it at

    https://snapshot.debian.org/package/qt6-base/${version}/

(on Debian: apt-get source qt6-base=${version}).")
        set(known patched)
    elseif(lines MATCHES "^archive ([A-Za-z0-9._+-]+);sha256 (${hex64})$")
        set(archive ${CMAKE_MATCH_1})
        set(sha256 ${CMAKE_MATCH_2})
        set(made_from "")
        foreach(entry ${PELKO_QT_UNPATCHED_ARCHIVES})
            if(entry MATCHES "^${sha256}=(.*)$")
                set(made_from ${CMAKE_MATCH_1})
            endif()
        endforeach()
        if(made_from)
            string(REGEX REPLACE "-[^-]*$" "" upstream "${made_from}")
            set(text "Which Qt: the prebuilt archive ${archive}, built with
MinGW-w64 from the original Qt source in Debian's source package qt6-base,
version ${made_from}, WITHOUT Debian's patch series. Its SHA-256:

    ${sha256}

Debian's patches are not in this Qt, so neither are the security fixes among
them: CVE-2023-32762 (qhsts.cpp) and CVE-2023-32763 (qtextlayout.cpp) are not
fixed in it.

Its source is the file qt6-base_${upstream}.orig.tar.xz of that source
package, unchanged. Debian keeps it at

    https://snapshot.debian.org/package/qt6-base/${made_from}/")
            set(known unpatched)
        else()
            set(text "Which Qt: a prebuilt archive that this build of pelko knows nothing
more about than its name and SHA-256:

    ${archive}
    ${sha256}")
        endif()
    else()
        set(text "Which Qt: one that came without a record of its origin (its folder has
no pelko-qt-origin from scripts/build-qt-mingw that this build can read).")
    endif()
    if(NOT known)
        set(known unknown)
        string(APPEND text "

What source it was made from, and whether Debian's patches are in it, is not
known: treat it as a Qt without Debian's patches and their security fixes.")
    endif()
    set(${which} "${text}" PARENT_SCOPE)
    set(${verdict} ${known} PARENT_SCOPE)
endfunction()

# Writes the text for the Qt <qt_version> whose origin file is <origin> to <output>.
function(pelko_write_qt_source origin qt_version output)
    pelko_qt_origin("${origin}" PELKO_QT_WHICH verdict)
    set(PELKO_QT_VERSION ${qt_version})
    configure_file(${PELKO_QT_SOURCE_TEMPLATE} ${output} @ONLY)
    set(PELKO_QT_VERDICT ${verdict} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    pelko_write_qt_source("${ORIGIN}" "${QT_VERSION}" "${OUTPUT}")
endif()
