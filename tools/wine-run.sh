#!/bin/sh
# Runs a Windows executable under Wine with the project's own prefix, quietly.
# The prefix lives under build/ so nothing touches the user's ~/.wine.
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${QZF_WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG=-all
# No Mono or Gecko install prompts: the tool needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64

# Wine's own Tahoma (the dialog font "MS Shell Dlg" stands for) and Marlett
# (the symbols on the caption buttons Wine draws) come with Debian's
# fonts-wine, outside any prefix, where Wine does not look for them. Without
# copies the window's buttons are labelled in whatever face fontconfig offers
# and the caption buttons show letters ("0", "1", "r") instead of symbols.
wine_fonts=/usr/share/wine/fonts
fonts="tahoma.ttf tahomabd.ttf marlett.ttf"
prefix_fonts="$WINEPREFIX/drive_c/windows/Fonts"
fonts_missing() {
  for font in $fonts; do
    if [ -f "$wine_fonts/$font" ] && [ ! -f "$prefix_fonts/$font" ]; then return 0; fi
  done
  return 1
}

if [ ! -f "$WINEPREFIX/system.reg" ] || fonts_missing; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Several tests may start at once on a fresh prefix: only one creates it.
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w 2>/dev/null || true
    fi
    mkdir -p "$prefix_fonts"
    for font in $fonts; do
      if [ -f "$wine_fonts/$font" ] && [ ! -f "$prefix_fonts/$font" ]; then
        cp "$wine_fonts/$font" "$prefix_fonts/$font.part" && mv "$prefix_fonts/$font.part" "$prefix_fonts/$font"
      fi
    done
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
