# shellcheck shell=bash
# Sourced by test-windows.sh, run.sh and screenshot.sh. Picks the Windows build that
# can run on this machine, builds it, and makes a Wine prefix that reports Windows XP
# with a Japanese locale (ANSI code page 932) inside that build tree.
#
# Marvento.exe proper is the i686 build (preset "mingw"). Some machines cannot execute
# 32-bit processes at all (no 32-bit Wine then); there the same sources are built for
# x86_64 (preset "mingw64") and run under 64-bit Wine.
#
# MARVENTO_NO_WINE32=1 takes that path on a machine whose 32-bit Wine works too, so that
# both paths can be tried on one machine.

wine_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
wine_jobs=${MARVENTO_JOBS:-2}

wine_log() { echo "windows: $*"; }

# Sets wine_preset, wine_build_dir and MARVENTO_WINE (the loader to use).
wine_pick_build() {
  local wine32=/usr/lib/wine/wine wine64=/usr/lib/wine/wine64
  wine_preset=mingw64
  if [ "${MARVENTO_NO_WINE32:-}" = 1 ]; then
    export MARVENTO_WINE=$wine64
    wine_log "MARVENTO_NO_WINE32=1: as on a machine without 32-bit processes,"
    wine_log "  the x86_64 build of the same sources (preset mingw64) is run under 64-bit Wine;"
    wine_log "  the i686 XP build is still built and its imports are checked"
  elif [ -x "$wine32" ] && command -v i686-w64-mingw32-gcc >/dev/null && wine_can_run_32bit "$wine32"; then
    wine_preset=mingw
    export MARVENTO_WINE=$wine32
    wine_log "32-bit Wine works here: testing the i686 (Windows XP) build"
  else
    export MARVENTO_WINE=$wine64
    wine_log "32-bit processes cannot run on this machine (no working 32-bit Wine):"
    wine_log "  the x86_64 build of the same sources (preset mingw64) is run under 64-bit Wine;"
    wine_log "  the i686 XP build is still built and its imports are checked"
  fi
  if [ ! -x "$MARVENTO_WINE" ]; then
    wine_log "Wine is missing ($MARVENTO_WINE); run scripts/setup.sh"
    return 1
  fi
  wine_build_dir=$wine_root/build/$wine_preset
}

# A tiny i686 program must start and print under 32-bit Wine. It runs in the prefix the
# i686 build's tests use (wine_prefix finishes it): Wine makes a prefix only once.
wine_can_run_32bit() {
  local loader=$1 dir=$wine_root/build/wine-probe32 prefix=$wine_root/build/mingw/wine-prefix
  mkdir -p "$dir"
  # The loader itself is a 32-bit Linux program; a kernel without 32-bit support
  # refuses it before anything else happens.
  if ! "$loader" --version >/dev/null 2>&1; then return 1; fi
  printf '#include <stdio.h>\nint main(void){puts("marvento-32bit-ok");return 0;}\n' >"$dir/probe.c"
  i686-w64-mingw32-gcc -o "$dir/probe.exe" "$dir/probe.c" || return 1
  local out
  if [ ! -f "$prefix/system.reg" ]; then rm -rf "$prefix"; fi
  mkdir -p "${prefix%/*}"
  out=$(WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        timeout 300 "$loader" "$dir/probe.exe" 2>/dev/null) || true
  WINEPREFIX=$prefix timeout 30 "${loader%/*}/wineserver" -w 2>/dev/null || true
  if [[ "$out" == *marvento-32bit-ok* ]]; then return 0; fi
  rm -rf "$prefix"
  return 1
}

# Configures and builds a MinGW preset (the cross build of program and tests). The
# compiler cache keys paths relative to the checkout, as scripts/package.sh --cached does.
wine_build() {
  local preset=$1
  shift
  (cd "$wine_root" && export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$wine_root} && cmake --preset "$preset" -DMARVENTO_WINE_TESTS=ON >/dev/null &&
     cmake --build --preset "$preset" -j "$wine_jobs" "$@")
}

# The i686 build where it cannot run: the two programs and what the PE checks read.
wine_build_programs_only() {
  (cd "$wine_root" && export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$wine_root} && cmake --preset mingw -DMARVENTO_WINE_TESTS=OFF >/dev/null &&
     cmake --build --preset mingw -j "$wine_jobs")
}

