#!/usr/bin/env bash
# Starts Marvento.exe under Wine (reporting Windows XP) on a virtual display, drives it
# like a user (Wine's light.msstyles loaded through the real open dialog, a size cell
# clicked, the bulk font-name combo dropped down with every face drawn in itself, the
# mouse on a row with its sample shown, the About box opened) and saves a PNG of the
# screen at each step, on a Japanese interface and on an English one, each with the
# project's fonts (IPA faces for the Japanese XP ones) and with Wine's own font metrics;
# last, a size typed into the size editor (24) before the close box discards the edit:
#   build/<preset>/screenshots{,-en}{,-winefonts}/{1-before-load,2-after-load,3-size-editor,
#                                   4-faces,5-sample,6-about,7-context-menu,8-typed-size}.png
#
#   scripts/screenshot.sh [--no-setup] [THEME]   (THEME: another theme file to load)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=wine-env.sh
source scripts/wine-env.sh

if [ "${1:-}" = "--no-setup" ]; then shift; else bash scripts/setup.sh; fi

wine_pick_build
trap wine_stop EXIT
wine_build "$wine_preset" --target Marvento marvento_driver
wine_start_display
wine_prefix
wine_prefix_wine_fonts

if [ -n "${1:-}" ]; then
  light=$(realpath "$1")
else
  light=$(wine_light_msstyles) || { wine_log "Wine's light.msstyles not found"; exit 1; }
fi
status=0

# One run of the driver in a locale, with the screen captured at every sync point.
shoot() {
  local lang=$1 out=$2 prefix=${3:-$WINEPREFIX} sync driver
  sync=$out/sync
  rm -rf "$out"
  mkdir -p "$sync"
  WINEPREFIX=$prefix LANG=$lang LC_ALL=$lang "$MARVENTO_WINE" "$wine_build_dir/tests/windows/marvento_driver.exe" --sync-dir "Z:$sync" \
    "Z:$wine_build_dir/app/Marvento.exe" -- \
    expect-dialog sync 1-before-load load "Z:$light" sync 2-after-load \
    click-cell 1 4 sync 3-size-editor drop-faces 4-faces hover-row 8 sync 5-sample about show-context-menu 7-context-menu \
    type-size 1 24 written sync 8-typed-size close-box-asks yes \
    >"$out/driver.log" 2>&1 &
  driver=$!

  # Captures the screen whenever the driver waits at a sync point.
  while kill -0 "$driver" 2>/dev/null; do
    for ready in "$sync"/*.ready; do
      [ -e "$ready" ] || continue
      name=$(basename "$ready" .ready)
      [ -e "$sync/$name.done" ] && continue
      sleep 0.5  # let the last paint reach the X server
      import -window root "$out/$name.full.png"
      # The desktop of Xvfb is black: cut the picture down to the windows on it.
      convert "$out/$name.full.png" -bordercolor black -border 1 -trim +repage "$out/$name.png"
      rm -f "$out/$name.full.png"
      touch "$sync/$name.done"
      wine_log "saved $out/$name.png"
    done
    sleep 0.2
  done
  wait "$driver" || status=$?
  cat "$out/driver.log"
  # The driver names the About box's sync point itself; keep the numbered order.
  if [ -e "$out/about.png" ]; then mv "$out/about.png" "$out/6-about.png"; fi
  rm -rf "$sync"
}

shoot ja_JP.UTF-8 "$wine_build_dir/screenshots"
shoot en_US.UTF-8 "$wine_build_dir/screenshots-en"
shoot ja_JP.UTF-8 "$wine_build_dir/screenshots-winefonts" "$MARVENTO_WINEFONTS_PREFIX"
shoot en_US.UTF-8 "$wine_build_dir/screenshots-en-winefonts" "$MARVENTO_WINEFONTS_PREFIX"
exit "$status"
