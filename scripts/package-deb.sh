#!/usr/bin/env bash
# Builds the command line from scratch and packs it as a Debian package:
#   dist/marvento-cli_X.Y.Z_amd64.deb  with /usr/bin/marvento-cli, its manual page, its
#   bash completion, a machine-readable copyright file and the changelogs; the
#   dependencies are what dpkg-shlibdeps finds the program needs.
# The package is the same byte for byte on every run from the same commit: the build
# path is kept out of the program, and every file is dated from the commit
# (SOURCE_DATE_EPOCH, unless already set), as the Windows zip is.
# A release is compiled, never taken from a compiler cache; --cached (for the check of
# reproducibility, scripts/test-deb.sh) compiles through it, the paths made relative to
# the checkout so that build folders of the same depth share their objects.
#
#   scripts/package-deb.sh [--no-setup] [--cached] [--build-dir DIR] [--out-dir DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

setup=1
cached=0
build_dir=$root/build/deb
out_dir=$root/dist
while [ $# -gt 0 ]; do
  case "$1" in
    --no-setup) setup=0 ;;
    --cached) cached=1 ;;
    --build-dir) build_dir=$(realpath -m "$2"); shift ;;
    --out-dir) out_dir=$(realpath -m "$2"); shift ;;
    *) echo "usage: scripts/package-deb.sh [--no-setup] [--cached] [--build-dir DIR] [--out-dir DIR]" >&2; exit 2 ;;
  esac
  shift
done
log() { echo "package-deb: $*"; }

if [ "$setup" = 1 ]; then bash scripts/setup.sh --native-only; fi
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
umask 022

rm -rf "$build_dir"
log "building marvento-cli in $build_dir"
# Debian's hardening flags; the build and source paths are mapped away so that they
# leave no trace in the program.
if [ "$cached" = 1 ]; then
  export CCACHE_BASEDIR=$root
else
  export CCACHE_DISABLE=1
fi
flags="$(dpkg-buildflags --get CXXFLAGS) -ffile-prefix-map=$root=. -ffile-prefix-map=$build_dir=."
CXXFLAGS="$flags" CPPFLAGS="$(dpkg-buildflags --get CPPFLAGS)" LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DMARVENTO_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build_dir" -j "${MARVENTO_JOBS:-2}" --target marvento-cli >/dev/null

version=$(sed -n 's/^#define MARVENTO_VERSION "\(.*\)"$/\1/p' "$build_dir/generated/marvento_version.h")
arch=$(dpkg --print-architecture)
package=marvento-cli
stage=$build_dir/stage
rm -rf "$stage"
DESTDIR=$stage cmake --install "$build_dir" --strip >/dev/null
doc=$stage/usr/share/doc/$package
install -d "$doc"
install -m 644 packaging/copyright "$doc/copyright"
gzip -9n <CHANGELOG.md >"$doc/CHANGELOG.md.gz"
# A native package's changelog.gz is in Debian's format; it points to the project's own.
{
  printf '%s (%s) unstable; urgency=medium\n\n' "$package" "$version"
  printf '  * Release %s; CHANGELOG.md.gz says what changed.\n\n' "$version"
  printf ' -- The Marvento authors <marvento@users.noreply.github.com>  %s\n' \
    "$(LC_ALL=C date -u -R -d "@$SOURCE_DATE_EPOCH")"
} | gzip -9n >"$doc/changelog.gz"
gzip -9n "$stage/usr/share/man/man1/marvento-cli.1"

# Dependencies of the program as dpkg-shlibdeps finds them (it wants a debian/control).
shlibs=$build_dir/shlibs
install -d "$shlibs/debian"
printf 'Source: marvento\n\nPackage: %s\nArchitecture: any\n' "$package" >"$shlibs/debian/control"
depends=$(cd "$shlibs" && dpkg-shlibdeps -O "$stage/usr/bin/marvento-cli" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')

install -d "$stage/DEBIAN"
size=$(du -k -s --apparent-size --exclude=DEBIAN "$stage" | cut -f1)
cat >"$stage/DEBIAN/control" <<CONTROL
Package: $package
Version: $version
Architecture: $arch
Maintainer: The Marvento authors <marvento@users.noreply.github.com>
Installed-Size: $size
Depends: $depends
Section: utils
Priority: optional
Description: list and change the fonts of Windows XP visual styles
 marvento-cli reads a Windows XP visual-style file (.msstyles), lists every font
 setting it holds as a table, as JSON or as tab-separated rows, writes a rebuilt
 copy with other faces, sizes and options, and compares two such files.
CONTROL
# Same permissions and dates whatever the umask and the checkout time.
find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod 644 {} +
chmod 755 "$stage/usr/bin/marvento-cli"
find "$stage" -exec touch --no-dereference --date="@$SOURCE_DATE_EPOCH" {} +

install -d "$out_dir"
deb=$out_dir/${package}_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
log "wrote $deb"
