#!/usr/bin/env bash
# Starts a private X server and D-Bus session and walks the program's
# windows over the accessibility bus (check_names.py).
# Usage: check_names.sh PROGRAM_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
programFolder=$1

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

# Its own copy of the program folder: the build's bank and settings stay as
# they are, and no other copy's lock counts.
cp -r "$programFolder" "$work/bin"
rm -f "$work/bin/morrowquill.lock" "$work/bin/window.ini"

Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "accessibility check: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
# A window manager, which activates the windows the program opens.
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *"window id"* ]] && break
    sleep 0.1
done
[[ $(id -u) -ne 0 ]] || export QTWEBENGINE_DISABLE_SANDBOX=1
# The browser builds the pages' own tree only once it sees a screen reader,
# which this bus has none of; it is told to build it regardless.
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --disable-background-networking --force-renderer-accessibility"
export HOME=$work XDG_RUNTIME_DIR=$work
# Debian's own Python, where the AT-SPI bindings are installed.
timeout 150 dbus-run-session -- /usr/bin/python3 "$here/check_names.py" "$work/bin/morrowquill" \
    </dev/null
