#!/usr/bin/python3
"""The studio in a real browser: headless Chromium opens the page, picks
"Noto Sans CJK SC", moves a control, sees the preview change, inspects a
cell, nudges that character and draws on its cell in the inspector, sets
the punctuation, saves the style and builds; the file it saved must equal
`qzffont build` with the saved style, which loads back into the controls. Then, in a 1280x720 window: the preview wraps
without a horizontal scrollbar at every zoom, a text's characters without a
cell are listed (and the button turns letters and digits full-width), bad
and off-step numbers are told apart in place, and stopping the studio leaves
a disabled page that says so. Screenshots of each step are kept, and the
control-change-to-repaint times in repaint-times.txt.

usage: studio_browser_test.py STUDIO QZFFONT ARTIFACTS [--runner WINE-RUN]
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

from selenium import webdriver
from selenium.common.exceptions import StaleElementReferenceException
from selenium.webdriver.chrome.service import Service as ChromeService
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select, WebDriverWait

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from studio_process import Studio, program_path  # noqa: E402

FACE = "Noto Sans CJK SC"


def browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--disable-dev-shm-usage", "--window-size=1500,1250", "--user-data-dir=" + profile):
        options.add_argument(flag)
    service = ChromeService(executable_path="/usr/bin/chromedriver")
    return webdriver.Chrome(options=options, service=service)


def cleared(driver, element, keys=""):
    """Types into a field as a person would: all selected, replaced."""
    element.send_keys(Keys.CONTROL, "a")
    element.send_keys(Keys.BACKSPACE)
    if keys:
        element.send_keys(keys)


def redrawn(driver, wait, revision, act):
    seen = revision(driver)
    act()
    wait.until(lambda d: revision(d) > seen)


def pane(driver, name):
    """Shows the middle column's controls or inspector."""
    driver.find_element(By.CSS_SELECTOR, '#panes button[data-pane="%s"]' % name).click()


def page_state(driver, expression):
    """A value of the page's own state (its script's top-level `state`)."""
    return driver.execute_script("return " + expression)


