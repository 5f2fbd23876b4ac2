#!/usr/bin/env bash
# The bash completion: "marvento-cli w" completes to "write", and every option that
# `marvento-cli --help` (and each command's own --help, where it has one) names is offered
# for some command. Prints "N passed, N failed".
#   completion_test.sh MARVENTO_CLI COMPLETION_FILE
set -uo pipefail
cli=$1
completion=$2
# shellcheck disable=SC1090
source "$completion"
passed=0
failed=0
check() {  # check NAME COMMAND...
  local name=$1
  shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $name"; fi
}
complete_words() {  # the completions of the words given, the last one being completed
  COMP_WORDS=(marvento-cli "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _marvento_cli
  printf '%s\n' "${COMPREPLY[@]}"
}

check "w completes to write" test "$(complete_words w)" = write

help=$("$cli" --help)
for command in list write diff; do
  own=$("$cli" "$command" --help 2>/dev/null) && help+=$'\n'"$own"
done
offered=$( { complete_words --; for c in list write diff; do complete_words "$c" -; done; } | sort -u)
for option in $(grep -oE '(^|[ [(])(-o|--[a-z][a-z-]*)' <<<"$help" | grep -oE -- '-o|--[a-z][a-z-]*' | sort -u); do
  check "$option is completed" grep -qx -- "$option" <<<"$offered"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
touch "$work/a.msstyles" "$work/b.json" "$work/c.txt"
cd "$work" || exit 1
check "theme files for THEME" test "$(complete_words list '')" = a.msstyles
check "theme files for -o" test "$(complete_words write a.msstyles -o '')" = a.msstyles
check "JSON files for --from" test "$(complete_words write a.msstyles --from b)" = b.json

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
