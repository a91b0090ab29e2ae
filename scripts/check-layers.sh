#!/usr/bin/env bash
# Fails when an #include goes against the layers: each folder may include only itself and the
# folders below it, and only shell/ (and the Qt tests and benchmarks) may include Qt headers.
#   resources < core < capture, display, scopefile, decode < export < app < shell, cli
# Usage: scripts/check-layers.sh [REPOSITORY]   (default: this script's repository)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

declare -A below=(
    [resources]=""
    [core]="resources"
    [capture]="core resources"
    [display]="core resources"
    [scopefile]="core resources"
    [export]="scopefile core resources"
    [decode]="core resources"
    [app]="decode export capture display scopefile core resources"
    [shell]="decode app export capture display scopefile core resources"
    [cli]="decode app export capture display scopefile core resources"
    [tests/support]="cli app decode export capture display scopefile core resources"
)
# A layer's tests (tests/LAYER and its threaded/) include that layer, the ones below it and the
# shared test support: each test program links only what it tests.
for layer in resources core capture display scopefile export decode app shell cli; do
    below[tests/$layer]="tests/support tests/$layer/support $layer ${below[$layer]}"
done
qt_allowed="shell tests/shell bench"

failures=0
complain() {
    echo "layers: $1" >&2
    failures=$((failures + 1))
}

# The folder an include names: "app/x.h" -> app, "tests/support/x.h" -> tests/support.
included_folder() {
    case "$1" in
        tests/*/*) echo "${1%/*}" ;;
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

for folder in "${!below[@]}"; do
    [ -d "$folder" ] || { complain "$folder/ is missing"; continue; }
    check_folder "$folder"
    [[ " $qt_allowed " == *" $folder "* ]] || forbid_system_include Q "Qt is for shell/ only" "$folder"
done

if [ "$failures" -gt 0 ]; then
    echo "layers: $failures include(s) against the layers" >&2
    exit 1
fi
echo "layers: every include goes downward"
