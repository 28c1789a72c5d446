#!/usr/bin/python3
"""The studio's API as a script (or another site's page) would call it: the
guards (token, Host, POST with JSON, sizes), bad values, file names, the
way it ends, and a build through the API against `qzffont build` with the
same style file.

usage: studio_api_test.py QZFFONT [--runner WINE-RUN]
"""
import argparse
import base64
import http.client
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from studio_process import Studio, program_path  # noqa: E402

FACE = "Noto Sans CJK SC"
MAKE_PRIVATE_FONT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "platform", "make_private_font.py")
WQY = "WenQuanYi Micro Hei"
NOT_INSTALLED = 77  # make_private_font.py's status when the face is not there
failures = []
count = [0]


def check(condition, what):
    count[0] += 1
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def request(studio, method, path, body=None, token=True, host=None, headers=None, address="127.0.0.1"):
    """(status, headers, parsed body or text)"""
    connection = http.client.HTTPConnection(address, studio.port, timeout=600)
    all_headers = {"Host": host or "127.0.0.1:%d" % studio.port}
    if token is True:
        all_headers["X-Studio-Token"] = studio.token
    elif token:
        all_headers["X-Studio-Token"] = token
    if body is not None and not isinstance(body, (bytes, str)):
        body = json.dumps(body)
        all_headers["Content-Type"] = "application/json"
    all_headers.update(headers or {})
    connection.putrequest(method, path, skip_host=True, skip_accept_encoding=True)
    for name, value in all_headers.items():
        connection.putheader(name, value)
    data = body.encode() if isinstance(body, str) else body
    connection.putheader("Content-Length", str(len(data or b"")))
    connection.endheaders()
    try:
        if data:
            connection.send(data)
    except (BrokenPipeError, ConnectionResetError):
        pass  # refused before it read the body; the answer is waiting
    response = connection.getresponse()
    text = response.read().decode("utf-8", "replace")
    try:
        parsed = json.loads(text)
    except ValueError:
        parsed = text
    connection.close()
    return response.status, dict(response.getheaders()), parsed


