# Shared environment for the build, test and run scripts. Sourced, not run.
# Everything the scripts create outside the work tree lives under one cache
# folder so a fresh clone can reuse it and nothing third-party is committed.
QUORVA_CACHE="${QUORVA_CACHE:-$HOME/.cache/quorva}"
export QUORVA_CACHE
export QUORVA_SQLITE_DIR="$QUORVA_CACHE/sqlite"
export WINEPREFIX="${QUORVA_WINEPREFIX:-$QUORVA_CACHE/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# Debian's /usr/bin/wine always starts the 32-bit loader first, which fails on
# kernels without 32-bit support. Everything 64-bit goes through the 64-bit
# loader directly; the 32-bit loader is used only for 32-bit programs, and
# only where setup.sh found that they can run (quorva_win32_mode).
export QUORVA_WINE64=/usr/lib/wine/wine64
export QUORVA_WINE32=/usr/lib/wine/wine
export WINESERVER=/usr/lib/wine/wineserver64
export QUORVA_WIN32_MODE_FILE="$QUORVA_CACHE/win32-mode"
quorva_wine() { "$QUORVA_WINE64" "$@"; }
quorva_wineserver() { "$WINESERVER" "$@"; }
# native, emulated or none, as setup.sh last found it.
quorva_win32_mode() { head -n1 "$QUORVA_WIN32_MODE_FILE" 2>/dev/null || echo none; }
# Mono and Gecko are never wanted; switching them off keeps wineboot from
# asking to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Code page 936 under Wine comes from the locale; every Wine process must run
# under the same one, or Wine rewrites the font links for another code page.
# setup.sh generates the locale and sources this file again afterwards.
if locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
fi
