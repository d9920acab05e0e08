#!/usr/bin/env bash
# Checks the layout that the build relies on: each folder of src/ includes only from its own
# folder and the ones below it, the generated form classes stay inside shell, platform
# differences stay in the platform files, and no source file grows past what one reads at once.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT/src"

# From the bottom up.
LAYERS=(richtext shell content attempt results program)
# The one file per platform concern that may test for Windows.
PLATFORM_FILES=(
    richtext/clipboardformats.cpp richtext/codepages_dbcs.cpp richtext/metafile.cpp
    shell/console.cpp shell/singleinstance.cpp shell/singleinstance.h shell/viewers.cpp
    content/rowkeys_platform.cpp attempt/clockseed.cpp results/journalattributes.cpp
)
MAX_LINES=650

rank() {
    local i
    for i in "${!LAYERS[@]}"; do
        [ "${LAYERS[$i]}" = "$1" ] && { echo "$i"; return; }
    done
    echo -1
}

status=0
complain() {
    echo "check-layers: $*" >&2
    status=1
}

for dir in */; do
    dir=${dir%/}
    [ "$(rank "$dir")" -ge 0 ] || complain "src/$dir is not a known layer (${LAYERS[*]})"
done

while IFS= read -r file; do
    own=${file%%/*}
    own_rank=$(rank "$own")
    while IFS= read -r line; do
        target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$line")
        case "$target" in
        ui_*.h)
            [ "$own" = shell ] || complain "$file includes $target: the form classes are private to shell"
            ;;
        */*)
            folder=${target%%/*}
            folder_rank=$(rank "$folder")
            if [ "$folder_rank" -lt 0 ]; then
                complain "$file includes $target from an unknown folder"
            elif [ "$folder_rank" -gt "$own_rank" ]; then
                complain "$file ($own) includes $target from $folder, which lies above it"
            fi
            ;;
        esac
    done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)

    if grep -qE 'Q_OS_WIN|_WIN32' "$file"; then
        allowed=0
        for p in "${PLATFORM_FILES[@]}"; do
            [ "$p" = "$file" ] && allowed=1
        done
        [ "$allowed" -eq 1 ] || complain "$file tests for Windows outside the platform files"
    fi

    lines=$(wc -l <"$file")
    [ "$lines" -le "$MAX_LINES" ] || complain "$file has $lines lines (at most $MAX_LINES): split it"
done < <(find . -type f \( -name '*.cpp' -o -name '*.h' \) | sed 's#^\./##' | sort)

[ "$status" -eq 0 ] && echo "check-layers: ${LAYERS[*]}: every include points down"
exit "$status"
