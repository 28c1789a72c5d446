#!/usr/bin/python3
"""The studio against hostile clients on the loopback: slow senders that try
to take every slot, clients that leave mid-answer, deep JSON, large
tokenless uploads, wrong types and ranges, foreign origins, odd content
types and hosts, font files from elsewhere and unknown faces. The studio must
keep serving the page's own requests throughout and end normally.

Under Wine (--runner) the slow-sender and upload cases run shorter, and the
thread and memory checks (which read the native process's /proc) are left
out: Wine's process is not the program's. With --short (the sanitizer
build) the slow senders keep at it for 8 s rather than 20: the same cases,
less waiting.

usage: hostile_client_test.py QZFFONT [--runner WINE-RUN] [--short]
"""
import argparse
import http.client
import json
import os
import shutil
import socket
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from studio_process import Studio, program_path  # noqa: E402

FACE = "Noto Sans CJK SC"
OTHER_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
START_FONT = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def request(studio, method, path, body=None, headers=None, host=None, token=True, timeout=60):
    """(status, parsed body or text); a raw str/bytes body is sent as it is."""
    connection = http.client.HTTPConnection("127.0.0.1", studio.port, timeout=timeout)
    all_headers = {"Host": host or "127.0.0.1:%d" % studio.port}
    if token:
        all_headers["X-Studio-Token"] = studio.token
    if body is not None and not isinstance(body, (bytes, str)):
        body = json.dumps(body)
    if body is not None:
        all_headers["Content-Type"] = "application/json"
    all_headers.update(headers or {})
    data = body.encode() if isinstance(body, str) else body
    connection.request(method, path, body=data, headers=all_headers)
    response = connection.getresponse()
    text = response.read().decode("utf-8", "replace")
    connection.close()
    try:
        return response.status, json.loads(text)
    except ValueError:
        return response.status, text


def error_of(body):
    return body.get("error", "") if isinstance(body, dict) else ""


def process_figures(studio):
    """(threads, resident KiB) of the native studio process."""
    threads = rss = 0
    with open("/proc/%d/status" % studio.process.pid) as f:
        for line in f:
            if line.startswith("Threads:"):
                threads = int(line.split()[1])
            elif line.startswith("VmRSS:"):
                rss = int(line.split()[1])
    return threads, rss


def sanitized(studio):
    """Whether the studio runs under AddressSanitizer, whose quarantine keeps
    freed memory resident for a while."""
    with open("/proc/%d/maps" % studio.process.pid) as f:
        return "libasan" in f.read()


def alive(studio):
    if studio.process.poll() is not None:
        return False
    try:
        return request(studio, "GET", "/api/state", timeout=30)[0] == 200
    except OSError:
        return False


