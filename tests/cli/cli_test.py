#!/usr/bin/env python3
"""Drives the qzffont command line as a user would, above all with bad input.

Every bad input must give one clear line on standard error, a non-zero status,
no output file (partial or whole, temporary files included) and no change to
any input file. Run with the program to test, and for a Windows build with the
Wine runner in front of it:

  cli_test.py build/native/qzffont
  cli_test.py --runner tools/wine-run.sh build/windows/qzffont.exe

The same holds for the fault table: a full disk, a folder the user nobody
cannot write, builds stopped by signals, two builds into one output at once,
long paths. The cases that need root (mounting a small tmpfs, running as
nobody) run only with --root-cases; without root that run says so and exits
with 77, which the test driver shows as skipped.
"""
import argparse
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import record_checks
from cli_session import Session
from file_digest import digest
from png_file import read_png
import render_check
from game_text import GameText

FONT_LENGTH = 20113468
DATA_DICT = "dictionary.txt"
DATA_FONT = "F_FONTJ.qzf"


def notice(text):
    print("NOTICE " + text, flush=True)


def temporaries(directory):
    return sorted(n for n in os.listdir(directory) if n.endswith(".tmp"))


def settled_temporaries(directory, wine):
    """The temporary files left once the stopped program's handles are closed.

    The Wine server closes a stopped program's handles (and with them its
    delete-on-close files) a few milliseconds after the process is gone."""
    deadline = time.monotonic() + (5 if wine else 0)
    while temporaries(directory) and time.monotonic() < deadline:
        time.sleep(0.01)
    return temporaries(directory)


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
    # The dash and the middle dot a Chinese input method types: drawn from
    # the game's cells of U+2015 and U+30FB, as in the studio.
    good = game["good.qzf"]
    check("the game has cells for U+2015 and U+30FB",
          good.code("\u2015") is not None and good.code("\u30fb") is not None)
    write(os.path.join(work, "punct.txt"), "\u2014\u2014\u00b7\u2603\n".encode("utf-8"))
    r = runner.run("render", "--font", "good.qzf", "--text-file", "punct.txt", "--size", "24", "--png", "p.png")
    err = r.stderr.decode("utf-8", errors="replace")
    check("render draws U+2014 and U+00B7 from the game's cells, and lists only the snowman",
          r.returncode == 0 and "U+2603" in err and "U+2014" not in err and "U+00B7" not in err, err)


# The window's three preview lines, which `preview` draws from the cells of
# the stock file and of the built one at every size.
PREVIEW_TEXT = "古今英雄现在穿越时空汇聚一堂。\n为夺取天下的新战争，\n已经拉开了帷幕……\n"


def check_preview(work, check, dictionary_text):
    """preview.png's blocks (stock, then built, per size) pixel by pixel
    against the files' cells, read from their bytes here."""
    fonts = {"good.qzf": "good.qzf", DATA_FONT: DATA_FONT}
    game = {name: render_check.game_for(dictionary_text, os.path.join(work, path)) for name, path in fonts.items()}
    _, _, rows = read_png(os.path.join(work, "preview.png"))
    _, row_count = render_check.lay_out(PREVIEW_TEXT, 40)
    blocks = render_check.band_blocks(rows, [20, 20, 24, 24, 64, 64], [DATA_FONT, "good.qzf"] * 3, row_count)
    check("preview: a block per size and file, each found by its band", len(blocks) == 6, blocks)
    faults = render_check.check_picture(os.path.join(work, "preview.png"), "", PREVIEW_TEXT, 40, None, game,
                                        render_check.FileCells(work), fonts, blocks=blocks)
    check("preview draws every pixel of its blocks from the cells", blocks and not faults, "; ".join(faults[:5]))


def size_of(path):
    return os.path.getsize(path) if os.path.isfile(path) else -1


