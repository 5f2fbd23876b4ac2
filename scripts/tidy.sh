#!/usr/bin/env bash
# clang-tidy, with the checks of .clang-tidy, over the portable core (theme/), the
# command line (cli/) and the program's edit model (app/edit_model.cpp), read through the
# compile commands of a native build. Fails on any finding. The Windows sources are left
# out: they build with MinGW headers only.
#
#   scripts/tidy.sh [BUILD_DIR]   (default build/sanitize; configured if missing)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/sanitize}
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

if [ ! -f "$build/compile_commands.json" ]; then
  cmake --preset sanitize -B "$build" >/dev/null
fi
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
