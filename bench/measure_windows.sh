#!/usr/bin/env bash
# Measures both Windows programs of a build folder under Wine, one after the other on one
# private virtual display and one Wine prefix: spirals-gdi.exe (the system's GDI) and
# spirals.exe (our layer, host_win32). For each, at its start-up setting and after key 9 (ten
# curves, the fastest drawing timer): the CPU of the program, of the Wine server and of the X
# server over a window of seconds, the pictures per second (our layer counts its own; the
# system's GDI draws straight to the screen and has none to count), and the program's peak
# resident memory. Then the floor both are held to, win32_floor.exe (the plainest Win32 program
# showing as many dots as ten curves: a 16 ms timer, 700 dots a tick, SetDIBitsToDevice of the
# touched tiles), as its ten-curve setting. Then the timer probes of both kinds, which must tick
# alike.
# Usage: measure_windows.sh <build folder> [seconds]
# Prints readable lines, and for scripts/bench one "result program=... setting=... cpu_pct=...
# server_pct=... xvfb_pct=..." line per measurement, one "result program=... setting=whole
# fps=... hwm_kib=..." line per program and one "result probe=... period=... rate=..." line per
# timer period.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=$(cd "$1" && pwd)
seconds=${2:-10}
title='ZELVARI in KORVEX PRO'

if [ -z "${SPIRALS_MEASURE_DISPLAY:-}" ]; then
  export SPIRALS_MEASURE_DISPLAY=1
  unset DISPLAY
  exec "$root/scripts/with-xvfb" "$0" "$@"
fi
for tool in xdotool pgrep; do
  command -v "$tool" >/dev/null 2>&1 || { echo "measure_windows: $tool is missing" >&2; exit 1; }
done
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}"
# shellcheck source=../scripts/wine-env
. "$root/scripts/wine-env"
spirals_wine_env "$build/spirals.exe" || exit $?
ticksPerSecond=$(getconf CLK_TCK)
xvfbPid=${SPIRALS_XVFB_PID:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# CPU ticks (user + system) of a process so far; an unknown pid counts 0.
cpu() {
  if [ -n "$1" ] && [ -r "/proc/$1/stat" ]; then
    awk '{ print $14 + $15 }' "/proc/$1/stat"
  else
    echo 0
  fi
}
peak_kib() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0; }

# The prefix is made (and its windows unmanaged) before anything is timed.
"$root/scripts/wine-run" cmd /c exit >/dev/null 2>&1

# measure <program file> <label> <window title> <setting>...
measure() {
  local exe=$1 label=$2 name=$3 pid window serverPid setting a b s0 s1 x0 x1 t0 t1 hwm fps
  shift 3
  SPIRALS_HOST_STATS=1 "$wine" "$build/$exe" 2>"$work/$exe.err" &
  pid=$!
  if ! window=$(spirals_wait_window "$name" "$pid"); then
    echo "measure_windows: $exe opened no window" >&2
    kill "$pid" 2>/dev/null
    return 1
  fi
  # The newest server: the one before may still be on its way out.
  serverPid=$(pgrep -n -x "wineserver(32|64)?")
  sleep 1
  for setting in "$@"; do
    if [ "$setting" = ten-curves ] && [ "$label" != win32-floor ]; then
      xdotool windowfocus --sync "$window" && xdotool key 9
      sleep 1
    fi
    a=$(cpu "$pid"); s0=$(cpu "$serverPid"); x0=$(cpu "$xvfbPid"); t0=$(date +%s%N)
    sleep "$seconds"
    b=$(cpu "$pid"); s1=$(cpu "$serverPid"); x1=$(cpu "$xvfbPid"); t1=$(date +%s%N)
    awk -v p=$((b - a)) -v s=$((s1 - s0)) -v x=$((x1 - x0)) -v hz="$ticksPerSecond" \
      -v ms=$(((t1 - t0) / 1000000)) -v l="$label" -v set="$setting" 'BEGIN {
        t = ms / 1000
        printf "%s, %s: over %.1f s, the program %.1f%% of a core, wineserver %.1f%%, Xvfb %.1f%%\n",
               l, set, t, 100 * p / hz / t, 100 * s / hz / t, 100 * x / hz / t
        printf "result program=%s setting=%s cpu_pct=%.1f server_pct=%.1f xvfb_pct=%.1f seconds=%.1f\n",
               l, set, 100 * p / hz / t, 100 * s / hz / t, 100 * x / hz / t, t }' >>"$work/lines"
  done
  hwm=$(peak_kib "$pid")
  xdotool windowfocus --sync "$window" && xdotool key Escape
  wait "$pid"
  echo "$label: exit code $?, peak resident memory $((hwm / 1024)) MiB" >>"$work/lines"
  fps=$(sed -n 's/.*(\([0-9.]*\) per second).*/\1/p' "$work/$exe.err" | tail -n 1)
  grep -h 'pictures in' "$work/$exe.err" | tr -d '\r' | sed "s/^[^:]*:/$label:/" >>"$work/lines"
  echo "result program=$label setting=whole fps=${fps:-none} hwm_kib=$hwm" >>"$work/lines"
  "$wineserver" -w
}

measure spirals-gdi.exe system-gdi "$title" start-up ten-curves
measure spirals.exe our-layer "$title" start-up ten-curves
if [ -f "$build/win32_floor.exe" ]; then
  measure win32_floor.exe win32-floor "Win32 floor" ten-curves
fi
cat "$work/lines"
for probe in timer_probe timer_probe_layer; do
  if [ -x "$build/$probe.exe" ]; then
    echo "$probe:"
    "$wine" "$build/$probe.exe" 3 2>/dev/null | grep -E 'SetTimer +(10|16|50) ms' |
      tee "$work/$probe.txt" | sed 's/^/  /'
    sed -E -n "s/^SetTimer +([0-9]+) ms: +([0-9.]+) ticks.*/result probe=$probe period=\1 rate=\2/p" \
      "$work/$probe.txt"
  fi
done
"$wineserver" -w
