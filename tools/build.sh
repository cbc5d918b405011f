#!/usr/bin/env bash
# Usage: tools/build.sh native|win
# Configures (once) and builds one of the two builds under build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:?native or win}
dir="$root/build/$kind"

case "$kind" in
  native) args=(-DCMAKE_BUILD_TYPE=Debug) ;;
  win) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-posix.cmake") ;;
  *) echo "build.sh: unknown build '$kind'" >&2; exit 2 ;;
esac

[ -f "$dir/CMakeCache.txt" ] || cmake -S "$root" -B "$dir" -G Ninja "${args[@]}" ${QUORVEL_CMAKE_ARGS:-}
cmake --build "$dir" --parallel "$(nproc)"
