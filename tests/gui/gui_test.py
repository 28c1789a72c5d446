#!/usr/bin/env python3
"""The window test: runs qzffont-gui.exe under Wine on a virtual X display
and uses it as a person would, with xdotool for keys and clicks and
ImageMagick's import for screenshots (kept in --artifacts).

It runs the program twice, once with the system code page 936
(LANG=zh_CN.UTF-8) and once with 1252 (LANG=C), and checks that both show
the same, correct texts. window_probe.exe, run in the same Wine session,
reports window titles, control texts, focus and positions.

The Wine prefix (--prefix) is the test's own, made by tools/wine-run.sh: its
font settings are pinned so that both code pages draw with the same fonts
(the dialog font Tahoma with Wine's CJK link, the caption in a CJK face,
"宋体" mapped to an installed Song face), which makes the screenshots
comparable.

Then it runs the program twice more in a second prefix (--plain-prefix), left
as wineboot makes it (no fonts copied in, no settings: the dialog font is
whatever Wine finds, as for a player), once at 96 and once at 144 dpi. In
every run the client area must show the background picture (--picture) pixel
for pixel and the controls must stand where the picture expects them,
whatever the dialog font and the display scale.
"""

import argparse
import fcntl
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import time

CAPTION = "Varkon个性字体生成工具"
CHOOSE_FONT = "选择字体"
SAVE_FONT = "保存字体"
PREVIEW_LINES = {-1: "古今英雄现在穿越时空汇聚一堂。", 1003: "为夺取天下的新战争，", 1004: "已经拉开了帷幕……"}
CHOOSE_FIRST = ("提示", "请先选择字体！")
SUCCESS = ("恭喜", "个性字体制作成功！\\r\\n新字体存放在工具的相同目录！")
PREVIEW_TEXT_COLOUR = (238, 222, 206)
FACE = "Noto Sans CJK SC"  # not localised in the font dialog under either code page
WINE_FONTS = ("tahoma.ttf", "tahomabd.ttf", "marlett.ttf")  # from the fonts-wine package
# Where each control stands in the picture's pixels (left, top, right,
# bottom): the template's dialog units, 682 x 470 for the whole window,
# stretched over the 1024 x 768 picture.
PICTURE_SIZE = (1024, 768)
IN_PICTURE = {1000: (869, 283, 991, 325), 1002: (869, 351, 991, 393), -1: (278, 582, 898, 608),
              1003: (278, 614, 898, 640), 1004: (278, 647, 898, 673)}
BAND_ROWS = (550, 698)  # the picture's dark band, inside its gold rules
PLAIN_LANG = "zh_CN.UTF-8"  # a Chinese player's system

failures = []


def check(condition, message):
    print(("ok    " if condition else "FAIL  ") + message, flush=True)
    if not condition:
        failures.append(message)
    return condition


class Fatal(Exception):
    pass


def require(condition, message):
    if not check(condition, message):
        raise Fatal(message)


