#!/usr/bin/env bash
# Runs one Windows program under the project's Wine prefix; CTest uses it as
# the cross-compiling emulator, so a test run by hand gets the same setup.
# The first argument names the loader: 64 or 32.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/env.sh"
bits="$1"
shift
if [ "$bits" = 32 ]; then
  export WINELOADER="$QUORVA_WINE32"
  exec "$QUORVA_WINE32" "$@"
fi
export WINELOADER="$QUORVA_WINE64"
exec "$QUORVA_WINE64" "$@"
