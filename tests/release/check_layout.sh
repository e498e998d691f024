#!/usr/bin/env bash
# The layout's rules, read from the includes: each folder of code uses only
# the folders below it; the engine's layers include no Qt; the window names
# no platform store; a platform's half of a folder is used only from within
# that folder.
#   check_layout.sh SOURCE_ROOT
set -euo pipefail
cd "$1"
status=0
fail() {
    echo "$*"
    status=1
}

# What each folder may include from, besides itself.
declare -A may=(
    [res]=""
    [vocab]=""
    [records]="vocab"
    [drill]="records vocab res"
    [stores]="records vocab"
    [speech]="stores records vocab res"
    [controls]="drill records vocab res"
    [app]="controls speech stores drill records vocab res"
)
for folder in "${!may[@]}"; do
    while IFS=: read -r file used; do
        [ "$used" = "$folder" ] && continue
        [[ " ${may[$folder]} " == *" $used "* ]] || fail "$file includes from $used/, which $folder/ may not use"
    done < <(grep -rHoE '^#include "[a-z_]+/' "$folder" --include='*.cpp' --include='*.h' |
        sed -E 's|#include "([a-z_]+)/|\1|')
done

for folder in vocab records drill; do
    if grep -rnE '^#include <Q' "$folder" --include='*.cpp' --include='*.h'; then
        fail "$folder/ is standard C++ and includes Qt"
    fi
done

# The platform halves: only their own folder reaches into them.
if grep -rnE '^#include "(stores|speech)/(posix|windows)/' app controls drill records vocab res; then
    fail "a platform's store or voice is named outside its own folder"
fi
if grep -rnwE 'QSettingsProfileStore|RegistryProfileStore|OptionsFile|RegistryOptionsStore' app; then
    fail "app/ names a platform store"
fi
exit $status
