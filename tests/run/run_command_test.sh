#!/usr/bin/env bash
# The README's run command as a newcomer types it on a machine without a
# display: it must end well and leave the screenshot it names, and the
# screenshot must show a window, not a bare screen.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
readonly fewest_colours=16
log="$(mktemp)"
trap 'rm -f "$log"' EXIT

fail() { cat "$log"; echo "run command: FAILED ($1)"; exit 1; }

env -u DISPLAY bash "$root/scripts/run.sh" >"$log" 2>&1 </dev/null || fail "it ended with exit code $?"
shot="$(sed -n 's/^Screenshot of the main window: //p' "$log")"
[ -n "$shot" ] && [ -s "$shot" ] || fail "no screenshot at '$shot'"
colours="$(identify -format '%k' "$shot")"
[ "$colours" -gt "$fewest_colours" ] || fail "the screenshot shows $colours colours, no window"
echo "run command: passed, $shot"
