#!/usr/bin/env bash
# The Windows build in one command. On Debian 12 it installs what it needs, gets Qt for
# MinGW-w64, cross-builds the program, runs every test under Wine, builds the portable zip and
# the installer, and tries both under Wine: the zip's programs start from an empty folder, the
# installer installs silently, the installed program runs an attempt on an X display and writes
# its journal, the uninstaller removes the program and keeps the journal.
# A second call reuses what is built.
#
# Qt for MinGW comes from the archive named by MERILON_QT_MINGW_ARCHIVE when it is given and
# sound, else from the cache folder (MERILON_QT_CACHE, by default ~/.cache/merilon), else it is
# built there from Debian's source package of the host's Qt (about 30 minutes on two cores).
# libxlsxwriter, zlib and libsodium, linked statically into the program, are built once into the same
# cache folder from Debian's source packages of the host's versions.
#
# Everything goes under build/windows: qt-mingw (Qt from the archive), build (the cross build),
# wine (the Wine prefix), dist (the zip and the installer), logs.
#
# windows.sh --legacy builds the package for older computers instead: 32-bit, against Qt 5.15,
# for Windows 7 SP1, 8.1 and 10 in both widths, tested under a 32-bit Wine that reports
# Windows 7, into build/windows-legacy. A machine whose kernel does not run 32-bit programs
# (no 32-bit Wine) builds, checks and packages it without running it. windows.sh --legacy-x64
# builds the same against a 64-bit Qt 5.15 and runs all of it under the 64-bit Wine set to
# Windows 7, into build/windows-legacy-x64: the same code on Windows 7's code paths, where
# 32-bit programs cannot run. Qt 5.15 comes from the archive named by MERILON_QT5_MINGW_ARCHIVE
# (it is not built here from source).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/xdrive.sh"

VARIANT=main
case "${1:-}" in
--legacy) VARIANT=legacy && shift ;;
--legacy-x64) VARIANT=legacy-x64 && shift ;;
esac
case "$VARIANT" in
main)
    TRIPLE=x86_64-w64-mingw32
    QT_MAJOR=6
    PACKAGE=win64
    SETUP_NAME=setup
    MINIMUM_BUILD=17763 # Windows 10 1809, which Qt 6.4 needs
    WINDOWS_SEEN=win10  # what Wine reports while the tests and the program run
    OUT="$ROOT/build/windows"
    ;;
legacy)
    TRIPLE=i686-w64-mingw32
    QT_MAJOR=5
    PACKAGE=win32-legacy
    SETUP_NAME=win32-legacy-setup
    MINIMUM_BUILD=7601 # Windows 7 SP1
    WINDOWS_SEEN=win7
    OUT="$ROOT/build/windows-legacy"
    ;;
legacy-x64)
    TRIPLE=x86_64-w64-mingw32
    QT_MAJOR=5
    PACKAGE=win64-legacy
    SETUP_NAME=win64-legacy-setup
    MINIMUM_BUILD=7601
    WINDOWS_SEEN=win7
    OUT="$ROOT/build/windows-legacy-x64"
    ;;
esac
LEGACY=$([ "$QT_MAJOR" = 5 ] && echo 1 || echo 0)
BITS=$([ "$TRIPLE" = i686-w64-mingw32 ] && echo 32 || echo 64)
TOOLCHAIN="$ROOT/cmake/mingw$BITS.cmake"
RUNS=1 # 0 where this machine cannot run the build's programs

WINDOWS_PACKAGES=(
    cmake ninja-build xz-utils dpkg-dev
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
    mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine wine64 fonts-wine fonts-dejavu-core xvfb xauth xdotool x11-utils
    nsis zip unzip fp-utils imagemagick python3 binutils-mingw-w64-x86-64 curl
    autoconf automake libtool # libsodium's source comes without its configure script
)
# The options libxlsxwriter is configured with; they are part of its cache key.
XLSXWRITER_CONFIGURE=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF
    -DUSE_SYSTEM_MINIZIP=OFF -DUSE_OPENSSL_MD5=OFF -DUSE_NO_MD5=OFF
)
# The options libsodium is configured with; they are part of its cache key. No stack protector:
# MinGW's needs a library of its own at link time.
SODIUM_CONFIGURE=(
    --host="$TRIPLE" --disable-shared --enable-static --disable-ssp --with-pic=no
)
# The options Qt is configured with; they are part of the cache key.
QT_CONFIGURE=(
    -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32-
    -qt-host-path /usr -release -shared -nomake examples -nomake tests
    -no-pkg-config -no-icu -no-zstd -no-dbus -no-opengl
    -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-harfbuzz -qt-freetype -qt-doubleconversion
    -no-feature-network -no-feature-sql -no-feature-xml -no-feature-concurrent
    -no-feature-vulkan -no-feature-tabletevent -no-feature-androiddeployqt
)

BUILD="$OUT/build"
LOGS="$OUT/logs"
DIST="$OUT/dist"
WINE_RUN="$ROOT/cmake/wine-run.sh"
if [ "$BITS" = 32 ]; then
    WINE=/usr/lib/wine/wine # the 32-bit loader, from wine32:i386
else
    WINE=/usr/lib/wine/wine64
fi
WINESERVER=/usr/lib/wine/wineserver

say() { printf '== %s\n' "$*"; }
fail() {
    printf 'windows.sh: %s\n' "$*" >&2
    exit 1
}
winpath() { printf 'Z:%s' "$(realpath -m "$1")" | tr / '\\'; }

# ---- Qt for MinGW ------------------------------------------------------------------------------

