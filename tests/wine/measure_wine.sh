#!/usr/bin/env bash
# Measures the Windows program under Wine on a private virtual display: CPU time used by
# spirals.exe, by the Wine server and by the X server over a 10-second window, at the start-up
# setting and after key 9 (ten curves, the fastest drawing timer); then the timer probe's rates.
# Usage: measure_wine.sh <build folder with spirals.exe and timer_probe.exe> [seconds]
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
seconds=${2:-10}
title='ZELVARI in KORVEX PRO'

if [ -z "${SPIRALS_WINE_TEST_DISPLAY:-}" ]; then
  export SPIRALS_WINE_TEST_DISPLAY=1
  unset DISPLAY
  exec "$root/scripts/with-xvfb" "$0" "$@"
fi
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}"
# shellcheck source=../../scripts/wine-env
. "$root/scripts/wine-env"
spirals_wine_env "$build/spirals.exe" || exit $?
ticksPerSecond=$(getconf CLK_TCK)

# CPU ticks (user + system) of a process so far.
# An unknown pid counts 0 (with no pid, /proc//stat would be the whole system's /proc/stat).
cpu() {
  if [ -n "$1" ] && [ -r "/proc/$1/stat" ]; then
    awk '{ print $14 + $15 }' "/proc/$1/stat"
  else
    echo 0
  fi
}
xvfbPid=${SPIRALS_XVFB_PID:-}

# Make sure the prefix is set up (unmanaged windows) before timing anything.
"$root/scripts/wine-run" cmd /c exit >/dev/null 2>&1

"$wine" "$build/spirals.exe" &
pid=$!
window=""
for _ in $(seq 1 360); do
  window=$(xdotool search --name "^${title}\$" 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.25
done
[ -n "$window" ] || { echo "no window" >&2; kill "$pid"; exit 1; }
serverPid=$(pgrep -x "wineserver(32|64)?" | head -n 1)
sleep 1

measure() {
  local label=$1 a b s0 s1 x0 x1 t0 t1
  a=$(cpu "$pid"); s0=$(cpu "$serverPid"); x0=$(cpu "$xvfbPid"); t0=$(date +%s%N)
  sleep "$seconds"
  b=$(cpu "$pid"); s1=$(cpu "$serverPid"); x1=$(cpu "$xvfbPid"); t1=$(date +%s%N)
  awk -v l="$label" -v p=$((b - a)) -v s=$((s1 - s0)) -v x=$((x1 - x0)) -v hz="$ticksPerSecond" \
      -v ms=$(((t1 - t0) / 1000000)) 'BEGIN {
    printf "%s: over %.1f s, spirals.exe %.1f%% of a core, wineserver %.1f%%, Xvfb %.1f%%\n",
           l, ms / 1000, 100 * p / hz / (ms / 1000), 100 * s / hz / (ms / 1000), 100 * x / hz / (ms / 1000) }'
}

mkdir -p "$build/wine-screens"
measure "start-up setting"
import -window root "$build/wine-screens/measure-start.png"
xdotool windowfocus --sync "$window" && xdotool key 9
sleep 1
measure "after key 9"
import -window root "$build/wine-screens/measure-key9.png"
echo "screenshots: $build/wine-screens/measure-start.png, measure-key9.png"
xdotool windowfocus --sync "$window" && xdotool key Escape
wait "$pid"
echo "spirals.exe exit code $?"

if [ -x "$build/timer_probe.exe" ]; then
  "$wine" "$build/timer_probe.exe" 5
fi
"$wineserver" -w
