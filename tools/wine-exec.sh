#!/usr/bin/env bash
# Runs one Windows program under Wine for ctest: with a time limit, no standard
# input, and its output through a file. Wine's helper processes inherit the pipes
# they are given and keep them open, which would make ctest wait for ever.
# Expects the environment of tools/wine-session.sh (WINEPREFIX, DISPLAY).
set -u
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-exec.sh: no WINEPREFIX; run ctest through tools/wine-session.sh" >&2
  exit 2
fi
out=$(mktemp)
timeout -k 5 "${QUORVEL_WINE_TIMEOUT:-110}" wine "$@" </dev/null >"$out" 2>&1
rc=$?
# Wine writes CRLF for the program's own newlines; ctest's parsers want LF.
tr -d '\r' <"$out"
if [ $rc -eq 124 ]; then
  echo "wine-exec.sh: timed out: $*" >&2
elif [ $rc -ne 0 ] && [ ! -s "$out" ]; then
  # Nothing at all from the program: it never reached main (a Wine start-up
  # failure, or a crash in a static initialiser). Say so with the exit code
  # (above 128: the signal that ended it).
  echo "wine-exec.sh: exit code $rc without any output: $*" >&2
fi
rm -f "$out"
exit $rc
