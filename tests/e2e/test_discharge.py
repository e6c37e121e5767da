"""The discharge logging mode (-p) against the simulator. Its standard output
goes to a file, as people record a discharge curve, and the file is read
while the program runs: each line must be there when it is written."""

import os
import re
import signal
import subprocess
import time
import unittest

from harness import APP_BIN, DeviceTestCase

HEADER = "delta,batteryCapacity,analogFuelGauge,rawAnalogFuelGauge"


class DischargeTest(DeviceTestCase):
    def start(self, *extra):
        self.out = os.path.join(self.tmp, "discharge.csv")
        with open(self.out, "wb") as out:
            proc = subprocess.Popen([APP_BIN, "-p", *extra], stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: proc.poll() is None and (proc.kill(), proc.wait()))
        self.started = time.monotonic()
        return proc

    def lines(self):
        with open(self.out, encoding="latin-1") as produced:
            return produced.read().splitlines()

    def csv(self, count=1):
        """The data lines, once there are at least `count`."""
        deadline = time.monotonic() + 5
        while len(self.lines()) <= count and time.monotonic() < deadline:
            time.sleep(0.1)
        self.assertEqual(self.lines()[0], HEADER)
        self.assertTrue(all(re.match(r"^-?\d+(,-?\d+){3}$", line) for line in self.lines()[1:]), self.lines())
        return [line.split(",") for line in self.lines()[1:]]

    def test_silent_board_first_line_requests_once_a_second_and_ctrl_c(self):
        sim = self.start_simulator("fault silence")
        proc = self.start()
        self.assertIn(self.csv()[0], (["1"] + ["-100000"] * 3, ["2"] + ["-100000"] * 3))
        self.assertGreater(time.monotonic() - self.started, 0.9)
        time.sleep(4)
        self.assertEqual(len(self.csv()), 1)  # nothing changes while the board is silent
        records = sim.records()
        lines = [line for _, line in records]
        self.assertEqual(lines, ["D 41", "A", "V", "C"] * (len(lines) // 4))
        starts = [stamp for stamp, line in records if line == "D 41"]
        self.assertGreaterEqual(len(starts), 4)
        gaps = [b - a for a, b in zip(starts, starts[1:])]
        self.assertTrue(0.9 < min(gaps) and max(gaps) < 1.3, gaps)
        # Ctrl-C is the way out: the signal ends the process.
        proc.send_signal(signal.SIGINT)
        self.assertEqual(proc.wait(5), -signal.SIGINT)

    def test_lines_only_on_capacity_or_gauge_change(self):
        sim = self.start_simulator("plate g", "capacity 80", "gauge 78", "raw 2048")
        self.start("-s")
        first = self.csv()[0]
        self.assertEqual(first[1:], ["80", "78", "2048"])
        self.assertIn(first[0], ("1", "2"))
        # (command, the last three fields of the new line; None: no new line)
        for command, fields in [("raw 1999", None), ("gauge 77", ["80", "77", "1999"]),
                                ("capacity 79", ["79", "77", "1999"]), ("version 9.9", None),
                                ("plate none", ["-1", "-1", "1999"])]:
            with self.subTest(command):
                before = self.csv()
                sim.command(command)
                time.sleep(2.3)
                after = self.csv()
                self.assertEqual(len(after), len(before) + (fields is not None))
                if fields:
                    self.assertEqual(after[-1][1:], fields)
                    self.assertLessEqual(abs(int(after[-1][0]) - (time.monotonic() - self.started)), 1.5)

    def test_without_device(self):
        run = subprocess.run([APP_BIN, "-p"], stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
        self.assertEqual(run.returncode, 255)
        self.assertEqual(run.stdout.decode().splitlines()[-1], "Cant Initialise interface")


if __name__ == "__main__":
    unittest.main()
