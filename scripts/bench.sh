#!/usr/bin/env bash
# Benchmarks: the Google Benchmark suite (bench/) and the whole-process comparisons
# against fixed references, with the targets of BENCHMARKS.md checked side by side.
#   scripts/bench.sh [--runs N] [--strict] [--skip-micro]
# --strict: exit 1 when a target is missed (timings on a shared machine are noisy, so
# by default a miss is reported, not failed).
set -euo pipefail
cd "$(dirname "$0")/.."

runs=21
strict=0
micro=1
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --strict) strict=1; shift ;;
    --skip-micro) micro=0; shift ;;
    *) echo "usage: scripts/bench.sh [--runs N] [--strict] [--skip-micro]" >&2; exit 2 ;;
  esac
done

# The release preset in a folder of its own, without the test suite.
build=build/bench
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
cmake --preset release -B "$build" -DMARVENTO_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target marvento_bench make_theme marvento-cli >/dev/null
cli=$build/cli/marvento-cli
tmp=$build/bench-tmp
rm -rf "$tmp" && mkdir -p "$tmp"

missed=0
verdict() {  # verdict NAME OK(0/1) TEXT
  if [ "$2" = 1 ]; then echo "  [met]    $1: $3"; else echo "  [MISSED] $1: $3"; missed=1; fi
}

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores," \
     "$(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "kernel: $(uname -r); compiler: $(c++ --version | head -1); filesystem of $tmp: $(stat -f -c %T "$tmp")"

# ---- Google Benchmark ----
if [ "$micro" = 1 ]; then
  "$build/bench/marvento_bench" --benchmark_out="$tmp/micro.json" --benchmark_out_format=json \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
  echo
  echo "scaling (median CPU seconds per line, 100,000 lines against 1,000; rewriting within 2x):"
  python3 - "$tmp/micro.json" <<'EOF' || missed=1
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
per = {}
for b in runs:
    if b.get("aggregate_name") != "median" or "per_line" not in b:
        continue
    name = b["run_name"]                      # e.g. rewriteIniLines/100000/1
    parts = name.split("/")
    series = "/".join([parts[0]] + parts[2:])  # the series without the line count
    per.setdefault(series, {})[int(parts[1])] = b["per_line"]
ok = True
for series, byLines in sorted(per.items()):
    lo, hi = byLines.get(1000), byLines.get(100000)
    if lo is None or hi is None:
        continue
    ratio = hi / lo
    figures = "  ".join("%d: %.0f ns" % (n, s * 1e9) for n, s in sorted(byLines.items()))
    if series.startswith("rewrite"):  # the target; loading is shown alongside
        mark = "met" if ratio <= 2 else "MISSED"
        ok &= ratio <= 2
    else:
        mark = "info"
    print("  %-8s %-26s %s  ratio %.2f" % ("[%s]" % mark, series, figures, ratio))
sys.exit(0 if ok else 1)
EOF
fi

# ---- whole-process comparisons ----
# Median wall time of a command over $runs runs; the two commands of a
# comparison are run alternately so that both see the same machine.
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
elapsed() {  # elapsed CMD... : prints microseconds
  local t0 t1
  t0=$EPOCHREALTIME
  "$@" >/dev/null
  t1=$EPOCHREALTIME
  echo $(( ${t1/./} - ${t0/./} ))
}
calc() { awk "BEGIN { x = $1; print x }"; }  # calc EXPR
compare() {  # compare -- CMD_A... -- CMD_B...   sets ta and tb (ms)
  local a=() b=() side=a
  shift
  for arg in "$@"; do
    if [ "$side" = a ] && [ "$arg" = "--" ]; then side=b; continue; fi
    if [ "$side" = a ]; then a+=("$arg"); else b+=("$arg"); fi
  done
  "${a[@]}" >/dev/null; "${b[@]}" >/dev/null  # warm the page cache
  : >"$tmp/a.ms"; : >"$tmp/b.ms"
  for _ in $(seq "$runs"); do
    elapsed "${a[@]}" >>"$tmp/a.ms"
    elapsed "${b[@]}" >>"$tmp/b.ms"
  done
  ta=$(calc "$(median <"$tmp/a.ms") / 1000"); tb=$(calc "$(median <"$tmp/b.ms") / 1000")  # ms
}

themes=()
for f in /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/light.msstyles \
         /usr/lib/i386-linux-gnu/wine/i386-windows/light.msstyles; do
  if [ -f "$f" ]; then themes+=("$f"); else echo "SKIPPED: $f not found"; fi
done
command -v wrestool >/dev/null || { echo "SKIPPED: wrestool (icoutils) not installed"; themes=(); }

# The regenerated part of a write: the theme's texts and string tables (every language,
# an upper bound of what one language regenerates), as wrestool lists their sizes.
regenerated_bytes() {
  wrestool -l "$1" | awk '/--type=.TEXTFILE.|--type=6 / { if (match($0, /size=[0-9]+/)) s += substr($0, RSTART + 5, RLENGTH - 5) }
                          END { print s + 0 }'
}
peak_memory() {  # peak_memory NAME THEME
  /usr/bin/time -f %M -o "$tmp/rss" "$cli" write "$2" -o "$tmp/out.msstyles" >/dev/null
  local rss_kib size regenerated limit_kib
  rss_kib=$(cat "$tmp/rss")
  size=$(stat -c %s "$2")
  regenerated=$(regenerated_bytes "$2")
  limit_kib=$(( (regenerated + 8 * 1048576) / 1024 ))
  verdict "$1" "$([ "$rss_kib" -le "$limit_kib" ] && echo 1 || echo 0)" \
    "$(printf '%.1f MiB for a %.1f MiB theme (limit 8 MiB + %.2f MiB of texts and tables = %.1f MiB)' \
         "$(calc "$rss_kib / 1024")" "$(calc "$size / 1048576")" "$(calc "$regenerated / 1048576")" \
         "$(calc "$limit_kib / 1024")")"
}

echo
echo "whole process, median of $runs runs each (ms):"
for f in "${themes[@]}"; do
  size=$(stat -c %s "$f")
  echo "$f ($size bytes)"

  compare -- "$cli" list "$f" -- wrestool -l "$f"
  ratio=$(calc "$ta / $tb")
  verdict "list vs wrestool -l" "$(calc "$ratio <= 0.5")" \
    "$(printf '%.2f ms vs %.2f ms, ratio %.2f (target <= 0.5)' "$ta" "$tb" "$ratio")"

  compare -- "$cli" write "$f" -o "$tmp/out.msstyles" -- \
    dd if="$f" of="$tmp/copy.msstyles" bs=1M conv=fsync status=none
  ratio=$(calc "$ta / $tb")
  verdict "write vs dd conv=fsync" "$(calc "$ratio <= 1.15")" \
    "$(printf '%.2f ms vs %.2f ms, ratio %.2f (target <= 1.15)' "$ta" "$tb" "$ratio")"
  # What the write does beyond a copy: rename the temporary file and make the folder durable.
  compare -- python3 -c "import os,sys; os.rename(sys.argv[1], sys.argv[2]); fd = os.open(sys.argv[3], os.O_RDONLY); os.fsync(fd)" \
    "$tmp/copy.msstyles" "$tmp/moved.msstyles" "$tmp" -- python3 -c "import os,sys; os.rename(sys.argv[1], sys.argv[2])" \
    "$tmp/moved.msstyles" "$tmp/copy.msstyles"
  echo "  [info]   rename and folder fsync: $(printf '%.2f ms' "$(calc "$ta - $tb")") more than a bare rename"

  cp "$f" "$tmp/copy.msstyles"
  compare -- "$cli" diff "$f" "$tmp/copy.msstyles" -- "$cli" list "$f"
  ratio=$(calc "$ta / $tb")
  verdict "diff of two copies vs one list" "$(calc "$ratio <= 2")" \
    "$(printf '%.2f ms vs %.2f ms, ratio %.2f (target <= 2)' "$ta" "$tb" "$ratio")"

  peak_memory "peak memory of write" "$f"
done

# A theme of 256 MiB, nearly all pictures: the peak must not grow with the file.
"$build/bench/make_theme" "$tmp/big.msstyles" 256
echo "synthetic theme ($(stat -c %s "$tmp/big.msstyles") bytes)"
compare -- "$cli" write "$tmp/big.msstyles" -o "$tmp/out.msstyles" -- \
  dd if="$tmp/big.msstyles" of="$tmp/copy.msstyles" bs=1M conv=fsync status=none
echo "  [info]   write vs dd conv=fsync: $(printf '%.2f ms vs %.2f ms, ratio %.2f' "$ta" "$tb" "$(calc "$ta / $tb")")"
peak_memory "peak memory of write, 256 MiB theme" "$tmp/big.msstyles"
rm -f "$tmp"/*.msstyles

if [ "$missed" = 1 ]; then
  echo "bench: some targets missed (see above)"
  if [ "$strict" = 1 ]; then exit 1; fi
else
  echo "bench: every target met"
fi
