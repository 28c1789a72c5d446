#!/usr/bin/env python3
"""The glyph style options of `qzffont build`, driven as a user drives them.

  style_test.py PROGRAM [--runner WINE_RUN] [--native NATIVE_PROGRAM]

Checks that no style option changes a byte of the default build, that bad
options and style files are refused with one line and no file, that a saved
style builds the same bytes again, that --fit makes the glyphs fill and centre
their cells, and that fallback faces draw what the face cannot. Every
option's build is the same on one thread as on many; with --native (the
Windows build under Wine), it is compared byte for byte with the native
program's instead.
"""
import json
import os
import re
import statistics
import subprocess
import sys

from cli_session import Session
from file_digest import digest
from glyph_test import write_png
from game_text import NO_CHANGE, dictionary_entries

NOTO = "Noto Sans CJK SC"
# The default build in Noto Sans CJK SC from the embedded stand-in data, as
# it was before the style options existed. It holds for the font packages it
# was made with; with other versions the comparison is skipped, visibly.
DEFAULT_DIGEST = "006a566ab0871a3f3ecd2c15c5e782b3ab1c97a95cff98989b6153c92d49d6da"
DEFAULT_PACKAGES = {"fonts-noto-cjk": "1:20220127+repack1-1", "libfreetype6": "2.12.1+dfsg-5+deb12u4"}
SIZES = [(20, 34268), (24, 1627452), (64, 4073532)]
HERE = os.path.dirname(os.path.abspath(__file__))
MAKE_PRIVATE_FONT = os.path.join(HERE, "..", "platform", "make_private_font.py")
WQY = "WenQuanYi Micro Hei"
IPA = "IPAGothic"
COUNT = 7832
# The share of the drawn characters whose ink the fit lets the cell cut.
FIT_CUT_SHARE = 0.005
SKIPPED = 77


def package_version(name):
    r = subprocess.run(["dpkg-query", "-W", "-f=${Version}", name], capture_output=True)
    return r.stdout.decode() if r.returncode == 0 else None


def is_kanji(code):
    return 0x889F <= code <= 0x9FFC or 0xE040 <= code <= 0xEAA4