def guards(studio):
    preview = {"face": FACE, "style": {}, "texts": ["古今"]}
    cases = [
        ("page without a token", "GET", "/", None, False, None, 403),
        ("page with a wrong token", "GET", "/?token=" + "0" * 32, None, False, None, 403),
        ("page with the token in the address", "GET", "/?token=" + studio.token, None, False, None, 200),
        ("API without a token", "POST", "/api/preview", preview, False, None, 403),
        ("API with a wrong token", "POST", "/api/preview", preview, "f" * 32, None, 403),
        ("API with a token one digit short", "POST", "/api/preview", preview, studio.token[:-1], None, 403),
        ("a name pointing at this machine as Host", "GET", "/api/state", None, True, "attacker.example:%d" % studio.port, 403),
        ("localhost as Host", "GET", "/api/state", None, True, "localhost:%d" % studio.port, 200),
        ("the loopback address at another port", "GET", "/api/state", None, True, "127.0.0.1:%d" % (studio.port + 1), 403),
        ("Host without the port", "GET", "/api/state", None, True, "127.0.0.1", 403),
        ("[::1] with the port as Host", "GET", "/api/state", None, True, "[::1]:%d" % studio.port, 200),
        ("a state change by GET", "GET", "/api/preview", None, True, None, 405),
        ("a state change as a plain form would send it", "POST", "/api/style/save", "name=x.toml", True,
         None, 415),
    ]
    for what, method, path, body, token, host, status in cases:
        headers = {"Content-Type": "application/x-www-form-urlencoded"} if isinstance(body, str) else None
        got, _, _ = request(studio, method, path, body, token=token, host=host, headers=headers)
        check(got == status, "%s: %d (got %d)" % (what, status, got))

    got, headers, _ = request(studio, "POST", "/api/preview", preview, headers={"Origin": "http://attacker.example"})
    check(got == 403 and not any(h.lower().startswith("access-control") for h in headers),
          "another origin is refused, with no CORS header (got %d)" % got)
    got, _, _ = request(studio, "POST", "/api/style/load", {"text": "x" * 300000})
    check(got == 413, "a body over 256 KB: 413 (got %d)" % got)
    got, _, _ = request(studio, "GET", "/api/state", headers={"Transfer-Encoding": "chunked"})
    check(got in (400, 411), "a body of unstated length is refused (got %d)" % got)

    # Requests the server must not read two ways, or at all.
    host = "Host: 127.0.0.1:%d\r\nX-Studio-Token: %s\r\n" % (studio.port, studio.token)
    raw_cases = [
        ("two Host headers", "GET /api/state HTTP/1.1\r\n" + host + "Host: attacker.example\r\n\r\n", 400),
        ("two lengths", "POST /api/heartbeat HTTP/1.1\r\n" + host +
         "Content-Type: application/json\r\nContent-Length: 2\r\nContent-Length: 20\r\n\r\n{}", 400),
        ("a length that is not a number", "POST /api/heartbeat HTTP/1.1\r\n" + host +
         "Content-Type: application/json\r\nContent-Length: -2\r\n\r\n{}", 400),
        ("no Host in HTTP/1.1", "GET /api/state HTTP/1.1\r\nX-Studio-Token: %s\r\n\r\n" % studio.token, 400),
        # A folded line is read as one line, joined by spaces (as HTTP allows).
        ("a folded header line", "GET /api/state HTTP/1.1\r\n" + host + "X-A: 1\r\n  2\r\n\r\n", 200),
        ("a folded Host", "GET /api/state HTTP/1.1\r\n" + host.replace("\r\nX-Studio", "\r\n x\r\nX-Studio") + "\r\n", 403),
        ("a space before the colon", "GET /api/state HTTP/1.1\r\n" + host + "X-A : 1\r\n\r\n", 400),
        ("an absolute target", "GET http://127.0.0.1/api/state HTTP/1.1\r\n" + host + "\r\n", 400),
        ("another protocol", "GET /api/state HTTP/2.0\r\n" + host + "\r\n", 400),
        ("a head over 16 KB", "GET /api/state HTTP/1.1\r\n" + host + ("X-Pad: %s\r\n" % ("a" * 1000)) * 20 + "\r\n",
         431),
    ]
    for what, text, status in raw_cases:
        raw = socket.create_connection(("127.0.0.1", studio.port), timeout=30)
        raw.sendall(text.encode())
        answer = raw.recv(100).decode("latin-1")
        raw.close()
        check(answer.startswith("HTTP/1.1 %d" % status), "%s: %d (%r)" % (what, status, answer[:20]))

    got, _, _ = request(studio, "GET", "/api/state", address="::1", host="[::1]:%d" % studio.port)
    check(got == 200, "it serves on ::1 too")
    # Only the loopback addresses: the system's table of listening sockets
    # (Wine's sockets are the system's too).
    listening = set()
    for table, width in (("/proc/net/tcp", 8), ("/proc/net/tcp6", 32)):
        with open(table) as f:
            for line in f.readlines()[1:]:
                fields = line.split()
                address, port = fields[1].split(":")
                if fields[3] == "0A" and int(port, 16) == studio.port:
                    listening.add(address)
    check(listening == {"0100007F", "00000000000000000000000001000000"},
          "it listens on 127.0.0.1 and ::1 only (%r)" % sorted(listening))


