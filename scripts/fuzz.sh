#!/usr/bin/env bash
# Builds the fuzz targets (the fuzz preset: clang, libFuzzer, ASan + UBSan)
# and runs each for the given number of seconds over its seed corpus, two at
# a time. Prints a line per target with its executions, the inputs that
# reached new code and its coverage, and exits non-zero when a target
# crashed or broke its property; the input that did it is kept in
# build/fuzz-findings/<target>/ to become a seed once mended, beside the
# target's log.
# Usage: scripts/fuzz.sh <seconds per target>
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
seconds="${1:?seconds per target}"
readonly targets=(barcode burst gb18030 pick_list restore)
readonly at_once=2

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target "${targets[@]/%/_fuzz}" >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
findings="$root/build/fuzz-findings"

# New inputs go to a scratch corpus, so the committed seeds stay as they are.
run_one() {
  local target="$1"
  mkdir -p "$work/$target" "$work/$target.tmp" "$findings/$target"
  TMPDIR="$work/$target.tmp" "build/fuzz/bin/${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings/$target/" -max_len=4096 "$work/$target" "tests/fuzz/corpus/$target" \
    >"$findings/$target.log" 2>&1
}

pids=() failed=()
for target in "${targets[@]}"; do
  run_one "$target" &
  pids+=("$!:$target")
  if [ "${#pids[@]}" -ge "$at_once" ]; then
    for entry in "${pids[@]}"; do wait "${entry%%:*}" || failed+=("${entry#*:}"); done
    pids=()
  fi
done
for entry in "${pids[@]}"; do wait "${entry%%:*}" || failed+=("${entry#*:}"); done

stat() { sed -n "s/^stat::$2: *//p" "$findings/$1.log" | tail -n1; }
for target in "${targets[@]}"; do
  seeds="$(find "tests/fuzz/corpus/$target" -type f | wc -l)"
  coverage="$(grep -oE 'cov: [0-9]+' "$findings/$target.log" | tail -n1 || true)"
  echo "fuzz $target: $(stat "$target" number_of_executed_units) executions in ${seconds} s, $(stat "$target" new_units_added) new inputs over $seeds seeds, ${coverage:-cov: ?} edges"
done
if [ "${#failed[@]}" -gt 0 ]; then
  for target in "${failed[@]}"; do
    echo "fuzz $target FAILED:"
    grep -E 'property broken|ERROR: |SUMMARY|Test unit written' "$findings/$target.log" | head -n 5 || true
  done
  exit 1
fi