def ink_figures(path):
    """Per size: median ink height (share of the cell) and the median ink
    box's offset from the cell's centre, over the cells of kanji codes."""
    data = open(path, "rb").read()
    codes = [data[4 + 2 * i] | data[5 + 2 * i] << 8 for i in range(COUNT)]
    figures = []
    for size, table in SIZES:
        cell = size * size // 2
        heights, dx, dy = [], [], []
        for i, code in enumerate(codes):
            if not is_kanji(code):
                continue
            top = bottom = left = right = None
            for y in range(size):
                row = data[table + i * cell + y * size // 2:table + i * cell + (y + 1) * size // 2]
                # Two pixels a byte, the left one in the low nibble: the
                # first and last bytes with ink hold the row's ends.
                first = len(row) - len(row.lstrip(b"\0"))
                if first == len(row):
                    continue
                last = len(row.rstrip(b"\0")) - 1
                ink_left = 2 * first + (0 if row[first] & 15 else 1)
                ink_right = 2 * last + (2 if row[last] >> 4 else 1)
                top = y if top is None else top
                bottom = y + 1
                left = ink_left if left is None else min(left, ink_left)
                right = ink_right if right is None else max(right, ink_right)
            if top is not None:
                heights.append(bottom - top)
                dx.append((left + right) / 2 - size / 2)
                dy.append((top + bottom) / 2 - size / 2)
        figures.append((size, statistics.median(heights) / size, statistics.median(dx), statistics.median(dy)))
    return figures


def main():
    session = Session("qzf-style-", native=True)
    work, runner, native, check, path = session.work, session.runner, session.native, session.check, session.path

    def build(name, *args, program=None, quiet=True):
        # -q leaves only errors: a build whose summary is read is not quiet.
        r = (program or runner).run("build", "--out", name, *(["-q"] if quiet else []), *args)
        check(f"build {name} {' '.join(args)}", r.returncode == 0, r.stderr.decode(errors="replace"))
        return r

    # The faces drawn with, as the program lists them: without the face of
    # every build there is nothing to test; without another face its part is
    # skipped with a message.
    listed = runner.run("fonts", "--all", "--json")
    try:
        installed = {n.lower() for f in json.loads(listed.stdout.decode("utf-8"))["faces"]
                     for n in [f["name"]] + f["other_names"]}
    except (ValueError, KeyError):
        installed = set()
        check("fonts --all --json lists the faces", False, listed.stdout[:300] + listed.stderr[:300])
    if NOTO.lower() not in installed and check.failed == 0:
        print(f"SKIP: {NOTO} is not installed; every style build draws with it", flush=True)
        session.close()
        return SKIPPED
    have_ipa = IPA.lower() in installed
    have_wqy = WQY.lower() in installed
    for face, have in ((IPA, have_ipa), (WQY, have_wqy)):
        if not have:
            print(f"SKIP the checks that draw with {face}: it is not installed", flush=True)

    try:
        # No style option, and every option at its default, change no byte.
        build("plain.qzf", "--face", NOTO)
        with open(path("defaults.toml"), "w") as f:
            f.write('weight = 400\nitalic = false\nmono = false\ngamma = 1.0\nalign = "design"\nfit = false\n')
        build("explicit.qzf", "--face", NOTO, "--weight", "400", "--gamma", "1", "--align", "design",
              "--shift", "0:0", "--style", "defaults.toml")
        check("explicit defaults change no byte", digest(path("explicit.qzf")) == digest(path("plain.qzf")))
        versions = {name: package_version(name) for name in DEFAULT_PACKAGES}
        if versions == DEFAULT_PACKAGES:
            check("the default build is the one made before the style options",
                  digest(path("plain.qzf")) == DEFAULT_DIGEST, digest(path("plain.qzf")))
        else:
            print(f"NOTICE: font packages {versions} differ from {DEFAULT_PACKAGES}: stored digest not compared",
                  flush=True)

        # Bad options and style files: one line, a non-zero status, no file.
        bad_files = {
            "unknown.toml": ("weight = 700\nwieght = 700\n", 'unknown.toml:2: unknown setting "wieght"'),
            "range.toml": ("[size.20]\nbaseline = 40\n",
                           'range.toml:2: baseline at 20 px: "40" is not an integer from 0 to 20'),
            "size.toml": ("[size.30]\nweight = 700\n", 'size.toml:1: size "30": the cell sizes are 20, 24 and 64'),
            "broken.toml": ("weight = = 3\n", "broken.toml:1: not TOML"),
        }
        for name, (text, _) in bad_files.items():
            with open(path(name), "w") as f:
                f.write(text)
        cases = [(["--glyph-size", "30=18"], 'glyph-size: "30=18": give SIZE=VALUE'),
                 (["--glyph-size", "2"], 'glyph-size: "2" is not an integer from 4 to 128'),
                 (["--weight", "950"], 'weight: "950" is not an integer from 100 to 900'),
                 (["--gamma", "zero"], 'gamma: "zero" is not a number from 0.1 to 10'),
                 (["--shift", "20=1"], 'shift at 20 px: "1" is not two integers (right, down) from -20 to 20'),
                 (["--align", "middle"], 'align: "middle" is not one of design, center'),
                 # Given but empty, a size twice, a line break: refused, never ignored.
                 (["--glyph-size", ""], "glyph-size: the value is empty"),
                 (["--baseline", ""], "baseline: the value is empty"),
                 (["--shift", ""], "shift: the value is empty"),
                 (["--align", ""], "align: the value is empty"),
                 (["--weight", ""], "weight: the value is empty"),
                 (["--gamma", ""], "gamma: the value is empty"),
                 (["--fallback", ""], "fallback: the value is empty"),
                 (["--glyph-size", "20=18,"], 'glyph-size: "": give SIZE=VALUE'),
                 (["--glyph-size", "20=18,20=19"], "glyph-size at 20 px: the size is given twice"),
                 (["--baseline", "24=20,24=21"], "baseline at 24 px: the size is given twice"),
                 (["--shift", "20=1:1,20=2:2"], "shift at 20 px: the size is given twice"),
                 (["--weight", "7\n00"], 'weight: "7\\n00" holds a control character'),
                 # The argument parser's own refusals, on one line too.
                 (["--weight", "700", "--weight", "400"], "--weight: given more than once"),
                 (["--weight"], "--weight"),
                 (["--no-such-option"], "--no-such-option"),
                 (["--fallback", "No Such Face 123"], "no installed font is called \"No Such Face 123\""),
                 (["--style", "missing.toml"], "cannot read the style file missing.toml")]
        cases += [(["--style", name], needle) for name, (_, needle) in bad_files.items()]
        for args, needle in cases:
            before = set(os.listdir(work))
            r = runner.run("build", "--face", NOTO, "--out", "bad.qzf", "--save-style", "bad.toml", *args)
            err = r.stderr.decode("utf-8", errors="replace").strip()
            lines = [line for line in err.splitlines() if line.startswith("qzffont:")]
            name = " ".join(args)
            check(name + " fails", r.returncode != 0, "status 0")
            check(name + " says why on one line", len(err.splitlines()) == 1 and len(lines) == 1 and needle in lines[0],
                  repr(err))
            check(name + " writes nothing", set(os.listdir(work)) == before, sorted(set(os.listdir(work)) - before))

        # --fit: glyphs that fill and centre their cells; the style it saves
        # builds the same bytes again.
        r = build("fit.qzf", "--face", NOTO, "--fit", "--save-style", "fit.toml", "--report", "fit.json",
                  quiet=False)
        summary = r.stdout.decode(errors="replace")
        saved = open(path("fit.toml"), encoding="utf-8").read()
        check("the saved style holds what the fit chose", "glyph-size = " in saved and 'align = "center"' in saved,
              saved)
        r = build("again.qzf", "--style", "fit.toml")
        check("a quiet build of a fitted style prints nothing at all", r.stdout == b"" and r.stderr == b"",
              r.stdout + r.stderr)
        check("a saved style builds the same bytes", digest(path("again.qzf")) == digest(path("fit.qzf")))
        # The Windows build's fit is compared byte for byte with the native
        # one below, whose figures the native run checks.
        for size, height, dx, dy in ([] if native else ink_figures(path("fit.qzf"))):
            check(f"fit {size} px: median ink height {height:.1%} >= 85%", height >= 0.85)
            check(f"fit {size} px: median ink box centred ({dx:+}, {dy:+})", abs(dx) <= 1 and abs(dy) <= 1)
        size_lines = [line for line in summary.splitlines() if " cells rewritten" in line]
        check("the fit's summary has a line per size", len(size_lines) == 3, summary)
        # The fit lets 0.5 % of the characters it draws (one per dictionary
        # entry with a character) lose ink, and not one more. A character
        # whose code has two cells is cut in both: counted once, by its code.
        runner.run("data", "export", "data")
        entries = dictionary_entries(open(path(os.path.join("data", "dictionary.txt")), "rb").read())
        drawn = sum(1 for _, chi in entries if len(chi) >= 2 and chi.lower() != NO_CHANGE)
        record = json.load(open(path("fit.json"), encoding="utf-8")) if os.path.exists(path("fit.json")) else None
        for size in (record or {}).get("sizes", []):
            cut = len({finding["code"] for finding in size["cut_ink"]})
            check(f"fit {size['size']} px: {cut} of {drawn} characters cut, at most 0.5%",
                  drawn > 0 and cut <= int(FIT_CUT_SHARE * drawn), size["cut_ink"][:5])
        check("the fit's report has every size", record is not None and len(record["sizes"]) == 3)
        check("the fit cuts some ink somewhere (the measure is not empty)",
              any("cut by the cell's edges" in line for line in size_lines), summary)

        # Fallback faces draw what the face cannot.
        if have_ipa:
            r = build("ipa.qzf", "--face", IPA, "--fallback", NOTO, quiet=False)
            out = r.stdout.decode(errors="replace")
            check("no character left to the missing-glyph box",
                  "can draw" not in out and "cannot draw" not in out and "not drawable" not in out, out)
            check("the summary names what the fallback drew", f'drawn by "{NOTO}"' in out, out)

        # A font file no font directory holds, for this run only.
        if have_wqy:
            made = subprocess.run(["/usr/bin/python3", MAKE_PRIVATE_FONT, "--installed", WQY, "QZF Style Test Hei",
                                   path("private.ttf")], capture_output=True)
            check("a renamed copy of WenQuanYi Micro Hei", made.returncode == 0, made.stderr)
            build("private.qzf", "--font-file", "private.ttf", "--face", "QZF Style Test Hei")
            build("wqy.qzf", "--face", WQY)
            check("a font file draws what the installed face draws",
                  os.path.exists(path("private.qzf")) and digest(path("private.qzf")) == digest(path("wqy.qzf")))
            r = runner.run("fonts", "--font-file", "private.ttf")
            check("fonts lists a font file's face", b"QZF Style Test Hei" in r.stdout, r.stdout[-300:])
            r = runner.run("build", "--face", "QZF Style Test Hei", "--out", "bad.qzf")
            check("without the file the face is unknown", r.returncode != 0 and b"no installed font" in r.stderr,
                  r.stderr)
        r = runner.run("build", "--face", NOTO, "--out", "bad.qzf", "--font-file", "defaults.toml")
        check("a file that is no font is refused", r.returncode != 0 and b"gives no usable font" in r.stderr, r.stderr)

        # Every option: the same bytes whatever the number of threads that
        # draw the glyphs. The Windows build is compared with the native
        # program instead, whose run compares its own builds on one thread.
        for threads in (("1",) if native else ("1", "3")):
            build(f"plain-threads-{threads}.qzf", "--face", NOTO, "--threads", threads)
            check(f"--threads {threads} changes no byte of the default build",
                  digest(path(f"plain-threads-{threads}.qzf")) == digest(path("plain.qzf")))
        # Single characters' own settings, a picture among them.
        os.makedirs(path("glyphs"))
        for size in (20, 24, 64):
            write_png(path(f"glyphs/zhong-{size}.png"), size, size,
                      [[255 - 17 * ((x + y) % 16) for x in range(size)] for y in range(size)])
        with open(path("glyphs.toml"), "w", encoding="utf-8") as f:
            f.write('[glyph."中"]\nimage = "glyphs/zhong-{size}.png"\n[glyph."。"]\nshift = [1, -2]\n'
                    '[glyph."国"]\nface = "WenQuanYi Micro Hei"\nweight = 700\nglyph-size = { 20 = 18 }\n'
                    '[glyph.0x8143]\npunctuation = "centred"\n')
        variants = [["--glyph-size", "20=18,24=22,64=58"], ["--fit"],
                    ["--punctuation", "centred"], ["--style", "glyphs.toml"],
                    ["--style", "glyphs.toml", "--fit"], ["--baseline", "20=17,24=20,64=54"],
                    ["--shift", "20=1:-1,24=-2:1,64=3:2"], ["--align", "center"], ["--weight", "700"],
                    ["--italic"], ["--mono"], ["--gamma", "1.8"], ["--style", "fit.toml"],
                    ["--font-file", "private.ttf", "--face", "QZF Style Test Hei", "--weight", "700"]]
        if not have_wqy:
            variants.pop()
        for i, args in enumerate(variants):
            name = f"variant-{i}"
            face = [] if "--face" in args else ["--face", NOTO]
            build(name + ".qzf", *face, *args)
            check("the option changes the font: " + " ".join(args),
                  os.path.exists(path(name + ".qzf")) and digest(path(name + ".qzf")) != digest(path("plain.qzf")))
            if not native:
                build(name + "-one-thread.qzf", *face, *args, "--threads", "1")
                check("same bytes on one thread: " + " ".join(args),
                      digest(path(name + ".qzf")) == digest(path(name + "-one-thread.qzf")))
            else:
                build(name + "-native.qzf", *face, *args, program=native)
                check("same bytes natively and here: " + " ".join(args),
                      digest(path(name + ".qzf")) == digest(path(name + "-native.qzf")))
        # Centred glyphs: a shift moves them after the centring (variant 4 is
        # --align center alone).
        build("center-shift.qzf", "--face", NOTO, "--align", "center", "--shift", "24=1:0")
        check("--shift moves centred glyphs",
              digest(path("center-shift.qzf")) != digest(path("variant-4.qzf")))
        fallback = ["--face", IPA, "--fallback", NOTO]
        if not have_ipa:
            pass
        elif native:
            build("fallback-native.qzf", *fallback, program=native)
            check("same bytes natively and here: --fallback",
                  digest(path("fallback-native.qzf")) == digest(path("ipa.qzf")))
        else:
            build("fallback-one-thread.qzf", *fallback, "--threads", "1")
            check("same bytes on one thread: --fallback",
                  digest(path("fallback-one-thread.qzf")) == digest(path("ipa.qzf")))
        r = runner.run("build", "--face", NOTO, "--out", "bad.qzf", "--threads", "0")
        check("--threads 0 is refused", r.returncode != 0 and not os.path.exists(path("bad.qzf")), r.stderr)
    finally:
        session.close()
    return check.report()


if __name__ == "__main__":
    sys.exit(main())