def bad_values(studio, out):
    # The page takes each setting's limits, default and label from the state.
    _, _, state = request(studio, "GET", "/api/state")
    table = {s["name"]: s for s in state.get("settings", [])}
    gamma = table.get("gamma", {})
    check(gamma.get("limits", {}).get("20") == [0.1, 10] and gamma.get("default") == 1 and gamma.get("label"),
          "the state holds the style table (%r)" % gamma)
    check(table.get("baseline", {}).get("limits", {}).get("24") == [0, 24], "a baseline's limit is its size")
    cases = [
        ({"weight": 1000}, "字重"),
        ({"weight": "bold"}, "字重"),
        ({"weight": ""}, "字重不能为空"),
        ({"weight": 4294967696}, "字重"),  # 2^32 + 400: refused, not narrowed to 400
        ({"size": {"20": {"glyph-size": 200}}}, "20 像素格子的字身高度"),
        ({"size": {"32": {"glyph-size": 20}}}, "32"),
        ({"size": {"24": {"baseline": 25}}}, "24 像素格子的基线"),
        ({"size": {"64": {"shift": [65, 0]}}}, "64 像素格子的位移"),
        ({"size": {"64": {"shift": [1]}}}, "位移"),
        ({"size": {"20": {"fit": True}}}, "自动适配大小"),
        ({"gamma": 0}, "gamma"),
        ({"align": "left"}, "对齐"),
        ({"face": "a\nb"}, "控制字符"),
        ({"wieght": 700}, "wieght"),
        ({"size": {"20": {"wieght": 700}}}, "wieght"),
    ]
    for style, named in cases:
        got, _, body = request(studio, "POST", "/api/preview", {"face": FACE, "style": style, "texts": ["古"]})
        message = body.get("error", "") if isinstance(body, dict) else ""
        check(got == 400 and named in message, "bad style %s: 400 naming %s (got %d %r)" % (json.dumps(style), named,
                                                                                            got, message))
    got, _, body = request(studio, "POST", "/api/preview", "{not json", headers={"Content-Type": "application/json"})
    check(got == 400 and "error" in body, "a body that is not JSON: 400")
    got, _, body = request(studio, "POST", "/api/style/load", {"text": "weight = 400\n[size.32]\nmono = true\n"})
    check(got == 400 and "第 2 行" in body.get("error", ""), "a bad style file: 400 naming its line (%r)" % body)

    names = ["../F_FONTJ.qzf", "..\\F_FONTJ.qzf", "sub/F_FONTJ.qzf", "C:F_FONTJ.qzf", "CON.qzf", "nul.qzf",
             "com1.qzf", "F_FONTJ.qzf.", "F_FONTJ.exe", "", "a\x01.qzf", "what?.qzf"]
    for name in names:
        got, _, body = request(studio, "POST", "/api/build", {"face": FACE, "style": {}, "name": name})
        check(got == 400, "build into %r refused (got %d)" % (name, got))
    for name in ["../style.toml", "style.txt", "aux.toml"]:
        got, _, _ = request(studio, "POST", "/api/style/save", {"face": FACE, "style": {}, "name": name})
        check(got == 400, "style saved as %r refused (got %d)" % (name, got))
    check(os.listdir(out) == [], "nothing was written by the refused requests")


