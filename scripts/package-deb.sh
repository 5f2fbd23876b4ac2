#!/usr/bin/env bash
# Builds the command line for Linux from scratch and packs it as a Debian package:
#   dist/marvento-cli_X.Y.Z_ARCH.deb  with /usr/bin/marvento-cli, its manual page, its
#   bash completion, a machine-readable copyright file and a changelog; the libraries it
#   needs are found by dpkg-shlibdeps. Every file is dated from the commit
#   (SOURCE_DATE_EPOCH, unless already set), so two runs from one commit give the same bytes.
#
#   scripts/package-deb.sh [--no-setup] [--build-dir DIR] [--out-dir DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

setup=1
build_dir=$root/build/deb
out_dir=$root/dist
while [ $# -gt 0 ]; do
  case "$1" in
    --no-setup) setup=0 ;;
    --build-dir) build_dir=$(realpath -m "$2"); shift ;;
    --out-dir) out_dir=$(realpath -m "$2"); shift ;;
    *) echo "usage: scripts/package-deb.sh [--no-setup] [--build-dir DIR] [--out-dir DIR]" >&2; exit 2 ;;
  esac
  shift
done
log() { echo "package-deb: $*"; }
if [ "$setup" = 1 ]; then bash scripts/setup.sh --native-only; fi

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
rm -rf "$build_dir"
log "building marvento-cli in $build_dir"
# No test or benchmark libraries; no build paths in the program. A release is compiled,
# never taken from a compiler cache.
export CCACHE_DISABLE=1
CXXFLAGS="-ffile-prefix-map=$build_dir=build -ffile-prefix-map=$root=." LDFLAGS=-s \
  cmake -S "$root" -B "$build_dir/cmake" -DCMAKE_BUILD_TYPE=Release -DMARVENTO_TESTS=OFF -DMARVENTO_BENCH=OFF >/dev/null
cmake --build "$build_dir/cmake" -j "${MARVENTO_JOBS:-$(nproc)}" --target marvento-cli >/dev/null
version=$(sed -n 's/^#define MARVENTO_VERSION "\(.*\)"$/\1/p' "$build_dir/cmake/generated/marvento_version.h")
arch=$(dpkg --print-architecture)

staging=$build_dir/root
cmake --install "$build_dir/cmake" --prefix "$staging/usr" >/dev/null
doc=$staging/usr/share/doc/marvento-cli
mkdir -p "$doc"
gzip -9n "$staging/usr/share/man/man1/marvento-cli.1"
cp packaging/debian-copyright "$doc/copyright"
{
  echo "marvento-cli ($version) unstable; urgency=medium"
  echo
  echo "  * Release $version; see CHANGELOG.md in the sources for what changed."
  echo
  echo " -- Marvento developers <marvento@users.noreply.github.com>  $(LC_ALL=C date -u -R -d "@$SOURCE_DATE_EPOCH")"
} | gzip -9n >"$doc/changelog.gz"

# The shared libraries the program needs, as dpkg-shlibdeps finds them.
meta=$build_dir/meta
mkdir -p "$meta/debian"
printf 'Source: marvento-cli\n\nPackage: marvento-cli\nArchitecture: any\n' >"$meta/debian/control"
depends=$(cd "$meta" && dpkg-shlibdeps -O "$staging/usr/bin/marvento-cli" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { log "dpkg-shlibdeps found no libraries"; exit 1; }

mkdir -p "$staging/DEBIAN"
cat >"$staging/DEBIAN/control" <<CONTROL
Package: marvento-cli
Version: $version
Architecture: $arch
Maintainer: Marvento developers <marvento@users.noreply.github.com>
Installed-Size: $(du -sk --exclude=DEBIAN "$staging" | cut -f1)
Depends: $depends
Section: utils
Priority: optional
Description: font settings of Windows XP visual styles, command line
 marvento-cli lists, changes and compares the font settings stored inside
 Windows XP visual-style files (.msstyles): faces, sizes and options of every
 font setting of a theme, the size names and the style name. It writes a new
 theme file that the theme engine still loads.
CONTROL
(cd "$staging" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$staging/DEBIAN/md5sums"

find "$staging" -type d -exec chmod 0755 {} +
find "$staging" -type f -exec chmod 0644 {} +
chmod 0755 "$staging/usr/bin/marvento-cli"
find "$staging" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
mkdir -p "$out_dir"
deb=$out_dir/marvento-cli_${version}_$arch.deb
dpkg-deb --root-owner-group -Zxz --build "$staging" "$deb" >/dev/null
log "$deb: $(stat -c %s "$deb") bytes, sha256 $(sha256sum "$deb" | cut -d' ' -f1)"
