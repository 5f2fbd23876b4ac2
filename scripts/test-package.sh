#!/usr/bin/env bash
# Checks the release zip: scripts/package.sh run twice must give the same bytes, once in
# the test build build/mingw as the Windows tests left it (built with the tests, step by
# step) and once from scratch in a directory of its own; each zip passes
# tests/windows/check_package.py inside package.sh. Both go through the compiler cache
# (package.sh --cached): the build from scratch takes the objects the test build compiled
# and links them anew. Leaves dist/ alone.
#
#   scripts/test-package.sh [--no-setup]
set -euo pipefail
cd "$(dirname "$0")/.."
setup=1
while [ $# -gt 0 ]; do
  case "$1" in
    --no-setup) setup=0 ;;
    *) echo "usage: scripts/test-package.sh [--no-setup]" >&2; exit 2 ;;
  esac
  shift
done
if [ "$setup" = 1 ]; then bash scripts/setup.sh; fi

work=build/package-check
rm -rf "$work" build/package-scratch
# As deep as build/mingw, for the compiler cache's relative paths.
bash scripts/package.sh --no-setup --cached --build-dir build/package-scratch --out-dir "$work/scratch"
scratch_zip=$(ls "$work"/scratch/marvento-*-win32.zip)
bash scripts/package.sh --no-setup --cached --build-dir build/mingw --reuse-build --out-dir "$work/reused"
reused_zip=$work/reused/${scratch_zip##*/}
sum_scratch=$(sha256sum "$scratch_zip" | cut -d' ' -f1)
sum_reused=$(sha256sum "$reused_zip" 2>/dev/null | cut -d' ' -f1 || true)
if [ "$sum_scratch" != "$sum_reused" ]; then
  echo "package: FAIL: the two runs differ ($sum_scratch from scratch, ${sum_reused:-no zip} in build/mingw)"
  exit 1
fi
echo "package: both runs gave ${scratch_zip##*/} with sha256 $sum_scratch"
rm -rf "$work" build/package-scratch