def own_glyph(driver, wait, revision, check, shot, out):
    """The inspector's controls for one character: "古" is nudged one pixel
    right at 24 px and drawn on at 64 px (a stroke, a second one undone);
    the style the page sends keeps them as the character's own table, the
    drawing stored by the studio under glyphs/. The punctuation control is
    set from the labels the style table gives."""
    def drawn_style(d):
        text = d.find_element(By.TAG_NAME, "body").get_attribute("data-preview-style")
        return json.loads(text) if text else {}

    def own(d, size):
        return drawn_style(d).get("glyph", {}).get(u"古", {}).get("size", {}).get(str(size), {})

    check(driver.find_element(By.ID, "pane-inspector").is_displayed(), "a click in the preview opens the inspector")
    nudge = driver.find_element(By.CSS_SELECTOR, '.nudge button[data-dx="1"]')
    redrawn(driver, wait, revision, nudge.click)
    wait.until(lambda d: own(d, 24).get("shift") == [1, 0])
    field = driver.find_element(By.CSS_SELECTOR, '[data-glyph-field="shift"][data-size="24"][data-part="0"]')
    check(field.get_attribute("value") == "1", "the nudge shows in the character's shift field")
    # Back to where it was: the key goes, and with it the character's table.
    redrawn(driver, wait, revision, driver.find_element(By.CSS_SELECTOR, '.nudge button[data-dx="-1"]').click)
    wait.until(lambda d: u"古" not in drawn_style(d).get("glyph", {}))
    check(field.get_attribute("value") == "", "a shift nudged back to nothing is no longer given")
    redrawn(driver, wait, revision, nudge.click)
    wait.until(lambda d: own(d, 24).get("shift") == [1, 0])

    driver.find_element(By.CSS_SELECTOR, '#inspect-size button[data-size="64"]').click()
    wait.until(lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-inspected") == u"古@64")
    position = page_state(driver, "state.inspected.position")
    driver.find_element(By.CSS_SELECTOR, '#palette button[data-level="15"]').click()
    editor = driver.find_element(By.ID, "pixel-editor")
    cell = editor.size["width"] / 64.0

    def stroke(x, y):
        webdriver.ActionChains(driver).move_to_element_with_offset(
            editor, int(-editor.size["width"] / 2 + (x + 0.5) * cell),
            int(-editor.size["height"] / 2 + (y + 0.5) * cell)).click().perform()

    def shown(d, pixel):
        drawn = (d.execute_script("return state.preview && state.preview.sizes[64].new[%d]" % position) or {})
        return drawn.get("l", "")[pixel:pixel + 1]

    redrawn(driver, wait, revision, lambda: stroke(0, 0))
    wait.until(lambda d: own(d, 64).get("image") == "glyphs/u53e4-64.png" and shown(d, 0) == "f")
    check(os.path.isfile(os.path.join(out, "glyphs", "u53e4-64.png")),
          "a drawn pixel is stored as glyphs/u53e4-64.png in the studio's folder")
    driver.find_element(By.CSS_SELECTOR, '#palette button[data-level="9"]').click()
    redrawn(driver, wait, revision, lambda: stroke(2, 0))
    wait.until(lambda d: shown(d, 2) == "9")
    redrawn(driver, wait, revision, driver.find_element(By.ID, "draw-undo").click)
    wait.until(lambda d: shown(d, 2) != "9")
    check(shown(driver, 0) == "f", "undo takes back the last stroke only")
    check(own(driver, 24).get("shift") == [1, 0] and "image" not in own(driver, 24),
          "the 24 px cell keeps its nudge and no picture")
    shot(driver, "4b-own-glyph.png")

    pane(driver, "controls")
    punctuation = driver.find_element(By.ID, "punctuation")
    labels = [o.text for o in punctuation.find_elements(By.TAG_NAME, "option")]
    table = page_state(driver, "state.settings.find(s => s.name === 'punctuation').choiceLabels")
    check(labels == table and len(labels) == 3, "the punctuation choices carry the style table's labels (%s)" % labels)
    redrawn(driver, wait, revision, lambda: Select(punctuation).select_by_value("centred"))
    wait.until(lambda d: drawn_style(d).get("punctuation") == "centred")


def load_own_glyph(driver, wait, check, out):
    """A saved style loaded again fills the character's controls."""
    pane(driver, "controls")
    field = '[data-glyph-field="shift"][data-size="24"][data-part="0"]'

    def shown(d):
        return (d.find_element(By.CSS_SELECTOR, field).get_attribute("value"),
                page_state(d, "document.getElementById('punctuation').value"))

    driver.find_element(By.ID, "reset").click()
    wait.until(lambda d: shown(d) == ("", "design"))
    driver.execute_script("document.getElementById('style-load').hidden = false")
    driver.find_element(By.ID, "style-load").send_keys(os.path.join(out, "style.toml"))
    driver.execute_script("document.getElementById('style-load').hidden = true")
    pane(driver, "inspector")
    wait.until(lambda d: shown(d) == ("1", "centred"))
    check(shown(driver) == ("1", "centred"), "loading the saved style fills the character's shift and the punctuation")
    pane(driver, "controls")


def small_window(driver, wait, revision, check, shot):
    """1280x720: no horizontal scrollbar on the page or a preview band at any zoom."""
    driver.set_window_size(1280, 720)
    inner = driver.execute_script("return [innerWidth, innerHeight]")
    # The window's frame takes some room: the page itself gets 1280x720.
    driver.set_window_size(1280 + 1280 - inner[0], 720 + 720 - inner[1])
    for zoom in (1, 2, 3, 4):
        driver.find_element(By.CSS_SELECTOR, '#zoom button[data-zoom="%d"]' % zoom).click()
        over = driver.execute_script("""
            const page = document.documentElement;
            const out = page.scrollWidth > page.clientWidth ? ["page"] : [];
            const holder = document.getElementById("preview-sizes");
            if (holder.scrollWidth > holder.clientWidth) out.push("preview");
            for (const c of document.querySelectorAll(".band canvas"))
              if (c.getBoundingClientRect().right > holder.getBoundingClientRect().right + 1) out.push(c.id);
            return out;""")
        check(not over, "1280x720 at %dx: nothing wider than its panel (%s)" % (zoom, ", ".join(over)))
    driver.find_element(By.CSS_SELECTOR, '#zoom button[data-zoom="2"]').click()
    # A character opened in the inspector: the preview, the findings and the
    # inspector's cells and editor are all in the window at once.
    canvas = driver.find_element(By.ID, "preview-24-new")
    webdriver.ActionChains(driver).move_to_element_with_offset(
        canvas, -canvas.size["width"] // 2 + 30, -canvas.size["height"] // 2 + 30).click().perform()
    wait.until(lambda d: d.find_element(By.ID, "pane-inspector").is_displayed())
    visible = driver.execute_script("""
        return ["preview-sizes", "findings-list", "inspect-new", "palette"].filter(id => {
          const r = document.getElementById(id).getBoundingClientRect();
          return r.width > 0 && r.left >= 0 && r.right <= innerWidth && r.top >= 0 && r.bottom <= innerHeight; });""")
    check(len(visible) == 4, "preview, findings and inspector all within 1280x720 (%s)" % visible)
    page = driver.execute_script("return document.documentElement.scrollHeight <= innerHeight")
    check(page, "the page itself does not scroll at 1280x720")
    shot(driver, "7-1280x720.png")


def unknown_characters(driver, wait, revision, check, shot):
    """Characters without a cell are listed; the dash and the middle dot a
    Chinese input method types are drawn from the game's own cells."""
    def listed(d):
        return [li.get_attribute("data-character") for li in d.find_elements(By.CSS_SELECTOR, "#unknown-list li")]

    own = driver.find_element(By.ID, "own-text")
    redrawn(driver, wait, revision, lambda: own.send_keys(u"Ab1—·☃天"))
    wait.until(lambda d: listed(d))
    check(listed(driver) == ["A", "b", "1", u"☃"],
          "the list names exactly the characters without a cell (%r)" % listed(driver))
    reasons = driver.find_element(By.ID, "unknown-list").text
    check(u"全角" in reasons and u"字典里没有" in reasons, "each listed character says why")
    button = driver.find_element(By.ID, "to-full-width")
    check(button.is_displayed(), "the full-width button is offered for ASCII")
    shot(driver, "8-unknown.png")
    redrawn(driver, wait, revision, button.click)
    wait.until(lambda d: listed(d) == [u"☃"])
    check(own.get_attribute("value").startswith(u"Ａｂ１"), "the button turned the text full-width")
    check(not button.is_displayed(), "no button once no ASCII is left")
    # The README's picture: the page after the fit, with a text of one's own.
    # An information notice leaves by itself after a while: each close
    # button is found again after the last one's click.
    for _ in range(20):
        closes = driver.find_elements(By.CSS_SELECTOR, "#notices .close")
        if not closes:
            break
        try:
            closes[0].click()
        except StaleElementReferenceException:
            pass
    driver.execute_script("window.scrollTo(0, 0)")
    shot(driver, "studio-1280x720.png")
    pane(driver, "controls")


def number_fields(driver, wait, revision, check, shot):
    """Off-step values in range are taken; letters, an empty field that needs a
    value and a value out of range are marked where they are, with the row and
    the cell size; the findings never claim no problems meanwhile."""
    def field(name, size):
        return driver.find_element(By.CSS_SELECTOR, 'input[data-field="%s"][data-size="%d"]' % (name, size))

    def errors(d):
        return d.find_element(By.ID, "field-errors").text

    for name, size, value in (("weight", 24, "450"), ("gamma", 20, "1.25")):
        redrawn(driver, wait, revision, lambda: cleared(driver, field(name, size), value))
        check(not errors(driver) and "bad" not in field(name, size).get_attribute("class"),
              "%s %s at %d px: accepted although off the step" % (name, value, size))
    bad = (("gamma", 20, "e", u"不是数字"), ("gamma", 64, "", u"不能空着"), ("weight", 20, "1000", u"超出范围"),
           ("glyph-size", 64, "30.5", u"必须是整数"))
    for name, size, value, said in bad:
        cleared(driver, field(name, size), value)
        wait.until(lambda d: said in errors(d))
        marked = "bad" in field(name, size).get_attribute("class")
        check(marked and ("%d 像素格子" % size) in errors(driver),
              "%s %r at %d px: marked in place, naming the cell size (%s)" % (name, value, size, errors(driver)))
        check(u"没有问题" not in driver.find_element(By.ID, "findings-list").text,
              "the findings do not say no problems with a bad value")
        shot(driver, "9-bad-%s-%d.png" % (name, size))
        cleared(driver, field(name, size), {"gamma": "1", "weight": "", "glyph-size": ""}[name])
        wait.until(lambda d: not errors(d))


def repaint_times(driver, wait, revision):
    """Control change to repaint, in the browser, for a few kinds of control."""
    lines = []
    steps = (("gamma 24 px", 'input[data-field="gamma"][data-size="24"]', "1.4"),
             ("shift 24 px", 'input[data-field="shift"][data-part="0"][data-size="24"]', "1"),
             ("em height 20 px", 'input[data-field="glyph-size"][data-size="20"]', "17"),
             ("weight 64 px", 'input[data-field="weight"][data-size="64"]', "500"))
    for what, selector, value in steps:
        element = driver.find_element(By.CSS_SELECTOR, selector)
        redrawn(driver, wait, revision, lambda: cleared(driver, element, value))
        ms = driver.find_element(By.TAG_NAME, "body").get_attribute("data-preview-ms")
        server = driver.find_element(By.ID, "preview-time").text
        lines.append("%-16s change to repaint %s ms (%s)" % (what, ms, server))
    print("\n".join(lines))
    return "\n".join(lines) + "\n"


def missing_face_style(driver, wait, check, shot, work):
    """A style whose face is not installed: says which, keeps the other values,
    leaves the face visibly unchosen."""
    path = os.path.join(work, "missing.toml")
    with open(path, "w", encoding="utf-8") as f:
        f.write('face = "QZF No Such Face"\nweight = 700\n')
    driver.execute_script("document.getElementById('style-load').hidden = false")
    driver.find_element(By.ID, "style-load").send_keys(path)
    driver.execute_script("document.getElementById('style-load').hidden = true")
    wait.until(lambda d: u"没有安装" in d.find_element(By.ID, "notices").text)
    name = driver.find_element(By.ID, "face-name")
    check("unchosen" in name.get_attribute("class") and "QZF No Such Face" in name.text,
          "a style's missing face is named and left unchosen (%s)" % name.text)
    check(driver.find_element(By.ID, "weight").get_attribute("value") == "700", "the style's other values are loaded")
    check(u"字身高度" not in driver.find_element(By.ID, "notices").text,
          "no request went out with a field marked bad")
    shot(driver, "11-missing-face.png")


def stop_studio(driver, wait, check, shot):
    """Stopping the studio: a page that says so in Chinese, every control off."""
    driver.execute_script("window.confirm = () => true")
    driver.find_element(By.ID, "quit").click()
    wait.until(lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-stopped") == "1")
    banner = driver.find_element(By.ID, "stopped")
    check(banner.is_displayed() and u"工作室已停止" in banner.text and "qzffont studio" in banner.text,
          "the page says the studio stopped and how to start it again")
    live = driver.execute_script(
        "return [...document.querySelectorAll('input, button, select, textarea')].filter(c => !c.disabled).length")
    check(live == 0, "every control is disabled (%d left)" % live)
    shot(driver, "10-stopped.png")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("studio")
    parser.add_argument("qzffont")
    parser.add_argument("artifacts")
    parser.add_argument("--runner")
    args = parser.parse_args()
    os.makedirs(args.artifacts, exist_ok=True)
    work = tempfile.mkdtemp(prefix="studio-browser-")
    profile = os.path.join(work, "profile")
    out = os.path.join(work, "out")
    os.makedirs(out)
    timeout = 300 if args.runner else 60
    failures = []
    checks = [0]

    def check(condition, what):
        checks[0] += 1
        print(("ok   " if condition else "FAIL ") + what, flush=True)
        if not condition:
            failures.append(what)

    def shot(driver, name):
        driver.save_screenshot(os.path.join(args.artifacts, name))

    try:
        with Studio(args.studio, args.runner, ["--out-dir", program_path(out, args.runner),
                                                    "--idle-seconds", "600"]) as studio:
            driver = browser(profile)
            try:
                # A list redrawn while it is read leaves stale elements: read again.
                wait = WebDriverWait(driver, timeout, ignored_exceptions=[StaleElementReferenceException])
                driver.get(studio.url)
                wait.until(lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-ready") == "1")
                shot(driver, "1-page.png")
                check(FACE in [e.get_attribute("data-name") for e in driver.find_elements(By.CSS_SELECTOR, ".face-item")],
                      "the face list offers " + FACE)

                search = driver.find_element(By.ID, "face-search")
                search.send_keys("Noto Sans CJK")
                faces = driver.find_elements(By.CSS_SELECTOR, ".face-item")
                check(faces and all("noto sans cjk" in f.get_attribute("data-name").lower() for f in faces),
                      "the search box filters the faces")
                driver.find_element(By.CSS_SELECTOR, '.face-item[data-name="%s"]' % FACE).click()

                def revision(d):
                    return int(d.find_element(By.TAG_NAME, "body").get_attribute("data-preview-revision") or 0)

                def drawn_weight(d):
                    drawn = d.find_element(By.TAG_NAME, "body").get_attribute("data-preview-style")
                    return json.loads(drawn).get("weight") if drawn else None

                wait.until(lambda d: revision(d) >= 1)
                shot(driver, "2-face-chosen.png")
                pixels = lambda: driver.execute_script(
                    "return [20,24,64].map(s => document.getElementById('preview-' + s + '-new').toDataURL())")
                stock = lambda: driver.execute_script(
                    "return document.getElementById('preview-24-stock').toDataURL()")
                before, stock_before = pixels(), stock()
                check(before[1] != stock_before, "the new preview differs from the stock one")

                # Move the weight slider two steps with the keyboard: 400 -> 600.
                seen = revision(driver)
                slider = driver.find_element(By.ID, "weight")
                slider.click()
                slider.send_keys(Keys.HOME)
                for _ in range(5):
                    slider.send_keys(Keys.ARROW_RIGHT)
                wait.until(lambda d: d.find_element(By.ID, "weight-value").text == "600")
                # The redraws the keys asked for land in order: the one drawn
                # with weight 600 is the last.
                wait.until(lambda d: revision(d) > seen and drawn_weight(d) == 600)
                after = pixels()
                check(all(a != b for a, b in zip(after, before)), "moving the weight redraws every size")
                check(stock() == stock_before, "the stock preview stays as it was")
                shot(driver, "3-weight-600.png")

                # Zoom 1x, then the inspector: a click on the first cell of the 24 px preview.
                canvas = driver.find_element(By.ID, "preview-24-new")
                tall = canvas.size["height"]
                driver.find_element(By.CSS_SELECTOR, '#zoom button[data-zoom="1"]').click()
                check(canvas.size["height"] < tall, "zoom 1x puts more cells on a line than 2x")
                driver.execute_script("arguments[0].scrollIntoView()", canvas)
                webdriver.ActionChains(driver).move_to_element_with_offset(
                    canvas, -canvas.size["width"] // 2 + 10, -canvas.size["height"] // 2 + 10).click().perform()
                wait.until(lambda d: "0x" in d.find_element(By.ID, "inspector-info").text)
                check(u"\u53e4" in driver.find_element(By.ID, "inspector-info").text, "the inspector shows the clicked character")
                wait.until(lambda d: d.find_element(By.ID, "count-missing").text != "")
                shot(driver, "4-inspector.png")
                own_glyph(driver, wait, revision, check, shot, out)

                driver.find_element(By.ID, "style-save").click()
                wait.until(lambda d: os.path.exists(os.path.join(out, "style.toml")))
                name = driver.find_element(By.ID, "build-name")
                name.clear()
                name.send_keys("studio.qzf")
                driver.find_element(By.ID, "build").click()
                wait.until(lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-built") == "studio.qzf")
                driver.execute_script("document.getElementById('build').scrollIntoView()")
                shot(driver, "5-built.png")
                check("studio.qzf" in driver.find_element(By.ID, "build-message").text, "the page says where the font went")
                load_own_glyph(driver, wait, check, out)

                # "Fit": em heights chosen per size, glyphs centred, the preview redrawn.
                # The page has the studio measure the fit while it is idle:
                # the button then answers without drawing.
                def fit_ready(d):
                    return d.find_element(By.TAG_NAME, "body").get_attribute("data-fit-ready") == "1"

                wait.until(fit_ready)
                # Changed and changed back before the page was idle: a style
                # measured already, ready again without being measured anew.
                italic = driver.find_element(By.ID, "italic")
                italic.click()
                italic.click()
                wait.until(lambda d: not fit_ready(d))
                wait.until(fit_ready)
                seen = revision(driver)
                driver.find_element(By.ID, "fit").click()
                wait.until(lambda d: revision(d) > seen and d.find_element(By.ID, "fit").is_enabled())
                fit_ms = driver.find_element(By.TAG_NAME, "body").get_attribute("data-fit-ms")
                # Until the findings are checked again they do not say "no
                # problems"; then they list the glyphs the fit let lose ink.
                check(u"没有问题" not in driver.find_element(By.ID, "findings-list").text,
                      "the findings of the style before the fit do not claim no problems")
                checked = driver.find_element(By.TAG_NAME, "body").get_attribute("data-findings-revision")
                wait.until(lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-findings-revision") != checked)
                lost = re.search(u"为此允许 (\\d+) 个字", driver.find_element(By.ID, "notices").text)
                cut = driver.find_element(By.ID, "count-cut").text
                check(lost is not None and lost.group(1) == cut,
                      "the findings list as many cut glyphs (%s) as the fit's notice says (%s)" %
                      (cut, lost.group(1) if lost else None))
                sizes = [driver.find_element(By.CSS_SELECTOR, 'input[data-size="%d"][data-field="glyph-size"]' % s)
                         .get_attribute("value") for s in (20, 24, 64)]
                check(all(v.isdigit() for v in sizes) and
                      driver.find_element(By.ID, "align").get_attribute("value") == "center",
                      "fit fills in the em heights (%s) and centres" % ", ".join(sizes))
                driver.execute_script("window.scrollTo(0, 0)")
                shot(driver, "6-fit.png")
                small_window(driver, wait, revision, check, shot)
                unknown_characters(driver, wait, revision, check, shot)
                number_fields(driver, wait, revision, check, shot)
                with open(os.path.join(args.artifacts, "repaint-times.txt"), "w") as f:
                    f.write("fit button, measured ahead: answer in %s ms\n" % fit_ms)
                    f.write(repaint_times(driver, wait, revision))
                missing_face_style(driver, wait, check, shot, work)
                stop_studio(driver, wait, check, shot)
            finally:
                driver.quit()
        with open(os.path.join(out, "style.toml"), encoding="utf-8") as f:
            style = f.read()
        check("weight = 600" in style and FACE in style, "the saved style holds the face and the weight")
        check(u'[glyph."古".size.24]' in style and "shift = [1, 0]" in style and
              'image = "glyphs/u53e4-64.png"' in style and 'punctuation = "centred"' in style,
              "the saved style holds the character's own table and the punctuation")
        reference = os.path.join(out, "reference.qzf")
        command = ([args.runner] if args.runner else []) + [
            args.qzffont, "build", "--style", program_path(os.path.join(out, "style.toml"), args.runner),
            "--out", program_path(reference, args.runner), "-q"]
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, timeout=900)
        with open(os.path.join(out, "studio.qzf"), "rb") as a, open(reference, "rb") as b:
            check(a.read() == b.read(), "the studio's font equals qzffont build --style with the saved style")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("%d passed, %d failed" % (checks[0] - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