def slow_senders(studio, native, short):
    """Connections that send a head a byte a second, reconnecting when
    dropped, while the page's own requests are timed."""
    connections, seconds = (50, 8 if short else 20) if native else (20, 8)
    before = process_figures(studio) if native else None
    stop = threading.Event()
    reconnects = [0]

    def slow():
        head = ("POST /api/preview HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nX-Pad: %s\r\n" % (studio.port, "a" * 200)).encode()
        sock = None
        sent = 0
        while not stop.is_set():
            try:
                if sock is None:
                    sock = socket.create_connection(("127.0.0.1", studio.port), timeout=5)
                    sent = 0
                sock.send(head[sent % len(head):sent % len(head) + 1])
                sent += 1
            except OSError:
                if sock:
                    sock.close()
                sock = None
                reconnects[0] += 1
            stop.wait(1.0)
        if sock:
            sock.close()

    attackers = [threading.Thread(target=slow, daemon=True) for _ in range(connections)]
    for t in attackers:
        t.start()
    time.sleep(2)  # every slot taken
    page_requests = [
        ("GET", "/api/state", None),
        ("POST", "/api/heartbeat", {}),
        ("POST", "/api/preview", {"face": FACE, "style": {}, "texts": ["古今英雄"], "sizes": [24]}),
    ]
    # A liveness bound, not a speed goal: far above what an idle studio
    # takes, far below the idle and head deadlines.
    bound = 3.0 if native else 10.0
    slowest = 0.0
    answered = 0
    asked = 0
    deadline = time.time() + seconds - 2
    while time.time() < deadline and asked < 60:
        method, path, body = page_requests[asked % len(page_requests)]
        asked += 1
        start = time.time()
        try:
            status, _ = request(studio, method, path, body, timeout=30)
        except OSError as e:
            status = str(e)
        took = time.time() - start
        slowest = max(slowest, took)
        if status == 200 and took < bound:
            answered += 1
        time.sleep(0.3)
    stop.set()
    for t in attackers:
        t.join(timeout=10)
    check(asked >= 10 and answered == asked,
          "slow senders (%d for %d s): the page's %d requests all answered within %.0f s (%d were; slowest %.2f s)"
          % (connections, seconds, asked, bound, answered, slowest))
    check(reconnects[0] > 0, "slow senders are dropped (%d reconnections)" % reconnects[0])
    if native:
        # Back where they were once the slow senders are gone.
        after = process_figures(studio)
        for _ in range(20):
            if after[0] <= before[0] and (after[1] <= before[1] + 20 * 1024 or sanitized(studio)):
                break
            time.sleep(0.5)
            after = process_figures(studio)
        check(after[0] == before[0], "threads back where they were (%d, then %d)" % (before[0], after[0]))
        if sanitized(studio):
            print("skip memory back where it was: freed memory stays resident under AddressSanitizer")
        else:
            check(after[1] <= before[1] + 20 * 1024,
                  "memory back where it was (%d KiB, then %d KiB)" % (before[1], after[1]))


def leavers(studio, native):
    """Clients that ask for an answer of several MB and leave before it comes,
    or after its first bytes (a page reloaded mid-preview)."""
    texts = ["".join(chr(c) for c in range(start, start + 400)) for start in (0x4E00, 0x4F90, 0x5120)]
    body = json.dumps({"face": FACE, "style": {}, "texts": texts, "sizes": [64], "withStock": True, "width": 40})
    status, answer = request(studio, "POST", "/api/preview", body)
    size = len(json.dumps(answer))
    check(status == 200 and size > 3 * 1024 * 1024, "a large preview's answer is several MB (%d bytes)" % size)
    head = ("POST /api/preview HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nX-Studio-Token: %s\r\nContent-Type: application/json"
            "\r\nContent-Length: %d\r\n\r\n" % (studio.port, studio.token, len(body.encode()))).encode()
    clients = 50 if native else 10
    for i in range(clients):
        sock = socket.create_connection(("127.0.0.1", studio.port), timeout=30)
        sock.sendall(head + body.encode())
        if i % 10 == 9:
            try:
                sock.recv(65536)  # the first bytes, then gone
            except OSError:
                pass  # dropped to make room while every slot was taken: allowed
        sock.close()
    time.sleep(1)
    check(alive(studio), "%d clients that left before their answers: the studio still serves" % clients)


