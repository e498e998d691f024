#!/usr/bin/env bash
# The uninstaller never deletes the learner's key, HKCU\Software\Dravilo\pelko
# (Results, Options, the pending record), whatever the account: read from the
# installer script CPack generated, since under Wine every account is an
# administrator. NSIS's SHCTX is HKCU for a learner who is not one.
# DeleteRegKey /ifempty deletes a key that has no subkeys, values and all
# (the pending record is a value of pelko's key); on a parent it spares
# pelko's key only while that key is there, and then takes the parent's own
# values, which are not the installer's either. So no DeleteRegKey or
# DeleteRegValue, in any root, with or without a flag, may name that key, one
# below it or one above it.
#   check_windows_uninstaller_script.sh PROJECT_NSI
set -euo pipefail
nsi=$1
learner=(software dravilo pelko)
status=0

# The words of one NSIS line: quoted ("", '', ``) or bare, up to a comment.
words() {
    local rest=${1//'$\"'/$'\x01'} quote body
    WORDS=()
    while :; do
        rest=${rest#"${rest%%[![:space:]]*}"}
        case ${rest:0:1} in
            '' | ';' | '#') return ;;
            '"' | "'" | '`')
                quote=${rest:0:1}
                body=${rest:1}
                WORDS+=("${body%%"$quote"*}")
                rest=${body#*"$quote"}
                [ "$rest" != "$body" ] || return
                ;;
            *)
                WORDS+=("${rest%%[[:space:]]*}")
                rest=${rest#"${WORDS[-1]}"}
                ;;
        esac
    done
}

# Succeeds when the registry deletion on this line can reach the learner's key.
reaches_learner() {
    words "$1"
    [ ${#WORDS[@]} -ge 1 ] || return 1
    case ${WORDS[0],,} in deleteregkey | deleteregvalue) ;; *) return 1 ;; esac
    local i=1
    while [ $i -lt ${#WORDS[@]} ] && [[ ${WORDS[i]} == /* ]]; do
        i=$((i + 1))
    done
    local root=${WORDS[i],,} key=${WORDS[i + 1]:-}
    # A key spelt with a variable or a define cannot be told from here.
    [[ $key != *'$'* ]] || return 0
    local parts=() part
    IFS='\' read -r -a parts <<<"${key,,}"
    local path=()
    for part in "${parts[@]}"; do
        [ -z "$part" ] || [ "$part" = wow6432node ] || path+=("$part")
    done
    # HKEY_USERS holds every user's HKCU, each under its own SID.
    case $root in hku | hku32 | hku64 | hkey_users) path=("${path[@]:1}") ;; esac
    # The same key, one above it (down to the root) or one below it.
    local n=$((${#path[@]} < ${#learner[@]} ? ${#path[@]} : ${#learner[@]}))
    [ "${path[*]:0:n}" = "${learner[*]:0:n}" ]
}

# The test's own judgement first, on lines it must and must not stop.
while IFS='|' read -r expected line; do
    if reaches_learner "$line"; then got=stop; else got=pass; fi
    [ "$got" = "$expected" ] || {
        echo "FAIL: the check would $got: $line"
        status=1
    }
done <<'SAMPLES'
stop|  DeleteRegKey SHCTX "Software\Dravilo\pelko"
stop|deleteregkey /ifempty HKCU 'software\dravilo\PELKO\'
stop|DeleteRegKey /ifempty SHCTX "Software\Dravilo"
stop|DeleteRegKey HKEY_CURRENT_USER Software
stop|DeleteRegValue HKCU "Software\Dravilo\pelko\Results" "Result1_1"
stop|DeleteRegKey HKLM "Software\WOW6432Node\Dravilo\pelko\Options"
stop|DeleteRegKey HKU "S-1-5-21-1\Software\Dravilo\pelko"
stop|DeleteRegKey SHCTX "Software\${VENDOR}\pelko"
pass|DeleteRegKey SHCTX "Software\Dravilo\pelko-installer"
pass|DeleteRegKey /ifempty SHCTX "Software\Dravilo\pelko 1.0.0"
pass|DeleteRegKey SHCTX "Software\Microsoft\Windows\CurrentVersion\Uninstall\pelko"
pass|; DeleteRegKey SHCTX "Software\Dravilo\pelko"
SAMPLES

# The script, with NSIS's continued lines (ending in \) joined.
[ -s "$nsi" ] || {
    echo "FAIL: no installer script $nsi"
    exit 1
}
deletions=0
joined=
while IFS= read -r line || [ -n "$line" ]; do
    line=${line%$'\r'}
    if [[ $line == *\\ ]]; then
        joined+=${line%\\}
        continue
    fi
    line=$joined$line
    joined=
    words "$line"
    case ${WORDS[0]:-} in [Dd][Ee][Ll][Ee][Tt][Ee][Rr][Ee][Gg]*) deletions=$((deletions + 1)) ;; esac
    if reaches_learner "$line"; then
        echo "FAIL: the uninstaller can delete the learner's results: $line"
        status=1
    fi
done <"$nsi"
[ $deletions -gt 0 ] || {
    echo "FAIL: $nsi deletes no registry key at all: not CPack's installer script?"
    status=1
}
[ $status -eq 0 ] && echo "installer script ok: $deletions registry deletions, none of the learner's key"
exit $status
