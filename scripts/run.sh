#!/usr/bin/env bash
# Sets up, builds and starts Marvento.exe under Wine, reporting Windows XP with the
# Japanese code page 932, on your X display ($DISPLAY).
#
#   scripts/run.sh [--no-setup]
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=wine-env.sh
source scripts/wine-env.sh

if [ "${1:-}" = "--no-setup" ]; then shift; else bash scripts/setup.sh; fi

if [ -z "${DISPLAY:-}" ]; then
  wine_log "DISPLAY is not set: run this from your desktop session"
  wine_log "(scripts/screenshot.sh runs the program on a virtual display instead)"
  exit 1
fi

wine_pick_build
wine_build "$wine_preset" --target Marvento
# A prefix of its own, with windows managed by your window manager.
wine_prefix wine-prefix-run Y
wine_log "starting $wine_build_dir/app/Marvento.exe on $DISPLAY"
exec "$MARVENTO_WINE" "$wine_build_dir/app/Marvento.exe"
