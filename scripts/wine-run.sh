#!/usr/bin/env bash
# Runs one Windows program under the project's Wine prefix; CTest uses it as
# the cross-compiling emulator, so a test run by hand gets the same setup.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/env.sh"
exec wine "$@"
