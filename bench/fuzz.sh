#!/usr/bin/env bash
# The long fuzz run: every parser's libFuzzer target for ten minutes, two at
# a time (about half an hour), then the plug-in's report decoder and command
# engine for ten minutes under Wine. Prints each target's executions, new
# inputs and coverage; a finding is kept in build/fuzz-findings and fails
# the run at its end.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
readonly seconds=600

found=0
bash scripts/fuzz.sh "$seconds" || found=1
. scripts/env.sh
. scripts/wine-session.sh
quorva_start_session
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target plugin_fuzz >/dev/null
QUORVA_FUZZ_SECONDS="$seconds" scripts/wine-run.sh 64 build/win64/bin/plugin_fuzz.exe </dev/null || found=1
exit "$found"
