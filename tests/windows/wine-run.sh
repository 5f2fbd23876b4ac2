#!/usr/bin/env bash
# ctest's emulator for the cross-built tests: runs a Windows program under the Wine
# loader, prefix and display that scripts/test-windows.sh prepared.
set -euo pipefail
if [ -z "${MARVENTO_WINE:-}" ] || [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-run: run the Windows tests through scripts/test-windows.sh (MARVENTO_WINE, WINEPREFIX unset)" >&2
  exit 2
fi
# A test in lane N of ctest's resource "wine_lane" (test-windows.sh) runs on that lane's
# display, in its copies of the prefixes (lane 0: the prefixes themselves).
lane=${CTEST_RESOURCE_GROUP_0_WINE_LANE:-}
if [ -n "$lane" ]; then
  lane=${lane#id:lane}
  lane=${lane%%,*}
  read -r -a displays <<<"${MARVENTO_LANE_DISPLAYS:-$DISPLAY}"
  export DISPLAY=${displays[$lane]}
  if [ "$lane" != 0 ]; then
    export WINEPREFIX=$WINEPREFIX.lane$lane
    if [ -n "${MARVENTO_WINEFONTS_PREFIX:-}" ]; then
      export MARVENTO_WINEFONTS_PREFIX=$MARVENTO_WINEFONTS_PREFIX.lane$lane
    fi
  fi
fi
# Wine's own font metrics when a test asks for them (MARVENTO_FONTS=wine), in the second
# prefix that test-windows.sh made.
if [ "${MARVENTO_FONTS:-}" = wine ] && [ -n "${MARVENTO_WINEFONTS_PREFIX:-}" ]; then
  export WINEPREFIX=$MARVENTO_WINEFONTS_PREFIX
fi
# Japanese unless a test asks for another locale (MARVENTO_LANG=en_US.UTF-8).
lang=${MARVENTO_LANG:-ja_JP.UTF-8}
export WINEDEBUG=${WINEDEBUG:--all} LANG=$lang LC_ALL=$lang
exec "$MARVENTO_WINE" "$@"
