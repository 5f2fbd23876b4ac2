#!/usr/bin/env bash
# Sets up, builds and runs every test: the native suite under ASan+UBSan (a debug build
# that also watches every memory access; the plain debug preset runs the same suite),
# clang-tidy over the core and the command line, the Debian package of the command line
# built twice, and (unless --native-only) the Windows build under Wine, the release zip
# built twice and the fuzz targets from a fixed seed. Ends with the time and the CPU time
# (user+sys) each phase took.
#
# The Windows tests mostly wait for Wine, so what does not need Wine (clang-tidy, the
# fuzz targets built and run, the Debian package built twice) is done meanwhile, at the
# lowest priority, where it takes only the time the foreground leaves. Where 32-bit Wine
# cannot run (or with MARVENTO_NO_WINE32=1) the Windows tests run the x86_64 build: see
# test-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
# Paths relative to the checkout in the compiler cache: the package checks' builds from
# scratch then take the objects of the test builds (package.sh --cached).
export CCACHE_BASEDIR=$PWD
mode=${1:-}
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

# CPU seconds (user+sys) of the finished children of shell PID, in clock ticks.
cpu_ticks() { local s f; s=$(<"/proc/$1/stat"); read -r -a f <<<"${s##*) }"; echo $((f[13] + f[14])); }
export -f cpu_ticks
MARVENTO_TICKS=$(getconf CLK_TCK)
export MARVENTO_TICKS
times=()
phase() {  # phase NAME COMMAND...: runs the command and notes how long it took
  local name=$1 start=$SECONDS cpu status=0
  cpu=$(cpu_ticks $$)
  shift
  "$@" || status=$?
  times+=("$(printf '%-34s %4d s, CPU %5d s' "$name" $((SECONDS - start)) \
             $((($(cpu_ticks $$) - cpu) / MARVENTO_TICKS)))")
  return "$status"
}
started=$SECONDS
lane=
finish() {
  if [ -n "$lane" ]; then kill -- "-$lane" 2>/dev/null || true; fi
  echo "time per phase:"
  printf '  %s\n' "${times[@]}"
  printf '  %-34s %4d s, CPU %5d s (load now: %s)\n' "in all" $((SECONDS - started)) \
    $(($(cpu_ticks $$) / MARVENTO_TICKS)) "$(cut -d' ' -f1-3 /proc/loadavg)"
}
trap finish EXIT

phase "setup" bash scripts/setup.sh ${mode:+"$mode"}
cmake --preset sanitize >/dev/null

lane_log=build/test-background.log
if [ "$mode" != "--native-only" ]; then
  # A process group of its own (job control), so that it ends with this script; not a
  # session of its own, where the kernel's autogroups would give it an equal share.
  set -m
  nice -n 19 bash -c '
    set -euo pipefail
    step() {  # CPU of the finished children of this (sub)shell, not of a $(...) one
      local start=$SECONDS me=$BASHPID cpu
      cpu=$(cpu_ticks "$me")
      "${@:2}"
      echo "background: $1 took $((SECONDS - start)) s, CPU $((($(cpu_ticks "$me") - cpu) / MARVENTO_TICKS)) s"
    }
    # One at a time (more at once only slow the foreground down), clang-tidy last: what
    # is left when the foreground is done then keeps both cores busy, where the fuzz run
    # and lintian would keep one.
    step "fuzz build" bash scripts/fuzz.sh --build-only
    step "fuzz (fixed seed)" bash scripts/fuzz.sh --fixed
    step "Debian package, twice" bash scripts/test-deb.sh --no-setup
    step "clang-tidy" bash scripts/tidy.sh
  ' lane >"$lane_log" 2>&1 &
  lane=$!
  set +m
fi

phase "native build (sanitize)" cmake --build --preset sanitize -j "$jobs"
phase "native tests" ctest --preset sanitize -j "$jobs"
if [ "$mode" = "--native-only" ]; then
  phase "clang-tidy" bash scripts/tidy.sh
  phase "Debian package, twice" bash scripts/test-deb.sh --no-setup
  exit 0
fi

phase "windows (build, Wine)" bash scripts/test-windows.sh --no-setup
lane_status=0
phase "background work still running" wait "$lane" || lane_status=$?
lane=
cat "$lane_log"
if [ "$lane_status" -ne 0 ]; then
  echo "test: the background work failed (above)"
  exit 1
fi
phase "release zip twice, compared" bash scripts/test-package.sh --no-setup
