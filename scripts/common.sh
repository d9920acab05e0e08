#!/usr/bin/env bash
# Shared by run.sh and test.sh: installs what is missing from Debian's
# packages and configures and builds a build directory incrementally.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Packages needed to build, run and test the program.
PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev libwmf-dev
    fonts-dejavu-core fonts-liberation fonts-wine fp-utils libchm-bin
    openssh-server openssh-client sshfs fuse3 # the shared journal's test: a network folder
    libxlsxwriter-dev zlib1g-dev libsodium-dev
    xvfb xauth unzip libreoffice-calc-nogui
    ccache
)
# Qt 5.15, which the build for old Windows needs; CI builds and tests against it too.
QT5_PACKAGES=(qtbase5-dev qtbase5-dev-tools qttranslations5-l10n)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs those of the given packages that are not installed yet; runs
# apt-get update first only when a package cannot be found.
ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if ! as_root apt-get install -y --no-install-recommends "${missing[@]}"; then
        as_root apt-get update
        as_root apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

# use_ccache TOP: succeeds where ccache is installed, and sets it up for sources below TOP.
# Paths below TOP count from it, so that another clone finds the same files; and the folder a
# compiler runs in stays out of the key, which ccache otherwise puts in for every compile with
# debug information (then only the debug information names the folder of the first compile).
use_ccache() {
    command -v ccache >/dev/null || return 1
    export CCACHE_BASEDIR="$1" CCACHE_NOHASHDIR=1
}

# configure_and_build DIR [cmake options...]
# Configures DIR when it is new or was configured with other options or compilers (the old
# cache is dropped then, so that an option left out is not kept), and builds it. Compilers run
# through ccache where it is installed: a file compiled before, in any build folder or clone,
# is not compiled again.
configure_and_build() {
    local dir="$1"
    shift
    if use_ccache "$ROOT"; then
        set -- "$@" -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    fi
    local wanted stamp="$dir/.merilon-configured-with"
    wanted="$(printf '%s\n' "$@" "CC=${CC:-}" "CXX=${CXX:-}")"
    if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null)" != "$wanted" ]; then
        if [ -f "$dir/CMakeCache.txt" ]; then
            echo "Reconfiguring $dir: its options changed"
            rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
        fi
        cmake -S "$ROOT" -B "$dir" -G Ninja "$@"
        printf '%s\n' "$wanted" >"$stamp"
    fi
    cmake --build "$dir" --parallel
}
