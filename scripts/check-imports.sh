#!/usr/bin/env bash
# check-imports.sh FOLDER MINIMUM_BUILD: fails when a program or DLL in FOLDER imports a
# function or DLL (from app/windows/later-apis.txt) that Windows of MINIMUM_BUILD lacks; lists
# what each file imports of that list.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
folder=$1 minimum=$2
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
status=0
declare -A since
while read -r name build; do
    [ -z "$name" ] || [ "${name:0:1}" = "#" ] && continue
    since[${name,,}]=$build
done <"$ROOT/app/windows/later-apis.txt"

while IFS= read -r -d '' file; do
    # The import tables: "DLL Name: X" lines, then one line per function (hint, name).
    while read -r what; do
        build=${since[${what,,}]:-}
        # API sets came with Windows 8; those that Windows 7 has are named in the list.
        if [ -z "$build" ] && [[ ${what,,} == api-ms-win-* || ${what,,} == ext-ms-* ]]; then
            build=9200
        fi
        [ -n "$build" ] || continue
        if [ "$build" -gt "$minimum" ]; then
            echo "${file#"$folder"/} imports $what (Windows build $build; the minimum is $minimum)" >&2
            status=1
        fi
    done < <("$objdump" -p "$file" | awk '
        /DLL Name:/ {print $3; next}
        /^\t[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ {print $3}')
done < <(find "$folder" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
exit "$status"
