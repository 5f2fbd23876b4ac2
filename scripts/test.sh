#!/usr/bin/env bash
# Sets up, builds and runs every test: the native suite, the same suite under
# ASan+UBSan, and (unless --native-only) the Windows build under Wine and the
# release zip.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-}

bash scripts/setup.sh $mode

jobs=$(nproc)
cmake --preset debug >/dev/null
cmake --build --preset debug -j "$jobs"
ctest --preset debug -j "$jobs"

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

if [ "$mode" != "--native-only" ]; then
  bash scripts/test-windows.sh
  bash scripts/test-package.sh
  bash scripts/fuzz.sh --fixed
fi
