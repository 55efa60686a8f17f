#!/usr/bin/env bash
# Builds every target and runs every test: the portable core natively with
# AddressSanitizer and UndefinedBehaviorSanitizer, the 64-bit Windows build
# under Wine's 64-bit loader, and the 32-bit build as far as this machine
# runs 32-bit programs: all its suites where it runs them natively, one
# acceptance program where they run only emulated, nothing where neither.
# Exits non-zero when anything fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
. scripts/env.sh
. scripts/wine-session.sh
. scripts/postgres-session.sh

# Under emulation one Wine process takes about a minute to start; the
# acceptance program's own waits are long, this bounds the whole of it.
readonly emulated_limit_s=600

failed=()
ran=()
passed_total=0
failed_total=0
logs="$root/build/test-logs"
mkdir -p "$logs"
started=$SECONDS

build() {
  echo "== build $1"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

# Counts from ctest's closing line: "NN% tests passed, F tests failed out of T".
count_ctest() {
  local line total bad
  line="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$2" | tail -n1)"
  total="$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")"
  bad="$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")"
  total="${total:-0}" bad="${bad:-0}"
  passed_total=$((passed_total + total - bad))
  failed_total=$((failed_total + bad))
  ran+=("$1: $((total - bad)) of $total tests passed")
}

run_tests() {
  echo "== test $1"
  local log="$logs/$1.log"
  ctest --preset "$1" 2>&1 | tee "$log" || failed+=("$1")
  count_ctest "$1" "$log"
}

run_emulated_acceptance() {
  echo "== test win32 (emulated): pellion_acceptance, one process"
  local log="$logs/win32-emulated.log" rc=0
  # To a file, not a pipe: a Wine service started on the way may keep a
  # pipe open long after the program has ended.
  timeout --kill-after=10 "$emulated_limit_s" scripts/wine-run.sh 32 build/win32/bin/pellion_acceptance.exe \
    >"$log" 2>&1 </dev/null || rc=$?
  cat "$log"
  if [ "$rc" = 0 ]; then
    passed_total=$((passed_total + 1))
    ran+=("win32 emulated: acceptance program passed")
  elif grep -q '^\[  FAILED  \]' "$log"; then
    failed+=("win32-emulated")
    failed_total=$((failed_total + 1))
    ran+=("win32 emulated: acceptance program FAILED")
  else
    # Neither passed nor failed: the emulation itself gave out.
    ran+=("win32 emulated: skipped, the emulation gave out before the test ended (exit $rc within ${emulated_limit_s} s: $(grep -v '^\s*$' "$log" | tail -n1))")
  fi
}

# Every parser under libFuzzer for a bounded time; bench/fuzz.sh runs longer.
readonly fuzz_seconds=20
run_fuzz() {
  echo "== fuzz: every parser for ${fuzz_seconds} s over its corpus, two at a time"
  local log="$logs/fuzz.log" targets
  if bash scripts/fuzz.sh "$fuzz_seconds" 2>&1 | tee "$log"; then
    targets="$(grep -c '^fuzz .*executions' "$log" || true)"
    passed_total=$((passed_total + targets))
    ran+=("fuzz: $targets targets ran ${fuzz_seconds} s each and held their properties")
  else
    failed+=("fuzz")
    failed_total=$((failed_total + 1))
    ran+=("fuzz: FAILED, see $log and build/fuzz-findings")
  fi
}

# The register's tests run on its file and again on a database server.
quorva_start_postgres
trap 'quorva_stop_postgres' EXIT

build native
run_tests native
run_fuzz
build bench

quorva_start_session
trap 'quorva_stop_session; quorva_stop_postgres' EXIT
run_plugin_bench() {
  echo "== bench $1: pellion_bench, 2 s idle and 200 reports"
  if scripts/wine-run.sh "${1#win}" "build/$1/bin/pellion_bench.exe" 2 200 </dev/null; then
    ran+=("$1: plug-in bench ran")
  else
    failed+=("$1-bench")
  fi
}

build win64
run_tests win64
run_plugin_bench win64

build win32
mode="$(quorva_win32_mode)"
case "$mode" in
  native) run_tests win32; run_plugin_bench win32 ;;
  emulated) run_emulated_acceptance ;;
  *) ran+=("win32: skipped, $(sed -n 2p "$QUORVA_WIN32_MODE_FILE")") ;;
esac

run_installer_test() {
  echo "== test installer"
  local log="$logs/installer.log" line
  bash installer/test_installer.sh 2>&1 | tee "$log" || failed+=("installer")
  line="$(grep -E '^installer: [0-9]+ passed, [0-9]+ failed' "$log" | tail -n1)"
  passed_total=$((passed_total + $(sed -E 's/installer: ([0-9]+) passed.*/\1/' <<<"${line:-installer: 0 passed}")))
  failed_total=$((failed_total + $(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"${line:-0 failed}")))
  ran+=("${line:-installer: no result}")
}
run_installer_test

# Last, with this script's Wine session ended: the run command starts a
# display and a server of its own, and its windows must go to its display.
run_command_test() {
  echo "== test run command (headless)"
  quorva_stop_session
  timeout 60 "$WINESERVER" -w 2>/dev/null || true
  if bash tests/run/run_command_test.sh; then
    passed_total=$((passed_total + 1))
    ran+=("run command: screenshot of the main window taken")
  else
    failed+=("run-command")
    failed_total=$((failed_total + 1))
    ran+=("run command: FAILED")
  fi
}
run_command_test

echo
echo "== 32-bit programs on this machine: $mode"
for line in "${ran[@]}"; do echo "   $line"; done
echo "   clean-to-end time: $((SECONDS - started)) s after set-up"
if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: tests of ${failed[*]}"
fi
echo "$passed_total passed, $failed_total failed"
[ ${#failed[@]} -eq 0 ]
