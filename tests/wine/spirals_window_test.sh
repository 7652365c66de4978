#!/usr/bin/env bash
# Runs the real Windows program under Wine on a private virtual display: its window appears
# with the program's title and icon, a screenshot shows the animation, and the program ends
# with exit code 0 when asked to.
# Usage: spirals_window_test.sh <spirals.exe> escape|close-button|alt-f4
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
how=$2
title='ZELVARI in KORVEX PRO'

# Always a display of our own: the program covers the whole screen.
if [ -z "${SPIRALS_WINE_TEST_DISPLAY:-}" ]; then
  export SPIRALS_WINE_TEST_DISPLAY=1
  unset DISPLAY
  exec "$root/scripts/with-xvfb" "$0" "$@"
fi
for tool in xdotool xprop import convert; do
  command -v "$tool" >/dev/null || { echo "missing $tool (run scripts/setup)" >&2; exit 2; }
done

build=$(dirname "$exe")
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}"
# shellcheck source=../../scripts/wine-env
. "$root/scripts/wine-env"
spirals_wine_env "$exe" || exit $?
# SPIRALS_WINE_SHOTS names another folder (the program's own may be an installed one).
shots="${SPIRALS_WINE_SHOTS:-$build/wine-screens}"
mkdir -p "$shots"

"$root/scripts/wine-run" "$exe" &
pid=$!

fail() {
  echo "spirals_window_test ($how): $*" >&2
  import -window root "$shots/$how-failure.png" 2>/dev/null
  kill "$pid" 2>/dev/null
  "$wineserver" -k 2>/dev/null
  wait "$pid" 2>/dev/null
  exit 1
}

window=$(spirals_wait_window "$title" "$pid")
case $? in
  1) fail "no window titled \"$title\" within 90 s" ;;
  2) fail "the program ended before its window appeared" ;;
esac
echo "window $window: $(xdotool getwindowgeometry "$window" | tr '\n' ' ')"

# Let a few drawing steps and status lines happen, then look.
sleep 2
# The window class carries icon 101, which Wine hands to X.
"$here/icon_check.sh" "$window" "$root/resources/spirals_icon.txt" || fail "the window does not show icon 101"
import -window root "$shots/$how.png" || fail "screenshot failed"
"$here/screenshot_check.sh" "$shots/$how.png" || fail "the screenshot does not show the animation"

started=$(date +%s%N)
case "$how" in
  escape)
    xdotool windowfocus --sync "$window" || fail "cannot focus the window"
    xdotool key Escape
    ;;
  alt-f4)
    xdotool windowfocus --sync "$window" || fail "cannot focus the window"
    xdotool key alt+F4
    ;;
  close-button)
    # The caption's close button, drawn by Wine at the top-right corner of the window.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove --sync $((X + WIDTH - 14)) $((Y + 12)) click 1
    ;;
  *)
    fail "unknown way to close: $how"
    ;;
esac

for _ in $(seq 1 40); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.25
done
kill -0 "$pid" 2>/dev/null && fail "still running 10 s after the close request"
wait "$pid"
code=$?
ended=$(date +%s%N)
echo "exit code $code, $(((ended - started) / 1000000)) ms after the close request"
"$wineserver" -w
[ "$code" -eq 0 ] || { echo "spirals_window_test ($how): exit code $code, want 0" >&2; exit 1; }
exit 0
