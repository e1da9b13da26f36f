#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a share of a time budget.
# Usage: tools/run-fuzzers.sh BUILD_DIR [SECONDS]   (default 30 s in all)
# Prints each target's final libFuzzer status line; fails if any target finds a
# crash, a sanitizer report, a leak or a timeout. The corpus found is kept under
# BUILD_DIR/fuzz-corpus, so later runs start where earlier ones stopped.
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR [SECONDS]}
seconds=${2:-30}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
fuzz_dir=$source_dir/tests/fuzz

shopt -s nullglob
targets=("$build"/tests/fuzz/*_fuzzer)
if [ ${#targets[@]} -eq 0 ]; then
  echo "run-fuzzers: no fuzz targets in $build/tests/fuzz (build the fuzz preset first)" >&2
  exit 1
fi
share=$((seconds / ${#targets[@]}))
[ "$share" -ge 1 ] || share=1

failed=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus=$build/fuzz-corpus/$name
  artifacts=$build/fuzz-artifacts/$name
  log=$build/fuzz-logs/$name.log
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"

  args=(-max_total_time="$share" -timeout=10 -print_final_stats=1
        -artifact_prefix="$artifacts/")
  [ -f "$fuzz_dir/$name.dict" ] && args+=(-dict="$fuzz_dir/$name.dict")
  # New inputs go to the first directory; the checked-in seeds are only read.
  dirs=("$corpus")
  [ -d "$fuzz_dir/seeds/$name" ] && dirs+=("$fuzz_dir/seeds/$name")

  if "$target" "${args[@]}" "${dirs[@]}" >"$log" 2>&1; then
    done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true)
    exec_per_sec=$(sed -n 's/^stat::average_exec_per_sec:[[:space:]]*//p' "$log" | tail -n 1)
    runs=$(sed -n 's/^stat::number_of_executed_units:[[:space:]]*//p' "$log" | tail -n 1)
    echo "$name: ${runs:-?} runs in ${share} s, ${exec_per_sec:-?} exec/s"
    echo "  ${done_line:-no final status line}"
  else
    failed=1
    echo "$name: FAILED (log: $log, reproducer in $artifacts/)"
    grep -E 'ERROR:|check failed|SUMMARY:|runtime error' "$log" | head -n 10 | sed 's/^/  /' || true
  fi
done

if [ "$failed" -ne 0 ]; then
  echo "run-fuzzers: a target failed"
  exit 1
fi
echo "run-fuzzers: ${#targets[@]} targets, no findings"
