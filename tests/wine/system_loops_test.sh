#!/usr/bin/env bash
# The animation goes on while the system runs a loop of its own for the program's window:
# with the left button held on the caption (the move loop), and with the window menu open
# (Alt+Space, the menu loop), two screenshots taken a second apart differ in their curves. ESC
# closes the menu, the program goes on animating, and ESC ends it with exit code 0.
# Usage: system_loops_test.sh <spirals.exe>
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
title='ZELVARI in KORVEX PRO'

if [ -z "${SPIRALS_WINE_TEST_DISPLAY:-}" ]; then
  export SPIRALS_WINE_TEST_DISPLAY=1
  unset DISPLAY
  exec "$root/scripts/with-xvfb" "$0" "$@"
fi
for tool in xdotool import compare convert; do
  command -v "$tool" >/dev/null || { echo "missing $tool (run scripts/setup)" >&2; exit 2; }
done

build=$(dirname "$exe")
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}"
# shellcheck source=../../scripts/wine-env
. "$root/scripts/wine-env"
spirals_wine_env "$exe" || exit $?
shots="$build/wine-screens/loops-$(basename "$exe" .exe)"
rm -rf "$shots"
mkdir -p "$shots"

"$root/scripts/wine-run" "$exe" &
pid=$!
fail() {
  echo "system_loops_test ($(basename "$exe")): $*" >&2
  import -window root "$shots/failure.png" 2>/dev/null
  xdotool mouseup 1 2>/dev/null
  kill "$pid" 2>/dev/null
  "$wineserver" -k 2>/dev/null
  wait "$pid" 2>/dev/null
  exit 1
}
alive() { kill -0 "$pid" 2>/dev/null || fail "the program ended while $1"; }

# Pixels that differ between two screenshots of the client area (below the caption).
changed() {
  compare -metric AE -crop "$((WIDTH))x$((HEIGHT - 40))+0+40" "$1" "$2" null: 2>&1 | cut -d' ' -f1
}
# animates <what> <name>: two screenshots a second apart must differ in many pixels; a
# drawing step alone sets 400.
animates() {
  import -window root "$shots/$2-1.png" || fail "screenshot failed"
  sleep 1
  import -window root "$shots/$2-2.png" || fail "screenshot failed"
  local n
  n=$(changed "$shots/$2-1.png" "$shots/$2-2.png")
  echo "$1: $n pixels changed in a second"
  [ "${n%%.*}" -ge 1000 ] 2>/dev/null || fail "$1: the picture stood still ($n pixels changed)"
}
# The menu's pixels: Wine draws it in a white block under the caption's left end, where the
# animation has scattered dots and a line of text.
menu_pixels() {
  convert "$1" -crop 200x200+0+20 +repage -fill black +opaque white \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

window=$(spirals_wait_window "$title" "$pid")
case $? in
  1) fail "no window titled \"$title\" within 90 s" ;;
  2) fail "the program ended before its window appeared" ;;
esac
eval "$(xdotool getwindowgeometry --shell "$window")"
sleep 2
animates "running" running

# The caption, well away from its buttons and icon, held down.
xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + 10)) mousedown 1
sleep 0.5
alive "the caption was held"
animates "caption held" caption
xdotool mouseup 1
sleep 0.5
alive "the caption was let go"

xdotool windowfocus --sync "$window" || fail "cannot focus the window"
xdotool key alt+space
sleep 0.5
alive "the window menu opened"
import -window root "$shots/menu.png"
[ "$(menu_pixels "$shots/menu.png")" -ge 10000 ] || fail "Alt+Space opened no window menu"
animates "window menu open" menu
xdotool key Escape
sleep 0.5
alive "ESC closed the window menu"
import -window root "$shots/after-menu.png"
[ "$(menu_pixels "$shots/after-menu.png")" -lt 10000 ] || fail "ESC left the window menu open"
animates "after the menu" after-menu

# Wine leaves the menu loop on the ESC that closed the menu, or keeps the icon's menu chosen
# until one more: the program ends at the first or second ESC from here. It ends only if ESC
# comes as a plain key, that is if the Alt whose key-up the menu took is up for the program too.
xdotool windowfocus --sync "$window" 2>/dev/null
presses=0
for _ in 1 2; do
  xdotool key Escape
  presses=$((presses + 1))
  for _ in $(seq 1 20); do
    kill -0 "$pid" 2>/dev/null || break 2
    sleep 0.25
  done
done
kill -0 "$pid" 2>/dev/null && fail "still running 5 s after the second ESC"
wait "$pid"
code=$?
"$wineserver" -w
[ "$code" -eq 0 ] || fail "exit code $code after ESC, want 0"
echo "exit code 0 after ESC (ESC pressed $presses times after the menu closed)"
