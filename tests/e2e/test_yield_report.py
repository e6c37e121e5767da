"""The yield report over results logs: two kept from whole plan runs (every
test passed; failures, a skip and a quit), one made from them (a run quit
before any verdict) and files that are not logs."""

import json
import os
import pathlib
import re
import shutil
import tempfile
import unittest

import harness

YIELD_BIN = os.environ.get("DYNELLE_YIELD", "")
KEPT_LOGS = pathlib.Path(__file__).resolve().parent.parent / "tools" / "dynelle-yield" / "logs"


@unittest.skipUnless(os.access(YIELD_BIN, os.X_OK), "set DYNELLE_YIELD to the built tool")
class YieldReportTest(unittest.TestCase):
    def run_yield(self, *args):
        done = harness.run(YIELD_BIN, *args)
        self.assertEqual(done.returncode, 0, done.stderr)
        return done.stdout

    def test_each_format_over_the_logs_with_malformed_files_skipped(self):
        folder = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory()), "logs")
        shutil.copytree(KEPT_LOGS, folder)
        failing = (folder / "failing-run.txt").read_text()
        (folder / "quit-early.txt").write_text(re.sub(r"(?m)^(FAIL!! |SKIPPED) ", "Not Run ",
                                                      failing.replace("FAIL-7", "QUIT-2")))
        (folder / "empty.txt").write_bytes(b"")
        (folder / "cut-short.txt").write_text("Dynelle Test Log\n" + "~" * 20 + "\n\nTests Started: 25:00 05/12/2026\n")
        (folder / "notes.md").write_text("not a log and not read: only *.txt files are\n")
        # The counts are the unit tests' business; here: each format's fields over the logs the program wrote.
        report = json.loads(self.run_yield("--json", str(folder)))
        self.assertEqual([report[key] for key in ("logs", "boards", "boardsWithVerdict", "firstPassBoards",
                                                  "finalPassBoards", "openBoards")], [3, 3, 2, 1, 1, ["FAIL-7", "QUIT-2"]])
        self.assertIn({"title": "ACDC Input and LED Test", "runs": 3, "passed": 1, "failed": 1, "skipped": 0,
                       "notRun": 1}, report["tests"])
        self.assertEqual({b["serial"]: (b["firstVerdict"], b["latestRun"]) for b in report["perBoard"]},
                         {"FAIL-7": ("failed", "failed"), "TR417-0042": ("passed", "passed"),
                          "QUIT-2": (None, "incomplete")})
        self.assertEqual(sorted(os.path.basename(f["file"]) for f in report["skippedFiles"]),
                         ["cut-short.txt", "empty.txt"])
        text = self.run_yield(str(folder))
        self.assertIn("First-pass yield: 1 of 2 boards (50.0 %)\n", text)
        self.assertIn("Open boards:      FAIL-7, QUIT-2\n", text)
        self.assertRegex(text, r"\nACDC Input and LED Test +  3 +1 +1 +0 +1 +50\.0 %\n")
        self.assertRegex(text, r"\nACDC Input and LED Test +#+ 1\n")
        self.assertIn("cut-short.txt: line 4: expected \"Tests Started: HH:MM DD/MM/YYYY\"", text)
        csv = self.run_yield("--csv", str(folder)).split("\n")
        self.assertEqual(csv[:2], ["test,runs,passed,failed,skipped,not_run,pass_rate",
                                   "Initialisation Tests,3,3,0,0,0,1.0000"])
        self.assertIn("serial,runs,first_verdict,final_verdict,latest_run,latest_log", csv)
        self.assertEqual(json.loads(self.run_yield("--json", "--since", "2099-01-01", str(folder)))["logs"], 0)
        refused = harness.run(YIELD_BIN, "--frobnicate")
        self.assertEqual((refused.returncode, refused.stderr.partition("\n")[0]),
                         (1, "dynelle-yield: unknown option --frobnicate"))
