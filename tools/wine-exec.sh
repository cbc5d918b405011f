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
# A program that ends non-zero without printing anything never reached main.
# Now and then Wine itself fails to start a program that way under load (with
# WINEDEBUG=-all it says nothing about it); a fault of the program's own before
# main fails again on the next start, so one more start tells the two apart.
for attempt in 1 2; do
  timeout -k 5 "${QUORVEL_WINE_TIMEOUT:-110}" wine "$@" </dev/null >"$out" 2>&1
  rc=$?
  if [ $rc -eq 0 ] || [ $rc -eq 124 ] || [ -s "$out" ] || [ $attempt -eq 2 ]; then
    break
  fi
  echo "wine-exec.sh: exit code $rc without any output, starting it once more: $*" >&2
done
# Wine writes CRLF for the program's own newlines; ctest's parsers want LF.
tr -d '\r' <"$out"
if [ $rc -eq 124 ]; then
  echo "wine-exec.sh: timed out: $*" >&2
elif [ $rc -ne 0 ] && [ ! -s "$out" ]; then
  # Nothing at all from the program twice: a crash in a static initialiser, or
  # Wine cannot start it. Say so with the exit code (above 128: the signal).
  echo "wine-exec.sh: exit code $rc without any output: $*" >&2
fi
rm -f "$out"
exit $rc
