#!/usr/bin/env bash
# Runs every fuzzer of the fuzz preset for SECONDS each (default 60) on a scratch copy of its
# seed corpus (tools/corpus/<fuzzer>), so the run never changes the repository. A crash fails
# the run; the input that crashed is left in build/fuzz/artifacts/<fuzzer>/ — add it to the
# fuzzer's corpus folder as a regression seed once the fault is mended.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bin=build/fuzz/bin
[[ -d $bin ]] || { echo "run_fuzzers: $bin is missing; run 'make fuzz' first" >&2; exit 1; }
status=0
for fuzzer in "$bin"/fuzz_*; do
  name=$(basename "$fuzzer")
  seeds=tools/corpus/$name
  [[ -d $seeds ]] || { echo "run_fuzzers: $name has no seed corpus ($seeds)" >&2; exit 1; }
  scratch=$(mktemp -d)
  artifacts=build/fuzz/artifacts/$name
  mkdir -p "$artifacts"
  cp -r "$seeds"/. "$scratch"/
  if "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts/" "$scratch" \
      > "build/fuzz/$name.log" 2>&1; then
    echo "$name: $(grep -E '^#[0-9]+[[:space:]]+DONE' "build/fuzz/$name.log" | tail -1)"
  else
    echo "$name: FAILED (see build/fuzz/$name.log and $artifacts)" >&2
    tail -n 30 "build/fuzz/$name.log" >&2
    status=1
  fi
  rm -rf "$scratch"
done
exit $status
