#!/bin/sh
# Compares the native font stand-ins with Windows GDI (the Windows build run
# under Wine): for each face and height, glyph_probe renders every GB2312
# code both ways, and this reports the share of glyphs whose metrics and
# GGO_GRAY4_BITMAP bytes are identical and the mean level difference of the
# glyphs placed in their cells as the rewrite pass places them.
#
#   tools/gdi_fidelity.sh [NATIVE_PROBE [WINDOWS_PROBE]]
#
# Defaults: build/native/tools/glyph_probe and build/windows/tools/glyph_probe.exe.
# FACES (lines of UTF-8 face names) and HEIGHTS override what is measured.
# Wine reads a Chinese face name correctly only under code page 936, so the
# Windows probe runs under LANG=zh_CN.UTF-8 when that locale exists.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
native=${1:-$here/build/native/tools/glyph_probe}
windows=${2:-$here/build/windows/tools/glyph_probe.exe}
faces=${FACES:-"Noto Sans CJK SC
WenQuanYi Micro Hei"}
heights=${HEIGHTS:-"20 24 64"}
for probe in "$native" "$windows"; do
  [ -x "$probe" ] || [ -f "$probe" ] || { echo "gdi_fidelity: no probe at $probe" >&2; exit 2; }
done
wine_lang=C.UTF-8
if locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then wine_lang=zh_CN.UTF-8; fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '%-22s %6s %8s %10s %10s %12s %s\n' face height glyphs identical share mean_diff notes
echo "$faces" | while IFS= read -r face; do
  [ -n "$face" ] || continue
  for height in $heights; do
    "$native" "$face" "$height" gb2312 >"$work/native.txt" 2>/dev/null
    LANG=$wine_lang LC_ALL=$wine_lang "$here/tools/wine-run.sh" "$windows" "$face" "$height" gb2312 \
      >"$work/windows.txt" 2>/dev/null
    python3 - "$work/native.txt" "$work/windows.txt" "$face" "$height" <<'EOF'
import sys

def load(path):
    face, tm, glyphs = None, None, {}
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            parts = line.rstrip("\r\n").split(" ")
            if parts[0] == "face":
                face = " ".join(parts[1:])
            elif parts[0] == "tm":
                tm = [int(v) for v in parts[1:]]
            else:
                glyphs[parts[0]] = parts[1:]
    return face, tm, glyphs

def cell(glyph, ascent, size):
    """The glyph's levels placed in a size x size cell at its origin."""
    out = [0] * (size * size)
    _, fetched, w, h, ox, oy, _, _, levels = glyph
    if levels == "-":
        return out
    w, h, ox, oy = int(w), int(h), int(ox), int(oy)
    pitch = (w + 3) // 4 * 4
    for j in range(h):
        r = ascent - oy + j
        if not 0 <= r < size:
            continue
        for k in range(w):
            c = ox + k
            if 0 <= c < size:
                v = levels[j * pitch + k]
                out[r * size + c] = int(v, 17) if v != "?" else 17
    return out

native_face, native_tm, native = load(sys.argv[1])
windows_face, windows_tm, windows = load(sys.argv[2])
face, size = sys.argv[3], int(sys.argv[4])
notes = []
if native_face != windows_face:
    notes.append("face %r vs %r" % (native_face, windows_face))
if native_tm != windows_tm:
    notes.append("tm %s vs %s" % (native_tm, windows_tm))
codes = sorted(set(native) & set(windows))
identical = 0
total_diff = 0
differing = []
for code in codes:
    a, b = native[code], windows[code]
    # Everything the pass reads: sizes, box, origin, levels.
    if a[:6] == b[:6] and a[8] == b[8]:
        identical += 1
    else:
        differing.append(code)
    ca, cb = cell(a, native_tm[1], size), cell(b, windows_tm[1], size)
    total_diff += sum(abs(x - y) for x, y in zip(ca, cb))
n = len(codes)
share = 100.0 * identical / n if n else 0.0
mean = total_diff / (n * size * size) if n else 0.0
if differing:
    notes.append("e.g. " + ",".join(differing[:5]))
if len(codes) != len(native) or len(codes) != len(windows):
    notes.append("code lists differ")
print("%-22s %6d %8d %10d %9.2f%% %12.5f %s" % (face, size, n, identical, share, mean, "; ".join(notes)))
EOF
  done
done
