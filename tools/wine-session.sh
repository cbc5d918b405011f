#!/usr/bin/env bash
# Usage: tools/wine-session.sh BUILD_DIR COMMAND [ARGS...]
# Runs COMMAND with a Wine prefix of BUILD_DIR's own (created on first use), a
# persistent wineserver, and a display: the current one, or a private Xvfb on a
# free display when there is none. Everything it started is stopped afterwards.
set -euo pipefail
build_dir=$(cd "$1" && pwd)
shift

# One session per prefix at a time. Two sessions on one prefix share its
# wineserver: the low-level keyboard hook of one test program takes the real
# keys another sends, focus and capture move between them, and the first
# session to end stops the other's programs with the server. A second session
# therefore waits for the first; a session started from inside one runs in it.
if [ "${QUORVEL_WINE_SESSION:-}" = "$build_dir" ]; then
  exec "$@"
fi
exec 9>"$build_dir/wine-session.lock"
if ! flock -n 9; then
  echo "wine-session.sh: waiting for the other Wine session on $build_dir" >&2
  flock 9
fi
export QUORVEL_WINE_SESSION="$build_dir"

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
  # Xvfb chooses a free display itself and tells its number once it listens:
  # sessions that start at the same moment never end up sharing one display
  # (which the first to end would take away from the others).
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 9>&- &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  n=$(head -n 1 "$display_file")
  rm -f "$display_file"
  if [ -z "$n" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "wine-session.sh: Xvfb did not start" >&2
    exit 1
  fi
  export DISPLAY=":$n"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  timeout 300 wineboot -i </dev/null >/dev/null 2>&1 9>&-
  wineserver -w
fi
# The servers and services started here do not hold the lock: one left behind
# must not keep the next session waiting.
wineserver -p 9>&-
# Xvfb runs no window manager, and Wine waits up to two seconds for one each
# time it hides or destroys a top-level window it thinks managed: every box and
# popup of a test would cost two seconds. Unmanaged windows skip the wait.
if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1 9>&-
fi
"$(dirname "$0")/wine-fonts.sh" 9>&-
"$@"
