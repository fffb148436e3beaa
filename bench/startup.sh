#!/usr/bin/env bash
# Start-up of kalvograf against its yardstick, the smallest Qt Widgets window
# that paints one line of text. kalvograf starts with a settings file that
# holds one curve and, under KALVO_STARTUP_PROBE, ends once its first graph
# is painted; the yardstick ends the same way after its first paint. Both run
# on the offscreen platform, in turns, RUNS times each, both on the same
# processor (CPU, the last one unless given), so that neither meets another
# processor's load or a move between processors the other did not; each
# process is measured from outside by what the kernel counted for it when it
# ended (CPU time, user plus system, and peak resident memory, through
# kalvo_rusage). The medians are set against each other.
set -euo pipefail
dir=${1:-build-bench}
RUNS=${RUNS:-21}
CPU=${CPU:-$(($(nproc) - 1))}
prog="$dir/src/app/kalvograf"
mini="$dir/bench/app/kalvo_minimal_window"
rusage="$dir/bench/app/kalvo_rusage"
for exe in "$prog" "$mini" "$rusage"; do
  [ -x "$exe" ] || { echo "startup: $exe is missing (build with KALVO_BENCH=ON)"; exit 1; }
done
rusage=$(realpath "$rusage")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# kalvograf reads kalvo.INI from its own folder: a copy of the program beside
# a settings file with f(x) = x^2/4 - 2 drawn in red. The configuration
# folder is an empty one, so that nothing of this machine's settings leaks in.
cp "$prog" "$work/kalvograf"
printf '[Schaubilder]\r\nLinienfarbe1=255\r\nzeichnen1=1\r\n[fg Funktionsterme]\r\nf(x)=x^2/4-2\r\n' >"$work/kalvo.INI"
mkdir -p "$work/config"
export QT_QPA_PLATFORM=offscreen KALVO_STARTUP_PROBE=1 XDG_CONFIG_HOME="$work/config"

# "cpu_us peak_kb" of one run; a run that did not paint or did not end well stops the benchmark.
once() {
  local out
  out=$(cd "$work" && taskset -c "$CPU" "$rusage" "$@" 2>/dev/null)
  local lines status
  lines=$(printf '%s\n' "$out" | wc -l)
  status=$(printf '%s\n' "$out" | tail -n 1 | awk '{ print $3 }')
  if [ "$lines" -lt 2 ] || [ "$status" != 0 ]; then
    echo "startup: $1 did not paint and end (exit status ${status:-?})" >&2
    exit 1
  fi
  printf '%s\n' "$out" | tail -n 1 | awk '{ print $1, $2 }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

ours="$work/kalvograf"
yard=$(realpath "$mini")
once "$ours" >/dev/null; once "$yard" >/dev/null  # the files into the cache
: >"$work/ours" ; : >"$work/yard"
for ((i = 0; i < RUNS; i++)); do
  once "$ours" >>"$work/ours"
  once "$yard" >>"$work/yard"
done
cpu_ours=$(awk '{ print $1 }' "$work/ours" | median)
cpu_yard=$(awk '{ print $1 }' "$work/yard" | median)
mem_ours=$(awk '{ print $2 }' "$work/ours" | median)
mem_yard=$(awk '{ print $2 }' "$work/yard" | median)

awk -v co="$cpu_ours" -v cy="$cpu_yard" -v mo="$mem_ours" -v my="$mem_yard" -v n="$RUNS" -v cpu="$CPU" 'BEGIN {
  printf "%-34s %12s %12s %8s\n", "start to first graph (offscreen)", "kalvograf", "yardstick", "ratio"
  printf "%-34s %9.1f ms %9.1f ms %8.2f\n", "CPU time (user + system)", co / 1000, cy / 1000, co / cy
  printf "%-34s %9.1f MB %9.1f MB %8.2f\n", "peak resident memory", mo / 1024, my / 1024, mo / my
  printf "(medians of %d runs each, in turns, on processor %d)\n", n, cpu
}'
if [ -n "${KALVO_BENCH_TABLE:-}" ]; then
  awk -v co="$cpu_ours" -v cy="$cpu_yard" -v mo="$mem_ours" -v my="$mem_yard" 'BEGIN {
    printf "start-up CPU time to the first graph (vs minimal Qt window)\t%.6g\t%.6g\tms\n", co / 1000, cy / 1000
    printf "start-up peak memory (vs minimal Qt window)\t%.6g\t%.6g\tMB\n", mo / 1024, my / 1024
  }' >>"$KALVO_BENCH_TABLE"
fi