def deep_nesting(studio):
    """100,000 levels of arrays (and as many levels of objects as a body's
    256 KB hold) in every field that takes an object or an array, and in
    fields that take neither."""
    deep_array = "[" * 100000 + "]" * 100000
    deep_object = '{"":' * 40000 + "1" + "}" * 40000
    base = {"face": FACE, "style": {}, "texts": ["古"]}
    routes = {
        "/api/preview": {"face": FACE, "texts": ["古"]},
        "/api/cell": {"face": FACE, "size": 24, "position": 1},
        "/api/findings": {"face": FACE},
        "/api/fit": {"face": FACE},
        "/api/build": {"face": FACE, "name": "deep.qzf"},
        "/api/style/save": {"face": FACE, "name": "deep.toml"},
    }
    style_paths = [["style"], ["style", "size"], ["style", "size", "24"], ["style", "fallback"],
                   ["style", "font-file"], ["style", "shift"], ["style", "size", "64", "shift"], ["style", "glyph"],
                   ["style", "glyph", u"古"], ["style", "glyph", u"古", "size", "24", "image"]]
    cases = []
    for route, fields in routes.items():
        for path in style_paths:
            cases.append((route, fields, path))
        for field in fields:
            cases.append((route, fields, [field]))
    cases += [("/api/preview", base, ["texts"]), ("/api/preview", base, ["sizes"]),
              ("/api/style/load", {"text": ""}, ["text"]), ("/api/font-file", {"name": "a.ttf", "data": ""}, ["data"]),
              ]
    drawn = {"glyph": u"古", "size": 20, "levels": ""}
    cases += [("/api/glyph/image", drawn, [field]) for field in ("glyph", "size", "levels", "png")]
    bad = []
    for route, fields, path in cases:
        for deep in (deep_array, deep_object):
            marker = "\u0000DEEP\u0000"
            value = json.loads(json.dumps(fields))
            holder = value
            for key in path[:-1]:
                holder = holder.setdefault(key, {})
            holder[path[-1]] = marker
            text = json.dumps(value).replace(json.dumps(marker), deep)
            status, answer = request(studio, "POST", route, text)
            if status != 400 or not error_of(answer):
                bad.append("%s %s: %d" % (route, ".".join(path), status))
    # The small bodies' routes hold 1 KB: as deep as that allows.
    for route, text in (("/api/preview", deep_array), ("/api/heartbeat", "[" * 500 + "]" * 500),
                        ("/api/quit", '{"x":' + "[" * 400 + "]" * 400 + "}")):
        status, _ = request(studio, "POST", route, text)
        if status != 400:
            bad.append("%s whole body: %d" % (route, status))
    check(not bad and alive(studio), "deep nesting in %d places: 400 each, the studio alive (%r)" % (len(cases) * 2, bad))


def tokenless_uploads(studio, native):
    """60 MB font uploads without the token: refused on their heads."""
    size = 60 * 1024 * 1024
    head = ("POST /api/font-file HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nContent-Type: application/json\r\n"
            "Content-Length: %d\r\n\r\n" % (studio.port, size)).encode()
    sock = socket.create_connection(("127.0.0.1", studio.port), timeout=30)
    sock.sendall(head)
    answer = sock.recv(100).decode("latin-1")
    sock.close()
    check(answer.startswith("HTTP/1.1 403"), "a tokenless upload: 403 on its head, before its body (%r)" % answer[:20])

    before = process_figures(studio) if native else None
    peak = [before[1] if before else 0]
    chunk = b"A" * (1024 * 1024)
    statuses = []

    def upload():
        s = None
        try:
            s = socket.create_connection(("127.0.0.1", studio.port), timeout=30)
            s.sendall(head)
            for _ in range(60):
                s.sendall(chunk)
        except OSError:
            pass  # refused and closed mid-body, as it should be
        try:
            statuses.append(s.recv(100).decode("latin-1")[:12] if s else "no connection")
        except OSError:
            statuses.append("reset")
        if s:
            s.close()

    uploads = [threading.Thread(target=upload, daemon=True) for _ in range(10 if native else 3)]
    for t in uploads:
        t.start()
    while any(t.is_alive() for t in uploads):
        if native:
            peak[0] = max(peak[0], process_figures(studio)[1])
        time.sleep(0.05)
    for t in uploads:
        t.join(timeout=60)
    # An answer read before the reset is a 403; none is anything else.
    other = [s for s in statuses if s.startswith("HTTP") and not s.startswith("HTTP/1.1 403")]
    check(len(statuses) == len(uploads) and not other, "tokenless uploads refused with 403 only (%r)" % statuses)
    if native:
        grown = peak[0] - before[1]
        check(grown < 60 * 1024, "memory grew by %d KiB during ten 60 MB uploads (less than 60 MB)" % grown)
    check(alive(studio), "the studio serves after the uploads")


