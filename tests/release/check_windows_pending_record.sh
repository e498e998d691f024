#!/usr/bin/env bash
# A PendingRecord under the profile's key that this pelko cannot apply (a
# newer pelko's record, another type, or bytes that do not read whole as one)
# is never applied: a start leaves it as it is, and the next record written
# replaces it (keeping it first as a copy: registry_profile_store_test) and is
# removed once applied. A whole record of pelko's is applied at the start
# (the control that the bytes below are pelko's format).
#   check_windows_pending_record.sh PROFILE_WRITER WINE_SESSION_DIR
set -euo pipefail
writer=$1
session=$2
session_sh=$(dirname "$0")/../support/wine_session.sh
key='Software\pelko-test\foreign-pending-record'

wine_run() { bash "$session_sh" run "$session" "$@"; }
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# profile_writer KEY -1 opens the store and writes nothing; KEY 1 writes one record.
start() { wine_run "$writer" "$key" -1 || fail "profile_writer ended with status $?"; }
write_one() { wine_run "$writer" "$key" 1 >/dev/null || fail "profile_writer ended with status $?"; }
# The value's type and data as reg shows them, in small letters, or nothing.
value() {
    wine_run reg query "HKCU\\$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v v="$2" '$1 == v {type = $2; sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print tolower(type " " $0)}'
}
pending() { value "$key" PendingRecord; }
writer_value() { value "$key\\Results" Writer; }

# pelko's record (QDataStream): magic "PLKJ", version 1, one value: "Writer", 'D', 99.
record=504C4B4A0000000100000001000000065772697465724400000063
wine_run reg delete "HKCU\\$key" /f >/dev/null 2>&1 || true

wine_run reg add "HKCU\\$key" /v PendingRecord /t REG_BINARY /d "$record" /f >/dev/null
start
[ -z "$(pending)" ] && [ "$(writer_value)" = "reg_dword 0x63" ] ||
    fail "a whole record of pelko's was not applied and removed at the start: $(pending) / $(writer_value)"

# The same with version 2, a newer pelko's.
newer=${record:0:15}2${record:16}
for foreign in "REG_BINARY ${record}FF" "REG_BINARY $newer" "REG_SZ hand edit"; do
    wine_run reg add "HKCU\\$key" /v PendingRecord /t "${foreign%% *}" /d "${foreign#* }" /f >/dev/null
    before=$(writer_value)
    start
    [ "$(pending)" = "${foreign,,}" ] ||
        fail "a start changed a PendingRecord that is not pelko's ($foreign): $(pending)"
    [ "$(writer_value)" = "$before" ] || fail "a start applied a PendingRecord that is not pelko's ($foreign)"
    write_one
    [ -z "$(pending)" ] || fail "the next record left the PendingRecord that is not pelko's ($foreign): $(pending)"
    [ "$(writer_value)" = "reg_dword 0x$(printf '%x' $((16#${before##*x} + 1)))" ] ||
        fail "the next record was not applied over one that is not pelko's ($foreign): $(writer_value)"
done
wine_run reg delete "HKCU\\$key" /f >/dev/null 2>&1 || true
echo "pending record ok"
