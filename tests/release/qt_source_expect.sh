# What Qt\SOURCE.txt must say (sourced by the checks that read it):
#   expect_qt_source TEXT ORIGIN QT_VERSION
# TEXT is the file, ORIGIN the pelko-qt-origin of the Qt inside (missing: no
# record). Prints a FAIL line for each fault; fails if there is one.
#
# Known from outside pelko's build (../shared/qt-mingw/README.md): this
# archive was built from the original tarball of qt6-base 6.4.2+dfsg-10,
# without Debian's patch series and so without its fixes for these two.
unpatched_archive_sha256=589855d66643f5e802bd85451f219e30ec5ab61e339297272dd33a7ed8219616
unpatched_archive_made_from=6.4.2+dfsg-10
unpatched_archive_lacks=(CVE-2023-32762 CVE-2023-32763)

expect_qt_source() {
    local text=$1 origin=$2 qt_version=$3 flat verdict expected= name= sha= says=()
    local -A verdicts=([patched]="Debian's patches are in this Qt"
                       [unpatched]="Debian's patches are not in this Qt"
                       [unknown]="treat it as a Qt without Debian's patches")
    [ -f "$text" ] || { echo "FAIL: no $text"; return 1; }
    # One line, single spaces: the sentences are wrapped anywhere.
    flat=$(tr '\n' ' ' <"$text" | tr -s ' ')
    local wanted=("contains Qt $qt_version ")
    if [ -f "$origin" ] && [[ $(cat "$origin") =~ ^source\ qt6-base\ ([^$'\n']+)$'\n'dsc-sha256\ ([0-9a-f]{64})$ ]]; then
        expected=patched
        wanted+=("version ${BASH_REMATCH[1]}," "${BASH_REMATCH[2]}"
                 "snapshot.debian.org/package/qt6-base/${BASH_REMATCH[1]}/")
    elif [ -f "$origin" ] && [[ $(cat "$origin") =~ ^archive\ ([^$'\n']+)$'\n'sha256\ ([0-9a-f]{64})$ ]]; then
        name=${BASH_REMATCH[1]}
        sha=${BASH_REMATCH[2]}
        wanted+=("$name" "$sha")
        if [ "$sha" = "$unpatched_archive_sha256" ]; then
            expected=unpatched
            wanted+=("${unpatched_archive_lacks[@]}" "qt6-base_${unpatched_archive_made_from%-*}.orig.tar.xz"
                     "snapshot.debian.org/package/qt6-base/$unpatched_archive_made_from/")
        else
            expected=unknown
        fi
    else
        expected=unknown
    fi
    local status=0 phrase
    for verdict in patched unpatched unknown; do
        if [[ $flat == *"${verdicts[$verdict]}"* ]]; then says+=("$verdict"); fi
    done
    if [ "${says[*]}" != "$expected" ]; then
        echo "FAIL: $text says ${says[*]:-nothing} of Debian's patches for $(tr '\n' ' ' <"$origin" 2>/dev/null || echo 'a Qt with no origin'), not $expected"
        status=1
    fi
    for phrase in "${wanted[@]}"; do
        if [[ $flat != *"$phrase"* ]]; then
            echo "FAIL: $text does not say \"$phrase\""
            status=1
        fi
    done
    return $status
}
