#!/usr/bin/env bash
# Measures the desktop program at ten curves (key 9) on both Linux desktops in one run: through
# the Wayland host under a private headless compositor (sway, pixman renderer, one 1024x768
# output), then through SDL on a private virtual X display (Xvfb, 1024x768). For each: CPU time
# of the program and of the compositor or X server over a window of seconds, pictures per
# second, and whether the program mapped a GL library.
# Usage: measure_wayland.sh <desktop program> [seconds]
# Prints one line of key=value pairs per desktop: desktop, cpu_pct, server_pct, fps, gl,
# seconds. sway refuses root: as root it runs as the user scripts/setup makes (spirals-saver).
set -u
program=$1
seconds=${2:-10}
here=$(cd "$(dirname "$0")" && pwd)
user=spirals-saver
for tool in sway wtype xdotool Xvfb; do
  command -v "$tool" >/dev/null 2>&1 || { echo "measure_wayland: $tool is missing; run scripts/setup" >&2; exit 1; }
done
ticksPerSecond=$(getconf CLK_TCK)
cpu() { awk '{ print $14 + $15; exit }' "/proc/$1/stat" 2>/dev/null || echo 0; }
work=$(mktemp -d)
chmod 755 "$work"  # sway, run as another user, reaches its runtime folder inside
sway_pid=""
cleanup() {
  [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null && wait "$sway_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# measure DESKTOP SERVER_PID KEYS_COMMAND...: the program, started with the environment set
# by the caller, at ten curves for `seconds`; one result line.
measure() {
  local desktop=$1 server=$2
  shift 2
  rm -f "$work/text.log"
  SPIRALS_TEXT_LOG="$work/text.log" SPIRALS_HOST_STATS=1 "$program" \
    2>"$work/stats.txt" &
  local pid=$!
  for _ in $(seq 1 200); do
    grep -q "Tipo\[ 1-9 \] =" "$work/text.log" 2>/dev/null && break
    sleep 0.05
  done
  "$@" 9
  for _ in $(seq 1 100); do
    grep -q "Tipo\[ 1-9 \] = 9 " "$work/text.log" 2>/dev/null && break
    sleep 0.05
  done
  if ! grep -q "Tipo\[ 1-9 \] = 9 " "$work/text.log" 2>/dev/null; then
    echo "measure_wayland: the $desktop program did not take key 9" >&2
    kill "$pid" 2>/dev/null
    return 1
  fi
  sleep 1
  local a b s0 s1 t0 t1 gl=no
  a=$(cpu "$pid"); s0=$(cpu "$server"); t0=$(date +%s%N)
  sleep "$seconds"
  b=$(cpu "$pid"); s1=$(cpu "$server"); t1=$(date +%s%N)
  grep -Eq 'libGL|libEGL' "/proc/$pid/maps" && gl=yes
  "$@" Escape
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  local fps
  fps=$(sed -n 's/.*(\([0-9.]*\) per second).*/\1/p' "$work/stats.txt")
  awk -v d="$desktop" -v p=$((b - a)) -v x=$((s1 - s0)) -v hz="$ticksPerSecond" \
      -v ns=$((t1 - t0)) -v fps="${fps:-0}" -v gl="$gl" 'BEGIN {
    s = ns / 1e9
    printf "desktop=%s cpu_pct=%.2f server_pct=%.2f fps=%s gl=%s seconds=%.1f\n",
           d, 100 * p / hz / s, 100 * x / hz / s, fps, gl, s }'
}

# Wayland: sway in a runtime folder of its own.
runtime="$work/runtime"
mkdir -p "$runtime"
printf 'xwayland disable\noutput HEADLESS-1 mode 1024x768\n' >"$runtime/config"
as=()
if [ "$(id -u)" -eq 0 ]; then
  chown "$user:" "$runtime" || exit 1
  as=(setpriv --reuid="$(id -u "$user")" --regid="$(id -g "$user")" --clear-groups --)
fi
chmod 700 "$runtime"
chmod 644 "$runtime/config"
"${as[@]}" env -i PATH=/usr/bin:/bin HOME="$runtime" XDG_RUNTIME_DIR="$runtime" \
  WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  sway -c "$runtime/config" >"$work/sway.log" 2>&1 &
sway_pid=$!
socket=""
for _ in $(seq 1 200); do
  socket=$(find "$runtime" -maxdepth 1 -name 'wayland-*' ! -name '*.lock' | head -n 1)
  [ -n "$socket" ] && break
  sleep 0.05
done
[ -n "$socket" ] || { echo "measure_wayland: sway did not start: $(cat "$work/sway.log")" >&2; exit 1; }
type_wayland() {
  if [ "$1" = 9 ]; then wtype -s 300 9; else wtype -s 300 -k "$1"; fi
}
(
  export WAYLAND_DISPLAY="$socket"
  unset DISPLAY SPIRALS_HOST SDL_VIDEODRIVER
  measure wayland "$sway_pid" type_wayland
) || exit 1
kill "$sway_pid" 2>/dev/null
wait "$sway_pid" 2>/dev/null
sway_pid=""

# X11: the same program through SDL on Xvfb, in the same run.
type_x11() {
  local window
  window=$(xdotool search --name '^ZELVARI in KORVEX PRO$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && xdotool windowfocus "$window" 2>/dev/null
  xdotool key "$1"
}
export -f measure type_x11 cpu
export program seconds work ticksPerSecond
env -u WAYLAND_DISPLAY -u SPIRALS_HOST -u SDL_VIDEODRIVER "$here/../scripts/with-xvfb" \
  bash -c 'measure x11 "$SPIRALS_XVFB_PID" type_x11'