def full_disk(runner, work, face, bad):
    """Every writer on a disk with 8 KiB free: one line, non-zero, nothing left, the old file as it was."""
    if os.geteuid() != 0:
        notice("full-disk cases skipped: mounting a small tmpfs needs root")
        return False
    full = os.path.join(work, "full")
    os.mkdir(full)
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", full], capture_output=True).returncode:
        notice("full-disk cases skipped: a tmpfs cannot be mounted here")
        os.rmdir(full)
        return False
    try:
        write(os.path.join(full, "small.txt"), dictionary([(b"\x81\x40", b"\xb0\xa1"), (b"\x82\xa0", b"\xb0\xa2")]))
        st = os.statvfs(full)
        write(os.path.join(full, "filler"), b"\0" * (st.f_bavail * st.f_frsize - 8192))
        disk_full = "the disk is full"
        for name, args, needle in [
            ("dict add", ["dict", "add", DATA_DICT, "0x7F7F", "0xB0A1", "--out", "full/new.txt"], disk_full),
            ("dict set", ["dict", "set", DATA_DICT, "0", "--chi", "0xB0A2", "--out", "full/new.txt"], disk_full),
            ("dict from-bin", ["dict", "from-bin", "dict.bin", "full/new.txt"], disk_full),
            ("dict add --append", ["dict", "add", DATA_DICT, "0x7F7F", "0xB0A1", "--out", "full/small.txt",
                                   "--append"], disk_full),
            ("dict set --append", ["dict", "set", DATA_DICT, "0", "--chi", "0xB0A2", "--out", "full/small.txt",
                                   "--append"], disk_full),
            ("dict from-bin --append", ["dict", "from-bin", "dict.bin", "full/small.txt", "--append"], disk_full),
            ("dict to-bin", ["dict", "to-bin", DATA_DICT, "full/new.bin"], disk_full),
            ("data export", ["data", "export", "full"], disk_full),
            ("build", ["build", *face, "--out", "full/o.qzf"], "cannot write full/o.qzf"),
        ]:
            bad("full disk: " + name, args, needle, watch=[full])
    finally:
        subprocess.run(["umount", full])
        os.rmdir(full)
    return True


def unwritable_folder(runner, work, face, bad):
    """Every writer into a folder an unprivileged user cannot write."""
    if runner.wine:
        notice("unwritable-folder cases skipped under Wine: Wine runs a prefix only for the user who owns it")
        return False
    if os.geteuid() != 0:
        notice("unwritable-folder cases skipped: running as nobody needs root")
        return False
    if shutil.which("setpriv"):
        prefix = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"]
    else:
        prefix = ["runuser", "-u", "nobody", "--"]
    os.chmod(work, 0o755)
    ro = os.path.join(work, "ro")
    os.mkdir(ro, 0o755)
    write(os.path.join(ro, "small.txt"), dictionary([(b"\x81\x40", b"\xb0\xa1")]))
    denied = "permission denied"
    for name, args, needle in [
        ("build", ["build", *face, "--out", "ro/o.qzf"], "cannot write ro/o.qzf"),
        ("dict add", ["dict", "add", DATA_DICT, "0x7F7F", "0xB0A1", "--out", "ro/new.txt"], denied),
        ("dict add --append", ["dict", "add", DATA_DICT, "0x7F7F", "0xB0A1", "--out", "ro/small.txt", "--append"],
         denied),
        ("dict to-bin", ["dict", "to-bin", DATA_DICT, "ro/new.bin"], denied),
        ("data export", ["data", "export", "ro"], denied),
        ("data export into a new folder", ["data", "export", "ro/sub"], "cannot make the directory ro/sub"),
    ]:
        bad("unwritable folder: " + name, args, needle, watch=[ro], prefix=prefix)
    # A report nobody may write: the earlier font in a folder it may write stays.
    rw = os.path.join(work, "rw")
    os.mkdir(rw)
    os.chmod(rw, 0o777)
    write(os.path.join(rw, "o.qzf"), b"the earlier font")
    bad("unwritable folder: build --report", ["build", *face, "--out", "rw/o.qzf", "--report", "ro/r.json"],
        "cannot write ro/r.json: " + denied, watch=[ro, rw], prefix=prefix)
    return True


