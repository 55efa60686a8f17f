#!/usr/bin/env bash
# The README's run command as a newcomer types it, without a display: it must end well and leave the
# screenshot it names, showing a window (a bare screen has a handful of colours).
set -euo pipefail
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
fail() { cat "$log"; echo "run command: FAILED ($1)"; exit 1; }
env -u DISPLAY bash "$(dirname "$0")/../../scripts/run.sh" >"$log" 2>&1 </dev/null || fail "exit code $?"
shot="$(sed -n 's/^Screenshot of the main window: //p' "$log")"
[ -s "$shot" ] || fail "no screenshot at '$shot'"
[ "$(identify -format '%k' "$shot")" -gt 16 ] || fail "the screenshot shows no window"
echo "run command: passed, $shot"
