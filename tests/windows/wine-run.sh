#!/usr/bin/env bash
# ctest's emulator for the cross-built tests: runs a Windows program under the Wine
# loader, prefix and display that scripts/test-windows.sh prepared.
set -euo pipefail
if [ -z "${MARVENTO_WINE:-}" ] || [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-run: run the Windows tests through scripts/test-windows.sh (MARVENTO_WINE, WINEPREFIX unset)" >&2
  exit 2
fi
export WINEDEBUG=${WINEDEBUG:--all} LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
exec "$MARVENTO_WINE" "$@"
