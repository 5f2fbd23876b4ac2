#!/usr/bin/env bash
# Checks the release zip: scripts/package.sh run twice, in two different build
# directories, must give the same bytes, and the zip must hold what a Windows XP user
# needs (tests/windows/check_package.py). Leaves dist/ alone.
#
#   scripts/test-package.sh [--no-setup]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" != "--no-setup" ]; then bash scripts/setup.sh; fi

python=/usr/bin/python3  # with Debian's python3-pefile
[ -x "$python" ] || python=python3
work=build/package-check
rm -rf "$work"
failed=0
for run in first second; do
  bash scripts/package.sh --no-setup --build-dir "$work/build-$run" --out-dir "$work/$run"
done
first=$(ls "$work"/first/marvento-*-win32.zip)
second=$work/second/${first##*/}
sum_first=$(sha256sum "$first" | cut -d' ' -f1)
sum_second=$(sha256sum "$second" 2>/dev/null | cut -d' ' -f1 || true)
if [ "$sum_first" = "$sum_second" ]; then
  echo "package: both runs gave ${first##*/} with sha256 $sum_first"
else
  echo "package: FAIL: the two runs differ ($sum_first, ${sum_second:-no zip})"
  failed=1
fi

version=${first##*/marvento-}
version=${version%-win32.zip}
"$python" tests/windows/check_package.py "$first" "$version" "${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}" || failed=1
if [ "$failed" -eq 0 ]; then rm -rf "$work"; fi
[ "$failed" -eq 0 ]
