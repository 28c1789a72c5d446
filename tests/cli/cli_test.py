#!/usr/bin/env python3
"""Drives the qzffont command line as a user would, above all with bad input.

Every bad input must give one clear line on standard error, a non-zero status,
no output file (partial or whole, temporary files included) and no change to
any input file. Run with the program to test, and for a Windows build with the
Wine runner in front of it:

  cli_test.py build/native/qzffont
  cli_test.py --runner tools/wine-run.sh build/windows/qzffont.exe
"""
import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

import record_checks
from png_file import read_png
import render_check
from game_text import GameText

FONT_LENGTH = 20113468
DATA_DICT = "dictionary.txt"
DATA_FONT = "F_FONTJ.qzf"


def digest(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


class Runner:
    def __init__(self, command, work):
        self.command = command
        self.work = work

    def run(self, *args, timeout=600):
        # Paths are given relative to the work directory, which Wine reaches too.
        return subprocess.run(self.command + list(args), cwd=self.work, capture_output=True, timeout=timeout)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def entry_block(i, eng, chi, remark=b""):
    return (b"\r\ntolva_res_No.%08d\r\ntolva_res_ENG_Start\r\n" % i + eng +
            b"\r\ntolva_res_ENG_End\r\ntolva_res_CHI_Start\r\n" + chi +
            b"\r\ntolva_res_CHI_End\r\ntolva_res_Remark00_Start\r\n" + remark + b"\r\ntolva_res_Remark00_End\r\n")


def dictionary(entries):
    return b"banner\r\n\r\n\r\n" + b"".join(entry_block(i, e, c) for i, (e, c) in enumerate(entries)) + \
        b"\r\n\r\n\r\ntolva_res_All_End\r\n"


def render_text(game):
    """A short text that meets every rule of the character-to-cell mapping."""
    chars = ["古", "今", "英", "雄", "。"]
    # A character two entries give: the first in key order draws it.
    for gbk, codes in sorted(game.all_codes.items()):
        if len(codes) > 1 and all(code in game.positions for code in codes):
            chars.append(gbk.decode("gbk"))
            break
    # One the game draws from its own Japanese cell (the entry keeps the
    # glyph, or there is none), and one whose Shift-JIS cell now holds another
    # character, which no cell draws.
    kept = drawn_elsewhere = None
    for code in sorted(game.positions):
        try:
            ch = bytes([code >> 8, code & 0xFF]).decode("cp932")
        except UnicodeDecodeError:
            continue
        try:
            in_dictionary = ch.encode("gbk") in game.by_character
        except UnicodeEncodeError:
            in_dictionary = False
        if in_dictionary or not ("\u4e00" <= ch <= "\u9fff"):
            continue
        if code not in game.drawn and kept is None:
            kept = ch
        if code in game.drawn and drawn_elsewhere is None:
            drawn_elsewhere = ch
    chars += [c for c in ("・", kept, drawn_elsewhere) if c]
    # Wrapped at six cells; a space, CR LF, an empty line, a character nothing draws.
    return "".join(chars[:4]) + " " + "".join(chars[4:]) + "\r\n\nＡあ\u2603x\n", drawn_elsewhere


def check_render(runner, work, check, dictionary_text):
    fonts = {"good.qzf": "good.qzf", DATA_FONT: DATA_FONT}
    game = {name: render_check.game_for(dictionary_text, os.path.join(work, path)) for name, path in fonts.items()}
    text, drawn_elsewhere = render_text(game["good.qzf"])
    write(os.path.join(work, "render.txt"), text.encode("utf-8"))
    cells = render_check.CellCache(runner, work)
    for args, scale in [(["--compare", DATA_FONT, "--size", "24"], 1), (["--size", "all", "--scale", "2"], 2)]:
        r = runner.run("render", "--font", "good.qzf", "--text-file", "render.txt", "--width", "6", "--png", "r.png",
                       *args)
        name = "render " + " ".join(args)
        err = r.stderr.decode("utf-8", errors="replace")
        check(name, r.returncode == 0, err)
        if r.returncode != 0:
            continue
        # The snowman (line 3, column 3), the x after it and the displaced character are listed.
        check(name + " lists what no cell draws",
              "line 3, column 3" in err and "U+2603" in err and "line 3, column 4" in err and
              (not drawn_elsewhere or ("U+%04X" % ord(drawn_elsewhere)) in err), err)
        faults = render_check.check_picture(os.path.join(work, "r.png"), r.stdout.decode(errors="replace"), text, 6,
                                            scale, game, cells, fonts)
        check(name + " draws every pixel from the cells", not faults, "; ".join(faults[:5]))
        os.remove(os.path.join(work, "r.png"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--runner", default=None)
    parser.add_argument("--face", default="Noto Sans CJK SC")
    options = parser.parse_args()
    program = os.path.abspath(options.program)
    command = ([os.path.abspath(options.runner)] if options.runner else []) + [program]

    work = tempfile.mkdtemp(prefix="qzf-cli-")
    runner = Runner(command, work)
    passed, failed = 0, 0

    def check(name, ok, detail=""):
        nonlocal passed, failed
        if ok:
            passed += 1
        else:
            failed += 1
            print(f"FAIL {name}: {detail}", flush=True)

    try:
        # The embedded data, as a starting point for bad variants.
        r = runner.run("data", "export", ".")
        check("data export", r.returncode == 0 and os.path.getsize(os.path.join(work, DATA_FONT)) == FONT_LENGTH,
              r.stderr.decode(errors="replace"))
        stock = open(os.path.join(work, DATA_FONT), "rb").read()
        stock_dict = open(os.path.join(work, DATA_DICT), "rb").read()

        inputs = {}

        def make(name, data):
            write(os.path.join(work, name), data)
            inputs[name] = digest(os.path.join(work, name))
            return name

        miscounted = bytearray(stock)
        miscounted[0:4] = (7831).to_bytes(4, "little")
        make("empty.qzf", b"")
        make("short.qzf", stock[:-1])
        make("miscounted.qzf", bytes(miscounted))
        make("longer.qzf", stock + b"trailing bytes")
        os.mkdir(os.path.join(work, "a-directory"))
        last = stock_dict.rindex(b"tolva_res_CHI_End\r\n")  # the last entry has no later marker to find
        make("no-marker.txt", stock_dict[:last] + b"tolva_res_CHI_Xnd" + stock_dict[last + 17:])
        cut = stock_dict.index(b"tolva_res_CHI_Start", 1000)
        make("nul.txt", stock_dict[:cut] + b"\0" + stock_dict[cut + 1:])
        make("disordered.txt", dictionary([(b"\x82\xa0", b"\xb0\xa1"), (b"\x81\x40", b"\xb0\xa2")]))
        make("not-gbk.txt", dictionary([(b"\x81\x40", b"\xff\xff"), (b"\x82\xa0", b"\xb0\xa1")]))
        huge = os.path.join(work, "huge.txt")
        with open(huge, "wb") as f:
            f.truncate(200000001)  # sparse: the size alone is refused
        inputs["huge.txt"] = digest(huge)
        # A binary image whose only record points past its text.
        image = (1).to_bytes(4, "little") + (1).to_bytes(4, "little")
        image += b"".join(v.to_bytes(4, "little") for v in (0, 100, 200, 2, 2, 0)) + b"ab\0cd\0\0"
        make("past-end.bin", image)

        def bad(name, args, needle):
            before = set(os.listdir(work))
            r = runner.run(*args)
            err = r.stderr.decode("utf-8", errors="replace").strip()
            after = set(os.listdir(work))
            lines = [line for line in err.splitlines() if line.startswith("qzffont:")]
            check(name, r.returncode != 0, "status 0")
            check(name + " says why", len(lines) == 1 and needle in lines[0], repr(err))
            check(name + " leaves no file", after == before, sorted(after - before))
            for input_name, h in inputs.items():
                if digest(os.path.join(work, input_name)) != h:
                    check(name + " keeps " + input_name, False, "changed")

        face = ["--face", options.face]
        bad("unknown face", ["build", "--face", "No Such Face 123", "--out", "o.qzf"], "no installed font")
        bad("face of 300 bytes", ["build", "--face", "x" * 300, "--out", "o.qzf"], "too long")
        bad("empty base", ["build", *face, "--base", "empty.qzf", "--out", "o.qzf"], "not a game font file")
        bad("truncated base", ["build", *face, "--base", "short.qzf", "--out", "o.qzf"], "not a game font file")
        bad("miscounted base", ["build", *face, "--base", "miscounted.qzf", "--out", "o.qzf"], "glyph count 7831")
        bad("missing base", ["build", *face, "--base", "nowhere.qzf", "--out", "o.qzf"], "cannot read")
        bad("directory as base", ["build", *face, "--base", "a-directory", "--out", "o.qzf"], "cannot read")
        bad("directory as output", ["build", *face, "--out", "a-directory"], "cannot write")
        bad("output in a missing directory", ["build", *face, "--out", "missing/o.qzf"], "cannot write")
        bad("missing dictionary", ["build", *face, "--dict", "nowhere.txt", "--out", "o.qzf"], "does not load")
        bad("dictionary without a marker", ["build", *face, "--dict", "no-marker.txt", "--out", "o.qzf"],
            "does not load")
        bad("dictionary with a NUL", ["build", *face, "--dict", "nul.txt", "--out", "o.qzf"], "does not load")
        bad("dictionary of 200,000,001 bytes", ["build", *face, "--dict", "huge.txt", "--out", "o.qzf"],
            "does not load")
        bad("dictionary out of order", ["build", *face, "--dict", "disordered.txt", "--out", "o.qzf"],
            "ascending key order")
        bad("dictionary with non-GBK text", ["build", *face, "--dict", "not-gbk.txt", "--out", "o.qzf"],
            "GBK character")
        bad("image pointing past its end", ["build", *face, "--dict", "past-end.bin", "--out", "o.qzf"],
            "does not load")
        bad("check of a short file", ["check", "short.qzf"], "not a game font file")
        bad("check of a missing file", ["check", "nowhere.qzf"], "cannot read")
        bad("cell without a position", ["cell", "longer.qzf"], "--index")
        bad("diff with a miscounted file", ["diff", "longer.qzf", "miscounted.qzf"], "not a game font file")
        bad("export to a missing directory", ["data", "export", "missing"], "not a directory")

        make("text.txt", "古今英雄".encode("utf-8"))
        make("latin1.txt", "caf\xe9".encode("latin-1"))
        make("empty.txt", b"")
        make("thousand.txt", "古".encode("utf-8") * 1000)
        render = {"--font": DATA_FONT, "--text-file": "text.txt", "--png": "r.png"}
        for name, change, needle in [
            ("render from a short file", {"--font": "short.qzf"}, "not a game font file"),
            ("render from a miscounted file", {"--font": "miscounted.qzf"}, "not a game font file"),
            ("render from a missing file", {"--font": "nowhere.qzf"}, "cannot read"),
            ("render comparing with a short file", {"--compare": "short.qzf"}, "not a game font file"),
            ("render with a dictionary that does not load", {"--dict": "no-marker.txt"}, "does not load"),
            ("render with a missing dictionary", {"--dict": "nowhere.txt"}, "does not load"),
            ("render a text that is not UTF-8", {"--text-file": "latin1.txt"}, "not UTF-8"),
            ("render an empty text", {"--text-file": "empty.txt"}, "empty"),
            ("render a missing text file", {"--text-file": "nowhere.txt"}, "cannot read"),
            ("render into a missing directory", {"--png": "missing/r.png"}, "cannot write"),
            ("render onto a directory", {"--png": "a-directory"}, "cannot write"),
            ("render at 32 px", {"--size": "32"}, "--size"),
            ("render at a width of 0", {"--width": "0"}, "--width"),
            ("render at a scale of 0", {"--scale": "0"}, "--scale"),
            ("render a picture too large", {"--text-file": "thousand.txt", "--width": "1000", "--size": "64",
                                            "--scale": "16"}, "too large"),
        ]:
            given = {**render, **change}
            bad(name, ["render"] + [part for option in given.items() for part in option], needle)
        bad("preview with a dictionary that does not load",
            ["preview", *face, "--font", DATA_FONT, "--dict", "no-marker.txt", "--png", "p.png"], "does not load")
        bad("render without a text", ["render", "--font", DATA_FONT, "--png", "r.png"], "--text")

        # What a user does when all is well.
        r = runner.run("build", *face, "--base", "longer.qzf", "--out", "good.qzf")
        check("build from a longer base", r.returncode == 0, r.stderr.decode(errors="replace"))
        good = os.path.join(work, "good.qzf")
        if r.returncode == 0:
            data = open(good, "rb").read()
            check("longer base keeps its length", len(data) == FONT_LENGTH + 14 and data.endswith(b"trailing bytes"))
            out = r.stdout.decode(errors="replace")
            check("summary", out.count("4892 cells rewritten") == 3, out)
            r = runner.run("check", "good.qzf")
            check("check accepts the build", r.returncode == 0, r.stderr.decode(errors="replace"))
            r = runner.run("diff", DATA_FONT, "good.qzf")
            out = r.stdout.decode(errors="replace")
            check("diff shows the rewritten cells", r.returncode == 0 and "outside the tables: differs (length" in out,
                  out)
            r = runner.run("build", *face, "--out", "good.qzf", "--quiet")
            check("an earlier output is replaced", r.returncode == 0 and os.path.getsize(good) == FONT_LENGTH)
            # The same dictionary as a binary image gives the same font.
            r = runner.run("dict", "to-bin", DATA_DICT, "dict.bin")
            check("dict to-bin", r.returncode == 0 and b"4904 entries" in r.stdout, r.stdout + r.stderr)
            r = runner.run("build", *face, "--dict", "dict.bin", "--out", "from-bin.qzf", "--quiet")
            check("build from a binary dictionary", r.returncode == 0, r.stderr.decode(errors="replace"))
            if r.returncode == 0:
                check("binary and text dictionaries build the same font",
                      digest(os.path.join(work, "from-bin.qzf")) == digest(good))
            r = runner.run("dict", "from-bin", "dict.bin", "back.txt")
            check("dict from-bin", r.returncode == 0, r.stderr.decode(errors="replace"))
            r = runner.run("dict", "lookup", "back.txt", "0x8140")
            check("dict lookup", r.returncode == 0 and r.stdout.startswith(b"0\t0x8140\t"), r.stdout)
            r = runner.run("dict", "add", "back.txt", "0x7F7F", "0xB0A1", "--out", "back.txt")
            check("dict add refuses to overwrite", r.returncode != 0 and b"give a new file" in r.stderr, r.stderr)
            check_render(runner, work, check, stock_dict)
            r = runner.run("preview", *face, "--font", "good.qzf", "--png", "preview.png")
            check("preview", r.returncode == 0, r.stderr.decode(errors="replace"))
            if r.returncode == 0:
                # The face's lines, then two blocks of three lines per size.
                width, height, _ = read_png(os.path.join(work, "preview.png"))
                check("preview holds every size", width >= 64 * 15 and height > 2 * 3 * (20 * 2 + 24 * 2 + 64),
                      (width, height))
            record_checks.check_records(runner, work, check, stock_dict, options.face, DATA_FONT, "good.qzf")
        r = runner.run("build", "--face", "No Such Face 123", "--allow-substitute", "--out", "sub.qzf")
        check("a substitute when allowed", r.returncode == 0 and b"substitute" in r.stdout, r.stdout)
        r = runner.run("cell", DATA_FONT, "--size", "24", "--code", "0x82A0")
        check("cell as text art", r.returncode == 0 and r.stdout.count(b"\n") == 25, r.stdout[:200])
        r = runner.run("cell", DATA_FONT, "--size", "64", "--index", "5", "--png", "cell.png")
        check("cell as a PNG", r.returncode == 0 and open(os.path.join(work, "cell.png"), "rb").read(4) == b"\x89PNG")
        r = runner.run("--version")
        check("version", r.returncode == 0 and r.stdout.startswith(b"qzffont "), r.stdout)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