def own_glyphs(studio, out):
    """Single characters' own tables in the studio: a cell drawn by hand is
    stored under glyphs/ by a name the studio makes, the style refers to it,
    and the preview draws it; a shifted character moves; what does not do
    is refused with 400, never 500."""
    _, _, preview = request(studio, "POST", "/api/preview", {"face": FACE, "texts": [u"古今"]})
    position = preview["layouts"][0]["cells"][0][2]
    size = 20
    levels = "".join("%x" % ((x + y) % 16) for y in range(size) for x in range(size))
    got, _, body = request(studio, "POST", "/api/glyph/image", {"glyph": u"古", "size": size, "levels": levels})
    check(got == 200 and body.get("image") == "glyphs/u53e4-20.png" and body.get("levels") == levels,
          "a drawn cell is stored under the studio's name (%s %r)" % (got, body if got != 200 else body["image"]))
    stored = os.path.join(out, "glyphs", "u53e4-20.png")
    check(os.path.isfile(stored), "the picture is in the studio's folder")
    with open(stored, "rb") as f:
        png = base64.b64encode(f.read()).decode()
    got, _, again = request(studio, "POST", "/api/glyph/image", {"glyph": u"古", "size": size, "png": png})
    check(got == 200 and again.get("levels") == levels, "an uploaded PNG reads back as its 16 levels")

    def cell(style):
        got, _, body = request(studio, "POST", "/api/cell", {"face": FACE, "style": style, "size": size,
                                                             "position": position})
        return body.get("new") if got == 200 else body

    plain = cell({})
    drawn = cell({"glyph": {u"古": {"size": {"20": {"image": "glyphs/u53e4-20.png"}}}}})
    check(drawn == levels, "the preview draws the character's picture")
    moved = cell({"glyph": {u"古": {"shift": [1, 0]}}})
    shifted = "".join("0" + plain[y * size:(y + 1) * size - 1] for y in range(size))
    check(moved == shifted, "a character's own shift moves its cell one pixel right")
    _, _, other = request(studio, "POST", "/api/preview", {"face": FACE, "texts": [u"今"],
                                                          "style": {"glyph": {u"古": {"shift": [1, 0]}}}})
    _, _, base = request(studio, "POST", "/api/preview", {"face": FACE, "texts": [u"今"]})
    check(other["sizes"]["20"]["new"] == base["sizes"]["20"]["new"], "another character's cells stay as they were")

    good = {"glyph": u"古", "size": size, "levels": levels}
    cases = [
        ("a character no code reaches", dict(good, glyph=u"☃")),
        ("two characters as one key", dict(good, glyph=u"古今")),
        ("a code not in the table", dict(good, glyph="0x0001")),
        ("a cell size of 22", dict(good, size=22)),
        ("levels one short", dict(good, levels=levels[:-1])),
        ("levels with a letter beyond f", dict(good, levels="g" + levels[1:])),
        ("both levels and a picture", dict(good, png=png)),
        ("neither levels nor a picture", {"glyph": u"古", "size": size}),
        ("a picture that is not base64", {"glyph": u"古", "size": size, "png": "*" * 8}),
        ("a picture that is not a PNG", {"glyph": u"古", "size": size, "png": base64.b64encode(b"x" * 64).decode()}),
        ("a 20 px picture for the 24 px cell", {"glyph": u"古", "size": 24, "png": png}),
        ("an unknown field", dict(good, path="../x.png")),
        ("a glyph key that is a number", dict(good, glyph=7)),
    ]
    for what, body in cases:
        got, _, answer = request(studio, "POST", "/api/glyph/image", body)
        check(got == 400 and isinstance(answer, dict) and answer.get("error"), "glyph image, %s: 400 (%s %r)" %
              (what, got, answer))
    got, _, _ = request(studio, "POST", "/api/glyph/image", dict(good, levels="0" * (300 * 1024)))
    check(got == 413, "a huge drawn cell: 413 (%s)" % got)
    paths = [("/etc/passwd.png", "an absolute path"), ("../u53e4-20.png", "a path out of the folder"),
             ("glyphs/../../x.png", "a path climbing out"), ("C:/x.png", "a drive"), ("glyphs\\x.png", "a backslash"),
             ("glyphs/x.txt", "not a .png"), ("glyphs/CON.png", "a device name"), ("glyphs/missing.png", "a missing file")]
    for path, what in paths:
        got, _, answer = request(studio, "POST", "/api/cell", {"face": FACE, "size": size, "position": position,
                                                              "style": {"glyph": {u"古": {"image": path}}}})
        check(got == 400 and answer.get("error"), "an image path with %s: 400 (%s %r)" % (what, got, answer))
    got, _, answer = request(studio, "POST", "/api/cell", {
        "face": FACE, "size": 24, "position": position,
        "style": {"glyph": {u"古": {"size": {"24": {"image": "glyphs/u53e4-20.png"}}}}}})
    check(got == 400 and u"24×24" in answer.get("error", ""),
          "a picture of the wrong size for its cell: 400 in Chinese (%s %r)" % (got, answer))
    # A code whose cell the dictionary keeps (among the first few cells).
    kept = None
    for p in range(40):
        got, _, answer = request(studio, "POST", "/api/cell", {"face": FACE, "size": size, "position": p})
        if got == 200 and answer.get("kept") and not answer.get("character"):
            kept = "0x" + answer["code"]
            break
    check(kept is not None, "a cell the dictionary keeps is among the first 40")
    if kept:
        got, _, answer = request(studio, "POST", "/api/glyph/image", {"glyph": kept, "size": size, "levels": levels})
        drawn_one = {"glyph": {kept: {"size": {"20": {"image": answer.get("image")}}}}}
        got, _, answer = request(studio, "POST", "/api/build", {"face": FACE, "style": drawn_one, "name": "kept.qzf"})
        check(got == 400 and u"三种格子" in answer.get("error", ""),
              "a kept code drawn at one size only is not built (%s %r)" % (got, answer))
    for style, what in (({"glyph": {u"☃": {"shift": [1, 0]}}}, "a character no code reaches"),
                        ({"glyph": {u"古": {"face": "QZF No Such Face"}}}, "a face not installed"),
                        ({"glyph": {u"古": {"fit": True}}}, "a whole-font setting"),
                        ({"glyph": {u"古": {"shift": [99, 0]}}}, "a shift beyond the cell")):
        got, _, answer = request(studio, "POST", "/api/preview", {"face": FACE, "texts": [u"古"], "style": style})
        check(got == 400 and answer.get("error"), "a glyph table with %s: 400 (%s %r)" % (what, got, answer))


