#!/usr/bin/python3
"""The studio in a real browser: headless Chromium opens the page, picks
"Noto Sans CJK SC", moves a control, sees the preview change, inspects a
cell, saves the style and builds; the file it saved must equal `qzffont
build` with the saved style. Screenshots of each step are kept.

usage: studio_browser_test.py STUDIO QZFFONT ARTIFACTS [--runner WINE-RUN]
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service as ChromeService
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

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
                wait = WebDriverWait(driver, timeout)
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
                    return json.loads(drawn)["all"]["weight"] if drawn else None

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
                wide = canvas.size["width"]
                driver.find_element(By.CSS_SELECTOR, '#zoom button[data-zoom="1"]').click()
                check(canvas.size["width"] * 2 == wide, "zoom 1x halves the preview of zoom 2x")
                driver.execute_script("arguments[0].scrollIntoView()", canvas)
                webdriver.ActionChains(driver).move_to_element_with_offset(
                    canvas, -canvas.size["width"] // 2 + 10, -canvas.size["height"] // 2 + 10).click().perform()
                wait.until(lambda d: "0x" in d.find_element(By.ID, "inspector-info").text)
                check(u"\u53e4" in driver.find_element(By.ID, "inspector-info").text, "the inspector shows the clicked character")
                wait.until(lambda d: d.find_element(By.ID, "count-missing").text != "")
                shot(driver, "4-inspector.png")

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

                # "Fit": em heights chosen per size, glyphs centred, the preview redrawn.
                seen = revision(driver)
                driver.find_element(By.ID, "fit").click()
                wait.until(lambda d: revision(d) > seen and d.find_element(By.ID, "fit").is_enabled())
                sizes = [driver.find_element(By.CSS_SELECTOR, 'input[data-size="%d"][data-field="glyph-size"]' % s)
                         .get_attribute("value") for s in (20, 24, 64)]
                check(all(v.isdigit() for v in sizes) and
                      driver.find_element(By.ID, "align").get_attribute("value") == "center",
                      "fit fills in the em heights (%s) and centres" % ", ".join(sizes))
                driver.execute_script("window.scrollTo(0, 0)")
                shot(driver, "6-fit.png")
            finally:
                driver.quit()
        with open(os.path.join(out, "style.toml"), encoding="utf-8") as f:
            style = f.read()
        check("weight = 600" in style and FACE in style, "the saved style holds the face and the weight")
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
