#!/usr/bin/env bash
# One-time machine set-up for building and testing on Debian 12. Safe to run
# again: every step checks whether it is already done.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/env.sh"

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
# Several set-ups may run side by side; each waits for the others' dpkg lock.
apt_get() { as_root env LC_ALL=C LANG=C DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 "$@"; }

packages=(
  cmake ninja-build g++ pkg-config
  libsqlite3-dev sqlite3 googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools libwine-dev
  wine wine32:i386 wine64 qemu-user-static xvfb xauth x11-apps imagemagick xdotool fonts-wqy-microhei
  tcl dpkg-dev locales nsis zip unzip
  postgresql unixodbc unixodbc-dev odbc-postgresql
  libz-mingw-w64-dev libxlsxwriter-dev libpugixml-dev libzip-dev zlib1g-dev
  libreoffice-writer-nogui libreoffice-calc-nogui python3-openpyxl
  clang libclang-rt-dev libfuzzer-14-dev
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

# Source packages come from the archives this machine already installs
# from: each of its deb entries, read as deb-src, in a private apt state that
# is thrown away afterwards, so an office's own mirror works and the
# machine's sources are never touched.
apt_source_entries() {
  local out="$1" f
  mkdir -p "$out/parts"
  : >"$out/sources.list"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >>"$out/sources.list"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # deb822: every stanza whose types name deb is taken again as deb-src.
    awk 'BEGIN{RS=""; ORS="\n\n"} /(^|\n)Types:[^\n]*[[:space:]]deb([[:space:]]|$|\n)/ {
           sub(/(^|\n)Types:[^\n]*/, (substr($0,1,6)=="Types:" ? "" : "\n") "Types: deb-src"); print }' \
      "$f" >"$out/parts/$(basename "$f")"
  done
}

# fetch_debian_source <package> <folder>: the unpacked source of a Debian
# package (with Debian's patches applied) in <folder>/src.
fetch_debian_source() {
  local package="$1" work="$2" state="$2/apt" dsc
  mkdir -p "$state/lists/partial" "$state/cache/archives/partial"
  apt_source_entries "$state"
  local private=(-o Dir::Etc::SourceList="$state/sources.list" -o Dir::Etc::SourceParts="$state/parts"
                 -o Dir::State::Lists="$state/lists" -o Dir::Cache="$state/cache" -o APT::Sandbox::User="$(id -un)")
  # A third-party archive without sources only warns; the package's own
  # archive decides.
  LC_ALL=C apt-get "${private[@]}" update -qq >/dev/null 2>&1 || true
  (cd "$work" && LC_ALL=C apt-get "${private[@]}" source --download-only -qq "$package" >/dev/null 2>&1) ||
    { echo "setup: the source package $package could not be fetched from this machine's archives" >&2; return 1; }
  dsc="$(ls "$work/${package}"_*.dsc | head -n1)"
  (cd "$work" && dpkg-source -q -x "$dsc" src >/dev/null 2>&1)
  echo "$(basename "$dsc" .dsc)" >"$work/src/.debian-source"
}

# Debian ships no SQLite for mingw, so the Windows builds compile the
# amalgamation made from Debian's own source package (with its patches).
build_sqlite_amalgamation() {
  if [ -f "$QUORVA_SQLITE_DIR/sqlite3.c" ] && [ -f "$QUORVA_SQLITE_DIR/VERSION" ]; then return 0; fi
  echo "setup: building the SQLite amalgamation from Debian's source package"
  local work
  work="$(mktemp -d)"
  trap "rm -rf '$work'; trap - RETURN" RETURN
  fetch_debian_source sqlite3 "$work"
  (cd "$work/src" && ./configure >/dev/null && make -s sqlite3.c >/dev/null)
  mkdir -p "$QUORVA_SQLITE_DIR"
  cp "$work/src/sqlite3.c" "$work/src/sqlite3.h" "$work/src/sqlite3ext.h" "$QUORVA_SQLITE_DIR/"
  local version
  version="$(sed -n 's/^#define SQLITE_VERSION *"\(.*\)"/\1/p' "$QUORVA_SQLITE_DIR/sqlite3.h")"
  echo "$version (Debian source $(cat "$work/src/.debian-source"))" >"$QUORVA_SQLITE_DIR/VERSION"
  echo "setup: SQLite $(cat "$QUORVA_SQLITE_DIR/VERSION")"
}

# The approval form and the list export write .docx, .rtf and .xlsx without
# an office suite. Debian has these libraries only for Linux, so their source
# packages are built here as static libraries for both mingw targets and kept
# in $QUORVA_CACHE/office/<triple>; zlib is Debian's libz-mingw-w64-dev.
readonly office_library_options=(
  "pugixml -DPUGIXML_BUILD_TESTS=OFF"
  "libzip -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF
          -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF
          -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF"
  "libxlsxwriter -DUSE_SYSTEM_MINIZIP=OFF")
