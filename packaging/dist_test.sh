#!/bin/bash
# Tests the packages as a player gets them, away from the build tree: the zip
# unpacked into an empty directory and run under Wine, the .deb unpacked into
# a scratch root (dpkg -x) and run from there. Every font built must pass
# `qzffont check`; lintian must find no error or warning in the .deb. Ends
# with "N passed, N failed"; exits 1 if any failed.
# Usage: dist_test.sh --version V --dist DIR
set -uo pipefail

version= dist=
while [ $# -gt 0 ]; do
  case $1 in
    --version) version=$2; shift 2 ;;
    --dist) dist=$2; shift 2 ;;
    *) echo "usage: $0 --version V --dist DIR" >&2; exit 2 ;;
  esac
done
[ -n "$version" ] && [ -n "$dist" ] || { echo "usage: $0 --version V --dist DIR" >&2; exit 2; }

src=$(cd "$(dirname "$0")/.." && pwd)
dist=$(cd "$dist" && pwd)
wine=$src/tools/wine-run.sh
face=${DIST_TEST_FACE:-Noto Sans CJK SC}
zip=$dist/qzffont-$version-win64.zip
deb=$dist/qzffont_${version}_amd64.deb
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

passed=0 failed=0
# check NAME COMMAND...: runs the command quietly; its output is shown on failure.
check() {
  local name=$1 log=$scratch/log
  shift
  if "$@" >"$log" 2>&1; then
    passed=$((passed + 1)); echo "PASS  $name"
  else
    failed=$((failed + 1)); echo "FAIL  $name"; sed 's/^/      /' "$log" | tail -n 20
  fi
}
# same EXPECTED COMMAND...: the command's output, carriage returns aside, is EXPECTED.
same() {
  local want=$1 got
  shift
  got=$("$@" | tr -d '\r') || return 1
  [ "$got" = "$want" ] || { echo "expected '$want', got '$got'"; return 1; }
}

