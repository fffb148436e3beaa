#!/usr/bin/env bash
# Time from process start to the first painted graph of kalvograf, against the
# smallest Qt widget program that shows one window, measured the same way in
# one run: the shell notes the time just before it starts a program, the
# program prints the time of its first paint. Median of RUNS runs each,
# started in turns. On the offscreen platform, and under Xvfb when it is
# installed. For scale, the same small window with one line of text: the
# first use of the font system is a fixed cost of any window that shows text.
set -euo pipefail
dir=${1:-build-bench}
prog="$dir/src/app/kalvograf"
mini="$dir/bench/app/kalvo_minimal_window"
RUNS=${RUNS:-15}
for exe in "$prog" "$mini"; do
  [ -x "$exe" ] || { echo "startup: $exe is missing (build with KALVO_BENCH=ON)"; exit 1; }
done
prog=$(realpath "$prog")
mini=$(realpath "$mini")
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT

# Microseconds from start to first paint of one run.
once() {
  local start end
  start=${EPOCHREALTIME/./}
  end=$(cd "$work" && KALVO_STARTUP_PROBE=1 timeout 30 "$@" 2>/dev/null | head -n 1)
  echo $(( (end / 1000 - start) ))
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

measure() {
  local platform=$1 a=() b=() c=() i
  once "$mini" >/dev/null; once "$prog" >/dev/null  # warm the file cache
  for ((i = 0; i < RUNS; i++)); do
    b+=("$(once "$mini")")
    a+=("$(once "$prog")")
    c+=("$(once "$mini" text)")
  done
  local ma mb mc
  ma=$(printf '%s\n' "${a[@]}" | median)
  mb=$(printf '%s\n' "${b[@]}" | median)
  mc=$(printf '%s\n' "${c[@]}" | median)
  awk -v p="$platform" -v a="$ma" -v b="$mb" -v c="$mc" -v n="$RUNS" 'BEGIN {
    printf "%-10s kalvograf %6.1f ms   minimal window %6.1f ms   ratio %.2f (goal <= 1.5)   with text %6.1f ms, ratio %.2f   (medians of %d)\n",
           p, a / 1000, b / 1000, a / b, c / 1000, a / c, n }'
}

QT_QPA_PLATFORM=offscreen measure offscreen

if command -v Xvfb >/dev/null; then
  display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  sleep 1
  DISPLAY=$display QT_QPA_PLATFORM=xcb measure xcb
fi
