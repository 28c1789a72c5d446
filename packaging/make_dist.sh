#!/bin/bash
# Makes the two packages a player installs from finished builds:
#   OUT/qzffont-VERSION-win64.zip   the Windows programs, a read-me, the licence
#   OUT/qzffont_VERSION_amd64.deb   the Linux command-line tool, with a desktop
#                                   entry that starts its studio
# Usage: make_dist.sh --version V --native BUILD_DIR --windows BUILD_DIR --out DIR
set -euo pipefail

usage() { echo "usage: $0 --version V --native DIR --windows DIR --out DIR" >&2; exit 2; }
version= native= windows= out=
while [ $# -gt 0 ]; do
  case $1 in
    --version) version=$2; shift 2 ;;
    --native) native=$2; shift 2 ;;
    --windows) windows=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) usage ;;
  esac
done
[ -n "$version" ] && [ -n "$native" ] && [ -n "$windows" ] && [ -n "$out" ] || usage

src=$(cd "$(dirname "$0")/.." && pwd)
pkg=$src/packaging
for f in "$native/qzffont" "$windows/qzffont.exe" "$windows/qzffont-gui.exe" "$windows/qzffont-studio.exe"; do
  [ -f "$f" ] || { echo "$0: $f is missing: build it first" >&2; exit 1; }
done
# A package must never carry a program that reports another version.
got=$("$native/qzffont" --version)
[ "$got" = "qzffont $version" ] || { echo "$0: $native/qzffont says '$got', expected 'qzffont $version'" >&2; exit 1; }

umask 022
mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d "$out/.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT

# The packages' timestamps: the last commit's, so the same tree gives the same files.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$src" log -1 --format=%ct 2>/dev/null || date +%s)}
stamp=$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S UTC')

# Texts for Windows: CRLF lines; the read-me with a UTF-8 signature so that
# Notepad shows its Chinese half right on every code page.
crlf() { sed -e "s/@VERSION@/$version/g" -e 's/\r$//' -e 's/$/\r/' "$1"; }

# ---- Windows zip ----
top=qzffont-$version-win64
win=$stage/zip/$top
mkdir -p "$win"
x86_64-w64-mingw32-strip -o "$win/qzffont.exe" "$windows/qzffont.exe"
x86_64-w64-mingw32-strip -o "$win/qzffont-gui.exe" "$windows/qzffont-gui.exe"
x86_64-w64-mingw32-strip -o "$win/qzffont-studio.exe" "$windows/qzffont-studio.exe"
{ printf '\xef\xbb\xbf'; crlf "$pkg/README-windows.txt"; } >"$win/README.txt"
crlf "$src/LICENSE" >"$win/LICENSE.txt"
zip=$out/$top.zip
rm -f "$zip"
(cd "$stage/zip" && cmake -E tar cf "$zip" --format=zip --mtime="$stamp" \
  "$top/qzffont-gui.exe" "$top/qzffont-studio.exe" "$top/qzffont.exe" "$top/README.txt" "$top/LICENSE.txt")

# ---- Debian package ----
arch=$(dpkg --print-architecture)
root=$stage/deb
doc=$root/usr/share/doc/qzffont
mkdir -p "$root/DEBIAN" "$root/usr/bin" "$doc" "$root/usr/share/man/man1" "$root/usr/share/applications"
cp "$pkg/qzffont-studio.desktop" "$root/usr/share/applications/qzffont-studio.desktop"
strip --strip-unneeded --remove-section=.comment --remove-section=.note -o "$root/usr/bin/qzffont" "$native/qzffont"
chmod 0755 "$root/usr/bin/qzffont"
sed "s/@VERSION@/$version/g" "$pkg/README-debian.txt" >"$doc/README"
{
  echo "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
  echo "Upstream-Name: qzffont"
  echo
  echo "Files: *"
  echo "Copyright: 2026 qzffont authors"
  echo "License: Expat"
  echo
  echo "License: Expat"
  # The licence text after its title, each line indented, blank lines as " .".
  sed -n '3,$p' "$src/LICENSE" | sed -e 's/^$/./' -e 's/^/ /'
} >"$doc/copyright"
sed "s/@VERSION@/$version/g" "$pkg/qzffont.1" | gzip -9n >"$root/usr/share/man/man1/qzffont.1.gz"
printf 'qzffont (%s) unstable; urgency=medium\n\n  * Release %s.\n\n -- qzffont authors <qzffont@users.noreply.invalid>  %s\n' \
  "$version" "$version" "$(date -u -R -d "@$epoch")" | gzip -9n >"$doc/changelog.gz"

# The shared libraries the tool links, with the versions its symbols need.
shl=$stage/shlibs
mkdir -p "$shl/debian"
printf 'Source: qzffont\n\nPackage: qzffont\nArchitecture: %s\n' "$arch" >"$shl/debian/control"
depends=$(cd "$shl" && dpkg-shlibdeps -O -e "$root/usr/bin/qzffont" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
case $depends in
  *libfreetype6*libfontconfig1* | *libfontconfig1*libfreetype6*) ;;
  *) echo "$0: unexpected library dependencies: '$depends'" >&2; exit 1 ;;
esac
size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)
cat >"$root/DEBIAN/control" <<CONTROL
Package: qzffont
Version: $version
Architecture: $arch
Maintainer: qzffont authors <qzffont@users.noreply.invalid>
Installed-Size: $size
Depends: $depends
Recommends: fonts-noto-cjk, xdg-utils
Suggests: fonts-wqy-microhei
Section: graphics
Priority: optional
Description: personal game font file maker (F_FONTJ.qzf)
 qzffont makes a personal F_FONTJ.qzf font file for the game: it renders each
 game code's Simplified Chinese character in any installed font at 20, 24 and
 64 pixels and writes a complete new font file. Its studio, a page served on
 this machine only, tunes and previews the glyphs before the build.
CONTROL
find "$root" -type d -exec chmod 0755 {} +
find "$root/usr/share" -type f -exec chmod 0644 {} +
touch -h -d "@$epoch" $(find "$root" -mindepth 1)
deb=$out/qzffont_${version}_${arch}.deb
rm -f "$deb"
SOURCE_DATE_EPOCH=$epoch dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null

ls -l "$zip" "$deb" | awk '{print $5, $NF}'
