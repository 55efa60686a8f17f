#!/usr/bin/env bash
# Builds the register for 64-bit Windows and starts it under Wine.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
. scripts/env.sh
. scripts/wine-session.sh

cmake --preset win64 >/dev/null
cmake --build --preset win64

program="build/win64/bin/Quorva.exe"
if [ ! -f "$program" ]; then
  echo "Built the record store for Windows; the register program itself is not part of the build yet."
  exit 0
fi
quorva_start_session
wine "$program"
