#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Harmless to run twice:
# packages already present are skipped, and apt is only asked when something is missing.
set -euo pipefail

native=(build-essential cmake ninja-build pkg-config
        libgtest-dev libgmock-dev googletest libbenchmark-dev
        clang clang-tidy libclang-rt-14-dev
        python3 python3-pefile icoutils time)
windows=(g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64
         wine wine32 wine64 xvfb xauth x11-utils imagemagick
         locales fonts-ipafont-gothic fonts-ipafont-mincho)

want=("${native[@]}")
if [ "${1:-}" != "--native-only" ]; then want+=("${windows[@]}"); fi

missing=()
for p in "${want[@]}"; do
  name=${p%%:*}
  case "$p" in wine32) name="wine32:i386" ;; esac
  if ! dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done

sudo_=""
if [ "$(id -u)" != 0 ]; then sudo_="sudo"; fi

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if printf '%s\n' "${missing[@]}" | grep -q '^wine32$'; then
    $sudo_ dpkg --add-architecture i386
  fi
  $sudo_ apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
  echo "setup: all packages present"
fi

# Wine's tests run with a Japanese locale so that the ANSI code page is 932.
if [ "${1:-}" != "--native-only" ] && ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
  $sudo_ sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo_ tee -a /etc/locale.gen >/dev/null
  $sudo_ locale-gen >/dev/null
fi
