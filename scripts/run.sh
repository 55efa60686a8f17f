#!/usr/bin/env bash
# Builds the register for 64-bit Windows and starts it under Wine. With a
# display it opens there; without one it runs on a private Xvfb display,
# saves a screenshot of the main window and says where.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
. scripts/env.sh
. scripts/wine-session.sh

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Quorva TalvexStandIn Pellion
program="build/win64/bin/Quorva.exe"
headless=""
[ -n "${DISPLAY:-}" ] || headless=1

# The session comes first: the first Wine process starts the server, and
# the persistent one must be there before it.
quorva_start_session
# The stand-in scanner service, registered so that the register's start-up
# link and "连接扫描枪" find a service to talk to.
quorva_wine build/win64/bin/TalvexStandIn.exe /RegServer </dev/null

if [ -z "$headless" ]; then
  quorva_wine "$program"
  exit 0
fi

screenshot="$root/build/screenshots/main-window.png"
mkdir -p "$(dirname "$screenshot")"
rm -f "$screenshot"
quorva_wine "$program" >/dev/null 2>&1 &
register_pid=$!
# Long enough for the window to appear, maximize and load the list.
sleep "${QUORVA_SCREENSHOT_DELAY:-6}"
import -window root "$screenshot"
kill "$register_pid" 2>/dev/null || true
echo "Screenshot of the main window: $screenshot"