def poll(what, probe_fn, timeout):
    """Calls probe_fn until it gives something true or the time is up."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe_fn()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Fatal("timed out waiting for " + what)
        time.sleep(0.3)


# --- the virtual display ---------------------------------------------------


class Display:
    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise Fatal("Xvfb did not start")
                number += chunk
        self.name = ":" + number.decode().strip()

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=10)


# --- Wine ------------------------------------------------------------------


class Wine:
    """One Wine prefix. The pinned one is run through tools/wine-run.sh, as a
    player runs the program; the plain one straight through wine, so that
    nothing is added to it. Only the pinned one has its frame drawn by Wine
    (the plain one expects a window manager, and Xvfb has none)."""

    def __init__(self, args, display, prefix, plain=False):
        self.prefix = os.path.abspath(prefix)
        self.plain = plain
        self.command = ["wine"] if plain else [args.wine]
        self.font_settings = None if plain else args.font_settings
        self.probe_exe = args.probe
        self.display = display
        self.scratch = os.path.join(os.path.abspath(args.artifacts), "probe")
        os.makedirs(self.scratch, exist_ok=True)

    def env(self, lang):
        env = dict(os.environ)
        env.update(DISPLAY=self.display.name, LANG=lang, LC_ALL=lang)
        if self.plain:
            # What wine-run.sh sets besides its prefix: quiet, and no Mono
            # or Gecko installers at wineboot.
            env.update(WINEPREFIX=self.prefix, WINEDEBUG="-all", WINEARCH="win64",
                       WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        else:
            env.update(QZF_WINEPREFIX=self.prefix)
        env.pop("LANGUAGE", None)
        return env

    def run(self, lang, *command, timeout=120, cwd=None):
        """Runs a Windows program to its end: its exit status and output.
        The output goes through a file: Wine's server and helper processes
        may outlive the program and would hold a pipe open."""
        log = os.path.join(self.scratch, "output.txt")
        with open(log, "wb") as out:
            status = subprocess.run([*self.command, *command], env=self.env(lang), cwd=cwd, timeout=timeout,
                                    stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT).returncode
        with open(log, encoding="utf-8", errors="replace") as f:
            return status, f.read()

    def start(self, lang, *command, cwd=None):
        return subprocess.Popen([*self.command, *command], env=self.env(lang), cwd=cwd, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)

    def probe(self, lang, *command):
        out = os.path.join(self.scratch, "report.txt")
        if os.path.exists(out):
            os.remove(out)
        self.run(lang, self.probe_exe, out, *command, timeout=60)
        with open(out, encoding="utf-8") as f:
            return f.read()

    def windows(self, lang):
        return parse_windows(self.probe(lang, "windows"))

    def shutdown(self):
        env = self.env("C")
        subprocess.run(["wineserver", "-k"], env=dict(env, WINEPREFIX=self.prefix), stderr=subprocess.DEVNULL)


def prepare_prefix(wine):
    """Creates the prefix once."""
    os.makedirs(os.path.dirname(wine.prefix), exist_ok=True)
    with open(wine.prefix + ".gui-lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(os.path.join(wine.prefix, "system.reg")):
            print("creating the Wine prefix %s (once)" % os.path.basename(wine.prefix), flush=True)
            wine.run("C", "wineboot", "-i", timeout=300)
            subprocess.run(["wineserver", "-w"], env=dict(os.environ, WINEPREFIX=wine.prefix), timeout=120)


def check_wine_fonts(wine):
    """wine-run.sh gives its prefix Wine's own dialog and caption button
    fonts, which Debian keeps outside any prefix."""
    fonts = os.path.join(wine.prefix, "drive_c", "windows", "Fonts")
    for name in WINE_FONTS:
        require(os.path.exists(os.path.join("/usr/share/wine/fonts", name)),
                "Wine's font %s is installed (package fonts-wine)" % name)
        check(os.path.exists(os.path.join(fonts, name)), "wine-run.sh gave the prefix %s" % name)


def set_display_scale(wine, dpi):
    """Sets the display scale of the prefix's user (None: the default, no
    setting at all) and restarts its Wine session so that it takes hold."""
    key = r"HKCU\Control Panel\Desktop"
    if dpi is None:
        wine.run("C", "reg", "delete", key, "/v", "LogPixels", "/f")
    else:
        wine.run("C", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
    wine.shutdown()


def font_settings(path):
    """A .reg file (UTF-16) that pins the fonts for either code page. Wine
    rewrites some of these when the code page changes, so it is imported
    again before each run, under that run's code page."""

    def logfont(face, height, weight):
        data = struct.pack("<5l8B", height, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0)
        data += face.encode("utf-16le").ljust(64, b"\0")
        return "hex:" + ",".join("%02x" % b for b in data)

    text = "\r\n".join([
        "Windows Registry Editor Version 5.00", "",
        r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]",
        '"MS Shell Dlg"="Tahoma"', '"MS Shell Dlg 2"="Tahoma"', "",
        r"[HKEY_CURRENT_USER\Control Panel\Desktop\WindowMetrics]",
        '"CaptionFont"=' + logfont(FACE, -11, 700), "",
        r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]",
        '"SimSun"="Noto Serif CJK SC"', '"宋体"="Noto Serif CJK SC"', "",
        # Wine draws the frame and caption itself: there is no window manager.
        r"[HKEY_CURRENT_USER\Software\Wine\X11 Driver]", '"Decorated"="N"', "", ""])
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + text.encode("utf-16le"))


# --- what the probe reports --------------------------------------------------


