"""Checks a picture written by `qzffont render` pixel by pixel against the
cells `qzffont cell` shows for the codes the game would use."""
import os
import re

from game_text import GameText, code_positions
from png_file import read_png

BAND = (12, 12, 18)
MARGIN = 16  # the left edge of every band
INK = (238, 222, 206)


def level_colour(level):
    return tuple((b * (15 - level) + i * level + 7) // 15 for b, i in zip(BAND, INK))


def lay_out(text, width):
    """(row, column, character) of every character drawn, spaces left out,
    and the number of rows: line breaks LF, CR LF, CR; wrapping at width."""
    for end in ("\r\n", "\n", "\r"):
        if text.endswith(end):
            text = text[:-len(end)]
            break
    text = text.replace("\r\n", "\n").replace("\r", "\n")
    placed, row = [], 0
    for line in text.split("\n"):
        for k, ch in enumerate(line):
            if k and k % width == 0:
                row += 1
            if ch != " ":
                placed.append((row, k % width, ch))
        row += 1
    return placed, row


def origins(stdout):
    """(size, font, x, y, pitch) of each block, from render's summary lines."""
    pattern = r"(\d+) px, (\S+): \d+ lines of up to \d+ cells, first cell at \((\d+), (\d+)\), (\d+) pixels apart"
    return [(int(s), f, int(x), int(y), int(p)) for s, f, x, y, p in re.findall(pattern, stdout)]


class CellCache:
    """Cell levels as `qzffont cell --png --scale 1` shows them."""

    def __init__(self, runner, work):
        self.runner, self.work, self.cells = runner, work, {}

    def levels(self, font, size, code):
        key = (font, size, code)
        if key not in self.cells:
            r = self.runner.run("cell", font, "--size", str(size), "--code", "0x%04X" % code, "--png", "cell-check.png",
                                "--scale", "1")
            if r.returncode != 0:
                raise RuntimeError(r.stderr.decode(errors="replace"))
            w, h, rows = read_png(os.path.join(self.work, "cell-check.png"))
            os.remove(os.path.join(self.work, "cell-check.png"))
            self.cells[key] = [[(255 - g) // 17 for g in row] for row in rows]
        return self.cells[key]


class FileCells:
    """Cell levels read straight from the font files' bytes (the code table
    and the glyph tables), in place of asking the program."""

    TABLES = {20: 34268, 24: 1627452, 64: 4073532}

    def __init__(self, work):
        self.work, self.files = work, {}

    def levels(self, font, size, code):
        if font not in self.files:
            data = open(os.path.join(self.work, font), "rb").read()
            self.files[font] = (data, code_positions(data))
        data, positions = self.files[font]
        start = self.TABLES[size] + positions[code] * size * size // 2
        cell = data[start:start + size * size // 2]
        return [[(cell[y * size // 2 + x // 2] >> (4 * (x & 1))) & 15 for x in range(size)] for y in range(size)]


def band_blocks(rows, sizes, fonts, row_count):
    """(size, font, x, y, pitch) of the blocks of a picture whose bands start
    at the left margin, found from the bands themselves: the last len(sizes)
    runs of band colour down column MARGIN. A band is the block's rows of
    cells and a pad of a quarter cell (8 pixels at least) around them."""
    runs, top = [], None
    for y, row in enumerate(rows + [[]]):
        band = len(row) > MARGIN and row[MARGIN] == BAND
        if band and top is None:
            top = y
        elif not band and top is not None:
            runs.append((top, y))
            top = None
    runs = runs[-len(sizes):]
    blocks = []
    for (top, bottom), size, font in zip(runs, sizes, fonts):
        for scale in range(1, 9):
            pitch = size * scale
            pad = max(8, pitch // 4)
            if bottom - top == row_count * pitch + 2 * pad:
                blocks.append((size, font, MARGIN + pad, top + pad, pitch))
                break
    return blocks


def check_picture(png, stdout, text, width, scale, game, cells, fonts, blocks=None):
    """A list of faults; empty when every pixel of every block is as expected.
    The blocks' places from render's summary, or as given; scale None: each
    block's own, from its pitch."""
    faults = []
    w, h, rows = read_png(png)
    placed, row_count = lay_out(text, width)
    blocks = origins(stdout) if blocks is None else blocks
    if len(blocks) == 0:
        return ["no block in the summary: " + stdout]
    for size, font_name, x0, y0, pitch in blocks:
        block_scale = scale or max(1, pitch // size)
        if pitch != size * block_scale:
            faults.append("block %s/%d: %d pixels apart" % (font_name, size, pitch))
            continue
        font = fonts[font_name]
        grid = {(r, c): ch for r, c, ch in placed}
        columns = max([c for _, c, _ in placed] + [0]) + 1
        for r in range(row_count):
            for c in range(columns):
                ch = grid.get((r, c))
                cx, cy = x0 + c * pitch, y0 + r * pitch
                region = [rows[cy + y][cx:cx + pitch] for y in range(pitch)]
                where = "%d px %s, row %d column %d (%r)" % (size, font_name, r, c, ch)
                if ch is None:
                    if any(p != BAND for line in region for p in line):
                        faults.append(where + ": an empty place is not the band")
                    continue
                code = game[font_name].code(ch)
                if code is None:
                    # An outlined empty box: the band and one colour no grey level has.
                    colours = set(p for line in region for p in line)
                    ink = colours - {BAND}
                    if len(ink) != 1 or ink & set(level_colour(v) for v in range(16)) or region[pitch // 2][
                            pitch // 2] != BAND:
                        faults.append(where + ": not an empty box")
                    continue
                levels = cells.levels(font, size, code)
                for y in range(pitch):
                    expected = [level_colour(levels[y // block_scale][x // block_scale]) for x in range(pitch)]
                    if region[y] != expected:
                        faults.append(where + ": pixel row %d differs from cell 0x%04X" % (y, code))
                        break
    return faults


def game_for(dictionary_text, font_path):
    return GameText(dictionary_text, open(font_path, "rb").read())
