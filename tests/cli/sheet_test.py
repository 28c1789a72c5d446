#!/usr/bin/env python3
"""`qzffont sheet` driven as a user drives it, on the embedded font file.

  sheet_test.py PROGRAM [--runner WINE_RUN] [--native NATIVE_PROGRAM]

An exported sheet imported untouched gives the same bytes; an edited sheet
changes exactly the edited cells (as `diff --json` sees them); bad sheets and
options are refused with one line and no file. With --native (the Windows
build under Wine), the sheets and fonts are compared byte for byte with the
native program's.
"""
import json
import os
import shutil
import struct
import sys
import zlib

from cli_session import Session
from file_digest import digest
from png_file import read_png

FONT = "F_FONTJ.qzf"
SIZES = (20, 24, 64)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    return struct.unpack(">II", head[16:24]) if head[12:16] == b"IHDR" else (None, None)


def write_png(path, rows, alpha=False):
    """rows[y][x]: an (r, g, b) or (r, g, b, a) tuple; filter 0, one IDAT."""
    width, height = len(rows[0]), len(rows)
    channels = 4 if alpha else 3
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel[:channels]) for row in rows)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) +
                chunk(b"IEND", b""))


def main():
    session = Session("qzf-sheet-", native=True)
    work, runner, native, check, path = session.work, session.runner, session.native, session.check, session.path

    def ok(name, *args, program=None):
        r = (program or runner).run(*args)
        check(name, r.returncode == 0, r.stderr.decode(errors="replace"))
        return r

    def bad(name, args, needle):
        before = {n: digest(path(n)) for n in os.listdir(work) if os.path.isfile(path(n))}
        r = runner.run(*args)
        err = r.stderr.decode("utf-8", errors="replace").strip()
        lines = [line for line in err.splitlines() if line.startswith("qzffont:")]
        check(name, r.returncode != 0, "status 0")
        check(name + " says why", len(lines) == 1 and needle in lines[0], repr(err))
        after = {n: digest(path(n)) for n in os.listdir(work) if os.path.isfile(path(n))}
        check(name + " writes nothing", after == before, sorted(set(after) ^ set(before)))

    try:
        ok("data export", "data", "export", ".")
        # A sheet of each size, imported untouched: the same bytes.
        for size in SIZES:
            sheet = f"s{size}.png"
            r = ok(f"export at {size} px", "sheet", "export", FONT, "--size", str(size), "--png", sheet,
                   "--codes", "0x8140-0x88FF")
            index = json.load(open(path(f"s{size}.json"), encoding="utf-8"))
            width, height = png_size(path(sheet))
            check(f"{size} px sheet as its index lays it out",
                  (width, height) == (index["width"], index["height"]) and index["size"] == size and
                  width == 1 + index["columns"] * (size + 1) and index["cells"], (width, height, index["width"]))
            ok(f"untouched import at {size} px", "sheet", "import", FONT, sheet, "--out", f"same{size}.qzf")
            check(f"untouched {size} px sheet gives the same bytes", digest(path(f"same{size}.qzf")) == digest(path(FONT)))
            if native:
                ok(f"native export at {size} px", "sheet", "export", FONT, "--size", str(size), "--png",
                   "native.png", "--codes", "0x8140-0x88FF", program=native)
                for mine, theirs in ((sheet, "native.png"), (f"s{size}.json", "native.json")):
                    check(f"{mine} the same as the native program's", digest(path(mine)) == digest(path(theirs)))

        # Characters the way the game finds them; the index says which.
        ok("export by characters", "sheet", "export", FONT, "--size", "24", "--png", "chars.png", "--chars",
           "。古今古")
        index = json.load(open(path("chars.json"), encoding="utf-8"))
        check("each character once, in order", [c["character"] for c in index["cells"]] == ["。", "古", "今"],
              index["cells"])
        check("the full stop is the game's own cell", index["cells"][0]["code"] == "0x8142", index["cells"][0])

        # Edit three cells of the 24 px sheet, and paint over the gap.
        index = json.load(open(path("s24.json"), encoding="utf-8"))
        _, _, rows = read_png(path("s24.png"))
        edited = {}
        for n, cell in enumerate(index["cells"][1:40:13]):
            x0, y0 = 1 + cell["column"] * 25, 1 + cell["row"] * 25
            grey = 255 - 17 * ((n * 5 + 3) % 16)
            old = rows[y0 + 10][x0 + 7]
            rows[y0 + 10][x0 + 7] = (grey, grey, grey) if old != (grey, grey, grey) else (255 - grey,) * 3
            edited[cell["position"]] = cell["code"]
        rows[0][0] = (0, 0, 0)
        write_png(path("edited.png"), rows)
        shutil.copy(path("s24.json"), path("edited.json"))
        r = ok("import an edited sheet", "sheet", "import", FONT, "edited.png", "--out", "edited.qzf")
        out = r.stdout.decode("utf-8", errors="replace")
        check("the import names the changed cells", "3 of " in out and all(c in out for c in edited.values()), out)
        r = ok("diff the edited font", "diff", "--json", FONT, "edited.qzf")
        if r.returncode == 0:
            record = json.loads(r.stdout)
            positions = {s["size"]: s["positions"] for s in record["sizes"]}
            check("exactly the edited cells differ", positions == {20: [], 24: sorted(edited), 64: []}, positions)
            check("nothing outside the tables differs", not record["outside_tables"]["differs"])
        if native:
            ok("native import of the edited sheet", "sheet", "import", FONT, "edited.png", "--out", "native.qzf",
               program=native)
            check("the edited font the same as the native program's", digest(path("native.qzf")) == digest(path("edited.qzf")))
        # Saved with an alpha channel, fully opaque: the same.
        write_png(path("alpha.png"), [[(*p, 255) for p in row] for row in rows], alpha=True)
        shutil.copy(path("s24.json"), path("alpha.json"))
        ok("import a sheet saved with alpha", "sheet", "import", FONT, "alpha.png", "--out", "alpha.qzf")
        check("alpha sheet gives the same font", digest(path("alpha.qzf")) == digest(path("edited.qzf")))

        # Refusals: one line, no file.
        spoilt = [list(row) for row in rows]
        spoilt[5][5] = (100, 100, 100)
        write_png(path("grey.png"), spoilt)
        shutil.copy(path("s24.json"), path("grey.json"))
        bad("a pixel between the greys", ["sheet", "import", FONT, "grey.png", "--out", "n.qzf"],
            "(5, 5) in the cell of 0x8140 is not one of the 16 greys")
        write_png(path("short.png"), rows[:-1])
        shutil.copy(path("s24.json"), path("short.json"))
        bad("a sheet cut short", ["sheet", "import", FONT, "short.png", "--out", "n.qzf"], "its index lays out")
        shutil.copy(path("s24.png"), path("lone.png"))
        bad("a sheet without its index", ["sheet", "import", FONT, "lone.png", "--out", "n.qzf"],
            "cannot read lone.json")
        with open(path("broken.json"), "w") as f:
            f.write("{")
        shutil.copy(path("s24.png"), path("broken.png"))
        bad("a broken index", ["sheet", "import", FONT, "broken.png", "--out", "n.qzf"], "broken.json is not JSON")
        shutil.copy(path("s20.json"), path("other.json"))
        shutil.copy(path("s24.png"), path("other.png"))
        bad("another sheet's index", ["sheet", "import", FONT, "other.png", "--out", "n.qzf"], "its index lays out")
        with open(path("text.png"), "w") as f:
            f.write("not a picture")
        shutil.copy(path("s24.json"), path("text.json"))
        bad("a file that is not a PNG", ["sheet", "import", FONT, "text.png", "--out", "n.qzf"], "not a PNG")
        bad("import into a short font", ["sheet", "import", "s24.json", "s24.png", "--out", "n.qzf"],
            "not a game font file")
        bad("export at 32 px", ["sheet", "export", FONT, "--size", "32", "--png", "n.png"], "--size")
        bad("export of a backward range", ["sheet", "export", FONT, "--size", "20", "--png", "n.png", "--codes",
                                           "0x9000-0x8000"], "--codes")
        bad("export of an empty range", ["sheet", "export", FONT, "--size", "20", "--png", "n.png", "--codes",
                                         "0x0001-0x0002"], "no cell")
        bad("export of a character no cell draws", ["sheet", "export", FONT, "--size", "20", "--png", "n.png",
                                                    "--chars", "\u2603"], "no cell draws \u2603")
        bad("export into a missing folder", ["sheet", "export", FONT, "--size", "20", "--png", "no/n.png"],
            "cannot write")
        os.mkdir(path("n.png"))
        bad("export onto a folder", ["sheet", "export", FONT, "--size", "20", "--png", "n.png", "--codes",
                                     "0x8140-0x8150"], "cannot write n.png")
    finally:
        session.close()
    return check.report()


if __name__ == "__main__":
    sys.exit(main())
