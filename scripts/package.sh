#!/usr/bin/env bash
# Builds the Windows release from scratch and packs it:
#   dist/marvento-X.Y.Z-win32.zip  with Marvento.exe and marvento-cli.exe (MinGW-w64
#   i686, for Windows XP), README.txt (Japanese and English), LICENSE.txt and
#   THIRD-PARTY.txt (the notices of the statically linked compiler run-time).
# The build directory is made anew on every run (preset mingw's settings, without the
# tests); --reuse-build builds in DIR as it is instead, e.g. the test build build/mingw,
# which links the same programs. The zip must pass tests/windows/check_package.py (both
# programs load on Windows XP and carry the project's version, the texts are right) or
# it is removed. The zip is the same byte for byte on every run from the same commit: no
# time stamps in the programs, and every zip entry dated from the commit
# (SOURCE_DATE_EPOCH, unless already set).
# A release is compiled, never taken from a compiler cache; --cached (for the check of
# reproducibility, scripts/test-package.sh) compiles through it, the paths made relative
# to the checkout so that a build folder as deep as build/mingw shares its objects.
#
#   scripts/package.sh [--no-setup] [--cached] [--build-dir DIR [--reuse-build]] [--out-dir DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

setup=1
reuse=0
cached=0
build_dir=$root/build/package
out_dir=$root/dist
while [ $# -gt 0 ]; do
  case "$1" in
    --no-setup) setup=0 ;;
    --build-dir) build_dir=$(realpath -m "$2"); shift ;;
    --reuse-build) reuse=1 ;;
    --cached) cached=1 ;;
    --out-dir) out_dir=$(realpath -m "$2"); shift ;;
    *) echo "usage: scripts/package.sh [--no-setup] [--cached] [--build-dir DIR [--reuse-build]] [--out-dir DIR]" >&2; exit 2 ;;
  esac
  shift
done
log() { echo "package: $*"; }
# The system interpreter: the checks read version resources with Debian's python3-pefile.
python=/usr/bin/python3
[ -x "$python" ] || python=python3

if [ "$setup" = 1 ]; then bash scripts/setup.sh; fi

commit=$(git rev-parse --short HEAD)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  log "warning: uncommitted changes; the programs are built from them, not from $commit alone"
fi

if [ "$cached" = 1 ]; then
  export CCACHE_BASEDIR=$root
else
  export CCACHE_DISABLE=1
fi
if [ "$reuse" = 1 ]; then
  log "building the i686 (Windows XP) programs in $build_dir as it is"
  cmake --preset mingw -B "$build_dir" >/dev/null
else
  rm -rf "$build_dir"
  log "building the i686 (Windows XP) programs in $build_dir"
  cmake --preset mingw -B "$build_dir" -DMARVENTO_TESTS=OFF >/dev/null
fi
cmake --build "$build_dir" -j "${MARVENTO_JOBS:-$(nproc)}" --target Marvento marvento-cli >/dev/null

version=$(sed -n 's/^#define MARVENTO_VERSION "\(.*\)"$/\1/p' "$build_dir/generated/marvento_version.h")
gui=$build_dir/app/Marvento.exe
cli=$build_dir/cli/marvento-cli.exe
# Texts for Windows users: UTF-8 with a byte-order mark and CRLF line ends, so that
# Notepad on XP shows them right.
windows_text() {
  printf '\xEF\xBB\xBF'
  sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$1"
}
staging=$build_dir/zip
mkdir -p "$staging" "$out_dir"
windows_text packaging/README.txt >"$staging/README.txt"
windows_text LICENSE >"$staging/LICENSE.txt"
# The notices of the statically linked compiler run-time, as Debian ships them.
runtime_notices=/usr/share/doc/mingw-w64-common/copyright
[ -f "$runtime_notices" ] || { echo "package: $runtime_notices missing (package mingw-w64-common)" >&2; exit 1; }
cat packaging/THIRD-PARTY.txt "$runtime_notices" >"$staging/third-party.txt"
windows_text "$staging/third-party.txt" >"$staging/THIRD-PARTY.txt"

zip=$out_dir/marvento-$version-win32.zip
"$python" scripts/reproducible_zip.py "$zip" \
  "Marvento.exe=$gui" "marvento-cli.exe=$cli" "README.txt=$staging/README.txt" "LICENSE.txt=$staging/LICENSE.txt" \
  "THIRD-PARTY.txt=$staging/THIRD-PARTY.txt"
if ! "$python" tests/windows/check_package.py "$zip" "$version" "$SOURCE_DATE_EPOCH"; then
  rm -f "$zip"
  log "FAIL: the zip does not pass its check; removed"
  exit 1
fi
log "$zip: $(stat -c %s "$zip") bytes, sha256 $(sha256sum "$zip" | cut -d' ' -f1)"
log "version $version, commit $commit, dated $(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC')"
