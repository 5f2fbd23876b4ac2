#!/usr/bin/env bash
# Listing and diff of large themes against their targets, whole process:
#   list of a 100,000-line INI theme <= 40 ms, its peak RSS <= 2x the file;
#   cost per line flat from 10,000 to 1,000,000 lines (largest per-line cost <= 1.5x the smallest);
#   diff of two 100,000-line themes <= 100 ms, peak RSS <= 3x the two files;
#   list of Wine's light.msstyles <= 0.25x `wrestool -l` of it.
# Times are CPU milliseconds (task-clock: user + system, from perf stat; wall time where
# perf is missing), the median of RUNS runs: on a shared machine the CPU a process takes
# varies far less than its wall time, which is shown beside it.
#
# Standalone:  scripts/bench_listing.sh [--runs N]   (builds preset bench)
# From another script: source it, then
#   bench_listing CLI MAKE_THEME TMP_DIR RUNS
# which prints "[met]"/"[MISSED]" lines and sets listing_missed=1 when a target is missed.

bench_listing() {
  local cli=$1 make_theme=$2 tmp=$3 runs=$4
  listing_missed=0
  local use_perf=0
  if command -v perf >/dev/null && perf stat -x, -e task-clock -o /dev/null true 2>/dev/null; then use_perf=1; fi

  _bl_verdict() {  # NAME OK(0/1) TEXT
    if [ "$2" = 1 ]; then echo "  [met]    $1: $3"; else echo "  [MISSED] $1: $3"; listing_missed=1; fi
  }
  _bl_calc() { awk "BEGIN { x = $1; print x }"; }
  _bl_median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
  # _bl_time N CMD... : sets cpu_ms and wall_ms, the medians of N runs (after one warm-up run).
  _bl_time() {
    local n=$1 t0 t1 i
    shift
    "$@" >/dev/null || true  # diff says "different" by its status
    : >"$tmp/bl.cpu"; : >"$tmp/bl.wall"
    for ((i = 0; i < n; ++i)); do
      t0=$EPOCHREALTIME
      if [ "$use_perf" = 1 ]; then
        perf stat -x, -e task-clock -o "$tmp/bl.perf" "$@" >/dev/null || true
      else
        "$@" >/dev/null || true
      fi
      t1=$EPOCHREALTIME
      echo $(( ${t1/./} - ${t0/./} )) >>"$tmp/bl.wall"
      if [ "$use_perf" = 1 ]; then
        awk -F, '/task-clock/ {print $1 * 1000}' "$tmp/bl.perf" >>"$tmp/bl.cpu"  # microseconds
      else
        echo $(( ${t1/./} - ${t0/./} )) >>"$tmp/bl.cpu"
      fi
    done
    cpu_ms=$(_bl_calc "$(_bl_median <"$tmp/bl.cpu") / 1000")
    wall_ms=$(_bl_calc "$(_bl_median <"$tmp/bl.wall") / 1000")
  }
  _bl_peak_kib() { /usr/bin/time -f %M -o "$tmp/bl.rss" "$@" >/dev/null || true; tail -n 1 "$tmp/bl.rss"; }  # after "Command exited with non-zero status"
  local what="CPU ms"
  [ "$use_perf" = 1 ] || what="wall ms (perf missing)"

  echo "listing and diff, median of $runs runs, $what; load $(cut -d' ' -f1-3 /proc/loadavg)"
  "$make_theme" "$tmp/bl0.msstyles" 0
  local n
  for n in 10000 100000 1000000; do "$make_theme" "$tmp/bl$n.msstyles" 0 "$n"; done
  "$make_theme" "$tmp/bl100000b.msstyles" 0 100000 50  # every 50th font row of another size

  # ---- list of 100,000 lines ----
  local f=$tmp/bl100000.msstyles size rss
  size=$(stat -c %s "$f")
  _bl_time "$runs" "$cli" list "$f"
  _bl_verdict "list, 100,000 lines" "$(_bl_calc "$cpu_ms <= 40")" \
    "$(printf '%.1f ms (wall %.1f ms) for %.1f MiB (target <= 40 ms)' "$cpu_ms" "$wall_ms" "$(_bl_calc "$size / 1048576")")"
  rss=$(_bl_peak_kib "$cli" list "$f")
  _bl_verdict "list peak, 100,000 lines" "$(_bl_calc "$rss * 1024 <= 2 * $size")" \
    "$(printf '%.1f MiB, %.2fx the file (target <= 2x)' "$(_bl_calc "$rss / 1024")" "$(_bl_calc "$rss * 1024 / $size")")"

  # ---- cost per line: the time beyond a theme of four lines, per line ----
  local base per lo hi figures="" big_runs=$(( runs < 5 ? runs : 5 ))
  _bl_time "$runs" "$cli" list "$tmp/bl0.msstyles"
  base=$cpu_ms
  lo=""; hi=""
  for n in 10000 100000 1000000; do
    _bl_time "$([ "$n" = 1000000 ] && echo "$big_runs" || echo "$runs")" "$cli" list "$tmp/bl$n.msstyles"
    per=$(_bl_calc "($cpu_ms - $base) * 1e6 / $n")  # ns per line
    figures+="$(printf '%d: %.1f ms, %.0f ns/line; ' "$n" "$cpu_ms" "$per")"
    if [ -z "$lo" ] || [ "$(_bl_calc "$per < $lo")" = 1 ]; then lo=$per; fi
    if [ -z "$hi" ] || [ "$(_bl_calc "$per > $hi")" = 1 ]; then hi=$per; fi
  done
  _bl_verdict "list cost per line, 10,000 to 1,000,000 lines" "$(_bl_calc "$hi <= 1.5 * $lo")" \
    "$(printf '%sbase %.1f ms; largest/smallest %.2f (target <= 1.5)' "$figures" "$base" "$(_bl_calc "$hi / $lo")")"
  f=$tmp/bl1000000.msstyles
  size=$(stat -c %s "$f")
  rss=$(_bl_peak_kib "$cli" list "$f")
  echo "  [info]   list peak, 1,000,000 lines: $(printf '%.1f MiB, %.2fx the file' "$(_bl_calc "$rss / 1024")" "$(_bl_calc "$rss * 1024 / $size")")"

  # ---- diff of two 100,000-line themes ----
  local a=$tmp/bl100000.msstyles b=$tmp/bl100000b.msstyles both
  both=$(( $(stat -c %s "$a") + $(stat -c %s "$b") ))
  _bl_time "$runs" "$cli" diff "$a" "$b"
  _bl_verdict "diff, two 100,000-line themes" "$(_bl_calc "$cpu_ms <= 100")" \
    "$(printf '%.1f ms (wall %.1f ms), %d rows differ (target <= 100 ms)' "$cpu_ms" "$wall_ms" \
         "$("$cli" diff "$a" "$b" | grep -c -- '->' || true)")"
  rss=$(_bl_peak_kib "$cli" diff "$a" "$b")
  _bl_verdict "diff peak, two 100,000-line themes" "$(_bl_calc "$rss * 1024 <= 3 * $both")" \
    "$(printf '%.1f MiB, %.2fx the two files (target <= 3x)' "$(_bl_calc "$rss / 1024")" "$(_bl_calc "$rss * 1024 / $both")")"

  # ---- Wine's light.msstyles against wrestool -l ----
  local light=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/light.msstyles ta
  if [ ! -f "$light" ]; then
    echo "  SKIPPED: $light not found"
  elif ! command -v wrestool >/dev/null; then
    echo "  SKIPPED: wrestool (icoutils) not installed"
  else
    _bl_time "$runs" "$cli" list "$light"
    ta=$cpu_ms
    _bl_time "$runs" wrestool -l "$light"
    _bl_verdict "list of light.msstyles vs wrestool -l" "$(_bl_calc "$ta <= 0.25 * $cpu_ms")" \
      "$(printf '%.2f ms vs %.2f ms, ratio %.2f (target <= 0.25)' "$ta" "$cpu_ms" "$(_bl_calc "$ta / $cpu_ms")")"
  fi
  rm -f "$tmp"/bl*.msstyles "$tmp"/bl.*
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  cd "$(dirname "$0")/.."
  runs=11
  while [ $# -gt 0 ]; do
    case "$1" in
      --runs) runs=$2; shift 2 ;;
      *) echo "usage: scripts/bench_listing.sh [--runs N]" >&2; exit 2 ;;
    esac
  done
  cmake --preset bench >/dev/null
  cmake --build --preset bench -j 2 --target make_theme marvento-cli >/dev/null
  mkdir -p build/bench/bench-tmp
  bench_listing build/bench/cli/marvento-cli build/bench/bench/make_theme build/bench/bench-tmp "$runs"
  [ "$listing_missed" = 0 ] && echo "bench_listing: every target met" || echo "bench_listing: some targets missed (see above)"
fi
