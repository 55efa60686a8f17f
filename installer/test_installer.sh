#!/usr/bin/env bash
# Builds setup.exe and the plug-in's archive from build/win32 and build/win64,
# checks what can be checked without running them, and then, where Wine runs
# 32-bit programs natively (the NSIS stub is one), installs, upgrades and
# uninstalls the register in a throw-away copy of the Wine prefix.
#   bash installer/test_installer.sh
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
. "$root/scripts/env.sh"

readonly TIMEOUT=120
readonly INSTALL_DIR='C:\QuorvaTest\Program'
readonly UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorva'
readonly TEMPLATE_NAME='呈批表制作说明.doc'
readonly SHORTCUT_NAME='收文登记.lnk'
readonly PLACEHOLDERS='收文日期 收文号 办文号 来文字号 文种 来文单位 密级 紧急 文件标题 拟办意见 请办意见 批办意见 发文日期 主送单位 条码编号 条码单位 制作日期 发布层次 录入人 已呈批 经办人 已办结 存档号 办理结果 备注'

passed=0
failed=0
work="$(mktemp -d)"
cleanup() {
  declare -F quorva_stop_session >/dev/null && quorva_stop_session
  rm -rf "$work"
}
trap cleanup EXIT

# A check that fails says why and lets the test go on to its end.
errors=0
fail() { echo "  $*" >&2; errors=$((errors + 1)); }
run_test() {
  local name="$1"
  shift
  errors=0
  "$@"
  if [ "$errors" -eq 0 ]; then
    passed=$((passed + 1)); echo "ok: $name"
  else
    failed=$((failed + 1)); echo "FAILED: $name"
  fi
}
summary() { echo "installer: $passed passed, $failed failed"; [ "$failed" -eq 0 ]; }

# --- Built and checked without running -------------------------------------

build_outputs() {
  if ! bash "$here/build.sh" --out "$work/out" >"$work/build.log" 2>&1; then
    fail "build.sh failed: $(cat "$work/build.log")"
    return
  fi
  setup="$(sed -n 1p "$work/build.log")"
  archive="$(sed -n 2p "$work/build.log")"
  [ "$(head -c2 "$setup")" = MZ ] || fail "$setup is no Windows program"
  unzip -l "$archive" | grep -q '/x86/Pellion.dll$' || fail "$archive holds no x86/Pellion.dll"
}

# The placeholders as the word processor sees them: \uN escapes decoded.
template_placeholders() {
  perl -CS -ne 's/\\u(-?\d+)\?/chr($1 < 0 ? $1 + 65536 : $1)/ge; print' "$here/approval_form.rtf" |
    grep -o '\$[^$\\ ]*\$' | tr -d '$' | tr '\n' ' ' | sed 's/ $//'
}
template_has_placeholders_in_order() {
  [ "$(template_placeholders)" = "$PLACEHOLDERS" ] || fail "template placeholders: $(template_placeholders)"
}

run_test "setup.exe and Pellion archive build" build_outputs
run_test "sample template has the 25 placeholders in order" template_has_placeholders_in_order

if [ -z "${setup:-}" ]; then
  summary
  exit
fi
mode="$(quorva_win32_mode)"
if [ "$mode" != native ]; then
  echo "installer: install/upgrade/uninstall run skipped: the NSIS setup stub is a 32-bit program and" \
       "32-bit programs run '$mode' here (needs native)"
  summary
  exit
fi

# --- Run under Wine, in a copy of the prefix ----------------------------------

