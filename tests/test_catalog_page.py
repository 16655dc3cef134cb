#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""dozedozovo-list --format catalog in a real browser: headless Chromium driven
through WebDriver.

On a tree of hostile names the page holds the JSON document, shows every name
as itself and runs none of them; the search, the address's #q=, sorting,
folding, scrolling and printing do what the reader asks. Exits 77 (skipped)
where Chromium, its WebDriver or Python's selenium is missing.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unicodedata
import unittest
from urllib.parse import quote

LIST = sys.argv.pop(1) if len(sys.argv) > 1 else "dozedozovo-list"
SKIP = 77

try:
    from selenium import webdriver
    from selenium.common.exceptions import NoAlertPresentException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    print("SKIP: python3-selenium is missing")
    sys.exit(SKIP)
CHROMIUM = shutil.which("chromium")
CHROMEDRIVER = shutil.which("chromedriver")
if not CHROMIUM or not CHROMEDRIVER:
    print("SKIP: chromium or chromium-driver is missing")
    sys.exit(SKIP)

# Folders (below the searched one; b"" is the searched folder) and their files.
HOSTILE = {
    b"": [b"<img src=x onerror=alert(1)>.mp3", b"\"quoted\" & 'single'.mp3",
          b"amp &amp; &lt;b&gt;.mp3", b"bad \xff\xfe bytes.mp3", b"Bj\xc3\xb6rk \xe2\x80\x93 J\xc3\xb3ga.mp3",
          b"Bjo\xcc\x88rk decomposed.mp3", b"esc\x1b[31m red.mp3", b"new\nline.mp3", b"tab\t.mp3",
          b"sep \xe2\x80\xa8 x.mp3", b"<SCRIPT >alert(1)<\\SCRIPT>.mp3", b"<!--.mp3", b"${alert(1)}.mp3",
          b"<svg onload=alert(1)>.mp3"],
    b"a</script><script>alert(1)</script>": [b"x.mp3", b"y <b>bold<\\b>.mp3"],
    b"<b>Sigur R\xc3\xb3s</b> & co": [b"Hopp\xc3\xadpolla.mp3", b"\xe2\x80\xaeevil.mp3"],
    b"in\xffvalid": [b"one.mp3"],
}


def fold(text):
    """Lower case without accents, as the page searches."""
    return "".join(c for c in unicodedata.normalize("NFD", text.lower())
                   if not unicodedata.category(c).startswith("M"))


def make_tree(root, folders):
    """Files of distinct sizes; returns their count."""
    size = 1000
    for folder, names in folders.items():
        path = os.path.join(root, folder) if folder else root
        os.makedirs(path, exist_ok=True)
        for name in names:
            size += 977
            with open(os.path.join(path, name), "wb") as f:
                f.truncate(size)
    return sum(len(names) for names in folders.values())


def splice(page, document):
    """`page` holding `document` (a JSON value) instead of its own list."""
    text = json.dumps(document, ensure_ascii=False)
    for c in "<>&\u2028\u2029":
        text = text.replace(c, "\\u%04x" % ord(c))
    head, rest = page.split('<script type="application/json" id="dozedozovo-data">', 1)
    return head + '<script type="application/json" id="dozedozovo-data">' + text + \
        rest[rest.index("</script>"):]


class CatalogPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="dz-catalog-")
        cls.root = os.path.join(os.fsencode(cls.work), b"Music")
        cls.files = make_tree(cls.root, HOSTILE)
        cls.page = cls.write_page("hostile.html", cls.root)
        cls.document = json.loads(cls.run_list("--format", "json", cls.root, "-"))
        many = os.path.join(os.fsencode(cls.work), b"many")
        make_tree(many, {b"f%03d" % f: [b"track %04d.mp3" % (f * 100 + i) for i in range(100)]
                         for f in range(30)})
        cls.many = cls.write_page("many.html", many)
        cls.many_names = [f["name"] for folder in json.loads(
            cls.run_list("--format", "json", many, "-"))["folders"] for f in folder["files"]]

        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                    "--no-first-run", "--disable-background-networking",
                    "--disable-component-update", "--disable-sync", "--window-size=1200,900",
                    "--user-data-dir=" + os.path.join(cls.work, "profile")):
            options.add_argument(arg)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        options.set_capability("unhandledPromptBehavior", "ignore")  # an alert stays to be seen
        cls.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        shutil.rmtree(cls.work, ignore_errors=True)

    @classmethod
    def run_list(cls, *args):
        done = subprocess.run([LIST, "--quiet", *args], capture_output=True, check=True)
        return done.stdout

    @classmethod
    def write_page(cls, name, folder, *args):
        path = os.path.join(cls.work, name)
        cls.run_list("--format", "catalog", *args, folder, path)
        return path

    # --- helpers ---------------------------------------------------------------
    def open(self, path, fragment=""):
        self.driver.get("about:blank")
        self.driver.get("file://" + quote(path) + fragment)
        self.wait(lambda d: d.execute_script(
            "return document.querySelectorAll('#dz-rows tr:not(.dz-spacer)').length > 0"
            " || !document.getElementById('dz-empty').hidden"))

    def wait(self, condition, message=""):
        return WebDriverWait(self.driver, 10).until(condition, message)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def count(self):
        return self.driver.find_element(By.ID, "dz-count").text

    def wait_count(self, expected):
        self.wait(lambda d: self.count() == str(expected),
                  "dz-count stays %r, not %r" % (self.count(), str(expected)))

    def shown_names(self):
        return self.js("return [...document.querySelectorAll('#dz-rows th[scope=row]')]"
                       ".map(c => c.textContent)")

    def shown_folders(self):
        return self.js("return [...document.querySelectorAll('#dz-rows .dz-path')]"
                       ".map(c => c.textContent)")

    def header(self, label):
        return self.driver.find_element(
            By.XPATH, "//thead//th[button[normalize-space()='%s']]" % label)

    def sort_state(self, label):
        return self.header(label).get_attribute("aria-sort")

    def type_search(self, text):
        box = self.driver.find_element(By.ID, "dz-search")
        box.send_keys(Keys.CONTROL, "a")
        box.send_keys(Keys.BACK_SPACE)
        if text:
            box.send_keys(text)

    def assert_nothing_ran(self):
        try:
            alert = self.driver.switch_to.alert
            self.fail("a name ran a script: alert %r" % alert.text)
        except NoAlertPresentException:
            pass
        errors = [e for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]
        self.assertEqual(errors, [], "errors in the console")
        self.assertEqual(self.js("return document.querySelectorAll('img, svg, b, iframe').length"), 0,
                         "a name became markup")
        self.assertEqual(self.js("return document.scripts.length"), 2, "a name became a script")

    def expected_matches(self, query):
        words = fold(query).split()
        rows = []
        for folder in self.document["folders"]:
            below = folder["path"][len(self.document["root"]):].lstrip("/")
            for f in folder["files"]:
                key = fold(f["name"]) + "\n" + fold(below)
                if all(w in key for w in words):
                    rows.append(f["name"])
        return rows

    # --- the tests -------------------------------------------------------------
    def test_data_element_holds_the_json_document(self):
        self.open(self.page)
        text = self.js("return document.getElementById('dozedozovo-data').textContent")
        self.assertEqual(json.loads(text), self.document)
        with open(self.page, "rb") as f:
            raw = f.read()
        data = raw.split(b'id="dozedozovo-data">', 1)[1].split(b"</script>", 1)[0]
        self.assertIsNone(re.search(rb"[<>&]|\xe2\x80[\xa8\xa9]", data), "unescaped in the data")
        self.assertEqual(self.js("return performance.getEntriesByType('resource').length"), 0,
                         "the page asked for something")

    def test_hostile_names_shown_as_themselves_and_run_nothing(self):
        self.open(self.page)
        self.assertEqual(self.count(), str(self.files))
        names = [f["name"] for folder in self.document["folders"] for f in folder["files"]]
        self.assertEqual(self.shown_names(), names)
        self.assertIn("bad \ufffd\ufffd bytes.mp3", names)
        self.assertEqual(self.shown_folders(), [f["path"] for f in self.document["folders"]])
        self.assertEqual(self.js("return document.getElementById('dz-root').textContent"),
                         os.fsdecode(self.root))
        self.assert_nothing_ran()

    def test_search_counts_the_matching_files(self):
        self.open(self.page)
        for query in ["bjork", "BJÖRK", "bjo", "script alert", "<b>", "sigur hopp", "&amp;",
                      "ROS EVIL", "\ufffd", "zzz", "x.mp3", ""]:
            with self.subTest(query=query):
                expected = self.expected_matches(query)
                self.type_search(query)
                self.wait_count(len(expected))
                self.wait(lambda d: self.shown_names() == expected, "rows of %r" % query)
        self.assertEqual(len(self.expected_matches("bjork")), 2)  # composed and decomposed
        self.type_search("björk x")
        self.wait(lambda d: d.current_url.endswith("#q=bj%C3%B6rk+x"), "the address keeps #q=")
        self.assert_nothing_ran()

    def test_address_fragment_applies_on_opening(self):
        for fragment, query in [("#q=bj%C3%B6rk", "björk"), ("#q=SCRIPT+alert", "SCRIPT alert"),
                                ("#q=%3Cimg", "<img")]:
            with self.subTest(fragment=fragment):
                self.open(self.page, fragment)
                self.wait_count(len(self.expected_matches(query)))
                self.assertEqual(self.driver.find_element(By.ID, "dz-search")
                                 .get_attribute("value"), query)
        self.open(self.page, "#sort=-size")
        self.assertEqual(self.sort_state("Size"), "descending")

    def test_sort_by_size(self):
        self.open(self.page)
        sizes = lambda: self.js("return [...document.querySelectorAll('#dz-rows td.dz-num')]"
                                ".map(c => parseInt(c.title))")
        listed = sizes()
        self.assertIsNone(self.sort_state("Size"))
        self.header("Size").find_element(By.TAG_NAME, "button").send_keys(Keys.ENTER)
        self.wait(lambda d: self.sort_state("Size") == "ascending")
        # grouped: each folder's files by size, the folders in the list's order
        start = 0
        for folder in self.document["folders"]:
            files = sorted(f["bytes"] for f in folder["files"])
            self.assertEqual(sizes()[start:start + len(files)], files, folder["path"])
            start += len(files)
        self.driver.find_element(By.ID, "dz-group").click()  # one list, no folders
        self.wait(lambda d: sizes() == sorted(listed))
        self.header("Size").find_element(By.TAG_NAME, "button").click()
        self.wait(lambda d: self.sort_state("Size") == "descending")
        self.wait(lambda d: sizes() == sorted(listed, reverse=True))
        self.header("Size").find_element(By.TAG_NAME, "button").click()
        self.wait(lambda d: self.sort_state("Size") is None)
        self.wait(lambda d: sizes() == listed, "back to the list's order")

    def test_folder_folds_and_unfolds_by_keyboard(self):
        self.open(self.page)
        first, second = self.document["folders"][:2]
        names = lambda folder: {f["name"] for f in folder["files"]}
        button = self.driver.find_element(By.CSS_SELECTOR, "#dz-rows .dz-fold")
        button.send_keys(Keys.ENTER)
        self.wait(lambda d: button.get_attribute("aria-expanded") == "false")
        shown = set(self.shown_names())
        self.assertFalse(names(first) & shown, "the folded folder's files are gone")
        self.assertLessEqual(names(second), shown)
        self.assertEqual(self.count(), str(self.files), "folded files still match")
        self.assertEqual(self.driver.switch_to.active_element, button, "the focus stays")
        button.send_keys(Keys.ARROW_DOWN)  # to the next folder's heading
        self.wait(lambda d: second["path"] in d.switch_to.active_element.text)
        self.driver.switch_to.active_element.send_keys(Keys.ARROW_LEFT)
        self.wait(lambda d: not names(second) & set(self.shown_names()))
        self.driver.find_element(By.ID, "dz-unfold-all").send_keys(Keys.ENTER)
        self.wait(lambda d: len(self.shown_names()) == self.files)

    def test_only_rows_on_screen_and_print_lays_out_all(self):
        self.open(self.many)
        self.assertEqual(self.count(), "3000")
        rows = lambda: self.js("return document.querySelectorAll('#dz-rows tr').length")
        self.assertLess(rows(), 120)
        self.js("window.scrollTo(0, document.documentElement.scrollHeight)")
        self.wait(lambda d: self.shown_names()[-1:] == self.many_names[-1:], "the last row at the end")
        self.assertLess(rows(), 120)
        self.type_search("f007")
        self.wait_count(100)
        self.js("window.dispatchEvent(new Event('beforeprint'))")
        printed = self.js("return [...document.querySelectorAll('#dz-print tbody th[scope=row]')]"
                          ".map(c => c.textContent)")
        self.assertEqual(printed, [n for n in self.many_names if n.startswith("track 07")])
        self.js("window.dispatchEvent(new Event('afterprint'))")
        self.assertEqual(self.js("return document.querySelectorAll('#dz-print *').length"), 0)

    def test_tags_columns_search_and_sort(self):
        with open(self.page, encoding="utf-8") as f:
            page = f.read()
        doc = {"generator": "test", "root": "/M", "folders": [{"path": "/M/a", "files": [
            {"name": n, "bytes": b, "duration_ms": d, "duration_exact": True, "bitrate_kbps": 128,
             "vbr": False, "sample_rate": 44100, "channels": 2, "artist": a, "album": al,
             "title": t, "track": tr, "year": y, "genre": None}
            for n, b, d, a, al, t, tr, y in [
                ("1.mp3", 10, 250000, "Björk", "Homogenic", "Jóga", 3, 1997),
                ("2.mp3", 20, None, "Sigur Rós", "Takk", "Hoppípolla", 2, 2005),
                ("3.mp3", 30, 61000, None, None, "</script>", None, None)]],
            "totals": {"files": 3, "bytes": 60, "duration_ms": None}}],
            "totals": {"files": 3, "folders": 1, "bytes": 60, "duration_ms": None}}
        path = os.path.join(self.work, "tags.html")
        with open(path, "w", encoding="utf-8") as f:
            f.write(splice(page, doc))
        self.open(path)
        labels = self.js("return [...document.querySelectorAll('thead th')].map(c => c.textContent)")
        self.assertEqual(labels, ["Name", "Title", "Artist", "Album", "Track", "Year", "Duration",
                                  "Size"])
        self.assertEqual(self.js("return document.getElementById('dz-duration').textContent"),
                         "\u2265 5:11")
        for query, expected in [("bjork joga", 1), ("homogenic", 1), ("ROS hoppipolla", 1),
                                ("</script>", 1), ("1997", 0)]:
            self.type_search(query)
            self.wait_count(expected)
        self.type_search("")
        self.header("Duration").find_element(By.TAG_NAME, "button").click()
        self.wait(lambda d: self.shown_names() == ["3.mp3", "1.mp3", "2.mp3"], "unknown last")
        self.header("Artist").find_element(By.TAG_NAME, "button").click()
        self.wait(lambda d: self.shown_names() == ["1.mp3", "2.mp3", "3.mp3"])
        self.header("Artist").find_element(By.TAG_NAME, "button").click()
        self.wait(lambda d: self.shown_names() == ["2.mp3", "1.mp3", "3.mp3"], "unknown last")
        self.assert_nothing_ran()

    def test_colours_follow_the_scheme(self):
        self.open(self.page)
        background = lambda: self.js("return getComputedStyle(document.documentElement)"
                                     ".backgroundColor")
        colours = {}
        for scheme in ("light", "dark"):
            self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
                "features": [{"name": "prefers-color-scheme", "value": scheme}]})
            colours[scheme] = background()
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})
        self.assertEqual(colours, {"light": "rgb(255, 255, 255)", "dark": "rgb(18, 18, 18)"})

    def test_without_scripts_the_page_says_so(self):
        self.driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": True})
        try:
            self.driver.get("file://" + quote(self.page))
            text = self.driver.find_element(By.TAG_NAME, "body").text
        finally:
            self.driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": False})
        self.assertIn("needs JavaScript", text)
        self.assertIn("--format html", text)


if __name__ == "__main__":
    unittest.main()