def signals(runner, work, face, check, reference):
    """Builds stopped at several moments: the earlier output stays, and no temporary file outlives the next build."""
    out = os.path.join(work, "sig.qzf")
    shutil.copyfile(reference, out)
    expected = digest(reference)

    def wait_for(process, moment):
        if moment == "laying down":
            while process.poll() is None and not any(n.startswith("sig.qzf.font-") for n in os.listdir(work)):
                time.sleep(0.001)
            return
        while True:
            line = process.stderr.readline()
            if not line or moment.encode() in line:
                return

    if runner.wine:
        notice("under Wine a SIGTERM ends the program without a console event: the next build removes what it left")
    if runner.wine:
        notice("SIGHUP cases run natively only: Windows has no SIGHUP; its closed console is a case of its own")
    for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGKILL) + (() if runner.wine else (signal.SIGHUP,)):
        for moment in ("laying down", "pass 1/3", "pass 2/3", "pass 3/3"):
            name = f"{sig.name} while {moment}"
            process = runner.start("build", *face, "--out", "sig.qzf")
            wait_for(process, moment)
            os.kill(process.pid, sig)
            _, err = process.communicate(timeout=600)
            check(name + ": non-zero status", process.returncode != 0, process.returncode)
            check(name + ": the earlier output stays", digest(out) == expected)
            caught = sig in (signal.SIGINT, signal.SIGHUP) or (sig == signal.SIGTERM and not runner.wine)
            if caught:
                check(name + ": says so", err.count(b"qzffont: interrupted") == 1, err)
                check(name + ": no temporary file", settled_temporaries(work, runner.wine) == [], temporaries(work))
            else:
                r = runner.run("build", *face, "--out", "sig.qzf", "--quiet")
                check(name + ": the next build works", r.returncode == 0 and digest(out) == expected, r.stderr)
                check(name + ": the next build removes what was left", temporaries(work) == [],
                      temporaries(work))


