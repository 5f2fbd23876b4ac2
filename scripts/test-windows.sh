#!/usr/bin/env bash
# Builds the Windows program and runs its tests: the XP import check of the i686 build
# (read from the PE file, no Wine needed), then under Wine, on a virtual display, in a
# prefix reporting Windows XP with code page 932: the core test suite, the GUI tests
# and the start-up tests of the real Marvento.exe.
#
#   scripts/test-windows.sh [--no-setup] [ctest arguments for the Wine run...]
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=wine-env.sh
source scripts/wine-env.sh

if [ "${1:-}" = "--no-setup" ]; then
  shift
else
  bash scripts/setup.sh
fi

passed=0
failed=0
# Runs ctest in a build tree and adds its figures to the totals.
run_ctest() {
  local dir=$1 log
  shift
  log=$(mktemp)
  set +e
  (cd "$dir" && ctest --output-on-failure "$@") 2>&1 | tee "$log"
  set -e
  local line total bad
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  rm -f "$log"
  if [ -z "$line" ]; then
    wine_log "ctest in $dir reported nothing"
    failed=$((failed + 1))
    return
  fi
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

wine_pick_build
trap wine_stop EXIT

wine_log "building the Windows XP program (i686, preset mingw)"
wine_build mingw
run_ctest build/mingw -R '^xp_imports'

if [ "$wine_preset" != mingw ]; then
  wine_log "building the runnable test build (preset $wine_preset)"
  wine_build "$wine_preset"
fi

wine_start_display
wine_prefix
wine_log "running under $MARVENTO_WINE on display $DISPLAY, prefix $WINEPREFIX"
run_ctest "$wine_build_dir" -E '^xp_imports' "$@"
wine_server -k 2>/dev/null || true

echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
