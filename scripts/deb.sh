#!/usr/bin/env bash
# The Debian package: builds merilon_<version>_amd64.deb with debhelper into build/deb, checks it
# with lintian, appstreamcli and desktop-file-validate, then installs it into a clean Debian 12
# and tries it as a school's administrator would (scripts/deb-test.sh). Logs in build/deb/logs.
#
# The package is built from a copy of the source tree (build/deb/src), so that nothing of the
# build lands in the checkout; a second call builds again in the same copy, recompiling only
# what changed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

OUT="$ROOT/build/deb"
SRC="$OUT/src"
LOGS="$OUT/logs"

say() { printf '== %s\n' "$*"; }
fail() {
    echo "deb.sh: $*" >&2
    exit 1
}

ensure_packages "${PACKAGES[@]}" debhelper dpkg-dev fakeroot lintian appstream \
    desktop-file-utils rsync debootstrap openbox xdotool x11-utils imagemagick

mkdir -p "$OUT" "$LOGS"

# The package's version is the project's: 1.1.1.1 in CMakeLists.txt is 1.1.1.1-1 in
# debian/changelog.
project_version=$(sed -nE 's/^project\(Merilon VERSION ([0-9.]+).*/\1/p' "$ROOT/CMakeLists.txt")
deb_version=$(cd "$ROOT" && dpkg-parsechangelog -S Version)
[ "${deb_version%-*}" = "$project_version" ] ||
    fail "debian/changelog names $deb_version, CMakeLists.txt $project_version: add a changelog entry"
DEB="$OUT/merilon_${deb_version}_amd64.deb"

# build_in_copy LOG: the package from the copy; dpkg-buildpackage writes it beside the copy.
# The build folder of the last call is kept (-nc), debhelper's record of what it has done is not.
build_in_copy() {
    rm -rf "$SRC/debian/.debhelper" "$SRC/debian/merilon" "$SRC/debian/files" \
        "$SRC"/debian/*.debhelper.log "$SRC"/debian/*.substvars "$SRC"/debian/debhelper-build-stamp
    # Through ccache where it is installed, as the other builds: CMake takes the launcher from
    # the environment.
    local launcher=()
    if use_ccache "$SRC"; then
        launcher=(CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    (cd "$SRC" && env "${launcher[@]}" DEB_BUILD_OPTIONS="parallel=$(nproc)" \
        nice dpkg-buildpackage -b -us -uc -nc) \
        >"$1" 2>&1 || {
        tail -n 40 "$1" >&2
        fail "dpkg-buildpackage failed; see $1"
    }
}

mkdir -p "$SRC" "$OUT/old"
rsync -a --delete --exclude=/.git --exclude=/build --exclude='/obj-*' \
    --filter=':- .gitignore' "$ROOT/" "$SRC/"

# The same program as an older release, to try the upgrade with: the changelog's version
# lowered in the copy. Built first, so that the copy ends as the checkout has it.
old_version="${project_version%.*}.$((${project_version##*.} - 1))-1"
OLD_DEB="$OUT/old/merilon_${old_version}_amd64.deb"
say "the previous version $old_version, for the upgrade (build/deb/src)"
sed -i "1s/($deb_version)/($old_version)/" "$SRC/debian/changelog"
build_in_copy "$LOGS/build-old.log"
mv "$OUT/merilon_${old_version}_amd64.deb" "$OLD_DEB"
rm -f "$OUT/merilon_${old_version}"_amd64.{buildinfo,changes} "$OUT/merilon-dbgsym_${old_version}_amd64.deb"
cp "$ROOT/debian/changelog" "$SRC/debian/changelog"

say "the package $deb_version"
build_in_copy "$LOGS/build.log"
[ -f "$DEB" ] || fail "no $DEB after the build"

say "lintian"
changes="$OUT/merilon_${deb_version}_amd64.changes"
lintian --info --display-info --pedantic "$changes" >"$LOGS/lintian.log" 2>&1 || true
cat "$LOGS/lintian.log"
! grep -q '^E: ' "$LOGS/lintian.log" || fail "lintian reports errors; see $LOGS/lintian.log"

say "AppStream and the menu entry"
unpacked="$OUT/unpacked"
rm -rf "$unpacked"
dpkg-deb -x "$DEB" "$unpacked"
appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml \
    >"$LOGS/appstream.log" 2>&1 || {
    cat "$LOGS/appstream.log" >&2
    fail "appstreamcli finds errors in the metainfo"
}
cat "$LOGS/appstream.log"
desktop-file-validate "$unpacked/usr/share/applications/merilon.desktop" ||
    fail "desktop-file-validate finds errors in merilon.desktop"

say "the package installed in a clean Debian 12"
"$ROOT/scripts/deb-test.sh" "$DEB" "$OLD_DEB"

say "done: $DEB"
