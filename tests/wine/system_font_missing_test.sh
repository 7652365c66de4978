#!/usr/bin/env bash
# The Windows program on our layer without its System font: it says so in exactly one line on
# standard error, still opens its window and animates, with its status line drawn without
# glyphs, and ends with exit code 0 after ESC.
# Usage: system_font_missing_test.sh <spirals.exe>
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
title='ZELVARI in KORVEX PRO'
missing='C:\no such folder\vgasys.fon'

if [ -z "${SPIRALS_WINE_TEST_DISPLAY:-}" ]; then
  export SPIRALS_WINE_TEST_DISPLAY=1
  unset DISPLAY
  exec "$root/scripts/with-xvfb" "$0" "$@"
fi
export WINEPREFIX="${WINEPREFIX:-$(dirname "$exe")/wineprefix}"
# shellcheck source=../../scripts/wine-env
. "$root/scripts/wine-env"
spirals_wine_env "$exe" || exit $?
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT

SPIRALS_SYSTEM_FONT="$missing" "$root/scripts/wine-run" "$exe" 2>"$errors" &
pid=$!
fail() {
  echo "system_font_missing_test: $*" >&2
  kill "$pid" 2>/dev/null
  "$wineserver" -k 2>/dev/null
  exit 1
}
window=$(spirals_wait_window "$title" "$pid")
case $? in
  1) fail "no window within 90 s" ;;
  2) fail "the program ended before its window appeared" ;;
esac
sleep 2
import -window root "$errors.png" && "$here/screenshot_check.sh" "$errors.png" no-text ||
  fail "the screenshot does not show the animation without text"
rm -f "$errors.png"
xdotool windowfocus --sync "$window" && xdotool key Escape
for _ in $(seq 1 40); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.25
done
kill -0 "$pid" 2>/dev/null && fail "still running 10 s after ESC"
wait "$pid"
code=$?
"$wineserver" -w
[ "$code" -eq 0 ] || fail "exit code $code, want 0"
want="spirals: the System font $missing is missing; text is drawn without glyphs."
said=$(grep '^spirals' "$errors" | tr -d '\r')  # a Windows program ends its lines with CR LF
[ "$said" = "$want" ] || fail "standard error said: [$said], want exactly: [$want]"
echo "one line: $said"
