#!/usr/bin/env bash
# Fails when an #include goes against the layers: each folder may include only itself and the
# folders below it, and only shell/ (and the Qt tests and benchmarks) may include Qt headers.
#   resources < core < capture, display, scopefile, decode < export < app < shell, cli
# app/ is in rooms, each a folder that includes only the rooms under it:
#   app/view < app/readout < app/decoding < app/document < app/window
# Usage: scripts/check-layers.sh [REPOSITORY]   (default: this script's repository)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

app_rooms="app/window app/document app/decoding app/readout app/view"
declare -A below=(
    [resources]=""
    [core]="resources"
    [capture]="core resources"
    [display]="core resources"
    [scopefile]="core resources"
    [export]="scopefile core resources"
    [decode]="core resources"
    [app/view]="display core resources"
    [app/readout]="app/view display core resources"
    [app/decoding]="app/readout app/view decode display core resources"
    [app/document]="app/decoding app/readout app/view export scopefile capture decode display core resources"
    [app/window]="app/document app/decoding app/readout app/view export scopefile capture decode display core resources"
    [shell]="decode $app_rooms export capture display scopefile core resources"
    [cli]="decode $app_rooms export capture display scopefile core resources"
    [tests/support]="cli $app_rooms decode export capture display scopefile core resources"
)
# A layer's tests (tests/LAYER and its threaded/) include that layer, the ones below it and the
# shared test support: each test program links only what it tests.
# The tests of app/ may include every room.
for layer in resources core capture display scopefile export decode app shell cli; do
    under=${below[$layer]:-}
    [ "$layer" = app ] && under="$app_rooms ${below[app/window]}"
    below[tests/$layer]="tests/support tests/$layer/support $layer $under"
done
qt_allowed="shell tests/shell bench"

failures=0
complain() {
    echo "layers: $1" >&2
    failures=$((failures + 1))
}

# The folder an include names: "core/x.h" -> core, "app/view/x.h" -> app/view,
# "tests/support/x.h" -> tests/support.
included_folder() {
    case "$1" in
        app/*/* | tests/*/*) echo "${1%/*}" ;;
        */*) echo "${1%%/*}" ;;
        *) echo "" ;;
    esac
}

check_folder() {
    local folder=$1 allowed=" $folder ${below[$1]} " file line target to
    while IFS=: read -r file line target; do
        to=$(included_folder "$target")
        if [ -n "$to" ] && [[ "$allowed" != *" $to "* ]]; then
            complain "$file:$line includes $target: $folder/ may include only ${below[$folder]:-nothing}"
        fi
    done < <(grep -rnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' "$folder" \
                 --include='*.h' --include='*.cpp' 2>/dev/null |
             sed -E 's/#[[:space:]]*include[[:space:]]*"([^"]+)"/\1/; s/:[[:space:]]*/:/2')
}

# Complains of every system include starting with PREFIX under PATH (more grep options may follow).
forbid_system_include() {
    local prefix=$1 why=$2 hit
    shift 2
    while IFS= read -r hit; do
        complain "$hit: $why"
    done < <(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<$prefix" "$@" \
                 --include='*.h' --include='*.cpp' 2>/dev/null || true)
}

# The decoder library's header belongs to decode/ alone: the rest sees plain data.
forbid_system_include libsigrokdecode "only decode/ includes libsigrokdecode" . \
    --exclude-dir=decode --exclude-dir=build

# Every source of app/ stands in one of its rooms.
for file in app/*.h app/*.cpp; do
    if [ -e "$file" ]; then
        complain "$file: app/ keeps its sources in its rooms ($app_rooms)"
    fi
done

for folder in "${!below[@]}"; do
    [ -d "$folder" ] || { complain "$folder/ is missing"; continue; }
    check_folder "$folder"
    [[ " $qt_allowed " == *" $folder "* ]] || forbid_system_include Q "Qt is for shell/ only" "$folder"
done

if [ "$failures" -gt 0 ]; then
    echo "layers: $failures finding(s) against the layers" >&2
    exit 1
fi
echo "layers: every include goes downward"
