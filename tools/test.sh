#!/usr/bin/env bash
# The test command: installs what is missing, builds both builds and runs every
# test, native first (fast, with sanitizers), then a short run of each fuzz
# target (QUORVEL_FUZZ_SECONDS, default 6; 0 skips it), then the Windows build
# under Wine.
# Extra arguments go to both ctest runs, e.g. -R Settings.
# QUORVEL_TEST_LOAD=N runs N busy processes beside the whole run, to show what a
# loaded machine does to the tests; each is stopped by its own id at the end,
# also when the run fails or is interrupted.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh" || exit 1

load=${QUORVEL_TEST_LOAD:-0}
case "$load" in
  ''|*[!0-9]*) echo "QUORVEL_TEST_LOAD must be a number of busy processes, not '$load'" >&2; exit 2 ;;
esac
load_pids=()
stop_load() {
  local pid
  for pid in "${load_pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${load_pids[@]}"; do wait "$pid" 2>/dev/null; done
  load_pids=()
}
trap stop_load EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
if [ "$load" -gt 0 ]; then
  echo "== $load busy processes beside the run"
  for _ in $(seq "$load"); do
    # A loop of the shell's own: no child of its own to leave behind.
    bash -c 'while :; do :; done' &
    load_pids+=("$!")
  done
fi

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
