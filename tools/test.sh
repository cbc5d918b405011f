#!/usr/bin/env bash
# The test command: installs what is missing, builds both builds and runs every
# test, native first (fast, with sanitizers), then the Windows build under Wine.
# Extra arguments go to both ctest runs, e.g. -R Settings.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh" || exit 1

status=0
echo "== native build"
if "$root/tools/build.sh" native; then
  ctest --test-dir "$root/build/native" --output-on-failure -j "$(nproc)" "$@" || status=1
else
  status=1
fi

echo "== Windows build under Wine"
if "$root/tools/build.sh" win; then
  "$root/tools/wine-session.sh" "$root/build/win" \
    ctest --test-dir "$root/build/win" --output-on-failure -j "$(nproc)" "$@" || status=1
else
  status=1
fi
exit $status
