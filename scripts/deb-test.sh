#!/usr/bin/env bash
# scripts/deb-test.sh PACKAGE.deb [PREVIOUS.deb]
#
# The package as a school's administrator uses it, in a clean Debian 12 (debootstrap, minbase,
# from the mirror this machine's apt uses) under build/deb/root: apt-get installs the previous
# version and Qt with it, upgrades to PACKAGE, installs it again; merilon-check reads a test and
# names the journal in /var/lib/merilon; two accounts each take an attempt in the program on an
# Xvfb display (the display, openbox and xdotool run outside, the program inside) and both
# records reach the one journal; remove and purge keep the journal.
#
# The clean root is kept as a tarball in ${MERILON_CACHE:-~/.cache/merilon}, keyed on what it is
# made of; it holds no Qt, which the package must bring. The packages apt-get downloads are kept
# beside it. Logs and a screenshot of an attempt go to build/deb/logs.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/xdrive.sh"

DEB=$(realpath "${1:?usage: deb-test.sh PACKAGE.deb [PREVIOUS.deb]}")
OLD_DEB=$(realpath "${2:-$1}")
OUT="$ROOT/build/deb"
LOGS="$OUT/logs"
CHROOT=$(realpath -m "$OUT/root")
CACHE="${MERILON_CACHE:-$HOME/.cache/merilon}"
SUITE=bookworm
# What the clean root holds beyond minbase: the locale for a Russian session.
ROOT_PACKAGES=(locales)
# Two examinees: account and surname.
USERS=(ivanova petrov)
SURNAMES=(Иванова Петров)

say() { printf '== %s\n' "$*"; }
fail() {
    echo "deb-test.sh: $*" >&2
    exit 1
}

[ "$(id -u)" -eq 0 ] || exec sudo -E "$0" "$@"
ensure_packages debootstrap xvfb xauth openbox xdotool x11-utils imagemagick
mkdir -p "$LOGS" "$CACHE"

# ---- the mirror --------------------------------------------------------------------------------

# mirror_of SUITE: the first URI this machine's apt reads SUITE's binary packages from, in
# either form of the sources lists.
mirror_of() {
    local suite=$1 file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk -v suite="$suite" '$1 == "deb" {
                uri = ""
                for (i = 2; i <= NF; i++) if ($i ~ /^[a-z+]+:\/\//) { uri = $i; s = $(i + 1); break }
                if (uri != "" && s == suite) { print uri; exit }
            }' "$file"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk -v suite="$suite" 'BEGIN { RS = ""; FS = "\n" }
            {
                types = ""; uris = ""; suites = ""; enabled = "yes"
                for (i = 1; i <= NF; i++) {
                    if ($i ~ /^Types:/) types = " " substr($i, 7) " "
                    if ($i ~ /^URIs:/) uris = substr($i, 6)
                    if ($i ~ /^Suites:/) suites = " " substr($i, 8) " "
                    if ($i ~ /^Enabled:/) enabled = substr($i, 9)
                }
                gsub(/[ \t]+/, " ", types); gsub(/[ \t]+/, " ", suites); gsub(/^[ \t]+/, "", enabled)
                split(uris, u, /[ \t]+/)
                if (u[1] == "") delete u[1]
                if (enabled != "no" && types ~ / deb / && suites ~ (" " suite " ")) {
                    for (k in u) if (u[k] != "") { print u[k]; exit }
                }
            }' "$file"
    done
}

MIRROR=$(mirror_of "$SUITE" | head -n 1)
SECURITY=$(mirror_of "$SUITE-security" | head -n 1)
[ -n "$MIRROR" ] || fail "no mirror for $SUITE in /etc/apt/sources.list*"
[ -n "$SECURITY" ] || SECURITY="${MIRROR%/debian*}/debian-security"

# ---- the clean root ----------------------------------------------------------------------------

# mounts_under DIR: the mounts under DIR, deepest first.
mounts_under() {
    awk -v root="$1" '$2 == root || index($2, root "/") == 1 { print $2 }' /proc/mounts |
        sort -r
}

