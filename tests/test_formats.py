#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""dozedozovo-list --format json and csv read back by Python's own readers, and the
JSON document inside the catalogue page.

Every name of a tree of hostile names comes back: valid UTF-8 as it is (a CSV
field that a spreadsheet would take for a formula with a leading "'"), any
other name through name_hex in JSON and with each invalid byte as U+FFFD.
"""
import csv
import io
import json
import os
import subprocess
import sys
import tempfile
import unittest

LIST = sys.argv.pop(1) if len(sys.argv) > 1 else "dozedozovo-list"

NAMES = [b"b.mp3", b"C.mp3", b"a.MP3", b"_z.mp3", b"\xc3\xa9.mp3", b"a|b.mp3",
         b"back\\slash.mp3", b"amp&<lt>.mp3", b"\"q\" 's',x.mp3", b"new\nl.mp3",
         b"cr\rx.mp3", b"tab\t.mp3", b" leading.mp3", b"\xe2\x99\xab.mp3",
         b"latin1 \xe9.mp3", b"\xff\xfe.MP3", b"cut \xe2\x99.mp3", b"esc\x1b]0;x\x07.mp3",
         b"del\x7f.mp3", b"c1 \xc2\x85.mp3", b"sep \xe2\x80\xa8.mp3", b"<script>alert(1)<\\script>.mp3",
         b"=1+2.mp3", b"+x.mp3", b"-x.mp3", b"@x.mp3", b"\tx.mp3", b"\rx.mp3",
         b"n" * 251 + b".mp3"]
FOLDERS = [b"sub|dir\\x", b"in\xff valid", b"=formula", b"a</script><b", b"empty"]


def replaced(raw):
    """The text of `raw` with each byte of invalid UTF-8 as U+FFFD."""
    out, i = [], 0
    while i < len(raw):
        for length in (1, 2, 3, 4):
            try:
                out.append(raw[i:i + length].decode("utf-8"))
                i += length
                break
            except UnicodeDecodeError:
                continue
        else:
            out.append("\ufffd")
            i += 1
    return "".join(out)


def guarded(text):
    return "'" + text if text[:1] in ("=", "+", "-", "@", "\t", "\r") else text


class Formats(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        cls.root = os.path.join(os.fsencode(cls.work.name), b"Music")
        expected = {}  # folder bytes -> {name bytes: size}
        for folder in [b""] + FOLDERS:
            path = os.path.join(cls.root, folder) if folder else cls.root
            os.makedirs(path, exist_ok=True)
            if folder == b"empty":
                continue
            for size, name in enumerate(NAMES):
                with open(os.path.join(path, name), "wb") as f:
                    f.truncate(size * 1000 + len(folder))
            expected[path] = {n: i * 1000 + len(folder) for i, n in enumerate(NAMES)}
        cls.expected = expected

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def run_list(self, *args):
        done = subprocess.run([LIST, *args, self.root, "-"], capture_output=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        return done.stdout

    def test_json_names_round_trip(self):
        doc = json.loads(self.run_list("--format", "json").decode("utf-8"))
        self.assertEqual(os.fsencode(doc["root"]), self.root)
        seen = {}
        for folder in doc["folders"]:
            path = bytes.fromhex(folder["path_hex"]) if "path_hex" in folder \
                else folder["path"].encode("utf-8")
            self.assertEqual(folder["path"], replaced(path))
            self.assertEqual("path_hex" in folder, b"\xff" in path)
            files = {}
            for f in folder["files"]:
                raw = bytes.fromhex(f["name_hex"]) if "name_hex" in f else f["name"].encode("utf-8")
                self.assertEqual(f["name"], replaced(raw), raw)
                self.assertEqual("name_hex" in f, replaced(raw) != raw.decode("utf-8", "ignore"), raw)
                files[raw] = f["bytes"]
            self.assertEqual(folder["totals"], {"files": len(files), "bytes": sum(files.values()),
                                                "duration_ms": None})
            seen[path] = files
        self.assertEqual(seen, self.expected)
        self.assertEqual(doc["totals"], {
            "files": sum(len(f) for f in seen.values()), "folders": len(seen),
            "bytes": sum(sum(f.values()) for f in seen.values()), "duration_ms": None})

    def test_catalog_holds_the_json_document(self):
        page = self.run_list("--format", "catalog")
        start = page.index(b'<script type="application/json" id="dozedozovo-data">')
        data = page[page.index(b">", start) + 1:page.index(b"</script>", start)]
        self.assertNotIn(b"<", data)
        self.assertEqual(json.loads(data.decode("utf-8")),
                         json.loads(self.run_list("--format", "json").decode("utf-8")))

    def test_csv_names_round_trip(self):
        data = self.run_list("--format", "csv")
        self.assertFalse(data.startswith(b"\xef\xbb\xbf"))
        self.assertTrue(data.endswith(b"\r\n"))
        rows = list(csv.reader(io.StringIO(data.decode("utf-8"), newline="")))
        self.assertEqual(rows[0], ["folder", "name", "bytes"])
        got = {}
        for folder_text, name_text, size in rows[1:]:
            got.setdefault(folder_text, {})[name_text] = int(size)
        want = {guarded(replaced(folder)): {guarded(replaced(n)): s for n, s in files.items()}
                for folder, files in self.expected.items()}
        self.assertEqual(got, want)

    def test_csv_tags_columns(self):
        rows = list(csv.reader(io.StringIO(self.run_list("--format", "csv", "--tags")
                                           .decode("utf-8"), newline="")))
        self.assertEqual(rows[0], ["folder", "name", "bytes", "duration_ms", "duration_exact",
                                   "bitrate_kbps", "vbr", "sample_rate", "channels", "artist",
                                   "album", "title", "track", "year", "genre"])
        # The same files and lengths as without tags; files of zero or a few
        # thousand bytes hold no audio: every fact is unknown.
        plain = list(csv.reader(io.StringIO(self.run_list("--format", "csv").decode("utf-8"),
                                            newline="")))
        self.assertEqual([row[:3] for row in rows[1:]], plain[1:])
        self.assertTrue(all(row[3:] == [""] * 12 for row in rows[1:]))


if __name__ == "__main__":
    unittest.main()