QT_VERSION=""  # the Debian version of the host's Qt, which the cross-built one must match
QT_DIR=""      # the Qt prefix the build uses

# The archive, unpacked into build/windows/qt-mingw once per archive (by its checksum).
qt_from_archive() {
    local archive=$1 dest="$OUT/qt-mingw" sum
    if [ ! -f "$archive" ]; then
        echo "The Qt archive $archive does not exist." >&2
        return 1
    fi
    sum=$(sha256sum <"$archive" | cut -c1-64)
    if [ -f "$dest/.archive-sha256" ] && [ "$(cat "$dest/.archive-sha256")" = "$sum" ]; then
        QT_DIR=$dest
        return 0
    fi
    say "Unpacking Qt for MinGW from $archive"
    rm -rf "$dest.part"
    mkdir -p "$dest.part"
    # One folder at the top (qt-mingw/ for Qt 6, qt5-base-…/ for Qt 5) with the DLLs and the
    # CMake package of this build's Qt.
    local top
    if ! tar -xJf "$archive" -C "$dest.part" 2>"$LOGS/qt-archive.log" ||
        ! top=$(find "$dest.part" -mindepth 1 -maxdepth 1 -type d) || [ "$(wc -l <<<"$top")" -ne 1 ] ||
        [ ! -f "$top/lib/cmake/Qt$QT_MAJOR/Qt${QT_MAJOR}Config.cmake" ] ||
        [ ! -f "$top/bin/Qt${QT_MAJOR}Core.dll" ]; then
        rm -rf "$dest.part"
        echo "The Qt archive $archive is damaged or is not Qt $QT_MAJOR for MinGW (no folder with Qt${QT_MAJOR}Core.dll and its CMake package); see $LOGS/qt-archive.log." >&2
        return 1
    fi
    rm -rf "$dest"
    mv "$top" "$dest"
    rm -rf "$dest.part"
    echo "$sum" >"$dest/.archive-sha256"
    QT_DIR=$dest
}

cache_root() {
    printf '%s' "${MERILON_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/merilon}"
}

qt_cache_dir() {
    local key
    key=$(printf '%s\n' "$QT_VERSION" "${QT_CONFIGURE[*]}" \
        "$(x86_64-w64-mingw32-g++-posix --version | head -n1)" | sha256sum | cut -c1-12)
    printf '%s/qt6-base-%s-mingw-%s' "$(cache_root)" "${QT_VERSION%%+*}" "$key"
}

# ensure_source_lists PACKAGE=VERSION...: apt-get source needs the source lists; Debian's
# images often ship only the binary ones.
ensure_source_lists() {
    if apt-get source --print-uris "$@" >/dev/null 2>&1; then
        return 0
    fi
    if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        say "Adding Debian's source lists (deb-src) for apt-get source"
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            as_root tee /etc/apt/sources.list.d/merilon-deb-src.sources >/dev/null
    fi
    as_root apt-get update
}

# source_to_fetch PACKAGE VERSION: VERSION when the mirror has that source package, else the
# newest version of it that the mirror has (a mirror may list a security update's source
# without holding it).
source_to_fetch() {
    local package=$1 version=$2 v dsc
    for v in "$version" $(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -u -V -r); do
        dsc=$(apt-get source --print-uris "$package=$v" 2>/dev/null | grep -o "'[^']*\.dsc'" | tr -d "'" | head -n1)
        if [ -n "$dsc" ] && curl -fsI "$dsc" >/dev/null 2>&1; then
            [ "$v" = "$version" ] || echo "windows.sh: the mirror lacks $package $version's source; taking $v" >&2
            printf '%s' "$v"
            return 0
        fi
    done
    printf '%s' "$version"
}

qt_from_source() {
    local dest=$1 src="$OUT/qt-source" started
    say "Building Qt $QT_VERSION for MinGW-w64 from Debian's source into $dest."
    say "This takes about 30 minutes on two cores; it is done once and kept in the cache."
    ensure_source_lists "qt6-base=$QT_VERSION"
    mkdir -p "$src"
    (
        cd "$src"
        [ -d "qt6-base-${QT_VERSION%-*}" ] || apt-get source "qt6-base=$QT_VERSION"
        rm -rf build && mkdir build && cd build
        started=$(date +%s)
        # Debian's source lacks src/3rdparty/wintab, hence no tablet events; androiddeployqt
        # would be built for the target. Direct2D stays on: without it Qt6PrintSupport.dll
        # does not link.
        "../qt6-base-${QT_VERSION%-*}/configure" -prefix "$dest" "${QT_CONFIGURE[@]}" \
            -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw64.cmake" \
            -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
        cmake --build . --parallel
        cmake --install .
        echo "Qt built in $(($(date +%s) - started)) s"
    ) >"$LOGS/qt-build.log" 2>&1 || fail "building Qt failed; see $LOGS/qt-build.log"
    touch "$dest/.complete"
}

get_qt() {
    if [ "$LEGACY" = 1 ]; then
        [ -n "${MERILON_QT5_MINGW_ARCHIVE:-}" ] ||
            fail "--legacy needs Qt 5.15 for 32-bit MinGW: name its archive in MERILON_QT5_MINGW_ARCHIVE"
        qt_from_archive "$MERILON_QT5_MINGW_ARCHIVE" || fail "no Qt 5.15 for 32-bit MinGW"
        return 0
    fi
    QT_VERSION=$(dpkg-query -W -f='${Version}' qt6-base-dev)
    if [ -n "${MERILON_QT_MINGW_ARCHIVE:-}" ]; then
        qt_from_archive "$MERILON_QT_MINGW_ARCHIVE" && return 0
        echo "Falling back to the cache folder or to building Qt." >&2
    fi
    local cache
    cache=$(qt_cache_dir)
    if [ ! -f "$cache/.complete" ]; then
        rm -rf "$cache"
        qt_from_source "$cache"
    fi
    QT_DIR=$cache
}