def build_through_api(studio, out, qzffont, runner):
    style = {"align": "center", "weight": 700,
             "size": {"20": {"glyph-size": 19, "mono": True}, "24": {"glyph-size": 23, "gamma": 1.4},
                      "64": {"glyph-size": 60}},
             "fallback": ["WenQuanYi Micro Hei"],
             # Single characters' own settings go through the same reader and file.
             "glyph": {"中": {"shift": [1, -1], "face": "WenQuanYi Micro Hei", "size": {"20": {"weight": 400}}},
                       "0x8142": {"punctuation": "centred"}}}
    got, _, body = request(studio, "POST", "/api/style/save", {"face": FACE, "style": style, "name": "api.toml"})
    check(got == 200, "the style is saved (%r)" % body)
    with open(os.path.join(out, "api.toml"), encoding="utf-8") as f:
        saved = f.read()
    got, _, body = request(studio, "POST", "/api/style/load", {"text": saved})
    check(got == 200 and body.get("style", {}).get("glyph") == style["glyph"],
          "the saved style loads back with its characters' settings (%r)" % body)
    # A second build while one runs is refused. The first may end before the
    # second is asked for on a fast machine: then that one is a new build,
    # and the next try asks again, a few times at most.
    refused = []
    for _ in range(3):
        got, _, body = request(studio, "POST", "/api/build", {"face": FACE, "style": style, "name": "api.qzf"})
        check(got == 200, "the build starts (%r)" % body)
        got, _, again = request(studio, "POST", "/api/build", {"face": FACE, "style": style, "name": "api.qzf"})
        refused.append(got)
        if got == 409:
            break
        check(got == 200, "a build asked for after the last one ended starts (got %d %r)" % (got, again))
        wait_for_build(studio)
    check(refused[-1] == 409, "a second build while one runs is refused (got %r)" % refused)
    status = wait_for_build(studio)
    check(status.get("ok"), "the build succeeds (%r)" % status.get("message"))
    reference = os.path.join(out, "reference.qzf")
    subprocess.run(([runner] if runner else []) + [qzffont, "build", "--style",
                                                   program_path(os.path.join(out, "api.toml"), runner),
                                                   "--out", program_path(reference, runner), "-q"],
                   check=True, stdout=subprocess.DEVNULL, timeout=900)
    with open(os.path.join(out, "api.qzf"), "rb") as a, open(reference, "rb") as b:
        built = a.read()
        check(built == b.read(), "the API's build equals qzffont build with its saved style file")
    # The cells the page shows are the build's, the characters' own ones too.
    _, _, shown = request(studio, "POST", "/api/preview", {"face": FACE, "texts": [u"中国"]})
    positions = [c[2] for c in shown["layouts"][0]["cells"]]
    codes = [built[4 + 2 * p] | built[5 + 2 * p] << 8 for p in range(7832)]
    positions.append(codes.index(0x8142))
    for size, offset, per_cell in ((20, 34268, 200), (24, 1627452, 288), (64, 4073532, 2048)):
        for position in positions:
            cell = built[offset + position * per_cell:offset + (position + 1) * per_cell]
            levels = "".join("%x%x" % (b & 15, b >> 4) for b in cell)
            got, _, body = request(studio, "POST", "/api/cell", {"face": FACE, "style": style, "size": size,
                                                                 "position": position})
            check(got == 200 and body.get("new") == levels,
                  "the studio's cell at %d, %d px is the built one (%s)" % (position, size, got))
    leftovers = [n for n in os.listdir(out) if n.endswith(".tmp")]
    check(not leftovers, "no temporary files are left (%r)" % leftovers)


