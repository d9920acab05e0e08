#!/bin/sh
# wine-run.sh PROGRAM.exe [ARGUMENTS...]
#
# Runs a Windows program under Wine and exits with its exit status. Wine leaves the QT_*
# variables out of a Windows program's environment, so a batch file sets them again before it
# starts the program. A program that runs longer than MERILON_WINE_TIMEOUT seconds (300 by
# default) is killed with everything it started, and the run fails with status 124.
#
# WINEPREFIX, WINEPATH (where the DLLs are), MERILON_WINE and the QT_* variables come from the
# caller.
set -u
exe=$1
shift
winpath() { printf 'Z:%s' "$(realpath -m "$1")" | tr / '\\'; }
bat=$(mktemp --suffix=.bat)
trap 'rm -f "$bat"' EXIT INT TERM
{
    printf '@echo off\r\n'
    env | grep '^QT_[A-Za-z0-9_]*=' | while IFS= read -r line; do printf 'set "%s"\r\n' "$line"; done
    printf '"%s" %%*\r\n' "$(winpath "$exe")"
    printf 'exit /b %%ERRORLEVEL%%\r\n'
} >"$bat"
: "${WINEDEBUG:=-all}"
: "${WINEDLLOVERRIDES:=mscoree,mshtml=}"
export WINEDEBUG WINEDLLOVERRIDES
# MERILON_WINE names the loader: the 32-bit one for 32-bit programs in a 32-bit prefix.
wine=${MERILON_WINE:-/usr/lib/wine/wine64}
[ -x "$wine" ] || wine=wine64
timeout --kill-after=10 "${MERILON_WINE_TIMEOUT:-300}" "$wine" cmd /c "$(winpath "$bat")" "$@"
status=$?
[ "$status" -eq 124 ] && echo "wine-run.sh: $(basename "$exe") killed after ${MERILON_WINE_TIMEOUT:-300} s" >&2
exit "$status"