def bad_fields(studio):
    """Wrong types and ranges of the request's own fields: 400 naming the
    field, never 500."""
    preview = {"face": FACE, "style": {}, "texts": ["古"]}
    cell = {"face": FACE, "style": {}, "size": 24, "position": 1}

    def with_(base, **fields):
        value = dict(base)
        value.update(fields)
        return value

    cases = [
        ("/api/build", {"face": FACE, "style": {}, "name": 5}, "name"),
        ("/api/style/save", {"face": FACE, "style": {}, "name": ["a.toml"]}, "name"),
        ("/api/preview", with_(preview, withStock="yes"), "withStock"),
        ("/api/preview", with_(preview, width=2 ** 31), "width"),
        ("/api/preview", with_(preview, width=2 ** 32 + 24), "width"),
        ("/api/preview", with_(preview, width=2 ** 63), "width"),
        ("/api/preview", with_(preview, width=-(2 ** 63)), "width"),
        ("/api/preview", with_(preview, width=20.5), "width"),
        ("/api/preview", with_(preview, width="20"), "width"),
        ("/api/preview", with_(preview, sizes=[2 ** 32 + 24]), "sizes"),
        ("/api/preview", with_(preview, sizes=24), "sizes"),
        ("/api/preview", with_(preview, texts="古"), "texts"),
        ("/api/preview", with_(preview, texts=[5]), "texts"),
        ("/api/preview", with_(preview, face=5), "face"),
        ("/api/preview", with_(preview, allowSubstitute="yes"), "allowSubstitute"),
        ("/api/preview", with_(preview, colour="red"), "colour"),
        ("/api/cell", with_(cell, size=2 ** 32 + 24), "size"),
        ("/api/cell", with_(cell, size=2 ** 63), "size"),
        ("/api/cell", with_(cell, position=2 ** 31), "position"),
        ("/api/cell", with_(cell, position=2 ** 32 + 1), "position"),
        ("/api/cell", with_(cell, position=-1), "position"),
        ("/api/cell", with_(cell, texts=["古"]), "texts"),
        ("/api/fit", {"face": FACE, "name": "x"}, "name"),
        ("/api/fit", {"face": FACE, "ahead": "yes"}, "ahead"),
        ("/api/fit", {"face": FACE, "ahead": 1}, "ahead"),
        ("/api/findings", {"face": FACE, "extra": None}, "extra"),
        ("/api/style/load", {"text": 5}, "text"),
        ("/api/style/load", {"text": "", "face": FACE}, "face"),
        ("/api/font-file", {"name": 5, "data": ""}, "name"),
        ("/api/font-file", {"name": "a.ttf", "data": 5}, "data"),
        ("/api/font-file", {"name": "a.ttf", "data": "", "path": "/etc"}, "path"),
        ("/api/glyph/image", {"glyph": [u"古"], "size": 20, "levels": ""}, "glyph"),
        ("/api/glyph/image", {"glyph": u"古", "size": 2 ** 32 + 20, "levels": ""}, "size"),
        ("/api/glyph/image", {"glyph": u"古", "size": 20, "levels": 5}, "levels"),
        ("/api/glyph/image", {"glyph": u"古", "size": 20, "png": {"a": 1}}, "png"),
        ("/api/glyph/image", {"glyph": u"古", "size": 20, "levels": "", "path": "../x.png"}, "path"),
        ("/api/heartbeat", {"x": 1}, "x"),
        ("/api/quit", {"now": True}, "now"),
    ]
    bad = []
    for route, body, field in cases:
        status, answer = request(studio, "POST", route, body)
        if status != 400 or field not in error_of(answer):
            bad.append("%s %s: %d %r" % (route, json.dumps(body)[:60], status, error_of(answer)))
    check(not bad, "%d wrong fields: 400 naming the field (%r)" % (len(cases), bad))
    # Not JSON at all: no field to name, but 400 and a message.
    bad = []
    for text in ('{"face": "%s", "texts": ["a"], "width": NaN}' % FACE,
                 '{"face": "%s", "texts": ["a"], "width": Infinity}' % FACE,
                 '{"face": "%s", "texts": ["a"], "width": 1e400}' % FACE, "[]", '"text"', ""):
        status, answer = request(studio, "POST", "/api/preview", text)
        if status != 400 or not error_of(answer):
            bad.append("%r: %d" % (text[-20:], status))
    check(not bad, "NaN, Infinity, 1e400 and bodies that are no object: 400 (%r)" % bad)


