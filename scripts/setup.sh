#!/usr/bin/env bash
# One-time machine set-up for building and testing on Debian 12. Safe to run
# again: every step checks whether it is already done.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/env.sh"

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
apt_get() { as_root env LC_ALL=C LANG=C DEBIAN_FRONTEND=noninteractive apt-get "$@"; }

packages=(
  cmake ninja-build g++ pkg-config
  libsqlite3-dev sqlite3 googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools libwine-dev
  wine wine32:i386 wine64 xvfb xauth x11-apps imagemagick xdotool fonts-wqy-microhei
  tcl dpkg-dev locales
)

is_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

install_packages() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  local missing=()
  for p in "${packages[@]}"; do is_installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "setup: installing ${missing[*]}"
  apt_get update -qq
  apt_get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

ensure_locale() {
  if locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then return 0; fi
  echo "setup: generating the zh_CN.UTF-8 locale"
  as_root sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
}

# Debian ships no SQLite for mingw, so the Windows builds compile the
# amalgamation made from Debian's own source package (with its patches).
build_sqlite_amalgamation() {
  if [ -f "$QUORVA_SQLITE_DIR/sqlite3.c" ] && [ -f "$QUORVA_SQLITE_DIR/VERSION" ]; then return 0; fi
  echo "setup: building the SQLite amalgamation from Debian's source package"
  local work list
  work="$(mktemp -d)"
  list=/etc/apt/sources.list.d/quorva-deb-src.sources
  # The deb-src entry is only needed for this one download.
  trap "as_root rm -f '$list'; rm -rf '$work'; trap - RETURN" RETURN
  as_root tee "$list" >/dev/null <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  apt_get update -qq
  (cd "$work" && LC_ALL=C apt-get source --download-only -qq sqlite3 >/dev/null 2>&1)
  local dsc
  dsc="$(ls "$work"/sqlite3_*.dsc | head -n1)"
  (cd "$work" && dpkg-source -q -x "$dsc" src >/dev/null)
  (cd "$work/src" && ./configure >/dev/null && make -s sqlite3.c >/dev/null)
  mkdir -p "$QUORVA_SQLITE_DIR"
  cp "$work/src/sqlite3.c" "$work/src/sqlite3.h" "$work/src/sqlite3ext.h" "$QUORVA_SQLITE_DIR/"
  local version
  version="$(sed -n 's/^#define SQLITE_VERSION *"\(.*\)"/\1/p' "$QUORVA_SQLITE_DIR/sqlite3.h")"
  echo "$version (Debian source $(basename "$dsc" .dsc))" >"$QUORVA_SQLITE_DIR/VERSION"
  as_root rm -f "$list"
  apt_get update -qq
  echo "setup: SQLite $(cat "$QUORVA_SQLITE_DIR/VERSION")"
}

wine_reg() { wine reg add "$@" /f >/dev/null 2>&1; }

# One prefix for both 32- and 64-bit programs, with Chinese fonts linked in
# and a virtual desktop (without a window manager every closed top-level
# window stalls for a second or two).
create_wine_prefix() {
  [ -f "$WINEPREFIX/.quorva-ready" ] && return 0
  echo "setup: creating the Wine prefix $WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot --init >/dev/null 2>&1
  wineserver -w
  wine_reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
  wine_reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024
  local link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
    wine_reg "$link" /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei'
  done
  wineserver -w
  touch "$WINEPREFIX/.quorva-ready"
}

ensure_locale
. "$here/env.sh"
install_packages
build_sqlite_amalgamation
create_wine_prefix
