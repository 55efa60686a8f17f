# Shared environment for the build, test and run scripts. Sourced, not run.
# Everything the scripts create outside the work tree lives under one cache
# folder so a fresh clone can reuse it and nothing third-party is committed.
QUORVA_CACHE="${QUORVA_CACHE:-$HOME/.cache/quorva}"
export QUORVA_CACHE
export QUORVA_SQLITE_DIR="$QUORVA_CACHE/sqlite"
export WINEPREFIX="${QUORVA_WINEPREFIX:-$QUORVA_CACHE/wineprefix}"
export WINEDEBUG=-all
# Mono and Gecko are never wanted; switching them off keeps wineboot from
# asking to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Code page 936 under Wine comes from the locale; every Wine process must run
# under the same one, or Wine rewrites the font links for another code page.
# setup.sh generates the locale and sources this file again afterwards.
if locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
fi