def heads(studio):
    """Origin, Content-Type and Host, judged on the head."""
    preview = {"face": FACE, "style": {}, "texts": ["古"]}
    port = studio.port
    cases = [
        ("a foreign Origin with the token", {"Origin": "http://attacker.example"}, None, 403),
        ("Origin null", {"Origin": "null"}, None, 403),
        ("the studio's own Origin", {"Origin": "http://127.0.0.1:%d" % port}, None, 200),
        ("Content-Type application/jsonx", {"Content-Type": "application/jsonx"}, None, 415),
        ("Content-Type text/plain", {"Content-Type": "text/plain"}, None, 415),
        ("Content-Type with a charset", {"Content-Type": "application/json; charset=utf-8"}, None, 200),
        ("Content-Type in capitals", {"Content-Type": "Application/JSON"}, None, 200),
        ("Content-Type with another charset", {"Content-Type": "application/json; charset=latin1"}, None, 415),
        ("Host 127.0.0.1", {}, "127.0.0.1:%d" % port, 200),
        ("Host [::1]", {}, "[::1]:%d" % port, 200),
        ("Host localhost", {}, "localhost:%d" % port, 200),
        ("Host localhost with the page's Origin", {"Origin": "http://localhost:%d" % port}, "localhost:%d" % port,
         200),
        ("Host localhost at another port", {}, "localhost:%d" % (port + 1), 403),
        ("Host localhost.attacker.example", {}, "localhost.attacker.example:%d" % port, 403),
    ]
    bad = []
    for what, headers, host, expected in cases:
        status, _ = request(studio, "POST", "/api/preview", preview, headers=headers, host=host)
        if status != expected:
            bad.append("%s: %d, not %d" % (what, status, expected))
    check(not bad, "%d heads: Origin, Content-Type and Host as expected (%r)" % (len(cases), bad))


def fonts(studio, out, runner):
    """Font files only from the allowed places; an unknown face refused."""
    copied = os.path.join(out, "copied.ttc")
    shutil.copyfile(OTHER_FONT, copied)
    base = {"face": FACE, "texts": ["古"], "sizes": [24]}
    cases = [
        ("a font file elsewhere on the machine", [program_path(OTHER_FONT, runner)], 400),
        ("a path out of the folder through ..",
         [program_path(os.path.join(out, "..", os.path.basename(out), "..", "x.ttc"), runner)], 400),
        ("a font file in the out-dir", [program_path(copied, runner)], 200),
        ("the font file given at start", [program_path(START_FONT, runner)], 200),
    ]
    bad = []
    for what, files, expected in cases:
        status, answer = request(studio, "POST", "/api/preview", dict(base, style={"font-file": files}))
        if status != expected:
            bad.append("%s: %d %r" % (what, status, error_of(answer)))
    check(not bad, "font files: only the page's, the out-dir's and those given at start (%r)" % bad)
    for face, extra, expected, what in [("../../etc/passwd", {}, 400, "an unknown face"),
                                        ("No Such Face 42", {}, 400, "another unknown face"),
                                        ("No Such Face 42", {"allowSubstitute": True}, 200, "a substitute asked for")]:
        status, answer = request(studio, "POST", "/api/preview", dict(base, face=face, **extra))
        check(status == expected and (expected == 200 or face in error_of(answer)),
              "%s: %d (got %d %r)" % (what, expected, status, error_of(answer)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("qzffont")
    parser.add_argument("--runner")
    parser.add_argument("--short", action="store_true")
    args = parser.parse_args()
    native = not args.runner
    work = tempfile.mkdtemp(prefix="qzf-hostile-")
    out = os.path.join(work, "out")
    os.mkdir(out)
    started = time.time()
    try:
        with Studio(args.qzffont, args.runner,
                    ["--out-dir", program_path(out, args.runner), "--font-file", program_path(START_FONT, args.runner)]
                    ) as studio:
            request(studio, "POST", "/api/preview", {"face": FACE, "style": {}, "texts": ["古"], "sizes": [24]})
            heads(studio)
            bad_fields(studio)
            deep_nesting(studio)
            fonts(studio, out, args.runner)
            tokenless_uploads(studio, native)
            slow_senders(studio, native, args.short)
            leavers(studio, native)
            request(studio, "POST", "/api/quit", {})
            studio.process.wait(timeout=60)
            check(studio.process.returncode == 0, "the studio ends normally (status %r)" % studio.process.returncode)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("%d failed, %.0f s" % (len(failures), time.time() - started))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