def font_files(studio, out, qzffont, runner, work):
    """A font file no fontconfig directory holds, sent by the page."""
    family = "QZF Studio Test Hei"
    made = os.path.join(work, "studio-test-hei.ttf")
    copied = subprocess.run(["/usr/bin/python3", MAKE_PRIVATE_FONT, "--installed", WQY, family, made],
                            capture_output=True, timeout=300)
    if copied.returncode == NOT_INSTALLED:
        print("SKIP font files: %s" % copied.stderr.decode(errors="replace").strip(), flush=True)
        return
    check(copied.returncode == 0, "a renamed copy of %s (%r)" % (WQY, copied.stderr))
    if copied.returncode != 0:
        return
    with open(made, "rb") as f:
        data = base64.b64encode(f.read()).decode()
    cases = [
        ({"name": "hei.txt", "data": data}, 400, "an extension that is not a font's"),
        ({"name": "../hei.ttf", "data": data}, 400, "a name with a path"),
        ({"name": "hei.ttf", "data": "not base64!"}, 400, "data that is not base64"),
        ({"name": "empty.ttf", "data": base64.b64encode(b"no font in here").decode()}, 400, "a file with no font"),
    ]
    for body, status, what in cases:
        got, _, answer = request(studio, "POST", "/api/font-file", body)
        check(got == status, "font file with %s: %d (got %d %r)" % (what, status, got, answer))
    check(not os.path.exists(os.path.join(out, "empty.ttf")), "a file with no font is not kept")
    raw = socket.create_connection(("127.0.0.1", studio.port), timeout=30)
    raw.sendall(("POST /api/font-file HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nX-Studio-Token: %s\r\n"
                 "Content-Type: application/json\r\nContent-Length: 90000000\r\n\r\n{" % (studio.port, studio.token)).encode())
    answer = raw.recv(100).decode("latin-1")
    raw.close()
    check(answer.startswith("HTTP/1.1 413"), "a font file over 50 MB: 413 before it is sent (%r)" % answer[:20])

    got, _, answer = request(studio, "POST", "/api/font-file", {"name": "hei.ttf", "data": data})
    check(got == 200, "the font file is taken (%r)" % answer)
    path = answer.get("path", "") if isinstance(answer, dict) else ""
    _, _, faces = request(studio, "GET", "/api/faces")
    listed = [f for f in faces["faces"] if f["name"] == family]
    check(listed and listed[0]["drawable"] == faces["total"], "its face is listed, drawing every character")
    style = {"font-file": [path]}
    got, _, _ = request(studio, "POST", "/api/build", {"face": family, "style": style, "name": "hei.qzf"})
    status = wait_for_build(studio)
    check(got == 200 and status.get("ok"), "a build in the file's face succeeds (%r)" % status.get("message"))
    reference = os.path.join(out, "hei-reference.qzf")
    subprocess.run(([runner] if runner else []) + [qzffont, "build", "--font-file", program_path(made, runner),
                                                   "--face", family, "--out", program_path(reference, runner), "-q"],
                   check=True, stdout=subprocess.DEVNULL, timeout=900)
    with open(os.path.join(out, "hei.qzf"), "rb") as a, open(reference, "rb") as b:
        check(a.read() == b.read(), "it equals qzffont build --font-file with that file")
    got, _, answer = request(studio, "POST", "/api/font-file", {"name": "hei.ttf", "data": base64.b64encode(b"x" * 8).decode()})
    check(got == 409, "another file of the same name is not written over (got %d)" % got)


def wait_for_build(studio):
    deadline = time.time() + 900
    status = {}
    while time.time() < deadline:
        _, _, status = request(studio, "GET", "/api/build")
        if status.get("finished") and not status.get("running"):
            break
        time.sleep(0.2)
    return status


def ended_idle(studio, what):
    """Waits for a studio to end by itself; checks it said it ended for want
    of a page."""
    try:
        studio.process.wait(timeout=120)
        # What it wrote is in the pipe; a Wine server it started may hold
        # the pipe open, so only what is there is read.
        os.set_blocking(studio.process.stdout.fileno(), False)
        said = (studio.process.stdout.read() or b"").decode("utf-8", "replace")
        check(studio.process.returncode == 0 and "no page is open" in said,
              "%s (status %s, %r)" % (what, studio.process.returncode, said[-200:]))
    except subprocess.TimeoutExpired:
        check(False, what)
    finally:
        studio.stop()


