#!/usr/bin/env bash
# A clerk's register taking 200 silent scans, its Wine process killed with
# kill -9 at 30 random moments and started again from the scan after the last
# one it reported stored. At the end the file is sound, every scan is stored
# once under a receipt number of its own, and every one reported is there.
# Usage: killed_by_the_shell.sh <clerk_process.exe>
set -euo pipefail
clerk="$1"
run="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/wine-run.sh"
readonly scans=200 kills=30
# Killed after up to 8 scans have been told, and then up to about two scans'
# time later, so that the kills fall anywhere in a scan.
readonly most_reports=8 most_delay_ms=60

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
appdata="$work/AppData"
mkdir -p "$appdata/ovd" "$appdata/Quorva"
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
printf '[Option]\r\nPLinput=1\r\nSHao=SW-0000\r\nPath=%s\r\n' "$(windows_path "$appdata/Quorva")" >"$appdata/ovd/quorva.ini"

fail() { echo "FAILED: $*"; exit 1; }
reference() { printf '京发〔2026〕1-%d号' "$1"; }

RANDOM=23
next=1 killed=0 reported=0
started=$SECONDS
while [ "$next" -le "$scans" ]; do
  log="$work/run.log"
  "$run" 64 "$clerk" "$(windows_path "$appdata")" 1 $((scans - next + 1)) "$next" >"$log" 2>/dev/null </dev/null &
  pid=$!
  if [ "$killed" -lt "$kills" ]; then
    reports=$((RANDOM % (most_reports + 1)))
    while [ "$(grep -c '^scan' "$log")" -lt "$reports" ] && kill -0 "$pid" 2>/dev/null; do sleep 0.01; done
    sleep "0.$(printf '%03d' $((RANDOM % (most_delay_ms + 1))))"
    if kill -9 "$pid" 2>/dev/null; then killed=$((killed + 1)); fi
  fi
  wait "$pid" 2>/dev/null || true
  while read -r word n outcome rest; do
    [ "$word" = scan ] || continue
    [ "$n" = "$next" ] || fail "scan $n came after scan $((next - 1))"
    if [ "$outcome" = stored ]; then
      reported=$((reported + 1))
    elif [[ "$rest" != *"来文号“$(reference "$n")”已存在于数据库"* ]]; then
      # Only a scan stored just before a kill, unreported, may be refused.
      fail "scan $n refused: $rest"
    fi
    next=$((next + 1))
  done < <(tr -d '\r' <"$log")
done

db="$appdata/Quorva/Quorva.db"
[ "$(sqlite3 "$db" 'PRAGMA integrity_check')" = ok ] || fail "integrity_check"
counts="$(sqlite3 "$db" 'SELECT count(*), count(DISTINCT wh), count(DISTINCT swzh) FROM Quorva')"
[ "$counts" = "$scans|$scans|$scans" ] || fail "records, documents, receipt numbers: $counts"
[ "$killed" = "$kills" ] || fail "killed $killed times"
echo "$scans scans, $killed kills survived, $reported scans reported stored, $((SECONDS - started)) s"