# ---- libxlsxwriter for MinGW -------------------------------------------------------------------

XLSXWRITER_VERSION="" # the Debian source versions of the host's libxlsxwriter and zlib
ZLIB_VERSION=""
XLSXWRITER_DIR=""     # the prefix with the static libxlsxwriter and zlib the build links

xlsxwriter_cache_dir() {
    local key
    key=$(printf '%s\n' "$XLSXWRITER_VERSION" "$ZLIB_VERSION" "${XLSXWRITER_CONFIGURE[*]}" \
        "$("$TRIPLE-gcc-posix" --version | head -n1)" | sha256sum | cut -c1-12)
    printf '%s/libxlsxwriter-%s-zlib-%s-mingw-%s' "$(cache_root)" "${XLSXWRITER_VERSION%%+*}" \
        "$(sed 's/^[0-9]*://; s/-[^-]*$//' <<<"$ZLIB_VERSION")" "$key"
}

# xlsxwriter_build SOURCE DEST: zlib, then libxlsxwriter against it, both static, into DEST.
xlsxwriter_build() {
    local src=$1 dest=$2 zlib xlsx toolchain="$TOOLCHAIN"
    cd "$src" || return 1
    apt-get source "zlib=$ZLIB_VERSION" "libxlsxwriter=$XLSXWRITER_VERSION" || return 1
    zlib=$(find . -maxdepth 1 -type d -name 'zlib-*' | head -n1)
    xlsx=$(find . -maxdepth 1 -type d -name 'libxlsxwriter-*' | head -n1)
    [ -n "$zlib" ] && [ -n "$xlsx" ] || return 1
    # Only zlib's static library: Debian's source has no resources for the DLL.
    cmake -S "$zlib" -B zlib-build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release || return 1
    cmake --build zlib-build --target zlibstatic || return 1
    install -D -m 644 zlib-build/libzlibstatic.a "$dest/lib/libz.a" || return 1
    install -D -m 644 -t "$dest/include" "$zlib/zlib.h" zlib-build/zconf.h || return 1
    cmake -S "$xlsx" -B xlsx-build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_INSTALL_PREFIX="$dest" -DZLIB_INCLUDE_DIR="$dest/include" \
        -DZLIB_LIBRARY="$dest/lib/libz.a" "${XLSXWRITER_CONFIGURE[@]}" || return 1
    cmake --build xlsx-build || return 1
    cmake --install xlsx-build || return 1
    [ -f "$dest/lib/libxlsxwriter.a" ] && [ -f "$dest/include/xlsxwriter.h" ]
}

# The static libxlsxwriter and zlib for MinGW: from the cache folder, else built there from
# Debian's source packages (about a minute).
get_xlsxwriter() {
    XLSXWRITER_VERSION=$(dpkg-query -W -f='${source:Version}' libxlsxwriter-dev)
    ZLIB_VERSION=$(dpkg-query -W -f='${source:Version}' zlib1g-dev)
    XLSXWRITER_DIR=$(xlsxwriter_cache_dir)
    [ -f "$XLSXWRITER_DIR/.complete" ] && return 0
    ensure_source_lists "zlib=$ZLIB_VERSION" "libxlsxwriter=$XLSXWRITER_VERSION"
    XLSXWRITER_VERSION=$(source_to_fetch libxlsxwriter "$XLSXWRITER_VERSION")
    ZLIB_VERSION=$(source_to_fetch zlib "$ZLIB_VERSION")
    XLSXWRITER_DIR=$(xlsxwriter_cache_dir)
    [ -f "$XLSXWRITER_DIR/.complete" ] && return 0
    local src="$OUT/xlsxwriter-source" started
    say "Building libxlsxwriter $XLSXWRITER_VERSION and zlib $ZLIB_VERSION for MinGW-w64 from Debian's source into $XLSXWRITER_DIR"
    rm -rf "$src" "$XLSXWRITER_DIR"
    mkdir -p "$src"
    started=$(date +%s)
    if ! (xlsxwriter_build "$src" "$XLSXWRITER_DIR") >"$LOGS/xlsxwriter-build.log" 2>&1; then
        rm -rf "$XLSXWRITER_DIR"
        fail "building libxlsxwriter failed; see $LOGS/xlsxwriter-build.log"
    fi
    touch "$XLSXWRITER_DIR/.complete"
    echo "libxlsxwriter and zlib built in $(($(date +%s) - started)) s"
}

# ---- libsodium for MinGW -----------------------------------------------------------------------

SODIUM_VERSION="" # the Debian source version of the host's libsodium
SODIUM_DIR=""     # the prefix with the static libsodium the build links

sodium_cache_dir() {
    local key
    key=$(printf '%s\n' "$SODIUM_VERSION" "${SODIUM_CONFIGURE[*]}" \
        "$("$TRIPLE-gcc-posix" --version | head -n1)" | sha256sum | cut -c1-12)
    printf '%s/libsodium-%s-mingw-%s' "$(cache_root)" "${SODIUM_VERSION%%+*}" "$key"
}

