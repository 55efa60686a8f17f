#!/usr/bin/env bash
# Makes Quorva-setup-<version>.exe (both registers) and Pellion-<version>.zip
# (the scanner plug-in, which the scanner service loads, not the register)
# from the win32 and win64 Release builds.
#   bash installer/build.sh [--win32 DIR] [--win64 DIR] [--out DIR]
#                           [--version X.Y.Z] [--publisher TEXT]
# Version and publisher default to those of the root CMakeLists.txt.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"

version="$(sed -n 's/^project(Quorva VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
publisher="$(sed -n 's/^set(QUORVA_PUBLISHER "\(.*\)")$/\1/p' "$root/CMakeLists.txt")"
win32="$root/build/win32/bin"
win64="$root/build/win64/bin"
out="$root/build/installer"
while [ $# -gt 0 ]; do
  case "$1" in
    --win32) win32="$2" ;;
    --win64) win64="$2" ;;
    --out) out="$2" ;;
    --version) version="$2" ;;
    --publisher) publisher="$2" ;;
    *) echo "build.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done

for file in "$win32/Quorva.exe" "$win32/sqlite3.dll" "$win32/Pellion.dll" \
            "$win64/Quorva.exe" "$win64/sqlite3.dll"; do
  if [ ! -f "$file" ]; then
    echo "build.sh: $file is missing; build both presets first:" >&2
    echo "  cmake --build --preset win32 && cmake --build --preset win64" >&2
    exit 1
  fi
done
command -v makensis >/dev/null || { echo "build.sh: makensis not found (Debian package nsis)" >&2; exit 1; }

mkdir -p "$out"
setup="$out/Quorva-setup-$version.exe"
makensis -INPUTCHARSET UTF8 -WX -V2 \
  "-DVERSION=$version" "-DPUBLISHER=$publisher" \
  "-DWIN32_BIN=$win32" "-DWIN64_BIN=$win64" \
  "-DTEMPLATE=$here/approval_form.rtf" "-DICON=$root/register/win32/quorva.ico" \
  "-DOUTFILE=$setup" "$here/quorva.nsi" >/dev/null

# The plug-in's archive: x86 always; x64 once the 64-bit build makes one.
plugin="$out/Pellion-$version.zip"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
folder="$stage/Pellion-$version"
mkdir -p "$folder/x86"
cp "$win32/Pellion.dll" "$folder/x86/"
[ -f "$win64/Pellion.dll" ] && mkdir -p "$folder/x64" && cp "$win64/Pellion.dll" "$folder/x64/"
cp "$here/plugin-readme.txt" "$folder/README.txt"
rm -f "$plugin"
(cd "$stage" && zip -qrX "$plugin" "Pellion-$version")

echo "$setup"
echo "$plugin"
