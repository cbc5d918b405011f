#!/usr/bin/env bash
# Usage: tools/wine-session.sh BUILD_DIR COMMAND [ARGS...]
# Runs COMMAND with a Wine prefix of BUILD_DIR's own (created on first use), a
# persistent wineserver, and a display: the current one, or a private Xvfb on a
# free display when there is none. Everything it started is stopped afterwards.
set -euo pipefail
build_dir=$(cd "$1" && pwd)
shift

export WINEPREFIX="$build_dir/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installers: there is no network, and their dialogs would wait.
export WINEDLLOVERRIDES="mscoree=;mshtml="

xvfb_pid=
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

# The wineserver must see the display from its first start, so the display comes first.
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 190); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
      export DISPLAY=":$n"
      break
    fi
    xvfb_pid=
  done
  [ -n "${DISPLAY:-}" ] || { echo "wine-session.sh: no free X display for Xvfb" >&2; exit 1; }
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  timeout 300 wineboot -i </dev/null >/dev/null 2>&1
  wineserver -w
fi
wineserver -p
"$@"