def ends(qzffont, runner, out):
    ended_idle(Studio(qzffont, runner, ["--out-dir", out, "--idle-seconds", "1"]),
               "with no page it ends by itself")
    # A page that was open keeps it running; once it is gone, it ends. The
    # heartbeats go on for half as long again as the idle time, every quarter
    # of it, and stop at once should it end.
    idle = 2
    studio = Studio(qzffont, runner, ["--out-dir", out, "--idle-seconds", str(idle)])
    try:
        until = time.monotonic() + 1.5 * idle
        while time.monotonic() < until and studio.process.poll() is None:
            try:
                request(studio, "POST", "/api/heartbeat", {})
            except OSError:
                break  # it ended: the check below says so
            try:
                studio.process.wait(timeout=idle / 4)
            except subprocess.TimeoutExpired:
                pass
        check(studio.process.poll() is None, "an open page keeps it running past the idle time")
    finally:
        ended_idle(studio, "after the last page closed it ends by itself")
    studio = Studio(qzffont, runner, ["--out-dir", out])
    check(studio.stop() == 0, "Ctrl+C ends it with status 0")
    studio = Studio(qzffont, runner, ["--out-dir", out])
    got, _, _ = request(studio, "POST", "/api/quit", {})
    try:
        studio.process.wait(timeout=60)
        check(got == 200 and studio.process.returncode == 0, "the page's stop button ends it")
    except subprocess.TimeoutExpired:
        check(False, "the page's stop button ends it")
    finally:
        studio.stop()
    with Studio(qzffont, runner, ["--out-dir", out]) as one:
        try:
            Studio(qzffont, runner, ["--out-dir", out, "--port", str(one.port)]).stop()
            check(False, "a port in use is refused")
        except RuntimeError as e:
            check("in use" in str(e), "a port in use is refused with one line")


def inputs(qzffont, runner, work):
    """--dict and --base: the studio works from the files given, and refuses
    ones that do not do with one line."""
    data = os.path.join(work, "data")
    subprocess.run(([runner] if runner else []) + [qzffont, "data", "export", program_path(data, runner)],
                   check=True, stdout=subprocess.DEVNULL, timeout=300)
    with open(os.path.join(data, "dictionary.txt"), "rb") as f:
        text = f.read()
    # The first 200 entries, and the end marker.
    small = text[:text.index(b"tolva_res_No.00000200")] + b"tolva_res_All_End\r\n"
    with open(os.path.join(work, "small.txt"), "wb") as f:
        f.write(small)
    drawn = set()
    for chi in small.split(b"tolva_res_CHI_Start\r\n")[1:]:
        chi = chi.split(b"\r\ntolva_res_CHI_End", 1)[0]
        if chi.lower() != b"!!!no_change!!!" and len(chi) >= 2:
            drawn.add(chi[:2])
    out = program_path(os.path.join(work, "out"), runner)
    with Studio(qzffont, runner, ["--out-dir", out, "--dict", program_path(os.path.join(work, "small.txt"), runner),
                                  "--base", program_path(os.path.join(data, "F_FONTJ.qzf"), runner)]) as studio:
        got, _, body = request(studio, "GET", "/api/faces")
        total = body.get("total") if got == 200 and isinstance(body, dict) else None
        check(total == len(drawn) and 0 < total < 4892,
              "with --dict the studio counts that dictionary's characters (%r, %d expected)" % (total, len(drawn)))
    for args, needle in ((["--base", program_path(os.path.join(work, "small.txt"), runner)], "base file"),
                         (["--dict", program_path(os.path.join(work, "missing.txt"), runner)], "dictionary")):
        try:
            Studio(qzffont, runner, ["--out-dir", out] + args).stop()
            check(False, "%s refused" % " ".join(args))
        except RuntimeError as e:
            check(needle in str(e) and "qzffont:" in str(e), "%s is refused with one line (%s)" % (args[0], e))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("qzffont")
    parser.add_argument("--runner")
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="studio-api-")
    try:
        out = os.path.join(work, "out")
        os.makedirs(out)
        with Studio(args.qzffont, args.runner, ["--out-dir", program_path(out, args.runner),
                                                   "--idle-seconds", "900"]) as studio:
            guards(studio)
            bad_values(studio, out)
            own_glyphs(studio, out)
            build_through_api(studio, out, args.qzffont, args.runner)
            font_files(studio, out, args.qzffont, args.runner, work)
        ends(args.qzffont, args.runner, program_path(work, args.runner))
        inputs(args.qzffont, args.runner, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("%d passed, %d failed" % (count[0] - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