# sodium_build SOURCE DEST: the static library and its headers into DEST.
sodium_build() {
    local src=$1 dest=$2 tree
    cd "$src" || return 1
    apt-get source "libsodium=$SODIUM_VERSION" || return 1
    tree=$(find . -maxdepth 1 -type d -name 'libsodium-*' | head -n1)
    [ -n "$tree" ] || return 1
    cd "$tree" || return 1
    [ -x configure ] || autoreconf -fi || return 1
    CC=$TRIPLE-gcc-posix AR=$TRIPLE-ar RANLIB=$TRIPLE-ranlib \
        CFLAGS="-O2" ./configure --prefix="$dest" "${SODIUM_CONFIGURE[@]}" || return 1
    make -j"$(nproc)" || return 1
    make install || return 1
    [ -f "$dest/lib/libsodium.a" ] && [ -f "$dest/include/sodium.h" ]
}

# The static libsodium for MinGW: from the cache folder, else built there from Debian's source
# package (about two minutes).
get_sodium() {
    SODIUM_VERSION=$(dpkg-query -W -f='${source:Version}' libsodium-dev)
    SODIUM_DIR=$(sodium_cache_dir)
    [ -f "$SODIUM_DIR/.complete" ] && return 0
    ensure_source_lists "libsodium=$SODIUM_VERSION"
    SODIUM_VERSION=$(source_to_fetch libsodium "$SODIUM_VERSION")
    SODIUM_DIR=$(sodium_cache_dir)
    [ -f "$SODIUM_DIR/.complete" ] && return 0
    local src="$OUT/sodium-source" started
    say "Building libsodium $SODIUM_VERSION for MinGW-w64 from Debian's source into $SODIUM_DIR"
    rm -rf "$src" "$SODIUM_DIR"
    mkdir -p "$src"
    started=$(date +%s)
    if ! (sodium_build "$src" "$SODIUM_DIR") >"$LOGS/sodium-build.log" 2>&1; then
        rm -rf "$SODIUM_DIR"
        fail "building libsodium failed; see $LOGS/sodium-build.log"
    fi
    touch "$SODIUM_DIR/.complete"
    echo "libsodium built in $(($(date +%s) - started)) s"
}

# ---- Wine --------------------------------------------------------------------------------------

# Whether the kernel runs 32-bit x86 programs (some virtual machines' kernels do not): a
# 32-bit ELF program of 96 bytes that exits with status 42.
runs_32bit() {
    local probe="$OUT/i386-probe"
    python3 - "$probe" <<'PY'
import struct, sys
code = bytes.fromhex("b801000000bb2a000000cd80")  # exit(42) through int 0x80
base, size = 0x08048000, 52 + 32 + 12
header = b"\x7fELF\x01\x01\x01" + bytes(9) + struct.pack(
    "<HHIIIIIHHHHHH", 2, 3, 1, base + 84, 52, 0, 0, 52, 32, 1, 0, 0, 0)
program = struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000)
with open(sys.argv[1], "wb") as out:
    out.write(header + program + code)
PY
    chmod +x "$probe"
    local status=0
    "$probe" 2>/dev/null || status=$?
    [ "$status" -eq 42 ]
}

# The 32-bit Wine (wine32 of the i386 architecture), which the 32-bit build's programs need.
ensure_wine32() {
    [ -x /usr/lib/wine/wine ] && return 0
    say "Installing the 32-bit Wine (wine32:i386)"
    dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
    export DEBIAN_FRONTEND=noninteractive
    as_root apt-get update >"$LOGS/apt-i386.log" 2>&1 || true
    as_root apt-get install -y --no-install-recommends wine32:i386 >>"$LOGS/apt-i386.log" 2>&1 && return 0
    # A mirror may serve an i386 list that differs from the one its signed Release names
    # ("File has unexpected size"); apt then leaves the list out, finds the i386 twins of the
    # host's updated libraries at older versions and gives up. Take such a list as the mirror
    # serves it (it is not checked against the Release file; the packages are checked against
    # it) and try once more.
    local uri file
    while read -r uri file; do
        [ -s "$file" ] && continue
        echo "windows.sh: apt did not take $uri; using it unchecked against the Release file" >&2
        curl -fsS "$uri.xz" | xz -dc | as_root tee "$file" >/dev/null || as_root rm -f "$file"
    done < <(apt-get indextargets --no-release-info --format '$(URI) $(FILENAME)' \
        'Created-By: Packages' 'Architecture: i386')
    as_root apt-get install -y --no-install-recommends wine32:i386 >>"$LOGS/apt-i386.log" 2>&1 ||
        fail "the 32-bit Wine cannot be installed; see $LOGS/apt-i386.log"
}

setup_wine() {
    export WINEPREFIX="$OUT/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=$([ "$BITS" = 32 ] && echo win32 || echo win64) MERILON_WINE="$WINE"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "Creating the Wine prefix"
        timeout 300 "$WINE" wineboot -i >"$LOGS/wineboot.log" 2>&1 || fail "wineboot failed; see $LOGS/wineboot.log"
        timeout 60 "$WINESERVER" -w || true
    fi
    # Qt takes the code paths of the Windows that Wine reports.
    timeout 60 "$WINE" winecfg -v "$WINDOWS_SEEN" >/dev/null 2>&1 || fail "Wine cannot report $WINDOWS_SEEN"
    timeout 60 "$WINESERVER" -w || true
    # The offscreen platform on Windows draws text from a font folder of its own.
    mkdir -p "$OUT/fonts"
    cp -u /usr/share/wine/fonts/tahoma*.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf \
        /usr/share/fonts/truetype/dejavu/DejaVuSerif*.ttf "$OUT/fonts/"
    export QT_QPA_FONTDIR="$OUT/fonts"
    # QtTest logs to the debugger unless told that stderr is a console.
    export QT_FORCE_STDERR_LOGGING=1
}