# Starts Xvfb on a free display for each of N lanes (default 1) unless told to use an
# existing display (MARVENTO_DISPLAY, then one lane). Exports DISPLAY (the first) and
# MARVENTO_LANE_DISPLAYS (all, in lane order) and sets wine_lanes to their number.
wine_start_display() {
  local want=${1:-1}
  if [ -n "${MARVENTO_DISPLAY:-}" ]; then
    export DISPLAY=$MARVENTO_DISPLAY MARVENTO_LANE_DISPLAYS=$MARVENTO_DISPLAY
    wine_lanes=1
    return 0
  fi
  local n i pid displays=()
  wine_xvfb_pids=()
  for n in $(seq 91 140); do
    if [ "${#displays[@]}" -ge "$want" ]; then break; fi
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      pid=$!
      wine_xvfb_pids+=("$pid")
      for i in $(seq 1 50); do
        if [ -e "/tmp/.X11-unix/X$n" ]; then
          displays+=(":$n")
          break
        fi
        sleep 0.1
      done
      if [ "${displays[-1]:-}" != ":$n" ]; then kill "$pid" 2>/dev/null || true; fi
    fi
  done
  if [ "${#displays[@]}" -eq 0 ]; then
    wine_log "no free X display for Xvfb"
    return 1
  fi
  export DISPLAY=${displays[0]} MARVENTO_LANE_DISPLAYS="${displays[*]}"
  wine_lanes=${#displays[@]}
}

wine_server() { "${MARVENTO_WINE%/*}/wineserver" "$@"; }

# Exports the Wine environment for a prefix inside the build tree, making the prefix
# on first use: Windows XP, Japanese locale, IPA fonts standing in for the Japanese
# faces of XP. wine_prefix [NAME [MANAGED]]: windows are unmanaged (MANAGED=N, the
# default) on the virtual display, which has no window manager.
wine_prefix() {
  local name=${1:-wine-prefix} managed=${2:-N}
  export WINEPREFIX=$wine_build_dir/$name
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  local lang=${MARVENTO_LANG:-ja_JP.UTF-8}  # en_US.UTF-8 for the English interface
  export LANG=$lang LC_ALL=$lang
  export MARVENTO_WINEPREFIX=$WINEPREFIX
  if [ -f "$WINEPREFIX/.marvento-ready" ]; then return 0; fi
  # A prefix that Wine finished making (the 32-bit probe's) is set up further; a
  # half-made one is made anew.
  if [ -f "$WINEPREFIX/system.reg" ]; then
    wine_log "setting up the Wine prefix $WINEPREFIX"
  else
    wine_log "making the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    "$MARVENTO_WINE" wineboot -i >/dev/null 2>&1
  fi
  local reg=("$MARVENTO_WINE" reg add)
  "${reg[@]}" 'HKCU\Software\Wine' /v Version /d winxp /f >/dev/null 2>&1
  "${reg[@]}" 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1
  # MARVENTO_FONTS=wine keeps Wine's own font metrics (dialog base units near those of
  # the Japanese XP fonts) instead of the wider IPA faces standing in for them.
  if [ "${MARVENTO_FONTS:-ipa}" != wine ]; then
    local face
    for face in 'ＭＳ Ｐゴシック' 'MS PGothic' 'MS UI Gothic'; do
      "${reg[@]}" 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic /f >/dev/null 2>&1
    done
    "${reg[@]}" 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d IPAGothic /f >/dev/null 2>&1
  fi
  wine_server -w
  touch "$WINEPREFIX/.marvento-ready"
}

# Makes the second prefix, with Wine's own font metrics, beside the first and exports its
# path as MARVENTO_WINEFONTS_PREFIX; the tests that set MARVENTO_FONTS=wine run in it.
# After wine_prefix (IPA fonts) it is a copy of the first without the font replacements:
# a copy costs far less than making a prefix.
wine_prefix_wine_fonts() {
  export MARVENTO_WINEFONTS_PREFIX=$wine_build_dir/wine-prefix-winefonts
  local copy=$MARVENTO_WINEFONTS_PREFIX
  if [ -f "$copy/.marvento-ready" ]; then return 0; fi
  if [ "${MARVENTO_FONTS:-ipa}" != wine ] && [ -f "${WINEPREFIX:-}/.marvento-ready" ]; then
    wine_log "making the Wine prefix $copy (a copy of $WINEPREFIX with Wine's own fonts)"
    rm -rf "$copy"
    cp -a "$WINEPREFIX" "$copy"
    rm -f "$copy/.marvento-ready"
    WINEPREFIX=$copy "$MARVENTO_WINE" reg delete 'HKCU\Software\Wine\Fonts\Replacements' /f >/dev/null 2>&1
    WINEPREFIX=$copy wine_server -w
    touch "$copy/.marvento-ready"
    return 0
  fi
  (MARVENTO_FONTS=wine wine_prefix wine-prefix-winefonts)
}

# Lanes 1 and up (wine-run.sh) run in copies of the two prefixes, WINEPREFIX.laneN and
# MARVENTO_WINEFONTS_PREFIX.laneN: a server and desktop of their own, and a copy costs
# far less than making a prefix.
wine_lane_prefixes() {
  local lane prefix
  for ((lane = 1; lane < wine_lanes; lane++)); do
    for prefix in "$WINEPREFIX" "$MARVENTO_WINEFONTS_PREFIX"; do
      if [ ! -f "$prefix.lane$lane/.marvento-ready" ]; then
        rm -rf "$prefix.lane$lane"
        cp -a "$prefix" "$prefix.lane$lane"
      fi
    done
  done
}

# The prefix of each lane, one a line.
wine_lane_prefix_list() {
  local lane
  echo "$WINEPREFIX"
  for ((lane = 1; lane < ${wine_lanes:-1}; lane++)); do echo "$WINEPREFIX.lane$lane"; done
}

wine_stop() {
  local prefix pid
  if [ -n "${WINEPREFIX:-}" ] && [ -n "${MARVENTO_WINE:-}" ]; then
    while read -r prefix; do
      WINEPREFIX=$prefix wine_server -k 2>/dev/null || true
    done < <(wine_lane_prefix_list)
  fi
  for pid in ${wine_xvfb_pids[@]+"${wine_xvfb_pids[@]}"}; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  wine_xvfb_pids=()
}

# Wine's own visual style, light.msstyles, of each build of Wine, one path a line, as
# cmake/wine_themes.txt says where they lie; with --installed only those that are there.
wine_themes() {
  local label path
  while read -r label path; do
    case "$label" in '' | '#'*) continue ;; esac
    if [ "${1:-}" != --installed ] || [ -f "$path" ]; then echo "$path"; fi
  done <"$wine_root/cmake/wine_themes.txt"
}

# The first one installed; fails when there is none.
wine_light_msstyles() {
  local first
  first=$(wine_themes --installed | head -n 1)
  [ -n "$first" ] && echo "$first"
}
