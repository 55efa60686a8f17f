#!/usr/bin/env bash
# Builds every target and runs every test: the portable core natively with
# AddressSanitizer and UndefinedBehaviorSanitizer, then the 32- and 64-bit
# Windows builds under Wine. Exits non-zero when anything fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
. scripts/env.sh
. scripts/wine-session.sh

failed=()

build() {
  echo "== build $1"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

run_tests() {
  echo "== test $1"
  ctest --preset "$1" || failed+=("$1")
}

build native
run_tests native
build bench

quorva_start_session
for preset in win32 win64; do
  build "$preset"
  run_tests "$preset"
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: tests of ${failed[*]}"
  exit 1
fi
echo "All tests passed (native, win32, win64)."
