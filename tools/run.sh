#!/usr/bin/env bash
# The run command: installs what is missing, builds the Windows programs and
# starts the demo (the program against a simulated mouse) under Wine, on a
# private Xvfb display when there is no display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh" win
exe="$root/build/win/dist/QuorvelDemo.exe"
cd "$(dirname "$exe")"
exec "$root/tools/wine-session.sh" "$root/build/win" wine "$exe"
