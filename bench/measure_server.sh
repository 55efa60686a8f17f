#!/usr/bin/env bash
# The server store's targets, measured on a private PostgreSQL server on
# loopback: run from the work tree after `cmake --build --preset bench`.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
. scripts/env.sh
. scripts/postgres-session.sh
quorva_start_postgres
trap quorva_stop_postgres EXIT
build/bench/bin/server_bench "$@" | grep -E "median|mean|Benchmark"
build/bench/bin/journal_bench --benchmark_filter=Server | grep -E "median|Benchmark"
