#!/usr/bin/env bash
# Checks the Debian package of marvento-cli: built twice from scratch in one build folder
# (the second through the compiler cache: package-deb.sh --cached; the folder's path is
# in the compile flags, so a second folder would compile it all again), it is the same
# byte for byte; lintian finds no error; unpacked into a temporary folder (never installed
# on this machine) its program lists Wine's light.msstyles; and its bash completion
# completes the commands and every option that --help names.
#
#   scripts/test-deb.sh [--setup]   (--setup: runs scripts/setup.sh first)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
setup=--no-setup
[ "${1:-}" = "--setup" ] && setup=""
fail() { echo "test-deb: FAILED: $*" >&2; exit 1; }
log() { echo "test-deb: $*"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for n in 1 2; do
  bash scripts/package-deb.sh $setup --cached --build-dir "$root/build/deb" --out-dir "$work/out-$n" >/dev/null
done
deb=$(ls "$work"/out-1/*.deb)
name=$(basename "$deb")
[[ $name =~ ^marvento-cli_[0-9]+\.[0-9]+\.[0-9]+_amd64\.deb$ ]] || fail "unexpected name $name"
cmp "$deb" "$work/out-2/$name" || fail "two builds differ"
log "reproducible: $name ($(stat -c %s "$deb") bytes)"

lintian --fail-on error "$deb" >"$work/lintian.txt" 2>&1 || { cat "$work/lintian.txt"; fail "lintian reports errors"; }
log "lintian: $(grep -c '^[EW]:' "$work/lintian.txt" || true) errors and warnings"

dpkg-deb -x "$deb" "$work/root"
cli=$work/root/usr/bin/marvento-cli
for doc in usr/share/man/man1/marvento-cli.1.gz usr/share/doc/marvento-cli/copyright \
           usr/share/bash-completion/completions/marvento-cli; do
  [ -f "$work/root/$doc" ] || fail "missing $doc"
done
# shellcheck source=wine-env.sh
source scripts/wine-env.sh  # wine_themes: where Wine's light.msstyles lie
light=$(wine_themes | head -n 1)
if [ -f "$light" ]; then
  LC_ALL=C "$cli" list "$light" --tsv >"$work/light.tsv" || fail "the unpacked program cannot list $light"
  [ "$(wc -l <"$work/light.tsv")" = 21 ] || fail "expected 21 rows of $light, got $(wc -l <"$work/light.tsv")"
  log "the unpacked program lists $light: 21 rows"
else
  log "skipped the run on light.msstyles: $light is not installed (Debian package wine64)"
fi

# Completion: what `marvento-cli WORDS... <Tab>` offers, as bash would ask for it.
complete_words() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _marvento_cli; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$work/root/usr/share/bash-completion/completions/marvento-cli" marvento-cli "$@"
}
[ "$(complete_words w)" = write ] || fail "marvento-cli w does not complete to write"
[ "$(complete_words l)" = list ] || fail "marvento-cli l does not complete to list"
touch "$work/a.msstyles" "$work/b.json"
for words in "diff a.msstyles" "write a.msstyles -o"; do
  # shellcheck disable=SC2086  # the words are meant to be split
  offered=$(cd "$work" && complete_words $words '')
  grep -qx a.msstyles <<<"$offered" && ! grep -q b.json <<<"$offered" ||
    fail "marvento-cli $words <Tab> does not offer just the .msstyles files (and folders): $offered"
done
touch "$work/My Theme.msstyles"
offered=$(cd "$work" && complete_words list My)
[ "$offered" = "My Theme.msstyles" ] || fail "marvento-cli list My<Tab> does not offer \"My Theme.msstyles\" whole: $offered"
offered=$( (complete_words -; complete_words list x -; complete_words write x -; complete_words diff x y -) | sort -u)
help_options=$("$cli" --help | grep -vE '[|] *(cut|awk|sort) ' | grep -oE '(^|[ [|])--?[a-z][a-z-]*' | sed 's/^[ [|]//' | sort -u)
for option in $help_options; do
  grep -qx -- "$option" <<<"$offered" || fail "the completion does not offer $option"
done
log "completion: commands, theme files (one with a blank) and all $(wc -w <<<"$help_options") options of --help"
log "passed"
