#!/usr/bin/env bash
# The list's speed and memory targets, measured: run from the work tree after
# `cmake --build --preset bench` and the win64 and win32 builds. The native
# benchmarks make their databases in /tmp on first use (the 1,000,000-record
# one from the 100,000-record one, in well under a minute).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bench=build/bench/bin
# One size per process, so each reports its own peak memory.
for size in 100000 1000000; do
  "$bench/reload_bench" --benchmark_filter="/$size/" | grep -E "median"
done
"$bench/search_bench" | grep -E 'median'

. scripts/env.sh
. scripts/wine-session.sh
quorva_start_session
small='Z:\tmp\quorva-bench-100k.db'
large='Z:\tmp\quorva-bench-1000000.db'
echo "== 64-bit window, 100,000 records"
scripts/wine-run.sh 64 build/win64/bin/list_bench.exe window "$small" 10 2>/dev/null
echo "== 32-bit reloads, 1,000,000 records"
scripts/wine-run.sh 32 build/win32/bin/list_bench.exe reload "$large" 3 2>/dev/null
