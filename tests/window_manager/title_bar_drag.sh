#!/usr/bin/env bash
# Drags the main window by its title bar under a real window manager (openbox
# on a private Xvfb) with real pointer presses, and checks that the window
# stays where it was dropped once the button is released.
# Usage: title_bar_drag.sh PROGRAM_FOLDER [SCREENSHOT.png]
set -euo pipefail
programFolder=$1
screenshot=${2:-}

work=$(mktemp -d)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "title bar drag: $*" >&2
    exit 1
}

# Runs the command until it succeeds, for at most $1 seconds.
waitFor() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < end)) || return 1
        sleep 0.1
    done
}

# The program runs on its own copy of the program folder, so the build's bank
# and settings stay as they are; the lock of a copy running on the build's
# folder meanwhile is not this copy's.
cp -r "$programFolder" "$work/bin"
rm -f "$work/bin/morrowquill.lock" "$work/bin/window.ini"

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
waitFor 20 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
wmRunning() { [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *"window id"* ]]; }
waitFor 20 wmRunning || fail "openbox did not start: $(cat "$work/openbox.log")"

[[ $(id -u) -ne 0 ]] || export QTWEBENGINE_DISABLE_SANDBOX=1
QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --disable-background-networking" \
    "$work/bin/morrowquill" >"$work/program.log" 2>&1 &
pids+=($!)
# The main window at its own size. Its native window may be made anew while
# the program starts (the embedded browser asks for another kind of surface),
# so a window found is taken once the same one is found again.
mainWindow() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Morrowquill$' 2>/dev/null); do
        if [[ $(xdotool getwindowgeometry --shell "$id" 2>/dev/null) == *WIDTH=1007* ]]; then
            echo "$id"
            return
        fi
    done
}
window=
foundTwice() {
    local found
    found=$(mainWindow)
    [[ -n $found && $found == "$window" ]] && return
    window=$found
    sleep 0.5
    return 1
}
waitFor 60 foundTwice || fail "the main window did not appear"

position() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$window")"
    echo "$X $Y"
}
read -r startX startY < <(position)

# Press on the title bar, away from its buttons, and move. The window manager
# takes the pointer a moment after the first move: small steps follow until the
# window moves with them, then one long step.
grabX=$((startX + 400)) grabY=$((startY + 12))
xdotool mousemove --sync "$grabX" "$grabY" mousedown 1
moved() {
    read -r x y < <(position)
    ((x != startX || y != startY))
}
step=0
followsSmallSteps() {
    step=$((step + 1))
    xdotool mousemove --sync $((grabX + 4 * step)) $((grabY + 2 * step))
    moved
}
waitFor 10 followsSmallSteps || fail "the window did not follow the drag"
xdotool mousemove --sync $((grabX + 150)) $((grabY + 90))
# Once the window manager has applied the last step the place holds still.
settled() {
    read -r a b < <(position)
    sleep 0.2
    read -r droppedX droppedY < <(position)
    ((a == droppedX && b == droppedY))
}
waitFor 10 settled || fail "the window did not settle during the drag"
xdotool mouseup 1

# After the release the pointer roams: the window must stay where it was dropped.
xdotool mousemove --sync 1200 750
xdotool mousemove --sync 900 700
followed() {
    read -r x y < <(position)
    ((x != droppedX || y != droppedY))
}
if waitFor 2 followed; then
    [[ -z $screenshot ]] || import -window root "$screenshot"
    fail "after the release the window moved from ($droppedX,$droppedY) to ($x,$y)"
fi
[[ -z $screenshot ]] || import -window root "$screenshot"
((droppedX >= 0 && droppedY >= 0 && droppedX < 1280 && droppedY < 800)) ||
    fail "the window was dropped off the screen at ($droppedX,$droppedY)"
echo "title bar drag: moved from ($startX,$startY) to ($droppedX,$droppedY) and stayed there"
