"""The yield report over results logs of real runs: two kept from whole plan
runs (every test passed; failures, a skip and a quit), two made here (an
initialisation failure, a quit at the first test) and files that are not logs."""

import json
import os
import pathlib
import shutil
import subprocess

from harness import DeviceTestCase, enter_serial

YIELD_BIN = os.environ.get("DYNELLE_YIELD", "")
KEPT_LOGS = pathlib.Path(__file__).resolve().parent.parent / "tools" / "dynelle-yield" / "logs"


class YieldReportTest(DeviceTestCase):
    def run_yield(self, *args):
        done = subprocess.run([YIELD_BIN, *args], capture_output=True, text=True, timeout=60)
        self.assertEqual(done.returncode, 0, done.stderr)
        return done.stdout

    def test_counts_match_the_logs_and_malformed_files_are_skipped(self):
        folder = pathlib.Path(self.tmp, "logs")
        shutil.copytree(KEPT_LOGS, folder)
        # An initialisation failure: no device node at all.
        term = self.start_program("-f", str(folder / "init-failure.txt"))
        enter_serial(term, "YIELD-3")
        term.wait_for_text(21, "Cannot find the USB Device - Quitting (press any key): ", 15)
        term.send(" ")
        self.assertEqual(term.wait_exit(), 255)
        # A run quit at its first test.
        self.results_log = str(folder / "quit-early.txt")
        sim, term = self.start_run(serial="YIELD-2")
        term.send("q")
        self.assertEqual(term.wait_exit(), 255)
        (folder / "empty.txt").write_bytes(b"")
        (folder / "cut-short.txt").write_text("Dynelle Test Log\n" + "~" * 20 + "\n\nTests Started: 25:00 05/12/2026\n")
        (folder / "notes.md").write_text("not a log and not read: only *.txt files are\n")

        report = json.loads(self.run_yield("--json", str(folder)))
        self.assertEqual(report["logs"], 4)
        self.assertEqual((report["boards"], report["boardsWithVerdict"]), (4, 3))
        self.assertEqual((report["firstPassBoards"], report["finalPassBoards"]), (1, 1))
        self.assertEqual(report["openBoards"], ["FAIL-7", "YIELD-2", "YIELD-3"])
        tests = {t["title"]: t for t in report["tests"]}
        self.assertEqual(len(tests), 19)
        self.assertEqual(tests["Initialisation Tests"], {"title": "Initialisation Tests", "runs": 4, "passed": 3,
                                                         "failed": 1, "skipped": 0, "notRun": 0})
        self.assertEqual([tests["ACDC Input and LED Test"][k] for k in ("runs", "passed", "failed", "notRun")],
                         [4, 1, 1, 2])
        self.assertEqual(tests["Battery V Plate I2C Protocol Tests"]["skipped"], 1)
        verdicts = {b["serial"]: (b["firstVerdict"], b["latestRun"]) for b in report["perBoard"]}
        self.assertEqual(verdicts, {"FAIL-7": ("failed", "failed"), "TR417-0042": ("passed", "passed"),
                                    "YIELD-2": (None, "incomplete"), "YIELD-3": ("failed", "failed")})
        self.assertEqual(sorted(os.path.basename(f["file"]) for f in report["skippedFiles"]),
                         ["cut-short.txt", "empty.txt"])

        text = self.run_yield(str(folder))
        self.assertIn("First-pass yield: 1 of 3 boards (33.3 %)\n", text)
        self.assertIn("Open boards:      FAIL-7, YIELD-2, YIELD-3\n", text)
        self.assertRegex(text, r"\nACDC Input and LED Test +  4 +1 +1 +0 +2 +50\.0 %\n")
        self.assertRegex(text, r"\nInitialisation Tests +#+ 1\n")
        self.assertIn("cut-short.txt: line 4: expected \"Tests Started: HH:MM DD/MM/YYYY\"", text)

        csv = self.run_yield("--csv", str(folder)).split("\n")
        self.assertEqual(csv[0], "test,runs,passed,failed,skipped,not_run,pass_rate")
        self.assertEqual(csv[1], "Initialisation Tests,4,3,1,0,0,0.7500")
        self.assertIn("serial,runs,first_verdict,final_verdict,latest_run,latest_log", csv)

        self.assertEqual(json.loads(self.run_yield("--json", "--since", "2099-01-01", str(folder)))["logs"], 0)
