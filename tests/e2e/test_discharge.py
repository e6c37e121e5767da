"""The discharge logging mode (-p) against the simulator: CSV on standard
output, written line by line while the process runs until it is killed."""

import os
import re
import select
import signal
import subprocess
import time
import unittest

from harness import APP_BIN, DeviceTestCase

HEADER = "delta,batteryCapacity,analogFuelGauge,rawAnalogFuelGauge"
CSV_LINE = re.compile(r"^-?\d+,-?\d+,-?\d+,-?\d+$")
REQUESTS = ["D 41", "A", "V", "C"]


class DischargeRun:
    """dynelle_test -p with its standard output going to a file, the way
    people record a discharge curve; lines are read while it runs."""

    def __init__(self, test, *extra):
        self.path = os.path.join(test.tmp, "discharge.csv")
        self.out = open(self.path, "wb")
        self.proc = subprocess.Popen([APP_BIN, "-p", *extra], stdin=subprocess.DEVNULL, stdout=self.out,
                                     stderr=subprocess.PIPE)
        self.started = time.monotonic()
        test.addCleanup(self.stop)

    def lines(self):
        with open(self.path, encoding="latin-1") as produced:
            return produced.read().splitlines()

    def csv(self):
        return [line for line in self.lines() if CSV_LINE.match(line)]

    def wait_for_csv(self, count, timeout):
        deadline = time.monotonic() + timeout
        while len(self.csv()) < count:
            if time.monotonic() > deadline or self.proc.poll() is not None:
                raise AssertionError("only %r" % self.lines())
            time.sleep(0.1)
        return self.csv()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGINT)
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc.stderr.close()
        self.out.close()
        return self.proc.returncode


class DischargeTest(DeviceTestCase):
    def test_first_line_before_any_reply(self):
        self.start_simulator("fault silence")
        run = DischargeRun(self)
        first = run.wait_for_csv(1, 5)
        self.assertGreater(time.monotonic() - run.started, 0.9)
        self.assertIn(first[0], ("1,-100000,-100000,-100000", "2,-100000,-100000,-100000"))
        self.assertEqual(run.lines()[0], HEADER)
        time.sleep(2.5)
        self.assertEqual(len(run.csv()), 1)  # nothing changes while the board is silent
        # Ctrl-C is the way out: no handler, the signal ends the process.
        self.assertEqual(run.stop(), -signal.SIGINT)

    def test_lines_only_on_capacity_or_gauge_change(self):
        sim = self.start_simulator("plate g", "capacity 80", "gauge 78", "raw 2048")
        run = DischargeRun(self, "-s")
        first = run.wait_for_csv(1, 5)[0].split(",")
        self.assertEqual(first[1:], ["80", "78", "2048"])
        self.assertIn(first[0], ("1", "2"))
        # (command, whether a new line follows, its last three fields)
        steps = [
            ("raw 1999", False, None),
            ("gauge 77", True, ["80", "77", "1999"]),
            ("capacity 79", True, ["79", "77", "1999"]),
            ("version 9.9", False, None),
            ("plate none", True, ["-1", "-1", "1999"]),
        ]
        for command, new_line, fields in steps:
            with self.subTest(command):
                before = len(run.csv())
                sim.command(command)
                time.sleep(2.3)
                lines = run.csv()
                if not new_line:
                    self.assertEqual(len(lines), before)
                else:
                    self.assertEqual(len(lines), before + 1)
                    last = lines[-1].split(",")
                    self.assertEqual(last[1:], fields)
                    elapsed = time.monotonic() - run.started
                    self.assertLessEqual(abs(int(last[0]) - elapsed), 1.5)

    def test_requests_once_a_second(self):
        sim = self.start_simulator("plate g")
        run = DischargeRun(self)
        run.wait_for_csv(1, 5)
        time.sleep(4)
        records = sim.records()
        lines = [line for _, line in records]
        self.assertEqual(lines, REQUESTS * (len(lines) // 4))
        starts = [stamp for stamp, line in records if line == "D 41"]
        self.assertGreaterEqual(len(starts), 4)
        gaps = [b - a for a, b in zip(starts, starts[1:])]
        self.assertGreater(min(gaps), 0.9)
        self.assertLess(max(gaps), 1.3)

    def test_output_reaches_a_pipe_line_by_line(self):
        self.start_simulator("plate g", "capacity 50", "gauge 51")
        proc = subprocess.Popen([APP_BIN, "-p"], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL)
        try:
            data = b""
            deadline = time.monotonic() + 5
            while b"\n50,51," not in b"\n" + data and time.monotonic() < deadline:
                ready, _, _ = select.select([proc.stdout], [], [], 0.2)
                if ready:
                    data += os.read(proc.stdout.fileno(), 4096)
            lines = data.decode().splitlines()
            self.assertIn(HEADER, lines)
            self.assertTrue(any(re.match(r"^\d+,50,51,2048$", line) for line in lines), lines)
        finally:
            proc.kill()
            proc.wait()
            proc.stdout.close()

    def test_without_device(self):
        run = subprocess.run([APP_BIN, "-p"], stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
        self.assertEqual(run.returncode, 255)
        lines = run.stdout.decode().splitlines()
        self.assertIn("Cant Initialise interface", lines)
        self.assertNotIn(HEADER, lines)


if __name__ == "__main__":
    unittest.main()
