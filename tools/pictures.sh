#!/usr/bin/env bash
# The pictures command: builds the Windows build and takes the README's
# pictures again into docs/pictures (the main window on each page and every
# box and popup it opens, English and Russian), from the picture program that
# runs the program against the demo's simulated mouse under Wine. It always
# uses a private Xvfb screen, so that no other window gets into a picture.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh" win
out="$root/docs/pictures"
mkdir -p "$out"
rm -f "$out"/*.png
win_out="Z:${out//\//\\}"
env -u DISPLAY "$root/tools/wine-session.sh" "$root/build/win" \
  env QUORVEL_WINE_TIMEOUT=600 "$root/tools/wine-exec.sh" "$root/build/win/tests/readme_pictures.exe" "$win_out"
ls "$out"
