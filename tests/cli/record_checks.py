"""The JSON records of build, check, diff and fonts: each parses with the
json module and says what the human summary of the same run says."""
import json
import os
import re

from game_text import dictionary_entries

SIZES = (20, 24, 64)


# "N characters", with "(M cells)" where some character stands at more than one position.
COUNTED = r", (?P<characters>\d+) characters?(?: \((?P<cells>\d+) cells?\))?"


def counted(match):
    """(characters, cells) of a COUNTED match; (0, 0) when the summary says nothing."""
    if not match:
        return (0, 0)
    return (int(match["characters"]), int(match["cells"] or match["characters"]))


def characters_and_cells(findings):
    return (len({f["character"] for f in findings}), len(findings))


def build_summary(text):
    """What `qzffont build` prints, as numbers."""
    face = re.search(r'^Built \S+ with face "(.*)"( \(a substitute)?', text, re.M)
    entries = re.search(r"^  dictionary: (\d+) entries", text, re.M)
    sizes = {}
    for m in re.finditer(r"^ *(\d+) px: (\d+) cells rewritten, (\d+) kept(.*)$", text, re.M):
        rest = m.group(4)
        missing = re.search(COUNTED + r" the face cannot draw", rest)
        cut = re.search(COUNTED + r" cut by the cell's edges \((?P<pixels>\d+) ink pixels lost\)", rest)
        errors = re.search(r", (\d+) cells whose glyph failed to render", rest)
        sizes[int(m.group(1))] = (int(m.group(2)), int(m.group(3)), counted(missing), counted(cut),
                                  int(cut["pixels"]) if cut else 0, int(errors.group(1)) if errors else 0)
    return face.group(1), face.group(2) is None, int(entries.group(1)), sizes


def record_build_summary(record):
    sizes = {}
    for s in record["sizes"]:
        sizes[s["size"]] = (s["cells_rewritten"], s["cells_kept"], characters_and_cells(s["missing"]),
                            characters_and_cells(s["cut_ink"]), sum(c["pixels"] for c in s["cut_ink"]),
                            s["glyph_errors"])
    return record["face"]["used"], record["face"]["matched"], record["dictionary_entries"], sizes


def check_build_record(check, human, record, dictionary_text, font):
    check("build record", record["record"] == "build" and record["version"] == 1, record)
    check("build record and summary agree", record_build_summary(record) == build_summary(human),
          (record_build_summary(record), build_summary(human)))
    chi = {eng: c for eng, c in dictionary_entries(dictionary_text)}
    for s in record["sizes"]:
        for finding in s["missing"] + s["cut_ink"]:
            code = int(finding["code"], 16)
            position = finding["position"]
            at = int.from_bytes(font[4 + 2 * position:6 + 2 * position], "little")
            given = chi.get(bytes([code >> 8, code & 0xFF]), b"")[:2].decode("gbk", errors="replace")
            if at != code or given != finding["character"]:
                check("build record names code, position and character together", False, finding)
                return


def check_summary(text):
    text = text.replace("\r\n", "\n")  # a Windows console program ends its lines so
    sizes = {}
    for m in re.finditer(r"^  (\d+) px: (\d+) blank cells of \d+, (\d+) blank unindexed", text, re.M):
        sizes[int(m.group(1))] = [int(m.group(2)), int(m.group(3)), []]
    size = None
    after = text.split("blank cells the dictionary gives a character:\n", 1)
    for line in after[1].splitlines() if len(after) > 1 else []:
        m = re.match(r"^  (\d+) px: \d+$", line)
        if m:
            size = int(m.group(1))
            continue
        m = re.match(r"^    (0x[0-9A-F]{4}) at position (\d+): (.*)$", line)
        sizes[size][2].append((m.group(1), int(m.group(2)), m.group(3)))
    return sizes


