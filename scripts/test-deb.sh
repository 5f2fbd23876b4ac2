#!/usr/bin/env bash
# Checks the Debian package: scripts/package-deb.sh run twice, in two different build
# directories, must give the same bytes; lintian must report no error; the package,
# unpacked into a temporary folder (never installed), must list Wine's light.msstyles and
# its bash completion must complete commands and every option --help names.
# Prints "N passed, N failed". Leaves dist/ alone.
#
#   scripts/test-deb.sh [--no-setup]
set -uo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" != "--no-setup" ]; then bash scripts/setup.sh --native-only || exit 1; fi
work=build/deb-check
rm -rf "$work"
passed=0
failed=0
check() {  # check NAME COMMAND...
  local name=$1
  shift
  if "$@"; then passed=$((passed + 1)); echo "deb: $name: ok"; else failed=$((failed + 1)); echo "deb: FAIL: $name"; fi
}

for run in first second; do
  bash scripts/package-deb.sh --no-setup --build-dir "$work/build-$run" --out-dir "$work/$run" || exit 1
done
deb=$(ls "$work"/first/marvento-cli_*.deb)
check "two builds give the same bytes" cmp -s "$deb" "$work/second/${deb##*/}"

lintian --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1
cat "$work/lintian.txt"
check "lintian reports no error" bash -c "! grep -q '^E: ' '$work/lintian.txt'"

unpacked=$work/unpacked
dpkg-deb -x "$deb" "$unpacked"
cli=$unpacked/usr/bin/marvento-cli
# shellcheck source=wine-env.sh
source scripts/wine-env.sh  # wine_light_msstyles
light=$(wine_light_msstyles || true)
if [ -n "$light" ]; then
  check "the unpacked program lists $light" bash -c "'$cli' list '$light' --json | grep -q '\"pageCount\"'"
else
  echo "deb: Wine's light.msstyles is not installed (package wine64): the listing is skipped"
fi
check "the manual page is there" test -s "$unpacked/usr/share/man/man1/marvento-cli.1.gz"
completion=$unpacked/usr/share/bash-completion/completions/marvento-cli
check "the bash completion completes commands and options" bash tests/cli/completion_test.sh "$cli" "$completion"

echo "$passed passed, $failed failed"
if [ "$failed" -eq 0 ]; then rm -rf "$work"; fi
[ "$failed" -eq 0 ]