def parse_windows(report):
    windows = []
    for line in report.splitlines():
        kind, _, rest = line.partition(" ")
        if kind == "window":
            m = re.match(r"title=(.*) class=(\S+) pid=(\d+) rect=(-?\d+),(-?\d+),(-?\d+),(-?\d+) "
                         r"client=(-?\d+),(-?\d+),(-?\d+),(-?\d+)$", rest)
            windows.append({"title": m.group(1), "class": m.group(2), "pid": int(m.group(3)),
                            "rect": tuple(int(m.group(i)) for i in range(4, 8)),
                            "client": tuple(int(m.group(i)) for i in range(8, 12)), "children": [], "focus": None,
                            "closebox": None})
        elif kind == "focus":
            m = re.match(r"id=(-?\d+) text=(.*)$", rest)
            windows[-1]["focus"] = (int(m.group(1)), m.group(2))
        elif kind == "closebox":
            windows[-1]["closebox"] = tuple(int(v) for v in rest.split(","))
        elif kind == "child":
            m = re.match(r"id=(-?\d+) class=(\S*) visible=(\d) rect=(-?\d+),(-?\d+),(-?\d+),(-?\d+) text=(.*)$", rest)
            windows[-1]["children"].append({"id": int(m.group(1)), "class": m.group(2), "visible": m.group(3) == "1",
                                            "rect": tuple(int(m.group(i)) for i in range(4, 8)),
                                            "text": m.group(8)})
    return windows


def find_window(windows, title):
    for w in windows:
        if w["title"] == title:
            return w
    return None


def child(window, control_id):
    for c in window["children"]:
        if c["id"] == control_id:
            return c
    return None


