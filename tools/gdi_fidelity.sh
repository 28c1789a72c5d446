#!/bin/sh
# Compares the native font stand-ins with Windows GDI (the Windows build run
# under Wine): for each face, cell size and font variant, glyph_probe renders
# every GB2312 code both ways, and this reports the share of glyphs whose
# metrics and bitmap bytes are identical and the mean level difference of the
# glyphs placed in their cells as the rewrite pass places them.
#
#   tools/gdi_fidelity.sh [NATIVE_PROBE [WINDOWS_PROBE]]
#
# Defaults: build/native/tools/glyph_probe and build/windows/tools/glyph_probe.exe.
# Overrides: FACES (lines of UTF-8 face names), HEIGHTS (cell sizes),
# VARIANTS (names below), FONT_FILE (a font file both probes add first).
# Variants, for cell size S:
#   cell      height S (the character cell), weight 400, GGO_GRAY4_BITMAP
#   em        em height S - S/10 (18, 22, 58 for 20, 24, 64: a font a
#             little smaller than the cell)
#   em-full   em height S
#   w100 w300 w600 w700 w900   weight N at height S
#   italic    italic at height S
#   mono      GGO_BITMAP at height S
#   bold-italic, mono-bold, mono-italic   the two together
# Wine reads a Chinese face name correctly only under code page 936, so the
# Windows probe runs under LANG=zh_CN.UTF-8 when that locale exists.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
native=${1:-$here/build/native/tools/glyph_probe}
windows=${2:-$here/build/windows/tools/glyph_probe.exe}
faces=${FACES:-"Noto Sans CJK SC
WenQuanYi Micro Hei"}
heights=${HEIGHTS:-"20 24 64"}
variants=${VARIANTS:-"cell em em-full w700 italic mono"}
for probe in "$native" "$windows"; do
  [ -x "$probe" ] || [ -f "$probe" ] || { echo "gdi_fidelity: no probe at $probe" >&2; exit 2; }
done
wine_lang=C.UTF-8
if locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then wine_lang=zh_CN.UTF-8; fi

# The probe's options for a variant at cell size $2.
variant_args() {
  case $1 in
    cell) echo "$2" ;;
    em) echo "-$(($2 - $2 / 10))" ;;
    em-full) echo "-$2" ;;
    w[0-9]*) echo "$2 --weight ${1#w}" ;;
    italic) echo "$2 --italic" ;;
    mono) echo "$2 --format bitmap" ;;
    bold-italic) echo "$2 --weight 700 --italic" ;;
    mono-bold) echo "$2 --format bitmap --weight 700" ;;
    mono-italic) echo "$2 --format bitmap --italic" ;;
    *)
      echo "gdi_fidelity: unknown variant $1" >&2
      exit 2
      ;;
  esac
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '%-22s %6s %-11s %8s %10s %10s %12s %s\n' face size variant glyphs identical share mean_diff notes
echo "$faces" | while IFS= read -r face; do
  [ -n "$face" ] || continue
  for height in $heights; do
    for variant in $variants; do
      # shellcheck disable=SC2046 # the options are words
      set -- $(variant_args "$variant" "$height")
      if [ -n "${FONT_FILE:-}" ]; then set -- "$@" --font-file "$FONT_FILE"; fi
      format=gray4
      case " $* " in *" bitmap "*) format=bitmap ;; esac
      "$native" "$face" "$@" gb2312 >"$work/native.txt" 2>/dev/null
      LANG=$wine_lang LC_ALL=$wine_lang "$here/tools/wine-run.sh" "$windows" "$face" "$@" gb2312 \
        >"$work/windows.txt" 2>/dev/null
      /usr/bin/python3 - "$work/native.txt" "$work/windows.txt" "$face" "$height" "$variant" "$format" <<'PYTHON'
import sys


def load(path):
    face, tm, glyphs = None, None, {}
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            parts = line.rstrip("\r\n").split(" ")
            if parts[0] == "added":
                continue
            if parts[0] == "face":
                face = " ".join(parts[1:])
            elif parts[0] == "tm":
                tm = [int(v) for v in parts[1:]]
            else:
                glyphs[parts[0]] = parts[1:]
    return face, tm, glyphs


def levels(glyph, fmt):
    """The glyph's pixels as rows of levels 0..16 (two-level glyphs as 0 or 16)."""
    _, _, w, h, _, _, _, _, bits = glyph
    w, h = int(w), int(h)
    if bits == "-":
        return []
    if fmt == "bitmap":
        data = bytes.fromhex(bits)
        pitch = (w + 31) // 32 * 4
        return [[16 * ((data[j * pitch + k // 8] >> (7 - k % 8)) & 1) for k in range(w)] for j in range(h)]
    pitch = (w + 3) // 4 * 4
    return [[int(v, 17) if v != "?" else 17 for v in bits[j * pitch:j * pitch + w]] for j in range(h)]


def cell(glyph, ascent, size, fmt):
    """The glyph's levels placed in a size x size cell at its origin."""
    out = [0] * (size * size)
    ox, oy = int(glyph[4]), int(glyph[5])
    for j, row in enumerate(levels(glyph, fmt)):
        r = ascent - oy + j
        if not 0 <= r < size:
            continue
        for k, v in enumerate(row):
            c = ox + k
            if 0 <= c < size:
                out[r * size + c] = v
    return out


native_face, native_tm, native = load(sys.argv[1])
windows_face, windows_tm, windows = load(sys.argv[2])
face, size, variant, fmt = sys.argv[3], int(sys.argv[4]), sys.argv[5], sys.argv[6]
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
    # Everything the pass reads: sizes, box, origin, bits.
    if a[:6] == b[:6] and a[8] == b[8]:
        identical += 1
    else:
        differing.append(code)
    if native_tm and windows_tm:
        ca, cb = cell(a, native_tm[1], size, fmt), cell(b, windows_tm[1], size, fmt)
        total_diff += sum(abs(x - y) for x, y in zip(ca, cb))
n = len(codes)
share = 100.0 * identical / n if n else 0.0
mean = total_diff / (n * size * size) if n else 0.0
if differing:
    notes.append("e.g. " + ",".join(differing[:5]))
if len(codes) != len(native) or len(codes) != len(windows):
    notes.append("code lists differ")
print("%-22s %6d %-11s %8d %10d %9.2f%% %12.5f %s" % (face, size, variant, n, identical, share, mean, "; ".join(notes)))
PYTHON
    done
  done
done