build_office_libraries() {
  local office="$QUORVA_CACHE/office"
  [ -f "$office/VERSION" ] && return 0
  echo "setup: building libxlsxwriter, libzip and pugixml for mingw from Debian's source packages"
  local work entry package options bits versions=()
  work="$(mktemp -d)"
  trap "rm -rf '$work'; trap - RETURN" RETURN
  for entry in "${office_library_options[@]}"; do
    package="${entry%% *}" options="${entry#* }"
    mkdir -p "$work/$package"
    fetch_debian_source "$package" "$work/$package"
    versions+=("$(cat "$work/$package/src/.debian-source")")
    for bits in 64 32; do
      local triple=x86_64-w64-mingw32
      [ "$bits" = 32 ] && triple=i686-w64-mingw32
      # shellcheck disable=SC2086 # the options are words
      { cmake -S "$work/$package/src" -B "$work/$package/build$bits" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/toolchain-win$bits.cmake" -DBUILD_SHARED_LIBS=OFF \
          -DCMAKE_INSTALL_PREFIX="$office/$triple" -DCMAKE_INSTALL_LIBDIR=lib $options &&
        cmake --build "$work/$package/build$bits" -j2 --target install; } >"$work/build.log" 2>&1 ||
        { cat "$work/build.log" >&2; echo "setup: $package could not be built for $triple" >&2; return 1; }
    done
  done
  echo "${versions[*]} (Debian sources), zlib $(dpkg-query -W -f='${Version}' libz-mingw-w64-dev)" >"$office/VERSION"
  echo "setup: office libraries $(cat "$office/VERSION")"
}

wine_reg() { quorva_wine reg add "$@" /f >/dev/null 2>&1; }

# One prefix for both 32- and 64-bit programs, with Chinese fonts linked in
# and a virtual desktop (without a window manager every closed top-level
# window stalls for a second or two). Made by the 64-bit loader, so that it
# needs no 32-bit program; where none can run, wineboot only warns that the
# 32-bit half of its set-up could not start.
create_wine_prefix() {
  [ -f "$WINEPREFIX/.quorva-ready" ] && return 0
  echo "setup: creating the Wine prefix $WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  quorva_wine wineboot --init >/dev/null 2>&1 || true
  quorva_wineserver -w
  [ -f "$WINEPREFIX/system.reg" ] || { echo "setup: wineboot made no prefix" >&2; return 1; }
  wine_reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
  wine_reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024
  local link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
    wine_reg "$link" /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei'
  done
  quorva_wineserver -w
  touch "$WINEPREFIX/.quorva-ready"
}

# 32-bit programs: run natively where the kernel allows, otherwise through
# qemu's user-mode emulation registered for i386 ELF files with binfmt_misc.
# Our own registration takes precedence over the kernel's ELF loader, so the
# native check switches it off for its one try.
readonly binfmt=/proc/sys/fs/binfmt_misc
readonly binfmt_entry=$binfmt/quorva-i386
readonly i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
readonly i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

runs_32bit() { timeout 120 "$QUORVA_WINE32" --version >/dev/null 2>&1; }

runs_32bit_natively() {
  # For trying the emulated road on a machine that has both.
  [ -n "${QUORVA_NO_NATIVE_32BIT:-}" ] && return 1
  if [ -w "$binfmt_entry" ]; then
    echo 0 >"$binfmt_entry"
    if runs_32bit; then return 0; fi
    echo 1 >"$binfmt_entry"
    return 1
  fi
  runs_32bit
}

register_i386_emulation() {
  [ "$(id -u)" = 0 ] || { echo "not root, so binfmt_misc cannot be set up"; return 1; }
  if [ ! -e "$binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || { echo "binfmt_misc cannot be mounted"; return 1; }
  fi
  if [ ! -e "$binfmt_entry" ]; then
    printf ':quorva-i386:M::%s:%s:/usr/bin/qemu-i386-static:F\n' "$i386_magic" "$i386_mask" \
      >"$binfmt/register" 2>/dev/null || { echo "binfmt_misc refused the i386 entry"; return 1; }
  fi
  echo 1 >"$binfmt_entry"
  runs_32bit || { echo "the 32-bit loader does not start under emulation"; return 1; }
}

detect_32bit_mode() {
  local why
  if runs_32bit_natively; then
    echo native >"$QUORVA_WIN32_MODE_FILE"
    echo "setup: this machine runs 32-bit programs: the 32-bit suites run natively"
  elif why="$(register_i386_emulation)"; then
    echo emulated >"$QUORVA_WIN32_MODE_FILE"
    echo "setup: this machine runs no 32-bit programs: 32-bit runs emulated (qemu-user, binfmt_misc), acceptance program only"
  else
    printf 'none\n%s\n' "$why" >"$QUORVA_WIN32_MODE_FILE"
    echo "setup: this machine runs no 32-bit programs and cannot emulate them ($why): 32-bit tests are skipped"
  fi
}

ensure_locale
. "$here/env.sh"
install_packages
build_sqlite_amalgamation
build_office_libraries
mkdir -p "$QUORVA_CACHE"
create_wine_prefix
detect_32bit_mode
