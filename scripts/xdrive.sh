# Shared by windows.sh and deb-test.sh: an Xvfb display, and waiting for the program's windows
# while keys are sent to it with xdotool. Needs xvfb, x11-utils, xdotool and imagemagick, and a
# `fail` function of the script that sources it.

DISPLAY_PID=""
start_display() {
    local n
    for n in $(seq 90 120); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
    done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    DISPLAY_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        sleep 0.1
    done
    fail "Xvfb did not start"
}

# wait_window TITLE SECONDS: the X window of that title, once it is shown. (xdotool's own
# search reads only the Latin-1 WM_NAME, so Russian titles are looked up with xwininfo.)
wait_window() {
    local id
    for _ in $(seq $(($2 * 4))); do
        for id in $(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\"" | awk '{print $1}'); do
            if xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable'; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.25
    done
    return 1
}

# wait_gone ID SECONDS: until that window is no longer shown.
wait_gone() {
    for _ in $(seq $(($2 * 4))); do
        xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable' || return 0
        sleep 0.25
    done
    return 1
}

# viewable_windows: the ids of the top-level windows now shown, one a line. (Named or not:
# Wine gives a window with a Russian title no Latin-1 name.)
viewable_windows() {
    local id
    for id in $(xwininfo -root -children 2>/dev/null | awk '/^ +0x[0-9a-f]+ / {print $1}'); do
        if xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable'; then
            echo "$id"
        fi
    done
    return 0
}

# wait_new_window BEFORE SECONDS: the largest window shown that is not among the ids in BEFORE
# (a dialog comes with small helper windows of its own).
wait_new_window() {
    local id size best="" largest=0
    for _ in $(seq $(($2 * 4))); do
        for id in $(viewable_windows); do
            grep -qxF "$id" <<<"$1" && continue
            size=$(xwininfo -id "$id" 2>/dev/null |
                awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w*h}')
            if [ "${size:-0}" -gt "$largest" ]; then
                largest=$size
                best=$id
            fi
        done
        if [ "$largest" -gt 10000 ]; then
            echo "$best"
            return 0
        fi
        sleep 0.25
    done
    return 1
}

# wait_exit PID SECONDS: until that process has ended.
wait_exit() {
    for _ in $(seq $(($2 * 4))); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.25
    done
    return 1
}

# progress_of ID: a fingerprint of the main window's progress panel ("Задание № N из 20"),
# the second panel of the status bar along the window's bottom edge.
progress_of() {
    local height
    height=$(xwininfo -id "$1" | awk '/Height:/ {print $2}')
    import -window "$1" -crop "150x20+100+$((height - 20))" +repage rgb:- 2>/dev/null | md5sum
}

# wait_progress ID BEFORE SECONDS: until the progress panel shows something else than BEFORE,
# that is, until the next question is on the screen.
wait_progress() {
    for _ in $(seq $(($3 * 4))); do
        [ "$(progress_of "$1")" != "$2" ] && return 0
        sleep 0.25
    done
    return 1
}

# wait_painted ID SECONDS: until two looks at the window, a moment apart, see the same picture.
wait_painted() {
    local before now
    before=$(import -window "$1" rgb:- 2>/dev/null | md5sum)
    for _ in $(seq $(($2 * 4))); do
        sleep 0.25
        now=$(import -window "$1" rgb:- 2>/dev/null | md5sum)
        [ "$now" = "$before" ] && return 0
        before=$now
    done
    return 1
}
