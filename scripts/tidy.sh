#!/usr/bin/env bash
# clang-tidy, with the checks of .clang-tidy, over the portable core (theme/), the
# command line (cli/) and the program's edit model (app/edit_model.cpp), read through the
# compile commands of a configuration of its own: the sanitize preset without unity
# batches (in a batched build the compile commands name the batches, and the analyzer
# looks only at the file it is given), configured and never built. Fails on any finding.
# The Windows sources are left out: they build with MinGW headers only.
#
#   scripts/tidy.sh [BUILD_DIR]   (default build/tidy)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/tidy}
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

cmake --preset sanitize -B "$build" -DMARVENTO_UNITY=OFF >/dev/null
out=$(mktemp)
trap 'rm -f "$out"' EXIT
sources() { find theme cli -name '*.cpp'; echo app/edit_model.cpp; }
sources | sort |
  xargs -P "$jobs" -n 4 clang-tidy -p "$build" --quiet >"$out" 2>&1 || true
# A header's finding is reported once per file that includes it: count it once.
findings=$(grep -E '^[^ ]+:[0-9]+:[0-9]+: (warning|error):|^Error while processing' "$out" | sort -u || true)
if [ -n "$findings" ]; then
  grep -A3 -E '^[^ ]+:[0-9]+:[0-9]+: (warning|error):' "$out" | head -200
  echo "tidy: $(wc -l <<<"$findings") findings in theme/, cli/ and app/edit_model.cpp"
  exit 1
fi
echo "tidy: no findings in $(sources | wc -l) files of theme/, cli/ and app/edit_model.cpp"