def closed_console(runner, work, face, check, reference, close_console):
    """Under Wine: the console window of a build closed with its close box, mid-build.

    Runs in a display of its own (Xvfb) and a Wine prefix of its own beside the
    program, whose desktop is on that display. Windows sends the program a
    close event; Wine 8 ends it without one, as if killed. Either way the
    earlier output stays and the next build works."""
    if not runner.wine or not close_console:
        return
    if not shutil.which("Xvfb"):
        notice("closed-console case skipped: no Xvfb")
        return
    read_end, write_end = os.pipe()
    display = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x600x24", "-nolisten",
                                "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end, "rb") as pipe:
        number = pipe.readline().decode().strip()
    prefix = os.path.join(os.path.dirname(runner.command[-1]), "console-prefix")
    env = dict(os.environ, DISPLAY=":" + number, QZF_WINEPREFIX=prefix)
    out = os.path.join(work, "console.qzf")
    shutil.copyfile(reference, out)
    try:
        # The fit measures first: a build that lasts long enough to be closed.
        build = subprocess.Popen([runner.command[0], "wineconsole", runner.command[-1], "build", *face, "--fit",
                                  "--threads", "1", "--out", "console.qzf"], cwd=work, env=env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        title = "Z:" + runner.command[-1].replace("/", "\\")
        closer = subprocess.run([runner.command[0], close_console, title, "console.qzf.font-*.tmp"], cwd=work, env=env,
                                capture_output=True, timeout=300)
        build.wait(timeout=120)
        check("closed console: the window is closed mid-build", closer.returncode == 0, closer.stderr)
        check("closed console: the earlier output stays", digest(out) == digest(reference))
        left = [n for n in temporaries(work) if n.startswith("console.qzf.")]
        notice("closed console under Wine: " + ("the build ended without a close event, leaving " + ", ".join(left)
                                                if left else "the build removed its temporary file"))
        r = subprocess.run([runner.command[0], runner.command[-1], "build", *face, "--out", "console.qzf", "--quiet"],
                           cwd=work, env=env, capture_output=True, timeout=300)
        check("closed console: the next build works", r.returncode == 0 and digest(out) == digest(reference), r.stderr)
        # Wine gives the next process the id the ended one had, and a build
        # never takes a file named by its own id for a leftover: what is left
        # waits for a build under another id, so it is removed here.
        for name in [n for n in temporaries(work) if n.startswith("console.qzf.")]:
            notice("closed console: removing " + name + " (named by a process id Wine gave the next build again)"
                   if name in left else "closed console: removing " + name)
            os.remove(os.path.join(work, name))
    finally:
        subprocess.run(["wineserver", "-k"], env=dict(env, WINEPREFIX=prefix), stderr=subprocess.DEVNULL)
        display.terminate()
        display.wait(timeout=10)


def concurrent_builds(runner, work, face, check, reference):
    """Two builds into one output at once: both succeed, the output is whole, nothing is left."""
    first = runner.start("build", *face, "--out", "both.qzf", "--quiet")
    second = runner.start("build", *face, "--out", "both.qzf", "--quiet")
    results = [p.communicate(timeout=600) + (p.returncode,) for p in (first, second)]
    check("two builds at once both succeed", all(code == 0 for _, _, code in results), results)
    check("two builds at once leave a whole output", digest(os.path.join(work, "both.qzf")) == digest(reference))
    check("two builds at once leave no temporary file", temporaries(work) == [], temporaries(work))


def long_paths(runner, work, face, bad, check, reference):
    """Paths longer than the library's 260-byte buffers: said so, or handed on in a form that fits."""
    deep = os.path.join(work, "d" * 100, "e" * 100, "f" * 100)
    os.makedirs(deep)
    shutil.copyfile(os.path.join(work, DATA_DICT), os.path.join(deep, DATA_DICT))
    # Natively as an absolute path; Wine reaches the work directory through relative paths.
    far = os.path.join(deep if not runner.wine else os.path.relpath(deep, work), DATA_DICT)
    too_long = "is too long"
    bad(f"dict list of a dictionary at {len(far)} bytes", ["dict", "list", far], too_long, watch=[deep])
    bad("build with --dict at a long path", ["build", *face, "--dict", far, "--out", "o.qzf"], too_long, watch=[deep])
    bad("build with --out at a long path", ["build", *face, "--out", os.path.join(os.path.dirname(far), "o.qzf")],
        too_long, watch=[deep])
    bad("data export to a long path", ["data", "export", os.path.join(os.path.dirname(far), "x")], too_long,
        watch=[deep])
    if runner.wine:
        bad("dict to-bin to a long path", ["dict", "to-bin", DATA_DICT, os.path.join(os.path.dirname(far), "d.bin")],
            too_long, watch=[deep])
        notice("long current directory cases skipped under Wine: Wine starts in its Windows directory instead")
        return
    # The native file calls take a long path; only the library's buffers do not.
    r = runner.run("dict", "to-bin", DATA_DICT, os.path.join(deep, "d.bin"))
    check("dict to-bin to a long path natively", r.returncode == 0 and size_of(os.path.join(deep, "d.bin")) > 0,
          r.stderr)
    r = runner.run("dict", "list", far, cwd=os.path.dirname(deep))
    check("a long path from a nearer current directory", r.returncode == 0 and r.stdout.startswith(b"0\t0x8140"),
          r.stderr)
    r = runner.run("dict", "list", DATA_DICT, cwd=deep)
    check(f"dict list from a current directory of {len(deep)} bytes", r.returncode == 0 and
          r.stdout.startswith(b"0\t0x8140"), r.stderr)
    r = runner.run("build", *face, "--quiet", cwd=deep)
    built = os.path.join(deep, DATA_FONT)
    check(f"build from a current directory of {len(deep)} bytes", r.returncode == 0 and
          size_of(built) == FONT_LENGTH and digest(built) == digest(reference), r.stderr)
    check("build from a long current directory leaves no temporary file", temporaries(deep) == [], temporaries(deep))


def forward_slashes(runner, work, face, check, reference):
    """Absolute Windows paths written with slashes, as other tools and scripts give them."""
    if not runner.wine:
        return
    slashed = "Z:" + work
    r = runner.run("build", *face, "--out", slashed + "/slashed.qzf", "--quiet")
    check("build --out Z:/... with slashes", r.returncode == 0, r.stderr)
    check("the slashed output is whole", size_of(os.path.join(work, "slashed.qzf")) == FONT_LENGTH and
          digest(os.path.join(work, "slashed.qzf")) == digest(reference))
    check("slashed paths leave no temporary file", temporaries(work) == [], temporaries(work))
    r = runner.run("dict", "lookup", slashed + "/" + DATA_DICT, "0x8140")
    check("dict lookup of Z:/... with slashes", r.returncode == 0, r.stderr)


def summary_words(runner, work, face, check):
    """The summary names characters and cells as what they are, and -q prints nothing.

    Code 0x814D stands at two positions of the code table: one character given
    to it fills two cells. IPAGothic and IPAPGothic have neither character."""
    write(os.path.join(work, "two-places.txt"),
          dictionary([(b"\x81\x40", "这".encode("gbk")), (b"\x81\x4d", "们".encode("gbk"))]))
    base = ["build", "--face", "IPAGothic", "--dict", "two-places.txt", "--out", "words.qzf"]
    for name, args, said, listed in [
        ("the face cannot draw", [], "2 characters (3 cells) the face cannot draw", True),
        ("no fallback can draw", ["--fallback", "IPAPGothic"], "2 characters (3 cells) no face can draw", True),
        ("a fallback draws", ["--fallback", face[1]], f'2 characters (3 cells) drawn by "{face[1]}"', False),
    ]:
        r = runner.run(*base, *args)
        out = r.stdout.decode("utf-8", errors="replace").replace("\r\n", "\n")
        sizes = [line for line in out.splitlines() if " px: 3 cells rewritten" in line]
        check(f"summary when {name}: every size says '{said}'",
              r.returncode == 0 and len(sizes) == 3 and all(said in line for line in sizes), out)
        drawable = [sorted(line.split(":", 1)[1].split()) for line in out.splitlines()
                    if line.startswith("  not drawable:")]
        check(f"summary when {name}: each character listed once",
              drawable == ([sorted(["这", "们"])] if listed else []), out)
        r = runner.run(*base, *args, "-q")
        check(f"-q when {name}: nothing printed", r.returncode == 0 and r.stdout == b"" and r.stderr == b"",
              r.stdout + r.stderr)


def paths_as_given(runner, work, check):
    """Paths reported and recorded as the user typed them, separators included."""
    os.mkdir(os.path.join(work, "sty"))
    write(os.path.join(work, "sty", "not-a-font.ttf"), b"not a font")
    shutil.copyfile("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf", os.path.join(work, "sty", "ipag-copy.ttf"))
    r = runner.run("build", "--face", "IPAGothic", "--font-file", "sty/not-a-font.ttf", "--out", "paths.qzf")
    err = r.stderr.decode("utf-8", errors="replace")
    check("a font file that gives no font is named as given",
          r.returncode != 0 and "the font file sty/not-a-font.ttf gives no usable font" in err, err)
    r = runner.run("build", "--face", "IPAGothic", "--font-file", "sty/ipag-copy.ttf", "--dict", "two-places.txt",
                   "--out", "sty/paths.qzf", "--report", "sty/paths.json")
    out = r.stdout.decode("utf-8", errors="replace")
    check("the summary names the output as given", r.returncode == 0 and out.startswith("Built sty/paths.qzf "), out)
    if r.returncode == 0:
        record = json.load(open(os.path.join(work, "sty", "paths.json"), encoding="utf-8"))
        check("the record holds the font files and output as given",
              record["style"]["font_files"] == ["sty/ipag-copy.ttf"] and record["output"] == "sty/paths.qzf",
              (record["style"], record["output"]))


def root_faults(runner, work, face, bad, inputs):
    """The part of the fault table that needs root: a full disk, a folder nobody cannot write. Whether any ran."""
    runner.run("dict", "to-bin", DATA_DICT, "dict.bin")
    inputs["dict.bin"] = digest(os.path.join(work, "dict.bin"))
    ran_full_disk = full_disk(runner, work, face, bad)
    ran_unwritable = unwritable_folder(runner, work, face, bad)
    return ran_full_disk or ran_unwritable


def faults(runner, work, face, bad, check, close_console=None):
    """The rest of the fault table: signals, two builds at once, long paths, slashes."""
    r = runner.run("build", *face, "--out", "reference.qzf", "--quiet")
    check("reference build", r.returncode == 0, r.stderr)
    if r.returncode != 0:
        return
    reference = os.path.join(work, "reference.qzf")
    summary_words(runner, work, face, check)
    paths_as_given(runner, work, check)
    signals(runner, work, face, check, reference)
    closed_console(runner, work, face, check, reference, close_console)
    concurrent_builds(runner, work, face, check, reference)
    long_paths(runner, work, face, bad, check, reference)
    forward_slashes(runner, work, face, check, reference)


def main():
    def arguments(parser):
        parser.add_argument("--face", default="Noto Sans CJK SC")
        parser.add_argument("--close-console", default=None,
                            help="the Windows helper that closes a console window (with --runner)")
        parser.add_argument("--root-cases", action="store_true",
                            help="only the cases that need root; exit status 77 (skipped) without it")

    session = Session("qzf-cli-", arguments=arguments)
    options, work, runner, check = session.options, session.work, session.runner, session.check
    skipped = False

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

        # Each bad input in English, checked for its words, and natively in
        # Chinese as well: the same refusal, one line from the catalog.
        languages = ["en"] if runner.wine else ["en", "zh"]

        def bad(name, args, needle, watch=(), cwd=None, prefix=()):
            for lang in languages:
                err = refused(name if lang == "en" else name + " (zh)", args, needle if lang == "en" else None,
                              watch, cwd, prefix, lang)
                if lang == "en":
                    english = err
            return english

        def refused(name, args, needle, watch, cwd, prefix, lang):
            watched = [work, *watch]
            before = [set(os.listdir(d)) for d in watched]
            kept = {path: digest(path) for d in watch for path in
                    (os.path.join(d, n) for n in os.listdir(d)) if os.path.isfile(path)}
            r = runner.run(*args, cwd=cwd, prefix=prefix, lang=lang)
            try:
                err = r.stderr.decode("utf-8").strip()  # everything it prints is UTF-8
            except UnicodeDecodeError:
                check(name + " prints UTF-8", False, repr(r.stderr))
                err = r.stderr.decode("utf-8", errors="replace").strip()
            after = [set(os.listdir(d)) for d in watched]
            lines = [line for line in err.splitlines() if line.startswith("qzffont:")]
            check(name, r.returncode != 0, "status 0")
            if needle is not None:
                check(name + " says why", len(lines) == 1 and needle in lines[0], repr(err))
            else:
                check(name + " says why in Chinese",
                      len(lines) == 1 and any("\u4e00" <= c <= "\u9fff" for c in lines[0]), repr(err))
            check(name + " leaves no file", after == before, [sorted(a - b) for a, b in zip(after, before)])
            for input_name, h in inputs.items():
                if digest(os.path.join(work, input_name)) != h:
                    check(name + " keeps " + input_name, False, "changed")
            for path, h in kept.items():
                check(name + " keeps " + path, os.path.isfile(path) and digest(path) == h, "changed")
            return err

        face = ["--face", options.face]
        if options.root_cases:
            skipped = not root_faults(runner, work, face, bad, inputs)
        else:
            bad("unknown face", ["build", "--face", "No Such Face 123", "--out", "o.qzf"], "no installed font")
            bad("face of 300 bytes", ["build", "--face", "x" * 300, "--out", "o.qzf"], "too long")
            bad("empty base", ["build", *face, "--base", "empty.qzf", "--out", "o.qzf"], "not a game font file")
            bad("truncated base", ["build", *face, "--base", "short.qzf", "--out", "o.qzf"],
                "20113467 bytes, glyph count 7832;")
            make("count-only.qzf", (7832).to_bytes(4, "little"))
            bad("base of only a glyph count", ["build", *face, "--base", "count-only.qzf", "--out", "o.qzf"],
                "4 bytes, glyph count 7832;")
            bad("miscounted base", ["build", *face, "--base", "miscounted.qzf", "--out", "o.qzf"], "glyph count 7831")
            bad("missing base", ["build", *face, "--base", "nowhere.qzf", "--out", "o.qzf"], "cannot read")
            bad("directory as base", ["build", *face, "--base", "a-directory", "--out", "o.qzf"], "cannot read")
            bad("directory as output", ["build", *face, "--out", "a-directory"], "cannot write")
            bad("output in a missing directory", ["build", *face, "--out", "missing/o.qzf"], "cannot write")
            # An output that cannot be written is found before the build
            # starts: the earlier font stays, and no message claims otherwise.
            kept = os.path.join(work, "kept")
            os.mkdir(kept)
            write(os.path.join(kept, "o.qzf"), b"the earlier font")
            keep = ["build", *face, "--out", "kept/o.qzf"]
            for name, extra, needle in [
                ("report into a missing folder", ["--report", "missing/r.json"], "cannot write missing/r.json"),
                ("report onto a directory", ["--report", "a-directory"], "a-directory: it is a directory"),
                ("saved style into a missing folder", ["--save-style", "missing/s.toml"],
                 "cannot write missing/s.toml"),
                ("saved style onto a directory", ["--save-style", "a-directory", "--report", "kept/r.json"],
                 "a-directory: it is a directory"),
            ]:
                bad(name + " keeps the earlier output", keep + extra, needle, watch=[kept])
            bad("missing dictionary", ["build", *face, "--dict", "nowhere.txt", "--out", "o.qzf"], "does not load")
            err = bad("dictionary without a marker", ["build", *face, "--dict", "no-marker.txt", "--out", "o.qzf"],
                      "does not load")
            # The loader's own line, converted from GBK like all the rest.
            check("the loader's diagnostic in UTF-8", "\u6ca1\u6709\u627e\u5230 CHI" in err, repr(err))
            bad("text given to from-bin", ["dict", "from-bin", DATA_DICT, "from-text.txt"], "dictionary text already")
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
            bad("export into a file", ["data", "export", "empty.qzf"], "not a directory")

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
            # The parser's own slips, in plain words.
            bad("an option no command has", ["build", *face, "--bogus", "--out", "o.qzf"],
                "not an option or value here: --bogus")
            bad("an option without its value", ["build", "--face"], "--face: its value is missing")
            bad("no command", [], "no command given")
            bad("preview with more labels than files",
                ["preview", *face, "--font", DATA_FONT, "--label", "a", "--label", "b", "--png", "p.png"], "--label")
            bad("preview of five files", ["preview", *face, *["--font", DATA_FONT] * 5, "--png", "p.png"],
                "at most 4")

            # What a user does when all is well.
            r = runner.run("build", *face, "--base", "longer.qzf", "--out", "good.qzf")
            check("build from a longer base", r.returncode == 0, r.stderr.decode(errors="replace"))
            good = os.path.join(work, "good.qzf")
            if r.returncode == 0:
                data = open(good, "rb").read()
                check("longer base keeps its length",
                      len(data) == FONT_LENGTH + 14 and data.endswith(b"trailing bytes"))
                out = r.stdout.decode(errors="replace")
                check("summary", out.count("4892 cells rewritten") == 3, out)
                r = runner.run("check", "good.qzf")
                check("check accepts the build", r.returncode == 0, r.stderr.decode(errors="replace"))
                r = runner.run("diff", DATA_FONT, "good.qzf")
                out = r.stdout.decode(errors="replace")
                check("diff shows the rewritten cells",
                      r.returncode == 0 and "outside the tables: differs (length" in out,
                      out)
                r = runner.run("build", *face, "--out", "good.qzf", "--quiet")
                check("an earlier output is replaced", r.returncode == 0 and os.path.getsize(good) == FONT_LENGTH)
                check("a quiet build prints nothing at all", r.stdout == b"" and r.stderr == b"", r.stdout + r.stderr)
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
                    # Two built files, as make run shows the game's way and a
                    # style: a third block per size, as tall as the second.
                    r = runner.run("preview", *face, "--font", DATA_FONT, "--label", "the game's way", "--font",
                                   "good.qzf", "--label", "fitted", "--png", "preview3.png")
                    check("preview of two built files", r.returncode == 0, r.stderr.decode(errors="replace"))
                    if r.returncode == 0:
                        width3, height3, _ = read_png(os.path.join(work, "preview3.png"))
                        blocks = height3 - height  # one block per size
                        check("preview of two built files adds a block per size",
                              width3 == width and blocks > 3 * (20 * 2 + 24 * 2 + 64) and height - 2 * blocks > 0,
                              (width, height, width3, height3))
                    check_preview(work, check, stock_dict)
                # Natively faces have every name; under Wine those its code page
                # can write (Chinese ones under zh_CN).
                localised = options.runner is None or os.environ.get("LANG", "").startswith("zh_CN")
                record_checks.check_records(runner, work, check, stock_dict, options.face, DATA_FONT, "good.qzf",
                                            localised)
            r = runner.run("build", "--face", "No Such Face 123", "--allow-substitute", "--out", "sub.qzf")
            check("a substitute when allowed", r.returncode == 0 and b"substitute" in r.stdout, r.stdout)
            r = runner.run("cell", DATA_FONT, "--size", "24", "--code", "0x82A0")
            check("cell as text art", r.returncode == 0 and r.stdout.count(b"\n") == 25, r.stdout[:200])
            r = runner.run("cell", DATA_FONT, "--size", "64", "--index", "5", "--png", "cell.png")
            check("cell as a PNG",
                  r.returncode == 0 and open(os.path.join(work, "cell.png"), "rb").read(4) == b"\x89PNG")
            r = runner.run("--version")
            check("version", r.returncode == 0 and r.stdout.startswith(b"qzffont "), r.stdout)
            r = runner.run("--help")
            check("help names the program", b"\nUsage: qzffont [OPTIONS] SUBCOMMAND" in r.stdout, r.stdout[:300])
            r = runner.run("dict", "from-bin", "--help")
            check("from-bin help says FILE is an image", r.returncode == 0 and b"Binary image" in r.stdout and
                  b"text or binary" not in r.stdout, r.stdout)
            r = runner.run("data", "export", "new/sub")
            check("data export makes its directory", r.returncode == 0 and
                  size_of(os.path.join(work, "new", "sub", DATA_FONT)) == FONT_LENGTH, r.stderr)

            faults(runner, work, face, bad, check,
                   os.path.abspath(options.close_console) if options.close_console else None)
    finally:
        session.close()
    if check.report():
        return 1
    return 77 if skipped else 0


if __name__ == "__main__":
    sys.exit(main())
