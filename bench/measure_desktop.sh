#!/usr/bin/env bash
# Measures the desktop program at eleven curves on a private virtual display (Xvfb): CPU time
# of the program and of the X server over a window of seconds, pictures per second, and the
# program's peak resident memory. Eleven curves come only from the start-up random draw, which
# the boot clock seeds, so the program is started again until its status line says 10.
# Usage: measure_desktop.sh <desktop program> [seconds]
# Prints one line of key=value pairs: cpu_pct, xvfb_pct, fps, hwm_kib, seconds, tries.
set -u
program=$1
seconds=${2:-10}
title='ZELVARI in KORVEX PRO'

if [ -z "${SPIRALS_MEASURE_DISPLAY:-}" ]; then
  export SPIRALS_MEASURE_DISPLAY=1
  unset DISPLAY
  here=$(cd "$(dirname "$0")" && pwd)
  exec "$here/../scripts/with-xvfb" "$0" "$@"
fi
for tool in xdotool pgrep; do
  command -v "$tool" >/dev/null 2>&1 || { echo "measure_desktop: $tool is missing" >&2; exit 1; }
done
ticksPerSecond=$(getconf CLK_TCK)
cpu() { awk '{ print $14 + $15; exit }' "/proc/$1/stat" 2>/dev/null || echo 0; }
# with-xvfb started the server and then this script: they are siblings.
xvfbPid=$(pgrep -P "$PPID" -x Xvfb | head -n 1)
[ -n "$xvfbPid" ] || { echo "measure_desktop: cannot find the X server" >&2; exit 1; }
work=$(mktemp -d)
trap '[ -n "${SPIRALS_MEASURE_KEEP:-}" ] || rm -rf "$work"' EXIT

stop() {  # ends the program as a user would; a kill if it does not listen
  xdotool key Escape 2>/dev/null
  for _ in $(seq 1 50); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.1
  done
  kill "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

pid=""
for try in $(seq 1 60); do
  rm -f "$work/text.log"
  SPIRALS_TEXT_LOG="$work/text.log" SPIRALS_HOST_STATS=1 "$program" 2>"$work/stats.txt" &
  pid=$!
  for _ in $(seq 1 100); do
    grep -q "Tipo\[ 1-9 \] =" "$work/text.log" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if grep -q "Tipo\[ 1-9 \] = 10 " "$work/text.log" 2>/dev/null; then break; fi
  stop "$pid"
  pid=""
done
if [ -z "$pid" ]; then
  echo "measure_desktop: no start showed eleven curves" >&2
  exit 1
fi
window=$(xdotool search --name "^${title}\$" 2>/dev/null | head -n 1)
[ -n "$window" ] && xdotool windowfocus "$window" 2>/dev/null
sleep 1
a=$(cpu "$pid")
x0=$(cpu "$xvfbPid")
t0=$(date +%s%N)
sleep "$seconds"
b=$(cpu "$pid")
x1=$(cpu "$xvfbPid")
t1=$(date +%s%N)
hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
stop "$pid"
# Counted after the end: the log is complete only then.
still=$(grep -c "Tipo\[ 1-9 \] = 10 " "$work/text.log")
all=$(grep -c "Tipo\[ 1-9 \] =" "$work/text.log")
if [ "$still" -ne "$all" ]; then
  echo "measure_desktop: the curve setting changed during the run ($still of $all; $work)" >&2
  exit 1
fi
fps=$(sed -n 's/.*(\([0-9.]*\) per second).*/\1/p' "$work/stats.txt")
awk -v p=$((b - a)) -v x=$((x1 - x0)) -v hz="$ticksPerSecond" -v ns=$((t1 - t0)) \
    -v fps="${fps:-0}" -v hwm="${hwm:-0}" -v tries="$try" 'BEGIN {
  s = ns / 1e9
  printf "cpu_pct=%.2f xvfb_pct=%.2f fps=%s hwm_kib=%s seconds=%.1f tries=%d\n",
         100 * p / hz / s, 100 * x / hz / s, fps, hwm, s, tries }'
