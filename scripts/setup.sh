#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Harmless to run twice:
# packages already present are skipped, and apt is only asked when something is missing.
set -euo pipefail

native=(build-essential cmake ninja-build pkg-config ccache
        libgtest-dev libgmock-dev googletest libbenchmark-dev
        clang clang-tidy libclang-rt-14-dev
        python3 python3-pefile icoutils time
        nlohmann-json3-dev libcli11-dev libutfcpp-dev
        dpkg-dev lintian bash-completion)
windows=(g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-common
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

# Wine's tests run the program once with a Japanese locale (ANSI code page 932, Japanese
# texts) and once with an English one (code page 1252, English texts).
if [ "${1:-}" != "--native-only" ]; then
  generate=0
  for loc in ja_JP en_US; do
    if ! locale -a 2>/dev/null | grep -qi "^$loc\.utf8$"; then
      $sudo_ sed -i "s/^# *$loc.UTF-8 UTF-8/$loc.UTF-8 UTF-8/" /etc/locale.gen
      grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen || echo "$loc.UTF-8 UTF-8" | $sudo_ tee -a /etc/locale.gen >/dev/null
      generate=1
    fi
  done
  if [ "$generate" = 1 ]; then $sudo_ locale-gen >/dev/null; fi
fi
