#!/bin/sh
# Runs a Windows executable under Wine with the project's own prefix, quietly.
# The prefix lives under build/ so nothing touches the user's ~/.wine.
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${QZF_WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG=-all
# No Mono or Gecko install prompts: the tool needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Several tests may start at once on a fresh prefix: only one creates it.
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w 2>/dev/null || true
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
