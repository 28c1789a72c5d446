#!/usr/bin/env python3
"""Single characters' own settings in a style file, driven as a user drives them.

  glyph_test.py PROGRAM [--runner WINE_RUN]

Checks that each per-character setting changes exactly its character's cells
and that those cells are the ones a whole-font build with the same setting
draws; that a hand-drawn picture lands in its cells exactly; that the
punctuation setting moves the full-width marks and nothing else; that a saved
style builds the same bytes again; and that bad per-character settings are
refused with one line naming the file, line and key, and no file written.
"""
import json
import os
import struct
import sys
import zlib

from cli_session import Session

NOTO = "Noto Sans CJK SC"
WQY = "WenQuanYi Micro Hei"
TABLES = {20: 34268, 24: 1627452, 64: 4073532}
COUNT = 7832
# The game codes of the full-width marks the punctuation setting moves.
MARK_CODES = {0x8143, 0x8142, 0x8141, 0x8147, 0x8146, 0x8148, 0x8149, 0x8144}


def write_png(path, width, height, pixels, colour=False):
    """An 8-bit grey (or RGB) PNG; pixels: rows of values (or RGB triples)."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(v for p in row for v in (p if colour else (p,))) for row in pixels)
    header = struct.pack(">IIBBBBB", width, height, 8, 2 if colour else 0, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def cell(data, size, position):
    start = TABLES[size] + position * size * size // 2
    return data[start:start + size * size // 2]


def levels(data, size, position):
    return [v for b in cell(data, size, position) for v in (b & 15, b >> 4)]


def codes(data):
    return [data[4 + 2 * i] | data[5 + 2 * i] << 8 for i in range(COUNT)]


def main():
    session = Session("qzf-glyph-")
    work, runner, check, path = session.work, session.runner, session.check, session.path

    def write(name, text):
        with open(path(name), "w", encoding="utf-8") as f:
            f.write(text)

    def build(name, *args):
        r = runner.run("build", "--out", name, "-q", *args)
        check(f"build {name} {' '.join(args)}", r.returncode == 0, r.stderr.decode(errors="replace"))
        return open(path(name), "rb").read() if r.returncode == 0 else b""

    def changed(a, b):
        r = runner.run("diff", "--json", a, b)
        record = json.loads(r.stdout)
        check(f"diff {a} {b}: nothing outside the tables", not record["outside_tables"]["differs"], record)
        return {s["size"]: set(s["positions"]) for s in record["sizes"]}

    try:
        plain = build("plain.qzf", "--face", NOTO)
        table = codes(plain)
        zhong = table.index(0x9286)   # 中
        stop = table.index(0x8142)    # 。
        # Each setting for one character: exactly its cells change, and they
        # are the cells a whole-font build with the setting draws.
        cases = [
            ("shift", "shift = [1, -2]", ["--shift", "1:-2"], "。", stop),
            ("weight", "weight = 700", ["--weight", "700"], "中", zhong),
            ("italic", "italic = true", ["--italic"], "中", zhong),
            ("mono", "mono = true", ["--mono"], "中", zhong),
            ("gamma", "gamma = 1.8", ["--gamma", "1.8"], "中", zhong),
            ("glyph-size", "glyph-size = { 20 = 16, 64 = 50 }", ["--glyph-size", "20=16,64=50"], "中", zhong),
            ("per-size table", "[glyph.\"中\".size.24]\nbaseline = 18", ["--baseline", "24=18"], "中", zhong),
            ("face", f'face = "{WQY}"', ["--face", WQY], "中", zhong),
            ("code key", "shift = [2, 1]", ["--shift", "2:1"], "0x8142", stop),
            ("punctuation", 'punctuation = "centred"', ["--punctuation", "centred"], "。", stop),
        ]
        for name, setting, args, key, position in cases:
            header = f"[glyph.{key}]" if key.startswith("0x") else f'[glyph."{key}"]'
            text = setting if setting.startswith("[") else header + "\n" + setting
            write(f"{name}.toml", f'face = "{NOTO}"\n' + text + "\n")
            own = build(f"own-{name}.qzf", "--style", f"{name}.toml")
            face = [] if "--face" in args else ["--face", NOTO]
            whole = build(f"whole-{name}.qzf", *face, *args)
            if not own or not whole:
                continue
            diff = changed("plain.qzf", f"own-{name}.qzf")
            check(f"{name}: only the character's cells change", all(d <= {position} for d in diff.values()), diff)
            check(f"{name}: the character's cells change", any(diff.values()), diff)
            for size in TABLES:
                check(f"{name}: {size} px cell as the whole-font setting draws it",
                      cell(own, size, position) == cell(whole, size, position))

        # A picture drawn by hand lands as it is: grey 255 - 17 L is level L.
        os.makedirs(path("glyphs"))
        pictures = {}
        for size in TABLES:
            rows = [[(x * 3 + y * 5 + size) % 16 for x in range(size)] for y in range(size)]
            pictures[size] = [v for row in rows for v in row]
            write_png(path(f"glyphs/zhong-{size}.png"), size, size, [[255 - 17 * v for v in row] for row in rows])
        os.makedirs(path("styles"))
        write("styles/image.toml", f'face = "{NOTO}"\n[glyph."中"]\nimage = "../glyphs/zhong-{{size}}.png"\n')
        own = build("image.qzf", "--style", "styles/image.toml", "--save-style", "saved.toml")
        diff = changed("plain.qzf", "image.qzf")
        check("a picture changes only its character's cells", diff == {s: {zhong} for s in TABLES}, diff)
        for size in TABLES:
            check(f"the {size} px picture lands exactly", own and levels(own, size, zhong) == pictures[size])
        r = runner.run("build", "--out", "image-json.qzf", "-q", "--json", "--style", "styles/image.toml")
        record = json.loads(r.stdout) if r.returncode == 0 else {}
        glyphs = record.get("glyphs", [])
        check("the record lists the character's cells",
              len(glyphs) == 1 and glyphs[0]["key"] == "中" and glyphs[0]["image"]
              and all(s["cells"] == [{"character": "中", "code": "0x9286", "position": zhong}] for s in glyphs[0]["sizes"]),
              glyphs)
        r = runner.run("build", "--out", "image-summary.qzf", "--style", "styles/image.toml")
        summary = r.stdout.decode("utf-8", errors="replace")
        check("the summary lists the character's cells",
              f'glyph "中": 20 px: 1 cell at {zhong}; 24 px: 1 cell at {zhong}; 64 px: 1 cell at {zhong}' in summary,
              summary)
        saved = open(path("saved.toml"), encoding="utf-8").read()
        check("the saved style keeps the character", '[glyph."中"]' in saved, saved)
        again = build("again.qzf", "--style", "saved.toml")
        check("the saved style builds the same bytes (its pictures found beside it)", again == own)

        # The punctuation setting moves the full-width marks and nothing else.
        marks = {i for i, code in enumerate(table) if code in MARK_CODES}
        design = build("design.qzf", "--face", NOTO, "--punctuation", "design")
        check("punctuation design changes no byte", design == plain)
        for face in (NOTO, WQY):
            base = "plain.qzf" if face == NOTO else "wqy.qzf"
            if face != NOTO:
                build(base, "--face", face)
            for placement in ("mainland", "centred"):
                name = f"{placement}-{face.split()[0]}.qzf"
                build(name, "--face", face, "--punctuation", placement)
                diff = changed(base, name)
                check(f"{placement} in {face}: only the marks' cells change",
                      all(d <= marks for d in diff.values()), diff)
                if placement == "centred":
                    check(f"centred in {face}: the marks move", any(diff.values()), diff)

        # Refusals: one line naming the file, the line and the key; no file.
        bad = {
            "unreached.toml": ('[glyph."龘"]\nshift = [1, 0]\n', 'unreached.toml:1: glyph."龘": no code of the dictionary'),
            "nocode.toml": ("[glyph.0x0001]\nshift = [1, 0]\n", 'nocode.toml:1: glyph."0x0001": the font\'s code table'),
            "small.toml": ('[glyph."中"]\nimage = "glyphs/zhong-20.png"\n',
                           'small.toml:1: glyph."中": image: glyphs/zhong-20.png is 20x20 pixels; a 24 px cell'),
            "colour.toml": ('[glyph."中"]\n[glyph."中".size.20]\nimage = "glyphs/colour.png"\n',
                            'colour.toml:1: glyph."中": image: glyphs/colour.png is not greyscale'),
            "missing.toml": ('[glyph."中"]\nimage = "glyphs/none-{size}.png"\n',
                             'missing.toml:1: glyph."中": image: cannot read glyphs/none-20.png'),
            "whole.toml": ('\n[glyph."中"]\nfit = true\n', 'whole.toml:3: glyph."中": fit: the same for the whole font'),
            "unknown.toml": ('[glyph."中"]\nwieght = 700\n', 'unknown.toml:2: glyph."中": unknown setting "wieght"'),
            "range.toml": ('[glyph."中"]\nshift = { 20 = [30, 0] }\n', 'range.toml:2: glyph."中": shift at 20 px'),
            "key.toml": ('[glyph."中文"]\nshift = [1, 0]\n', 'key.toml:1: glyph "中文": give one character'),
            "top.toml": ('image = "a.png"\n', "top.toml:1: image: for single characters only"),
            "face.toml": ('[glyph."中"]\nface = "No Such Face 123"\n',
                          'face.toml:1: glyph."中": face: no installed font is called "No Such Face 123"'),
        }
        # A code of the table the dictionary has no entry for: its cell is kept.
        runner.run("data", "export", "stock")
        listed = runner.run("dict", "list", "stock/dictionary.txt").stdout.decode("utf-8", errors="replace")
        entries = {int(line.split("\t")[1], 16) for line in listed.splitlines() if line.count("\t") >= 2}
        kept = next(code for code in table if code not in entries)
        bad["kept.toml"] = (f"[glyph.0x{kept:04X}]\nshift = [1, 0]\n", f'kept.toml:1: glyph."0x{kept:04X}": the dictionary keeps')
        write_png(path("glyphs/colour.png"), 20, 20, [[(255, 0, 0)] * 20] * 20, colour=True)
        for name, (text, needle) in bad.items():
            write(name, text)
            before = set(os.listdir(work))
            r = runner.run("build", "--face", NOTO, "--out", "bad.qzf", "-q", "--style", name)
            err = r.stderr.decode("utf-8", errors="replace").strip()
            check(f"{name} fails", r.returncode != 0, "status 0")
            check(f"{name} says why on one line", len(err.splitlines()) == 1 and needle in err, repr(err))
            check(f"{name} writes nothing", set(os.listdir(work)) == before, sorted(set(os.listdir(work)) - before))
        # Some of them in Chinese: the style file's value refusal, the build's
        # refusal of a face and of a cell the dictionary keeps.
        for name, needle in [("range.toml", "20 像素格子的"), ("face.toml", "没有名为“No Such Face 123”的已安装字体"),
                             ("kept.toml", "码表保留这个编码的格子")]:
            r = runner.run("build", "--face", NOTO, "--out", "bad.qzf", "-q", "--style", name, lang="zh")
            err = r.stderr.decode("utf-8", errors="replace").strip()
            check(f"{name} in Chinese says why on one line",
                  r.returncode != 0 and len(err.splitlines()) == 1 and name in err and needle in err, repr(err))
    finally:
        session.close()
    return check.report()


if __name__ == "__main__":
    sys.exit(main())