def record_check_summary(record):
    return {s["size"]: [s["blank_cells"], s["blank_unindexed_cells"],
                        [(f["code"], f["position"], f["character"]) for f in s.get("blank_with_character", [])]]
            for s in record["sizes"]}


def diff_summary(text):
    return ({int(m.group(1)): int(m.group(2)) for m in re.finditer(r"^(\d+) px: (\d+) cells differ", text, re.M)},
            "outside the tables: identical" not in text)


def fonts_summary(text):
    faces = []
    for line in text.splitlines()[1:]:
        m = re.match(r"^ *(\d+) (.*?)(  \[(.*)\])?(  \(all\))?$", line)
        if m and not line.startswith("("):
            faces.append((int(m.group(1)), m.group(2), m.group(4).split(", ") if m.group(4) else [],
                          m.group(5) is not None))
    return faces


def check_records(runner, work, check, dictionary_text, face, stock_name, built_name, localised_names):
    """Needs a built font `built_name` and the stock file in the work
    directory. localised_names: the program can name faces in Chinese."""
    def run_json(*args):
        r = runner.run(*args)
        try:
            return r, json.loads(r.stdout.decode("utf-8"))
        except ValueError:
            check(" ".join(args) + " prints JSON", False, r.stdout[:300] + r.stderr[:300])
            return r, None

    # The faces drawn with below, where installed; a missing one skips its
    # part with a message.
    r, listed = run_json("fonts", "--all", "--json")
    installed = {n.lower() for f in (listed or {}).get("faces", []) for n in [f["name"]] + f["other_names"]}
    ipa = "ipagothic" in installed
    if not ipa:
        print("SKIP the records of a face that lacks characters: IPAGothic is not installed", flush=True)
    if ipa:
        # A face that lacks characters: the record lists each one.
        r = runner.run("build", "--face", "IPAGothic", "--out", "ipa.qzf", "--report", "ipa.json")
        check("build with a report", r.returncode == 0, r.stderr.decode(errors="replace"))
        if r.returncode == 0:
            record = json.load(open(os.path.join(work, "ipa.json"), encoding="utf-8"))
            font = open(os.path.join(work, "ipa.qzf"), "rb").read()
            check_build_record(check, r.stdout.decode("utf-8"), record, dictionary_text, font)
            check("a face that lacks characters has them listed", all(len(s["missing"]) > 0 for s in record["sizes"]))
        # Fallback faces and a style: the record says what each fallback drew,
        # as many as the summary says, and the style the build used.
        r = runner.run("build", "--face", "IPAGothic", "--fallback", face, "--weight", "700", "--out", "fallback.qzf",
                       "--report", "fallback.json")
        check("build with a fallback and a report", r.returncode == 0, r.stderr.decode(errors="replace"))
        if r.returncode == 0:
            record = json.load(open(os.path.join(work, "fallback.json"), encoding="utf-8"))
            human = r.stdout.decode("utf-8")
            drawn = {int(m.group(1)): counted(m)
                     for m in re.finditer(r"^ *(\d+) px: .*?" + COUNTED + r" drawn by \"" + re.escape(face) + '"',
                                          human, re.M)}
            fallback = {s["size"]: [(f["face"], characters_and_cells(f["characters"])) for f in s["fallback"]]
                        for s in record["sizes"]}
            check("the record lists what the fallback drew, as the summary counts it",
                  len(drawn) == 3 and fallback == {size: [(face, n)] for size, n in drawn.items()} and
                  all(n[0] > 0 for n in drawn.values()), (fallback, human))
            check("what the fallback drew leaves nothing undrawable", all(not s["missing"] for s in record["sizes"]))
            style = record["style"]
            check("the record holds the style used",
                  style["fallback_faces"] == [face] and [z["weight"] for z in style["sizes"]] == [700] * 3 and
                  [z["size"] for z in style["sizes"]] == list(SIZES) and not style["fit"], style)
            chi = {eng: c for eng, c in dictionary_entries(dictionary_text)}
            font = open(os.path.join(work, "fallback.qzf"), "rb").read()
            for finding in record["sizes"][0]["fallback"][0]["characters"][:50]:
                position, code = finding["position"], int(finding["code"], 16)
                at = int.from_bytes(font[4 + 2 * position:6 + 2 * position], "little")
                given = chi.get(bytes([code >> 8, code & 0xFF]), b"")[:2].decode("gbk", errors="replace")
                if at != code or given != finding["character"]:
                    check("a fallback's character is named with its code and position", False, finding)
                    break
    r, record = run_json("build", "--face", face, "--out", "json.qzf", "--quiet", "--json", "--report", "json.json")
    if record is not None:
        check("build --json prints the report's record",
              record == json.load(open(os.path.join(work, "json.json"), encoding="utf-8")) and
              record["face"]["asked"] == face and record["output"] == "json.qzf", record)

    # A cell the dictionary gives a character, blanked at 24 px only.
    font = bytearray(open(os.path.join(work, built_name), "rb").read())
    position = next(i for i in range(7832) if int.from_bytes(font[4 + 2 * i:6 + 2 * i], "little") == 0x82A0)
    offset = 1627452 + position * 288
    font[offset:offset + 288] = bytes(288)
    with open(os.path.join(work, "blanked.qzf"), "wb") as f:
        f.write(font)
    human = runner.run("check", "blanked.qzf", "--dict", "dictionary.txt").stdout.decode("utf-8")
    r, record = run_json("check", "blanked.qzf", "--dict", "dictionary.txt", "--json")
    if record is not None:
        expected = {20: [], 24: [("0x82A0", position, "あ")], 64: []}
        check("check --dict lists the blanked cell", {k: v[2] for k, v in check_summary(human).items()} == expected,
              human)
        check("check record and summary agree", record_check_summary(record) == check_summary(human),
              (record_check_summary(record), check_summary(human)))
    r, record = run_json("check", built_name, "--json")
    if record is not None:
        check("check record without a dictionary has no list",
              all("blank_with_character" not in s for s in record["sizes"]) and record["accepted"], record)

    human = runner.run("diff", stock_name, built_name).stdout.decode("utf-8")
    r, record = run_json("diff", stock_name, built_name, "--json")
    if record is not None:
        summary = ({s["size"]: s["cells_differ"] for s in record["sizes"]}, record["outside_tables"]["differs"])
        check("diff record and summary agree", summary == diff_summary(human), (summary, human))
        check("diff record lists as many positions as differ",
              all(len(s["positions"]) == s["cells_differ"] for s in record["sizes"]))

    human = runner.run("fonts", "--all").stdout.decode("utf-8")
    record = listed
    if record is not None:
        faces = [(f["drawable"], f["name"], f["other_names"], f["all"]) for f in record["faces"]]
        check("fonts record and list agree", faces == fonts_summary(human) and faces, (faces[:3], human[:500]))
        names = [n for f in record["faces"] for n in [f["name"]] + f["other_names"]]
        check("fonts lists each face once", len(names) == len(set(n.lower() for n in names)), names)
        groups = [{f["name"]} | set(f["other_names"]) for f in record["faces"]]
        # A face with an English and a localised name (setup installs it):
        # one entry that holds both. Windows names faces in its ANSI code
        # page, which under Wine's default one cannot write the Chinese name.
        wqy = [g for g in groups if g & {"WenQuanYi Micro Hei", "文泉驿微米黑"}]
        both = {"WenQuanYi Micro Hei", "文泉驿微米黑"}
        if "wenquanyi micro hei" not in installed:
            print("SKIP the localised names of a face: WenQuanYi Micro Hei is not installed", flush=True)
        elif localised_names:
            check("fonts gives a face's localised names beside it", len(wqy) == 1 and both <= wqy[0], wqy)
        else:
            check("fonts lists the face with two names once", len(wqy) == 1, wqy)