def centre(rect):
    return ((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)


# --- screen ----------------------------------------------------------------


class Screen:
    def __init__(self, display, directory):
        self.display = display
        self.directory = directory
        os.makedirs(directory, exist_ok=True)

    def env(self):
        return dict(os.environ, DISPLAY=self.display.name)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env(), check=True, timeout=30)

    def click(self, point):
        self.xdotool("mousemove", "--sync", str(point[0]), str(point[1]), "click", "1")

    def focus(self, title):
        """Gives the X keyboard focus to the window of that title; without a
        window manager nobody else does. X titles are matched by their ASCII
        start: Wine writes the X title in the locale's encoding, so under
        LANG=C the Chinese part is lost there (not in the window itself)."""
        start = re.match(r"[ -~]*", title).group(0)
        pattern = "^" + re.escape(start or title) + ("$" if start in ("", title) else "")
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern], env=self.env(),
                               stdout=subprocess.PIPE, text=True).stdout.split()
        require(len(found) == 1, "one X window for '%s': %s" % (title, found))
        self.xdotool("windowfocus", "--sync", found[0])

    def keys(self, *keys):
        self.xdotool("key", "--delay", "80", *keys)

    def visible_windows(self):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", ""], env=self.env(),
                               stdout=subprocess.PIPE, text=True).stdout.split()
        return set(found)

    def wait_new_window(self, known, timeout):
        """When an X window not among `known` shows: polled at short
        intervals from X itself, which is much quicker than asking Wine."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.visible_windows() - known:
                return time.monotonic()
            time.sleep(0.01)
        raise Fatal("no new window within %d s" % timeout)

    def type(self, text):
        self.xdotool("type", "--delay", "40", text)

    def grab(self, rect):
        """The pixels of a screen rectangle as rows of (r, g, b) bytes."""
        left, top, right, bottom = rect
        geometry = "%dx%d+%d+%d" % (right - left, bottom - top, left, top)
        data = subprocess.run(["import", "-window", "root", "-crop", geometry, "-depth", "8", "ppm:-"], env=self.env(),
                              stdout=subprocess.PIPE, check=True, timeout=30).stdout
        return Picture(data)

    def save(self, name, rect):
        path = os.path.join(self.directory, name + ".png")
        left, top, right, bottom = rect
        geometry = "%dx%d+%d+%d" % (right - left, bottom - top, left, top)
        subprocess.run(["import", "-window", "root", "-crop", geometry, path], env=self.env(), check=True, timeout=30)
        return path


class Picture:
    def __init__(self, ppm):
        fields = []
        at = 0
        while len(fields) < 4:  # magic, width, height, maximum
            while ppm[at:at + 1].isspace():
                at += 1
            start = at
            while not ppm[at:at + 1].isspace():
                at += 1
            fields.append(ppm[start:at])
        assert fields[0] == b"P6" and fields[3] == b"255"
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = ppm[at + 1:]

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def count(self, colour, rect):
        left, top, right, bottom = rect
        wanted = bytes(colour)
        n = 0
        for y in range(top, bottom):
            row = self.pixels[(y * self.width + left) * 3:(y * self.width + right) * 3]
            n += sum(1 for i in range(0, len(row), 3) if row[i:i + 3] == wanted)
        return n


# --- the scenario ------------------------------------------------------------


class Run:
    """One start of the program under one code page."""

    def __init__(self, args, wine, display, lang, tag):
        self.args, self.wine, self.lang, self.tag = args, wine, lang, tag
        base = os.path.join(os.path.abspath(args.artifacts), tag)
        shutil.rmtree(base, ignore_errors=True)
        self.app_dir = os.path.join(base, "app")
        self.cwd = os.path.join(base, "elsewhere")  # the current directory is not the tool's
        os.makedirs(self.app_dir)
        os.makedirs(self.cwd)
        self.exe = os.path.join(self.app_dir, "qzffont-gui.exe")
        shutil.copy(args.gui, self.exe)
        self.screen = Screen(display, base)
        self.process = None
        self.main = None
        self.shots = {}

    def say(self, text):
        print("[%s] %s" % (self.tag, text), flush=True)

    def windows(self):
        return self.wine.windows(self.lang)

    def wait_window(self, title, timeout=60):
        return poll("window '%s'" % title, lambda: find_window(self.windows(), title), timeout)

    def wait_gone(self, title, timeout=30):
        poll("window '%s' to close" % title, lambda: find_window(self.windows(), title) is None, timeout)

    def dialogs(self):
        """Top-level windows of the program other than its main window."""
        pid = self.main["pid"]
        return [w for w in self.windows() if w["pid"] == pid and w["title"] != CAPTION]

    def shot(self, name, rect):
        self.shots[name] = self.screen.save(name, rect)

    def seen(self, window):
        """What a person sees of a window: all of it where Wine draws the
        frame, the client area where a window manager would."""
        return window["client"] if self.wine.plain else window["rect"]

    def start(self):
        if self.wine.font_settings:
            self.wine.run(self.lang, "regedit", "/S", self.wine.font_settings)
        self.say("starting under LANG=" + self.lang)
        self.process = self.wine.start(self.lang, self.exe, cwd=self.cwd)
        self.main = self.wait_window(CAPTION, timeout=120)

    def check_start(self):
        w = self.main
        check(w["rect"][:2] == (200, 10), "window stands at (200, 10): %s" % (w["rect"][:2],))
        check(w["focus"] == (1000, CHOOSE_FONT), "focus on %s: %s" % (CHOOSE_FONT, w["focus"]))
        check(child(w, 1000) and child(w, 1000)["text"] == CHOOSE_FONT, "button 1000 reads " + CHOOSE_FONT)
        check(child(w, 1002) and child(w, 1002)["text"] == SAVE_FONT, "button 1002 reads " + SAVE_FONT)
        for control_id, text in PREVIEW_LINES.items():
            c = child(w, control_id)
            check(c is not None and c["text"] == text, "preview line %d reads %s" % (control_id, text))
        self.check_layout()
        self.check_picture("start")
        self.shot("01-start", self.seen(w))

    def check_layout(self):
        """The client area is the picture and each control stands on its
        place in the picture."""
        w = self.main
        client = w["client"]
        size = (client[2] - client[0], client[3] - client[1])
        check(size == PICTURE_SIZE, "client area is %dx%d like the picture: %dx%d" % (PICTURE_SIZE + size))
        for control_id, expected in IN_PICTURE.items():
            c = child(w, control_id)
            where = c and relative(client, c["rect"])
            check(where == expected, "control %d stands at %s in the picture: %s" % (control_id, expected, where))

    def check_picture(self, when):
        """The client area shows the background picture pixel for pixel
        outside the controls, and each preview line draws light beige text
        straight onto the picture's dark band (an opaque static would cover
        the band with its own background)."""
        w = self.main
        picture = self.args.picture
        client = w["client"]
        controls = [relative(client, c["rect"]) for c in w["children"]]
        lines = [relative(client, child(w, i)["rect"]) for i in PREVIEW_LINES]
        shot = poll("the preview lines to be painted",
                    lambda: (lambda p: p if all(p.count(PREVIEW_TEXT_COLOUR, r) > 30 for r in lines) else None)
                    (self.screen.grab(client)), 30)
        stray = changed_outside(shot, picture, controls)
        check(stray == 0, "%s: the client area outside the controls is the picture (%d pixels differ)" % (when, stray))
        for control_id, area in zip(PREVIEW_LINES, lines):
            beige = shot.count(PREVIEW_TEXT_COLOUR, area)
            drawn = changed_inside(shot, picture, area)
            off_band = sum(1 for x, y in drawn if not on_band(picture, x, y))
            check(beige > 30 and drawn and off_band == 0,
                  "%s: line %d in (238, 222, 206) on the band (%d beige, %d drawn, %d off the band)" %
                  (when, control_id, beige, len(drawn), off_band))
        return shot

    def keys_do_nothing(self):
        """Esc and Enter do not close the window and Tab does not move the
        focus: the space bar afterwards still presses the focused button,
        "选择字体", which opens the font dialog."""
        self.screen.focus(CAPTION)
        self.screen.keys("Escape", "Return", "Tab", "space")
        dialog = poll("the font dialog", lambda: self.dialogs(), 30)[0]
        check(self.process.poll() is None, "Esc and Enter leave the program running")
        check(find_window(self.windows(), CAPTION) is not None, "the window is still there")
        self.shot("02-font-dialog", self.seen(dialog))
        self.screen.focus(dialog["title"])
        self.screen.keys("Escape")  # cancel: nothing changes
        poll("the font dialog to close", lambda: not self.dialogs(), 30)

    def message_box(self, expected, trigger):
        title, text = expected
        trigger()
        box = self.wait_window(title, timeout=180)
        texts = [c["text"] for c in box["children"] if c["class"].lower() == "static" and c["text"]]
        check(text in texts, "message box '%s' says %s: %s" % (title, text, texts))
        return box

    def close_box(self, box, name):
        ok = [c for c in box["children"] if c["class"].lower() == "button"]
        require(ok, "message box has an OK button")
        # The button's label is Wine's own and follows the language; the
        # caption and the text above it are the program's.
        seen = self.seen(box)
        self.shot(name, (seen[0], seen[1], seen[2], ok[0]["rect"][1]))
        self.screen.click(centre(ok[0]["rect"]))
        self.wait_gone(box["title"])

    def save_before_choice(self):
        save = child(self.main, 1002)["rect"]
        box = self.message_box(CHOOSE_FIRST, lambda: self.screen.click(centre(save)))
        check(sorted(os.listdir(self.app_dir)) == ["qzffont-gui.exe"],
              "nothing written next to the tool: %s" % os.listdir(self.app_dir))
        self.close_box(box, "03-choose-first")

    def choose_font(self):
        self.screen.click(centre(child(self.main, 1000)["rect"]))
        dialog = poll("the font dialog", lambda: self.dialogs(), 30)[0]
        self.screen.focus(dialog["title"])
        focus = dialog["focus"]
        self.say("font dialog '%s', focus on %s" % (dialog["title"], focus))
        self.screen.keys("ctrl+a")
        self.screen.type(FACE)
        self.screen.keys("Return")
        poll("the font dialog to close", lambda: not self.dialogs(), 30)
        self.main = self.wait_window(CAPTION)
        self.check_layout()
        self.check_picture("after the choice")
        self.shot("04-chosen", self.seen(self.main))

    def save_font(self):
        save = child(self.main, 1002)["rect"]
        known = self.screen.visible_windows()

        def click_and_time():
            self.screen.click(centre(save))
            clicked = time.monotonic()
            shown = self.screen.wait_new_window(known, 180)
            self.say("Save: %.2f s from the click to the message box" % (shown - clicked))

        box = self.message_box(SUCCESS, click_and_time)
        files = sorted(os.listdir(self.app_dir))
        check(files == ["F_FONTJ.qzf", "qzffont-gui.exe"], "F_FONTJ.qzf next to the tool, no DATA1: %s" % files)
        output = os.path.join(self.app_dir, "F_FONTJ.qzf")
        attributes = self.wine.probe(self.lang, "attributes", to_windows_path(output)).strip()
        check(attributes == "hidden=0", "F_FONTJ.qzf is not hidden: " + attributes)
        self.close_box(box, "05-success")
        return output

    def quit_by_close_box(self):
        self.main = self.wait_window(CAPTION)
        require(self.main["closebox"] is not None, "the window has a close box")
        self.screen.click(self.main["closebox"])
        self.check_exit("the close box")

    def quit_by_alt_f4(self):
        self.screen.focus(CAPTION)
        self.screen.keys("alt+F4")
        self.check_exit("Alt+F4")

    def check_exit(self, how):
        try:
            status = self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            status = None
        check(status == 0, "%s ends the program with status 0: %s" % (how, status))

    def stop(self):
        if self.process and self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            self.process.wait(timeout=10)


def relative(origin, rect):
    """A screen rectangle relative to the top-left corner of another."""
    return (rect[0] - origin[0], rect[1] - origin[1], rect[2] - origin[0], rect[3] - origin[1])


def load_picture(path):
    data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], stdout=subprocess.PIPE, check=True,
                          timeout=60).stdout
    return Picture(data)


def changed_outside(shot, picture, holes):
    """How many pixels of a screenshot of the client area differ from the
    picture outside the rectangles `holes`; where the two do not overlap,
    every pixel counts."""
    n = shot.width * shot.height + picture.width * picture.height - 2 * min(shot.width, picture.width) * min(
        shot.height, picture.height)
    width = min(shot.width, picture.width)
    for y in range(min(shot.height, picture.height)):
        cuts = sorted((max(0, h[0]), min(width, h[2])) for h in holes if h[1] <= y < h[3] and h[0] < h[2])
        x = 0
        for left, right in cuts + [(width, width)]:
            if x < left:
                a = shot.pixels[(y * shot.width + x) * 3:(y * shot.width + left) * 3]
                b = picture.pixels[(y * picture.width + x) * 3:(y * picture.width + left) * 3]
                if a != b:
                    n += sum(1 for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3])
            x = max(x, right)
    return n


def changed_inside(shot, picture, rect):
    """The pixels of a rectangle of the client area that differ from the
    picture (or lie outside it): what a control drew there."""
    left, top, right, bottom = rect
    return [(x, y)
            for y in range(max(0, top), min(bottom, shot.height))
            for x in range(max(0, left), min(right, shot.width))
            if x >= picture.width or y >= picture.height or shot.at(x, y) != picture.at(x, y)]


def on_band(picture, x, y):
    """Whether a pixel of the picture is on its dark band: between the two
    gold rules (rows 548-549 and 698-699) and dark."""
    return BAND_ROWS[0] <= y < BAND_ROWS[1] and x < picture.width and sum(picture.at(x, y)) < 3 * 60


def to_windows_path(path):
    return "Z:" + path.replace("/", "\\")


def check_glyphs(args, wine, output, artifacts):
    """The tool's output holds the chosen face's glyphs at all three sizes:
    it differs from the stock file in every table and equals what the
    command-line build makes with that face."""
    reference = os.path.join(artifacts, "reference.qzf")
    status, text = wine.run("C", args.cli, "build", "--face", FACE, "--out", to_windows_path(reference), "--quiet",
                            timeout=300)
    if not check(status == 0, "qzffont build --face '%s' succeeds: %s" % (FACE, text[-500:])):
        return

    def diff(a, b):
        _, text = wine.run("C", args.cli, "diff", to_windows_path(a), to_windows_path(b), timeout=120)
        print(text, end="", flush=True)
        return [int(n) for n in re.findall(r"(\d+) cells differ", text)], text

    counts, _ = diff(args.stock, output)
    check(len(counts) == 3 and all(n > 0 for n in counts), "qzffont diff: every table rewritten: %s" % counts)
    counts, text = diff(reference, output)
    check(len(counts) == 3 and all(n == 0 for n in counts) and "differs" not in text,
          "qzffont diff: same glyphs as the '%s' build: %s" % (FACE, counts))


def same_pixels(first, second, name):
    """Compares two screenshots; a difference picture is kept when they differ."""
    out = subprocess.run(["compare", "-metric", "AE", first, second, os.path.splitext(second)[0] + "-diff.png"],
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    different = out.stderr.strip()
    if different == "0":
        os.remove(os.path.splitext(second)[0] + "-diff.png")
    check(different == "0", "%s: same pixels under code pages 936 and 1252 (%s differ)" % (name, different))


def pinned_runs(args, display, runs):
    """Code page 936 the whole way, from start to a built font, then the
    close box; code page 1252 with the same texts and the same pixels, then
    Alt+F4."""
    wine = Wine(args, display, args.prefix)
    try:
        prepare_prefix(wine)
        status, text = wine.run("C", args.unit, "--gtest_brief=1", timeout=120)
        print(text, end="", flush=True)
        check(status == 0, "main_dialog_test passes")
        check_wine_fonts(wine)

        chinese = Run(args, wine, display, "zh_CN.UTF-8", "cp936")
        runs.append(chinese)
        chinese.start()
        chinese.check_start()
        chinese.keys_do_nothing()
        chinese.save_before_choice()
        chinese.choose_font()
        output = chinese.save_font()
        chinese.quit_by_close_box()

        western = Run(args, wine, display, "C", "cp1252")
        runs.append(western)
        western.start()
        western.check_start()
        western.save_before_choice()
        western.choose_font()
        western.quit_by_alt_f4()

        for name in ("01-start", "03-choose-first", "04-chosen"):
            same_pixels(chinese.shots[name], western.shots[name], name)
        check_glyphs(args, wine, output, args.artifacts)
    finally:
        stop(runs)
        wine.shutdown()


def plain_runs(args, display, runs):
    """A player's prefix, nothing pinned: the window must look the same at
    the default display scale and at 150 % (144 dpi), and still save."""
    wine = Wine(args, display, args.plain_prefix, plain=True)
    try:
        prepare_prefix(wine)
        for dpi in (None, 144):
            set_display_scale(wine, dpi)
            run = Run(args, wine, display, PLAIN_LANG, "plain-%ddpi" % (dpi or 96))
            runs.append(run)
            run.start()
            run.check_start()
            run.choose_font()
            run.save_font()
            run.quit_by_alt_f4()
    finally:
        stop(runs)
        wine.shutdown()


def stop(runs):
    for run in runs:
        run.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--gui", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--unit", required=True, help="main_dialog_test.exe, run on the display first")
    parser.add_argument("--stock", required=True, help="the embedded F_FONTJ.qzf")
    parser.add_argument("--picture", required=True, help="the background picture the program carries (.bmp)")
    parser.add_argument("--wine", required=True, help="tools/wine-run.sh")
    parser.add_argument("--prefix", required=True, help="the prefix with pinned fonts, made by wine-run.sh")
    parser.add_argument("--plain-prefix", required=True, help="the prefix as wineboot leaves it")
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    for name in ("gui", "cli", "probe", "unit", "stock", "picture", "wine", "prefix", "plain_prefix", "artifacts"):
        setattr(args, name, os.path.abspath(getattr(args, name)))
    os.makedirs(args.artifacts, exist_ok=True)
    args.font_settings = os.path.join(args.artifacts, "fonts.reg")
    font_settings(args.font_settings)

    for tool in ("Xvfb", "xdotool", "import", "compare", "convert", "wineserver", "wine"):
        if shutil.which(tool) is None:
            print("FAIL  %s is not installed (make setup)" % tool)
            return 1
    args.picture = load_picture(args.picture)
    if not check((args.picture.width, args.picture.height) == PICTURE_SIZE, "the picture is %dx%d" % PICTURE_SIZE):
        return 1

    started = time.monotonic()
    display = Display()
    try:
        for group in (pinned_runs, plain_runs):
            try:
                group(args, display, [])
            except Fatal:
                pass  # already reported; the other group still runs
    finally:
        display.close()
    print("window test took %.0f s; screenshots in %s" % (time.monotonic() - started, args.artifacts))
    if failures:
        print("%d check(s) failed:\n  %s" % (len(failures), "\n  ".join(failures)))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
