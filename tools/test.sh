#!/usr/bin/env bash
# The test command: installs what is missing, builds both builds and runs every
# test, native first (fast, with sanitizers), then a short run of each fuzz
# target (QUORVEL_FUZZ_SECONDS, default 6; 0 skips it), then the Windows build
# under Wine.
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

fuzz_seconds=${QUORVEL_FUZZ_SECONDS:-6}
if [ "$fuzz_seconds" != 0 ]; then
  echo "== fuzz targets, $fuzz_seconds s each"
  if "$root/tools/build.sh" fuzz; then
    for corpus in "$root"/fuzz/corpus/*/; do
      name=$(basename "$corpus")
      # fuzz/corpus/NAME/ holds the seeds of the target NAME_fuzz.
      target="$root/build/fuzz/fuzz/${name}_fuzz"
      [ -x "$target" ] || { echo "fuzz: no target for the corpus $name" >&2; status=1; continue; }
      # New inputs go to a scratch folder, so the committed seeds stay as they are.
      scratch=$(mktemp -d)
      if "$target" -max_total_time="$fuzz_seconds" -max_len=4096 -timeout=10 "$scratch" "$corpus" \
          >"$scratch.log" 2>&1; then
        echo "fuzz $(basename "$target"): $(tail -n 1 "$scratch.log")"
      else
        tail -n 40 "$scratch.log"
        echo "fuzz $(basename "$target"): FAILED" >&2
        status=1
      fi
      rm -rf "$scratch" "$scratch.log"
    done
  else
    status=1
  fi
fi

echo "== Windows build under Wine"
if "$root/tools/build.sh" win; then
  "$root/tools/wine-session.sh" "$root/build/win" \
    ctest --test-dir "$root/build/win" --output-on-failure -j "$(nproc)" "$@" || status=1
else
  status=1
fi
exit $status