# The DLLs of Qt and of MinGW's runtime, for programs that run from the build folder.
with_dll_path() {
    local gcc
    gcc=$(dirname "$("$TRIPLE-g++-posix" -print-file-name=libstdc++-6.dll)")
    WINEPATH="$(winpath "$QT_DIR/bin");$(winpath "$gcc");$(winpath "/usr/$TRIPLE/lib")" "$@"
}

stop_wine() {
    timeout 30 "$WINESERVER" -k >/dev/null 2>&1 || true
}

cleanup() {
    stop_wine
    [ -n "$DISPLAY_PID" ] && kill "$DISPLAY_PID" 2>/dev/null || true
}

# ---- the packages ------------------------------------------------------------------------------

VERSION=""
ZIP=""
SETUP=""
SYMBOLS=""

# The programs and DLLs without their debugging sections; those go into FOLDER/<name>.debug,
# linked from the stripped file, so that a crash report can still be read.
strip_binaries() {
    local stage=$1 symbols=$2 file rel objcopy=$TRIPLE-objcopy
    rm -rf "$symbols"
    while IFS= read -r -d '' file; do
        rel=${file#"$stage"/}
        mkdir -p "$symbols/$(dirname "$rel")"
        "$objcopy" --only-keep-debug "$file" "$symbols/$rel.debug"
        "$objcopy" --strip-debug --strip-unneeded "$file"
        (cd "$symbols/$(dirname "$rel")" && "$objcopy" --add-gnu-debuglink="$(basename "$rel").debug" "$file")
    done < <(find "$stage" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
}

# A zip of FOLDER/NAME whose every non-ASCII name carries the UTF-8 flag (bit 11), so that
# Explorer shows it right; Debian's zip stores such names without the flag.
make_zip() {
    (cd "$1" && python3 - "$3" "$2" <<'PY'
import os, sys, zipfile
out, top = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for folder, dirs, files in os.walk(top):
        dirs.sort()
        for name in sorted(files):
            archive.write(os.path.join(folder, name))
PY
    )
}

# Every non-ASCII name in the zip must carry the UTF-8 flag; read from the archive's headers.
check_zip_names() {
    python3 - "$1" <<'PY' || fail "the zip stores a Russian name without the UTF-8 flag"
import sys, zipfile
bad = [i.filename for i in zipfile.ZipFile(sys.argv[1]).infolist()
       if not i.filename.isascii() and not i.flag_bits & 0x800]
print("zip: UTF-8 flag on every Russian name" if not bad else "zip: no UTF-8 flag on %s" % bad)
sys.exit(1 if bad else 0)
PY
}

# The import check must itself see a later function: a program that imports Windows 8's
# GetSystemTimePreciseAsFileTime passes it only where the minimum is Windows 8 or later.
check_the_import_check() {
    local dir="$OUT/import-check"
    rm -rf "$dir" && mkdir -p "$dir/program"
    printf '#include <windows.h>\nint main(void) { FILETIME t; GetSystemTimePreciseAsFileTime(&t); return (int)t.dwLowDateTime; }\n' >"$dir/later.c"
    "$TRIPLE-gcc-posix" -D_WIN32_WINNT=0x0602 -o "$dir/program/later.exe" "$dir/later.c" ||
        fail "the program for the import check does not build"
    if OBJDUMP="$TRIPLE-objdump" "$ROOT/scripts/check-imports.sh" "$dir/program" 7601 2>"$LOGS/import-check.log"; then
        fail "the import check let a Windows 8 function pass for Windows 7"
    fi
    OBJDUMP="$TRIPLE-objdump" "$ROOT/scripts/check-imports.sh" "$dir/program" 9200 ||
        fail "the import check refused a Windows 8 function for Windows 8"
}

build_packages() {
    VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
    local stage="$OUT/stage" lists="$OUT/installer"
    rm -rf "$stage" "$lists"
    mkdir -p "$DIST" "$lists"
    cmake --install "$BUILD" --prefix "$stage/Merilon" >"$LOGS/install.log"
    ZIP="$DIST/Merilon-$VERSION-$PACKAGE.zip"
    SETUP="$DIST/Merilon-$VERSION-$SETUP_NAME.exe"
    SYMBOLS="$DIST/Merilon-$VERSION-$PACKAGE-symbols.zip"
    rm -f "$ZIP" "$SETUP" "$SYMBOLS"
    strip_binaries "$stage/Merilon" "$OUT/symbols/Merilon"
    check_the_import_check
    # The installer refuses a Windows older than the package's minimum (10 1809, which Qt 6.4
    # needs; 7 SP1 for the legacy package): nothing packaged may need more.
    OBJDUMP="$TRIPLE-objdump" "$ROOT/scripts/check-imports.sh" "$stage/Merilon" "$MINIMUM_BUILD" ||
        fail "a packaged file imports a function that Windows of build $MINIMUM_BUILD lacks"
    make_zip "$stage" Merilon "$ZIP"
    make_zip "$OUT/symbols" Merilon "$SYMBOLS"

    # The installer's file lists: what it installs is exactly what it uninstalls.
    {
        printf '\xef\xbb\xbf'
        (cd "$stage/Merilon" && find . -type d | sort) | while read -r dir; do
            rel=${dir#./}
            printf 'SetOutPath "$INSTDIR%s"\n' "$([ "$dir" = . ] || printf '\\%s' "${rel//\//\\}")"
            find "$stage/Merilon/$rel" -maxdepth 1 -type f | sort | while read -r file; do
                printf 'File "%s"\n' "$file"
            done
        done
        printf 'SetOutPath "$INSTDIR"\n'
    } >"$lists/files.nsh"
    {
        printf '\xef\xbb\xbf'
        (cd "$stage/Merilon" && find . -type f | sort) | while read -r file; do
            rel=${file#./}
            printf 'Delete "$INSTDIR\\%s"\n' "${rel//\//\\}"
        done
        (cd "$stage/Merilon" && find . -mindepth 1 -type d | sort -r) | while read -r dir; do
            rel=${dir#./}
            printf 'RMDir "$INSTDIR\\%s"\n' "${rel//\//\\}"
        done
    } >"$lists/unfiles.nsh"
    local legacy=()
    [ "$LEGACY" = 1 ] && legacy+=(-DLEGACY)
    [ "$BITS" = 32 ] && legacy+=(-DX86)
    makensis -V2 -INPUTCHARSET UTF8 "${legacy[@]}" -DVERSION="$VERSION" -DOUTFILE="$SETUP" \
        -DICON="$ROOT/src/shell/merilon.ico" -DFILES="$lists/files.nsh" \
        -DUNFILES="$lists/unfiles.nsh" "$ROOT/app/windows/installer.nsi" >"$LOGS/makensis.log" 2>&1 ||
        fail "makensis failed; see $LOGS/makensis.log"
}

# A small well-formed test: 50 questions, the first variant right.
write_smoke_test() {
    local file=$1 n
    {
        printf 'Проверочный тест\r\n\r\n'
        for n in $(seq 50); do
            printf '#%d Вопрос %d?\r\n+Да\r\n-Нет\r\n-Не знаю\r\n\r\n' "$n" "$n"
        done
    } >"$file"
}

# The program from FOLDER on the windows platform, driven by keys as an examinee would: Open
# (Ctrl+O, the test's path typed into the file dialog), Start, the registration window, two
# answers, Stop, Yes, the result window's OK; the journal must then hold the record. Leaves a
# screenshot of the result window in logs/.
smoke_attempt() {
    local folder=$1 test="$OUT/smoke/smoke.tstt" main id
    mkdir -p "$OUT/smoke"
    write_smoke_test "$test"
    rm -f "$folder/Journal.res"
    QT_QPA_PLATFORM=windows MERILON_WINE_TIMEOUT=150 "$WINE_RUN" "$folder/merilon.exe" \
        >"$LOGS/smoke.log" 2>&1 &
    local program=$!
    main=$(wait_window 'Мерилон и обучение' 60) || fail "smoke run: the main window did not appear; see $LOGS/smoke.log"
    xdotool windowfocus --sync "$main" 2>/dev/null || true
    local shown tries
    shown=$(viewable_windows)
    # A window that has just started may not take keys yet: Ctrl+O again until the dialog shows.
    for tries in 1 2 3; do
        xdotool key ctrl+o
        id=$(wait_new_window "$shown" 10) && break
    done
    if [ -z "$id" ]; then
        xwininfo -root -tree >"$LOGS/smoke-windows.txt" 2>&1 || true
        fail "smoke run: Ctrl+O showed no file dialog; the windows shown are in $LOGS/smoke-windows.txt"
    fi
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool type --delay 30 "$(winpath "$test")"
    xdotool key Return
    wait_gone "$id" 20 || fail "smoke run: the file dialog stays"
    xdotool windowfocus --sync "$main" 2>/dev/null || true
    xdotool key F5
    id=$(wait_window 'Введите информацию о себе' 20) || fail "smoke run: no registration window (was the test opened?)"
    # The names offered at the first Start (xdotool cannot type Cyrillic into Wine's
    # windows: Wine keeps its first reading of a key that xdotool maps anew for each letter).
    xdotool key Tab space
    wait_gone "$id" 20 || fail "smoke run: the registration window stays"
    xdotool windowfocus --sync "$main" 2>/dev/null || true
    # Two answers with the keyboard, as an examinee gives them: the focus is on row A after the
    # registration and after each Next; Space on it (always right here), Tab to Next, Enter;
    # each time until the next question is shown.
    local progress
    for _ in 1 2; do
        progress=$(progress_of "$main")
        xdotool key space Tab Return
        wait_progress "$main" "$progress" 20 || fail "smoke run: Next showed no next question"
    done
    xdotool key alt+x
    id=$(wait_window 'Подтвердите' 20) || fail "smoke run: Stop asked nothing"
    xdotool key Return
    id=$(wait_window 'Результаты теста' 20) || fail "smoke run: no result window"
    wait_painted "$id" 20 || true
    import -window root "$LOGS/smoke-result.png" 2>/dev/null || true
    xdotool key Return
    wait_gone "$id" 20 || fail "smoke run: Enter on the result window's OK did not close it"
    for _ in $(seq 40); do
        [ -s "$folder/Journal.res" ] && break
        sleep 0.25
    done
    [ -s "$folder/Journal.res" ] || fail "smoke run: no journal written in $folder"
    xdotool key --window "$main" alt+F4 2>/dev/null || true
    wait_exit "$program" 20 || kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
    stop_wine
    # The record names the examinee, Васечкин Петя (the journal is RTF: letters as \uN).
    grep -q 'u1042\\' "$folder/Journal.res" && grep -q 'u1055\\' "$folder/Journal.res" ||
        fail "smoke run: the journal holds no record of the examinee"
    # and the two answers given by the keyboard, both right ("Правильных ответов: 2").
    grep -qF ': 2\par' "$folder/Journal.res" ||
        fail "smoke run: the record does not count the two right answers"
    echo "smoke run: the attempt's record is in $folder/Journal.res"
}

test_zip() {
    check_zip_names "$ZIP"
    local dir="$OUT/try-zip" test="$OUT/smoke/Проба.tstt" id
    say "The zip in an empty folder"
    rm -rf "$dir" && mkdir -p "$dir" "$OUT/smoke"
    unzip -q "$ZIP" -d "$dir"
    write_smoke_test "$test"
    # No WINEPATH: every DLL must come from the folder itself.
    MERILON_WINE_TIMEOUT=60 "$WINE_RUN" "$dir/Merilon/merilon-check.exe" "$(winpath "$test")" \
        >"$LOGS/zip-check.log" 2>&1 || fail "merilon-check.exe from the zip failed; see $LOGS/zip-check.log"
    grep -q 'Ошибок: 0' "$LOGS/zip-check.log" ||
        fail "merilon-check.exe from the zip said nothing sensible; see $LOGS/zip-check.log"
    QT_QPA_PLATFORM=windows MERILON_WINE_TIMEOUT=60 "$WINE_RUN" "$dir/Merilon/merilon.exe" \
        >"$LOGS/zip-run.log" 2>&1 &
    local program=$!
    id=$(wait_window 'Мерилон и обучение' 60) || fail "merilon.exe from the zip shows no window; see $LOGS/zip-run.log"
    xdotool key --window "$id" alt+F4 2>/dev/null || true
    wait_exit "$program" 20 || kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
    stop_wine
    echo "zip: merilon-check.exe checked a test and merilon.exe started, with only the folder's DLLs"
}

# installer_refuses WINDOWS: under Wine reporting WINDOWS (win7, vista, winxp; win7-rtm is
# Windows 7 without a service pack), the installer must quit with status 3 and install nothing.
installer_refuses() {
    local windows=$1 refused=0
    say "The installer on $windows refuses"
    rm -rf "$WINEPREFIX/drive_c/Merilon-Old"
    timeout 60 "$WINE" winecfg -v "${windows%-rtm}" >/dev/null 2>&1 || fail "Wine cannot report $windows"
    if [ "$windows" = win7-rtm ]; then
        # Wine takes the version from these values; winecfg -v writes them all back.
        local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
        { timeout 60 "$WINE" reg add "$key" /v CSDVersion /t REG_SZ /d "" /f &&
            timeout 60 "$WINE" reg add "$key" /v CurrentBuild /t REG_SZ /d 7600 /f &&
            timeout 60 "$WINE" reg add "$key" /v CurrentBuildNumber /t REG_SZ /d 7600 /f &&
            timeout 60 "$WINE" reg add 'HKLM\System\CurrentControlSet\Control\Windows' \
                /v CSDVersion /t REG_DWORD /d 0 /f; } >/dev/null 2>&1 ||
            fail "Wine cannot report Windows 7 without a service pack"
        timeout 60 "$WINESERVER" -w || true
    fi
    timeout 180 "$WINE" "$SETUP" /S '/D=C:\Merilon-Old' >"$LOGS/setup-$windows.log" 2>&1 || refused=$?
    timeout 60 "$WINE" winecfg -v "$WINDOWS_SEEN" >/dev/null 2>&1 || fail "Wine cannot report $WINDOWS_SEEN again"
    timeout 60 "$WINESERVER" -w || true
    [ "$refused" -eq 3 ] && [ ! -e "$WINEPREFIX/drive_c/Merilon-Old" ] ||
        fail "the installer did not refuse $windows (status $refused); see $LOGS/setup-$windows.log"
    echo "installer: $windows refused with status 3, nothing installed"
}

test_installer() {
    local target='C:\Merilon-CI' unix="$WINEPREFIX/drive_c/Merilon-CI" key
    key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Merilon'
    if [ "$LEGACY" = 1 ]; then
        installer_refuses win7-rtm
        installer_refuses vista
        # A 64-bit prefix knows only the 64-bit Windows XP.
        installer_refuses "$([ "$BITS" = 32 ] && echo winxp || echo winxp64)"
    else
        installer_refuses win7
    fi
    say "The installer, silent, into $target on $WINDOWS_SEEN"
    rm -rf "$unix"
    timeout 180 "$WINE" "$SETUP" /S "/D=$target" >"$LOGS/setup.log" 2>&1 || fail "the installer failed; see $LOGS/setup.log"
    timeout 60 "$WINESERVER" -w || true
    [ -f "$unix/merilon.exe" ] && [ -f "$unix/Uninstall.exe" ] && [ -f "$unix/platforms/qwindows.dll" ] ||
        fail "the installer left no program in $unix"
    timeout 60 "$WINE" reg query "$key" /v DisplayName >"$LOGS/setup-reg.log" 2>&1 ||
        fail "no entry among the installed programs; see $LOGS/setup-reg.log"
    ls "$WINEPREFIX/drive_c/users/Public/Desktop/"*.lnk >/dev/null 2>&1 ||
        fail "no desktop shortcut"
    smoke_attempt "$unix"
    # The administrator's own settings file is not the installer's to remove.
    printf '[Журнал]\r\nПапка=C:\\Общая\r\n' >"$unix/merilon.ini"

    say "The uninstaller keeps the journal"
    timeout 120 "$WINE" "$unix/Uninstall.exe" /S >"$LOGS/uninstall.log" 2>&1 || fail "the uninstaller failed; see $LOGS/uninstall.log"
    # It copies itself aside and works from there: wait until it is done.
    for _ in $(seq 120); do
        [ -e "$unix/merilon.exe" ] || [ -e "$unix/Uninstall.exe" ] || break
        sleep 0.5
    done
    timeout 60 "$WINESERVER" -w || true
    [ ! -e "$unix/merilon.exe" ] && [ ! -e "$unix/Qt${QT_MAJOR}Core.dll" ] || fail "the uninstaller left the program"
    [ -s "$unix/Journal.res" ] || fail "the uninstaller deleted the journal"
    if timeout 60 "$WINE" reg query "$key" >/dev/null 2>&1; then
        fail "the uninstaller left the entry among the installed programs"
    fi
    [ -s "$unix/merilon.ini" ] || fail "the uninstaller deleted a merilon.ini it had not written"
    echo "installer: installed silently, the program wrote its journal there, the uninstaller kept Journal.res"
    test_installer_results
}

# A results folder given to a silent install goes into merilon.ini, which the program and the
# checker read, and which the uninstaller removes again.
test_installer_results() {
    local target='C:\Merilon-Class' unix="$WINEPREFIX/drive_c/Merilon-Class" results='C:\Результаты\7а'
    say "The installer with /RESULTS=$results"
    rm -rf "$unix" "$WINEPREFIX/drive_c/Результаты"
    mkdir -p "$WINEPREFIX/drive_c/Результаты/7а"
    timeout 180 "$WINE" "$SETUP" /S "/RESULTS=$results" "/D=$target" >"$LOGS/setup-results.log" 2>&1 ||
        fail "the installer with /RESULTS= failed; see $LOGS/setup-results.log"
    timeout 60 "$WINESERVER" -w || true
    [ -f "$unix/merilon.ini" ] || fail "the installer wrote no merilon.ini"
    iconv -f UTF-16 -t UTF-8 "$unix/merilon.ini" | grep -q "^Папка=$(printf '%s' "$results" | sed 's/\\/\\\\/g')" ||
        fail "merilon.ini does not name $results: $(iconv -f UTF-16 -t UTF-8 "$unix/merilon.ini")"
    timeout 60 "$WINE" "$unix/merilon-check.exe" --where >"$LOGS/where.log" 2>&1 ||
        fail "merilon-check --where says the journal cannot be written; see $LOGS/where.log"
    grep -q 'Результаты\\7а\\Journal.res' "$LOGS/where.log" ||
        fail "merilon-check --where names another journal; see $LOGS/where.log"
    timeout 120 "$WINE" "$unix/Uninstall.exe" /S >"$LOGS/uninstall-results.log" 2>&1 ||
        fail "the uninstaller failed; see $LOGS/uninstall-results.log"
    for _ in $(seq 120); do
        [ -e "$unix/merilon.exe" ] || [ -e "$unix/Uninstall.exe" ] || break
        sleep 0.5
    done
    timeout 60 "$WINESERVER" -w || true
    [ ! -e "$unix/merilon.ini" ] || fail "the uninstaller left the merilon.ini it wrote"
    echo "installer: /RESULTS= wrote merilon.ini, merilon-check --where read it, the uninstaller removed it"
}

# ---- the steps ---------------------------------------------------------------------------------

main() {
    mkdir -p "$OUT" "$LOGS"
    ensure_packages "${PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"
    local tests=()
    if [ "$BITS" = 32 ]; then
        if runs_32bit; then
            ensure_wine32
        else
            RUNS=0 tests=(-DMERILON_TESTS=OFF)
            say "This machine's kernel runs no 32-bit programs: the 32-bit build is built, checked and packaged, not run (windows.sh --legacy-x64 runs the same code)"
        fi
    fi

    get_qt
    say "Qt for MinGW: $QT_DIR"
    get_xlsxwriter
    say "libxlsxwriter for MinGW: $XLSXWRITER_DIR"
    get_sodium
    say "libsodium for MinGW: $SODIUM_DIR"

    say "Cross-building"
    configure_and_build "$BUILD" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DMERILON_QT_MINGW="$QT_DIR" \
        -DXLSXWRITER_ROOT="$XLSXWRITER_DIR" -DSODIUM_ROOT="$SODIUM_DIR" "${tests[@]}"

    if [ "$RUNS" = 0 ]; then
        say "The packages (not tried: not runnable here)"
        build_packages
        say "Built: $(basename "$ZIP") $(du -k "$ZIP" | cut -f1) KB, $(basename "$SETUP") $(du -k "$SETUP" | cut -f1) KB, symbols $(du -k "$SYMBOLS" | cut -f1) KB, in $DIST"
        return 0
    fi
    setup_wine
    trap cleanup EXIT
    # Offscreen tests need no display; the Windows console and clipboard of Wine do.
    start_display
    say "Every test under Wine (offscreen; the Windows-only ones on the windows platform)"
    local status=0
    with_dll_path ctest --test-dir "$BUILD" --output-on-failure --parallel 2 --timeout 300 "$@" ||
        status=$?
    stop_wine
    [ "$status" -eq 0 ] || fail "a test failed under Wine"

    say "The packages"
    build_packages
    test_zip
    test_installer
    say "Built: $(basename "$ZIP") $(du -k "$ZIP" | cut -f1) KB, $(basename "$SETUP") $(du -k "$SETUP" | cut -f1) KB, symbols $(du -k "$SYMBOLS" | cut -f1) KB, in $DIST"
}

# Sourced (for trying a step by hand), it only defines the steps.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    main "$@"
fi