# release DIR: ends what still runs with DIR as its root (what this script started there) and
# unmounts everything under it.
release() {
    local pid mount
    for pid in /proc/[0-9]*; do
        [ "$(readlink "$pid/root" 2>/dev/null)" = "$1" ] && kill -9 "${pid#/proc/}" 2>/dev/null
    done
    sleep 0.2
    for mount in $(mounts_under "$1"); do
        umount "$mount" 2>/dev/null || umount -l "$mount" || true
    done
}

WORK=""          # a root debootstrap is making
OPENBOX_PID=""
cleanup() {
    local status=$? dir
    for dir in "$CHROOT" ${WORK:+"$WORK"}; do
        release "$dir"
        [ -z "$(mounts_under "$dir")" ] || echo "deb-test.sh: mounts left under $dir" >&2
    done
    [ -n "$OPENBOX_PID" ] && kill "$OPENBOX_PID" 2>/dev/null
    [ -n "$DISPLAY_PID" ] && kill "$DISPLAY_PID" 2>/dev/null
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The sources lists inside the root: the same mirrors as this machine's.
write_sources() {
    cat >"$1/etc/apt/sources.list" <<EOF
deb $MIRROR $SUITE main
deb $MIRROR $SUITE-updates main
deb $SECURITY $SUITE-security main
EOF
}

KEY=$(printf '%s\n' "$SUITE" "$MIRROR" "$SECURITY" minbase "${ROOT_PACKAGES[@]}" ru_RU.UTF-8 |
    sha256sum | cut -c1-16)
TARBALL="$CACHE/debroot-$KEY.tar"

make_root_tarball() {
    local work="$CACHE/debroot-$KEY.work"
    WORK=$work
    release "$work"
    rm -rf --one-file-system "$work"
    say "a clean Debian 12 root from $MIRROR (once; kept as $TARBALL)"
    debootstrap --variant=minbase --include="$(
        IFS=,
        echo "${ROOT_PACKAGES[*]}"
    )" "$SUITE" "$work" "$MIRROR" >"$LOGS/debootstrap.log" 2>&1 ||
        fail "debootstrap failed; see $LOGS/debootstrap.log"
    write_sources "$work"
    echo 'ru_RU.UTF-8 UTF-8' >"$work/etc/locale.gen"
    chroot "$work" locale-gen >>"$LOGS/debootstrap.log" 2>&1
    chroot "$work" apt-get clean
    rm -rf "$work"/var/lib/apt/lists/*
    tar -C "$work" -cf "$TARBALL.part" .
    mv "$TARBALL.part" "$TARBALL"
    rm -rf --one-file-system "$work"
    WORK=""
}

unpack_root() {
    release "$CHROOT"
    [ -z "$(mounts_under "$CHROOT")" ] || fail "cannot unmount everything under $CHROOT"
    rm -rf --one-file-system "$CHROOT"
    mkdir -p "$CHROOT"
    tar -C "$CHROOT" -xf "$TARBALL"
    # The root must not bring Qt: the package's dependencies have to.
    if chroot "$CHROOT" dpkg-query -W -f='${Package}\n' | grep -E '^(libqt6|qt6)'; then
        fail "the clean root holds Qt already"
    fi
    mkdir -p "$CACHE/debroot-archives/partial"
    mount -t proc proc "$CHROOT/proc"
    mount --bind /sys "$CHROOT/sys"
    mount --bind /dev "$CHROOT/dev"
    mount --bind /dev/pts "$CHROOT/dev/pts"
    # The display's socket: Xvfb runs outside.
    mkdir -p /tmp/.X11-unix "$CHROOT/tmp/.X11-unix"
    mount --bind /tmp/.X11-unix "$CHROOT/tmp/.X11-unix"
    # What apt-get downloads is kept for the next run.
    mount --bind "$CACHE/debroot-archives" "$CHROOT/var/cache/apt/archives"
    cp /etc/resolv.conf "$CHROOT/etc/resolv.conf"
    in_root apt-get update >"$LOGS/apt-update.log" 2>&1 ||
        fail "apt-get update in the root failed; see $LOGS/apt-update.log"
}

# in_root COMMAND...: as root inside.
in_root() {
    chroot "$CHROOT" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
        DEBIAN_FRONTEND=noninteractive "$@"
}

# as_user USER COMMAND...: as that account inside, in a Russian session on the display.
as_user() {
    local user=$1
    shift
    chroot "$CHROOT" /usr/sbin/runuser -u "$user" -- env -i PATH=/usr/bin:/bin \
        HOME="/home/$user" USER="$user" LOGNAME="$user" LANG=ru_RU.UTF-8 \
        DISPLAY="${DISPLAY:-}" XDG_RUNTIME_DIR="/tmp/runtime-$user" "$@"
}

# apt_step LOG COMMAND...: an apt-get call inside that must succeed.
apt_step() {
    local log="$LOGS/$1"
    shift
    in_root apt-get -y "$@" >"$log" 2>&1 || {
        tail -n 30 "$log" >&2
        fail "apt-get $* failed; see $log"
    }
}

# ---- checks ------------------------------------------------------------------------------------

JOURNAL=/var/lib/merilon/Journal.res

check_installed_files() {
    local file
    for file in /usr/bin/merilon /usr/bin/merilon-check /usr/share/merilon/help/index.html \
        /usr/share/merilon/help/Help-T.chm /usr/share/applications/merilon.desktop \
        /usr/share/icons/hicolor/16x16/apps/merilon.png \
        /usr/share/icons/hicolor/256x256/apps/merilon.png \
        /usr/share/metainfo/org.merilon.Merilon.metainfo.xml \
        /usr/share/man/ru/man1/merilon.1.gz /usr/share/man/ru/man1/merilon-check.1.gz \
        /etc/merilon/merilon.ini; do
        [ -f "$CHROOT$file" ] || fail "the package installed no $file"
    done
    [ ! -e "$CHROOT/usr/bin/Help-T.chm" ] || fail "Help-T.chm is in /usr/bin"
    in_root dpkg-query -W -f='${Conffiles}\n' merilon | grep -q '/etc/merilon/merilon.ini' ||
        fail "/etc/merilon/merilon.ini is not a conffile"
    check_results_folder
}

check_results_folder() {
    local mode
    mode=$(stat -c %a "$CHROOT/var/lib/merilon") || fail "no /var/lib/merilon"
    [ "$mode" = 777 ] || fail "/var/lib/merilon has mode $mode, not 777 (and no sticky bit)"
}

# A small well-formed test: 50 numbered questions, "да" the right variant.
write_test() {
    local n
    {
        printf 'Проверочный тест\n\n'
        for n in $(seq 50); do
            printf '#%d Вопрос %d?\n-нет\n+да\n\n' "$n" "$n"
        done
    } >"$1"
}

check_checker() {
    mkdir -p "$CHROOT/srv/merilon"
    write_test "$CHROOT/srv/merilon/test.tstt"
    chmod -R a+rX "$CHROOT/srv/merilon"
    as_user "${USERS[0]}" merilon-check /srv/merilon/test.tstt >"$LOGS/check.log" 2>&1 ||
        fail "merilon-check refuses the test; see $LOGS/check.log"
    as_user "${USERS[0]}" merilon-check --where >"$LOGS/where.log" 2>&1 ||
        fail "merilon-check --where: the journal cannot be written; see $LOGS/where.log"
    grep -qF "$JOURNAL" "$LOGS/where.log" || fail "merilon-check --where does not name $JOURNAL"

    # A folder that is not there: said so, and where results are kept instead.
    local ini="$CHROOT/etc/merilon/merilon.ini" status=0
    cp -p "$ini" "$OUT/merilon.ini.saved"
    printf '[Журнал]\nПапка=/srv/нет-такой-папки\n' >"$ini"
    as_user "${USERS[0]}" merilon-check --where >"$LOGS/where-missing.log" 2>&1 || status=$?
    cp -p "$OUT/merilon.ini.saved" "$ini"
    rm -f "$OUT/merilon.ini.saved"
    [ "$status" -eq 1 ] || fail "merilon-check --where with a missing folder exits $status, not 1"
    grep -qF "/home/${USERS[0]}/.local/share/merilon" "$LOGS/where-missing.log" ||
        fail "merilon-check --where does not say where results are kept; see $LOGS/where-missing.log"
    echo "merilon-check: the test opens; --where names $JOURNAL, and the kept folder when it is away"
}

# owner_of FILE: the account inside the root that owns FILE.
owner_of() {
    in_root stat -c %U "$1" 2>/dev/null || true
}

# ---- an attempt --------------------------------------------------------------------------------

# attempt_fail MESSAGE: fails, leaving what the screen showed and the windows in logs/.
attempt_fail() {
    import -window root "$LOGS/failed.png" 2>/dev/null || true
    xwininfo -root -tree >"$LOGS/failed-windows.txt" 2>&1 || true
    fail "$* (the screen: $LOGS/failed.png)"
}

# attempt INDEX: the account USERS[INDEX] opens the test with Ctrl+O, starts (F5), registers
# under its surname, answers two questions with the keyboard, stops (Alt+X, Yes) and confirms
# the result, which adds the record to the journal. The first leaves a screenshot.
attempt() {
    local user=${USERS[$1]} surname=${SURNAMES[$1]} log="$LOGS/attempt-${USERS[$1]}.log"
    local main id shown progress
    in_root install -d -m 0700 -o "$user" -g "$user" "/tmp/runtime-$user"
    as_user "$user" merilon >"$log" 2>&1 &
    local program=$!
    main=$(wait_window 'Мерилон и обучение' 60) || attempt_fail "$user: the main window did not appear; see $log"
    xdotool windowactivate --sync "$main" 2>/dev/null || true
    shown=$(viewable_windows)
    id=""
    for _ in 1 2 3; do
        xdotool key ctrl+o
        id=$(wait_new_window "$shown" 10) && break
    done
    [ -n "$id" ] || attempt_fail "$user: Ctrl+O showed no file dialog"
    sleep 0.5
    xdotool type --delay 40 /srv/merilon/test.tstt
    xdotool key Return
    wait_gone "$id" 20 || attempt_fail "$user: the file dialog stays"
    xdotool windowactivate --sync "$main" 2>/dev/null || true
    id=""
    # Start, again if the window took the key before it had the focus back from the dialog.
    for _ in 1 2 3; do
        xdotool key F5
        id=$(wait_window 'Введите информацию о себе' 7) && break
    done
    [ -n "$id" ] || attempt_fail "$user: no registration window"
    sleep 0.5
    # The surname field takes Cyrillic letters only, and Enter does not press OK: the surname
    # offered is replaced, then Tab to OK and Space.
    xdotool key End shift+Home
    xdotool type --delay 80 "$surname"
    xdotool key Tab space
    wait_gone "$id" 20 || attempt_fail "$user: the registration window stays"
    xdotool windowactivate --sync "$main" 2>/dev/null || true
    for n in 1 2; do
        if [ "$1" -eq 0 ] && [ "$n" -eq 1 ]; then
            wait_painted "$main" 10 || true
            import -window root "$LOGS/attempt.png"
        fi
        progress=$(progress_of "$main")
        xdotool key space Tab Return
        wait_progress "$main" "$progress" 20 || attempt_fail "$user: Next showed no next question"
    done
    xdotool key alt+x
    id=$(wait_window 'Подтвердите' 20) || attempt_fail "$user: Stop asked nothing"
    xdotool key Return
    id=$(wait_window 'Результаты теста' 20) || attempt_fail "$user: no result window"
    wait_painted "$id" 10 || true
    [ "$1" -ne 0 ] || import -window root "$LOGS/result.png"
    xdotool key Return
    wait_gone "$id" 20 || attempt_fail "$user: Enter on the result window's OK did not close it"
    for _ in $(seq 40); do
        [ "$(owner_of "$JOURNAL")" = "$user" ] && break
        sleep 0.25
    done
    # Exit (Alt+F4) to the focused main window. Not with --window: xdotool would send the key
    # releases to a window that is gone by then, fail, and leave Alt+F4 held down, which the
    # window manager then repeats on every window that comes next.
    xdotool windowactivate --sync "$main" 2>/dev/null || true
    xdotool key alt+F4
    wait_exit "$program" 20 || attempt_fail "$user: the program did not end on Alt+F4"
    wait "$program" 2>/dev/null || true
    # The journal was replaced by a file of this account: the folder takes a rename over
    # another account's file.
    [ "$(owner_of "$JOURNAL")" = "$user" ] ||
        attempt_fail "$user: the journal was not written by $user (owner: $(owner_of "$JOURNAL"))"
    [ ! -e "$CHROOT$JOURNAL.lock" ] || attempt_fail "$user: the lock file stays"
    echo "$user: an attempt as $surname, recorded in $JOURNAL"
}

check_journal() {
    as_user "${USERS[0]}" merilon-check --table /tmp/journal.csv "$JOURNAL" \
        >"$LOGS/table.log" 2>&1 || fail "merilon-check --table failed; see $LOGS/table.log"
    cp "$CHROOT/tmp/journal.csv" "$LOGS/journal.csv"
    local surname
    for surname in "${SURNAMES[@]}"; do
        grep -qF "$surname" "$LOGS/journal.csv" || fail "the journal holds no record of $surname"
    done
    grep -qF "записей ${#USERS[@]}," "$LOGS/table.log" ||
        fail "the journal does not hold one record for each attempt; see $LOGS/table.log"
    check_results_folder
    echo "the journal holds both records: $(tr '\n' ' ' <"$LOGS/table.log")"
}

# ---- the run -----------------------------------------------------------------------------------

started=$SECONDS
[ -f "$TARBALL" ] || make_root_tarball
unpack_root
echo "the clean root is ready after $((SECONDS - started)) s"

say "install the previous version $(dpkg-deb -f "$OLD_DEB" Version), upgrade, install again"
cp "$OLD_DEB" "$DEB" "$CHROOT/tmp/"
apt_step install-old.log install --no-install-recommends "/tmp/$(basename "$OLD_DEB")"
check_results_folder
apt_step upgrade.log install --no-install-recommends "/tmp/$(basename "$DEB")"
apt_step reinstall.log install --reinstall --no-install-recommends "/tmp/$(basename "$DEB")"
[ "$(in_root dpkg-query -W -f='${Version}' merilon)" = "$(dpkg-deb -f "$DEB" Version)" ] ||
    fail "the installed version is not the package's"
check_installed_files
echo "installed: $(in_root dpkg-query -W -f='${Package} ${Version}' merilon), with $(
    in_root dpkg-query -W -f='${Package}\n' | grep -c '^libqt6') Qt libraries"

say "merilon-check in the root"
for user in "${USERS[@]}"; do
    in_root useradd --create-home --shell /bin/bash "$user"
done
check_checker

say "two accounts take an attempt on one display"
start_display
openbox --sm-disable >"$LOGS/openbox.log" 2>&1 &
OPENBOX_PID=$!
sleep 1
attempt 0
attempt 1
check_journal

say "remove and purge keep the journal"
apt_step remove.log remove merilon
[ -s "$CHROOT$JOURNAL" ] || fail "apt-get remove deleted the journal"
apt_step purge.log purge merilon
[ -s "$CHROOT$JOURNAL" ] || fail "apt-get purge deleted the journal"
[ ! -e "$CHROOT/etc/merilon/merilon.ini" ] || fail "purge left /etc/merilon/merilon.ini"
# Installed again over the kept folder and journal.
apt_step install-again.log install --no-install-recommends "/tmp/$(basename "$DEB")"
check_results_folder
[ -s "$CHROOT$JOURNAL" ] || fail "installing again lost the journal"
echo "the journal stays through remove, purge and a new install"
echo "deb-test.sh: all passed in $((SECONDS - started)) s"