# ---- the Debian package (first: its tool checks both builds' fonts) ----
root=$scratch/root
qzf=$root/usr/bin/qzffont
deb_fields() {
  local info
  info=$(dpkg-deb --field "$deb" Package Version Architecture Section Depends Recommends) || return 1
  echo "$info"
  grep -qx "Package: qzffont" <<<"$info" &&
    grep -qx "Version: $version" <<<"$info" &&
    grep -qx "Architecture: amd64" <<<"$info" &&
    grep -qx "Section: graphics" <<<"$info" &&
    grep -q "^Depends:.*libc6 " <<<"$info" &&
    grep -q "^Depends:.*libfreetype6" <<<"$info" &&
    grep -q "^Depends:.*libfontconfig1" <<<"$info" &&
    grep -q "^Depends:.*libstdc++6" <<<"$info" &&
    ! grep -q "^Depends:.*fonts-" <<<"$info" &&
    grep -qx "Recommends: fonts-noto-cjk, xdg-utils" <<<"$info"
}
deb_contents() {
  local list
  list=$(dpkg-deb --contents "$deb") || return 1
  echo "$list"
  # Owned by root, the tool executable, the copyright where Debian wants it.
  ! awk '$2 != "root/root"' <<<"$list" | grep -q . &&
    grep -q '^-rwxr-xr-x .* \./usr/bin/qzffont$' <<<"$list" &&
    grep -q ' \./usr/share/doc/qzffont/copyright$' <<<"$list" &&
    grep -q ' \./usr/share/man/man1/qzffont.1.gz$' <<<"$list" &&
    grep -q '^-rw-r--r-- .* \./usr/share/applications/qzffont-studio.desktop$' <<<"$list"
}
# The desktop entry starts the studio of the packaged tool, in a terminal that says how to stop it.
deb_desktop_entry() {
  local entry=$root/usr/share/applications/qzffont-studio.desktop
  grep -qx 'Exec=qzffont studio' "$entry" && grep -qx 'Terminal=true' "$entry" &&
    grep -qx 'Name\[zh_CN\]=qzffont 字体工作室' "$entry" &&
    { ! command -v desktop-file-validate >/dev/null || desktop-file-validate "$entry"; }
}
# studio_serves PROGRAM...: the studio starts, serves its page to the token in
# the address it prints (403 without), and ends on its page's stop button.
studio_serves() {
  local log=$scratch/studio.log pid url base token i status
  ( cd "$scratch" && exec "$@" --no-browser >"$log" 2>&1 ) &
  pid=$!
  # A slow machine starting Wine may take a while before the address is out.
  for i in $(seq 1 1800); do
    url=$(grep -o 'http://127\.0\.0\.1:[0-9]*/?token=[0-9a-f]*' "$log" | head -1 | tr -d '\r')
    [ -n "$url" ] && break
    sleep 0.1
  done
  [ -n "$url" ] || { echo "no address printed:"; cat "$log"; kill "$pid"; return 1; }
  base=${url%%/?token=*} token=${url##*=}
  local fetch=(curl -s --max-time 60 --retry 5 --retry-connrefused)
  # A machine busy with other work has been seen to drop the first request
  # (once in many runs): a page a player would load again is asked for again;
  # what curl said each time is shown if it never comes.
  local page=$scratch/page.html tries=""
  for i in 1 2 3; do
    "${fetch[@]}" -f -o "$page" "$url" && grep -q '字体工作室' "$page" && break
    tries="$tries curl status $?;"
    rm -f "$page"
    sleep 2
  done
  [ -f "$page" ] || { echo "the page with the token: not served ($tries)"; kill "$pid"; return 1; }
  status=$("${fetch[@]}" -o /dev/null -w '%{http_code}' "$base/")
  [ "$status" = 403 ] || { echo "the page without the token: $status, not 403"; kill "$pid"; return 1; }
  "${fetch[@]}" -f -X POST -H "X-Studio-Token: $token" -H 'Content-Type: application/json' -d '{}' "$base/api/quit" \
    >/dev/null || { echo "the stop request failed"; kill "$pid"; return 1; }
  wait "$pid" || { status=$?; echo "the studio ended with status $status:"; cat "$log"; return 1; }
}
# Debian's own checks of the package: not one error or warning.
deb_lintian() {
  command -v lintian >/dev/null || { echo "lintian is not installed (make setup installs it)"; return 1; }
  lintian --fail-on error,warning "$deb"
}
deb_build() (
  mkdir -p "$scratch/linux" && cd "$scratch/linux" &&
    "$qzf" build --face "$face" --out x.qzf -q && "$qzf" check x.qzf
)
check "deb: control fields (version, library dependencies, fonts recommended)" deb_fields
check "deb: contents and ownership" deb_contents
check "deb: lintian finds no error or warning" deb_lintian
check "deb: dpkg -x into a scratch root" dpkg -x "$deb" "$root"
check "deb: usr/bin/qzffont --version" same "qzffont $version" "$qzf" --version
check "deb: qzffont build from the scratch root passes qzffont check" deb_build
check "deb: the desktop entry starts the studio" deb_desktop_entry
check "deb: qzffont studio serves its page with the token only" studio_serves "$qzf" studio

# ---- the Windows zip ----
win=$scratch/windows
top=$win/qzffont-$version-win64
zip_entries() {
  local want got
  want=$(printf '%s\n' LICENSE.txt README.txt qzffont-gui.exe qzffont-studio.exe qzffont.exe)
  got=$(cmake -E tar tf "$zip" | sed -n "s|^qzffont-$version-win64/\(.\)|\1|p" | LC_ALL=C sort) || return 1
  [ "$got" = "$want" ] || { echo "zip holds: $got"; return 1; }
}
# Only DLLs every Windows has: a MinGW runtime DLL would be missing on a player's machine.
system_dlls() {
  local exe bad=0
  for exe in "$top/qzffont.exe" "$top/qzffont-gui.exe" "$top/qzffont-studio.exe"; do
    x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | grep -v -x -E \
      '(kernel32|user32|gdi32|comdlg32|comctl32|shell32|advapi32|ole32|oleaut32|msvcrt|ucrtbase|ws2_32|mswsock|bcrypt|api-ms-win-.*)\.dll' &&
      { echo "$exe needs the DLLs above"; bad=1; }
  done
  return $bad
}
# VERSIONINFO read back from the executable: the version in numbers and texts, the product name.
version_resource() {
  local exe=$1 rc
  rc=$(x86_64-w64-mingw32-windres -J coff -O rc -i "$exe" 2>&1) || { echo "$rc"; return 1; }
  # windres writes the numbers as "0, 1, 0, 0".
  local numbers="${version//./, *}, *0"
  grep -q "FILEVERSION $numbers\$" <<<"$rc" &&
    grep -q "PRODUCTVERSION $numbers\$" <<<"$rc" &&
    grep -q "VALUE \"FileVersion\", \"$version\"" <<<"$rc" &&
    grep -q "VALUE \"ProductVersion\", \"$version\"" <<<"$rc" &&
    grep -q 'VALUE "ProductName", "qzffont"' <<<"$rc" || { grep -A20 VERSIONINFO <<<"$rc"; return 1; }
}
gui_dialog_kept() {
  local rc
  rc=$(x86_64-w64-mingw32-windres -J coff -O rc -i "$top/qzffont-gui.exe") && grep -q DIALOGEX <<<"$rc"
}
zip_build() (
  cd "$top" && "$wine" ./qzffont.exe build --face "$face" --out x.qzf -q && [ -f x.qzf ] && "$qzf" check x.qzf
)
zip_unpack() (
  mkdir "$win" && cd "$win" && cmake -E tar xf "$zip"
)
check "zip: unpack into an empty directory" zip_unpack
check "zip: holds the three programs, the read-me and the licence" zip_entries
check "zip: programs need only system DLLs" system_dlls
check "zip: qzffont.exe version resource" version_resource "$top/qzffont.exe"
check "zip: qzffont-gui.exe version resource" version_resource "$top/qzffont-gui.exe"
check "zip: qzffont-gui.exe keeps its dialog" gui_dialog_kept
check "zip: qzffont.exe --version under Wine" same "qzffont $version" "$wine" "$top/qzffont.exe" --version
check "zip: qzffont.exe build under Wine passes qzffont check" zip_build
check "zip: qzffont-studio.exe version resource" version_resource "$top/qzffont-studio.exe"
check "zip: qzffont-studio.exe under Wine serves its page with the token only" studio_serves "$wine" "$top/qzffont-studio.exe"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