# The large, read-only Windows folder is hard-linked; everything Wine writes
# (registry, users, program folders, .ini files) is copied.
copy_prefix() {
  local from="$1" to="$2" entry
  mkdir -p "$to/drive_c"
  for entry in "$from"/* "$from"/.[!.]*; do
    [ -e "$entry" ] || [ -L "$entry" ] || continue
    [ "$(basename "$entry")" = drive_c ] || cp -a "$entry" "$to/"
  done
  for entry in "$from"/drive_c/*; do
    [ "$(basename "$entry")" = windows ] || cp -a "$entry" "$to/drive_c/"
  done
  cp -al "$from/drive_c/windows" "$to/drive_c/windows"
  find "$to/drive_c/windows" -type f -iname '*.ini' -exec sh -c 'cp --remove-destination "$1" "$1.tmp" && mv "$1.tmp" "$1"' _ {} \;
}

copy_prefix "$WINEPREFIX" "$work/prefix"
export WINEPREFIX="$work/prefix"
drive_c="$WINEPREFIX/drive_c"
# Start from a machine that has never run the register.
rm -rf "$drive_c/Quorva" "$drive_c"/users/*/AppData/Roaming/ovd
. "$root/scripts/wine-session.sh"
quorva_start_display && quorva_start_wine

program_dir="$drive_c/QuorvaTest/Program"
data_dir="$drive_c/Quorva"

run_setup() { WINELOADER="$QUORVA_WINE32" timeout "$TIMEOUT" "$QUORVA_WINE32" "$@" </dev/null >/dev/null 2>&1; }
uninstall_key_exists() { timeout "$TIMEOUT" "$QUORVA_WINE64" reg query "$UNINSTALL_KEY" </dev/null >/dev/null 2>&1; }
registry() { timeout "$TIMEOUT" "$QUORVA_WINE64" reg query "$UNINSTALL_KEY" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
shortcut_count() { find "$drive_c" -name "$SHORTCUT_NAME" | wc -l; }
settings_dir() { ls -d "$drive_c"/users/*/AppData/Roaming/ovd 2>/dev/null | head -n1; }
data_digest() { (cd "$drive_c" && find Quorva "${1#"$drive_c/"}" -type f -print0 | sort -z | xargs -0 sha256sum); }
wait_for() {
  local i
  for i in $(seq 1 $((TIMEOUT * 2))); do "$@" && return 0; sleep 0.5; done
  return 1
}

install_silently() {
  run_setup "$setup" /S "/D=$INSTALL_DIR" || fail "setup.exe /S exited with $?"
  local file
  for file in Quorva.exe sqlite3.dll uninstall.exe "$TEMPLATE_NAME"; do
    [ -f "$program_dir/$file" ] || fail "$file not installed"
  done
  cmp -s "$program_dir/Quorva.exe" "$root/build/win64/bin/Quorva.exe" || fail "not the 64-bit register"
  [ "$(shortcut_count)" -eq 2 ] || fail "expected a Start-menu and a desktop shortcut, found $(shortcut_count)"
  cmp -s "$data_dir/$TEMPLATE_NAME" "$here/approval_form.rtf" || fail "sample template not in $data_dir"
  local key
  key="$(registry)"
  grep -q 'DisplayVersion.*REG_SZ' <<<"$key" || fail "no DisplayVersion in the uninstall key"
  grep -Eq "DisplayVersion.*$(sed -n 's/^project(Quorva VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")\$" <<<"$key" ||
    fail "wrong DisplayVersion"
  for value in Publisher DisplayIcon EstimatedSize; do
    grep -q "$value" <<<"$key" || fail "no $value in the uninstall key"
  done
  grep -qF 'UninstallString    REG_SZ    "C:\QuorvaTest\Program\uninstall.exe"' <<<"$key" || fail "UninstallString: $key"
}

# The register runs until asked to close; a silent setup meanwhile gives up.
register_starts_and_creates_database() {
  timeout "$TIMEOUT" "$QUORVA_WINE64" "$INSTALL_DIR\\Quorva.exe" </dev/null >/dev/null 2>&1 &
  local register=$!
  wait_for test -s "$data_dir/Quorva.db" || fail "no database in $data_dir"
  local status=0
  run_setup "$setup" /S || status=$?
  [ "$status" -eq 2 ] || fail "setup over a running register exited with $status, not 2"
  timeout "$TIMEOUT" "$QUORVA_WINE64" taskkill /im Quorva.exe </dev/null >/dev/null 2>&1
  wait "$register" || fail "the register did not close on request"
  [ -f "$(settings_dir)/quorva.ini" ] || fail "no settings file written on close"
}

# An upgrade goes where the register is and leaves every data file as it was,
# including a template the office has changed.
upgrade_keeps_data() {
  printf '{\\rtf1 office}\r\n' >"$data_dir/$TEMPLATE_NAME"
  printf 'outdated' >"$program_dir/Quorva.exe"
  local before
  before="$(data_digest "$(settings_dir)")"
  run_setup "$setup" /S || fail "upgrade exited with $?"
  cmp -s "$program_dir/Quorva.exe" "$root/build/win64/bin/Quorva.exe" || fail "program not replaced"
  [ "$(data_digest "$(settings_dir)")" = "$before" ] || fail "data changed by the upgrade"
}

# The uninstaller runs on from a copy of itself, so the test waits for it.
uninstaller_done() { [ ! -e "$program_dir" ] && ! uninstall_key_exists; }
uninstall_keeps_data() {
  local before
  before="$(data_digest "$(settings_dir)")"
  run_setup "$program_dir/uninstall.exe" /S || fail "uninstall.exe /S exited with $?"
  wait_for uninstaller_done || fail "program folder or uninstall key left"
  [ "$(shortcut_count)" -eq 0 ] || fail "shortcuts left"
  [ "$(data_digest "$(settings_dir)")" = "$before" ] || fail "data changed by the uninstaller"
}

run_test "setup.exe /S /D= installs files, shortcuts and the uninstall key" install_silently
run_test "installed register starts, creates its database and blocks setup while running" register_starts_and_creates_database
run_test "upgrade replaces the program and keeps database, settings and template" upgrade_keeps_data
run_test "uninstall.exe /S removes the program and keeps the data" uninstall_keeps_data
summary
