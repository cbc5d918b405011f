#!/usr/bin/env bash
# Usage: tools/build.sh native|win|fuzz
# Configures (once) and builds one of the builds under build/: the native and
# Windows builds, or the libFuzzer targets (clang, native).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:?native, win or fuzz}
dir="$root/build/$kind"

case "$kind" in
  native) args=(-DCMAKE_BUILD_TYPE=Debug) ;;
  win) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-posix.cmake") ;;
  fuzz) args=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
              -DQUORVEL_FUZZ=ON -DBUILD_TESTING=OFF) ;;
  *) echo "build.sh: unknown build '$kind'" >&2; exit 2 ;;
esac

[ -f "$dir/CMakeCache.txt" ] || cmake -S "$root" -B "$dir" -G Ninja "${args[@]}" ${QUORVEL_CMAKE_ARGS:-}
if [ "$kind" = fuzz ]; then
  cmake --build "$dir" --parallel "$(nproc)" --target quorvel_fuzz
else
  cmake --build "$dir" --parallel "$(nproc)"
fi
