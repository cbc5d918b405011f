#!/usr/bin/env bash
# Draws the program icon (res/quorvel.ico) with ImageMagick: a mouse outline
# with its two buttons and wheel, at the sizes Windows asks for.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 256x256 xc:none \
  -fill '#1b1f27' -stroke '#3fd0ff' -strokewidth 10 \
  -draw 'roundrectangle 58,18 198,238 70,70' \
  -stroke '#3fd0ff' -strokewidth 8 -draw 'line 128,22 128,108' -draw 'line 62,108 194,108' \
  -fill '#3fd0ff' -stroke none -draw 'roundrectangle 118,44 138,84 10,10' \
  "$tmp/icon.png"
convert "$tmp/icon.png" -define icon:auto-resize=256,48,32,16 "$root/res/quorvel.ico"
