#!/usr/bin/env bash
# Builds the benchmarks optimised and runs them.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
cmake --preset bench >/dev/null
cmake --build --preset bench
./build/bench/bin/store_bench "$@"
