"""The link initialisation of the real program against the simulator: the
pass, the four failures, and the polling while a screen waits for a key."""

import os
import statistics
import time
import unittest

from harness import BENCH, DEVICE, FIRST_TEST_TITLE, PLAN_TEST_COUNT, DeviceTestCase, cpu_share, enter_serial, \
    result_lines

BURST = ["C", "V", "T", "P", "S", "A", "B", "G"]


def burst_times(records):
    """Start times of the complete request bursts in a simulator record."""
    lines = [line for _, line in records]
    return [records[i][0] for i in range(len(lines)) if lines[i:i + len(BURST)] == BURST]


class InitialisationPassTest(DeviceTestCase):
    def test_pass_then_the_key_wait_polls_five_times_a_second(self):
        sim, term = self.start_run(*BENCH, "version 2.07 build 5 (Nov 12 2026)", serial="P100")
        self.assertRegex(self.read_results_log(), r"^Dynelle Test Log\n~{20}\n\nTests Started: .*\nSerial No: P100\n"
                         r"tr417 sw version: V2\.07 build 5 \(Nov 12 2026\)\n\nPASSED - Initialisation Tests\n$")
        sim.command("record clear")
        start = time.monotonic()
        share = cpu_share(term.child.pid, 4.0, term)
        elapsed = time.monotonic() - start
        records = sim.records()
        lines = [line for _, line in records]
        self.assertEqual(lines, BURST * (len(lines) // len(BURST)))  # whole bursts, in order
        starts = burst_times(records)
        self.assertTrue(3.8 < len(starts) / elapsed < 5.2, len(starts) / elapsed)
        # The simulator's reads lag now and then on a busy machine; the
        # median shows the program's pacing.
        gaps = [b - a for a, b in zip(starts, starts[1:])]
        self.assertGreater(min(gaps), 0.05)
        self.assertTrue(0.195 <= statistics.median(gaps) < 0.26, gaps)
        # Each burst goes out in one write.
        for i in range(0, len(records), len(BURST)):
            self.assertLess(records[i + len(BURST) - 1][0] - records[i][0], 0.02)
        self.assertLess(share, 0.01)
        term.send("q")
        self.assertEqual(term.wait_exit(), 255)


class InitialisationFailureTest(DeviceTestCase):
    def expect_failure(self, term, prompt, log_line):
        """Prompt, a wait for a key, the log line, the plan not run, 255."""
        # The longer prompts wrap at the right edge.
        term.wait_for(lambda: term.flowing_text(21, 4, len(prompt)) == prompt, 15, repr(prompt))
        self.assertEqual(term.row(0), "Initialisation Tests")
        self.assertEqual(term.bold_text(0), "InitialisationTests")
        term.idle(1.2)
        self.assertTrue(term.child.isalive())
        term.send(" ")
        self.assertEqual(term.wait_exit(), 255)
        self.assertEqual(term.logged_filename(), self.results_log)
        log = self.read_results_log()
        self.assertIn("Serial No: F1\n" + log_line + "\n", log)
        self.assertNotIn("tr417 sw version", log)
        lines = result_lines(log)
        self.assertEqual(len(lines), PLAN_TEST_COUNT)
        self.assertTrue(all(line.startswith("Not Run - ") for line in lines), lines)
        self.assertTrue(log.endswith(lines[-1] + "\n"))

    def start(self, *bench):
        sim = self.start_simulator(*bench) if bench else None
        term = self.start_program("-f", self.results_log)
        enter_serial(term, "F1")
        return sim, term

    def test_missing_device(self):
        _, term = self.start()
        self.expect_failure(term, "Cannot find the USB Device - Quitting (press any key): ",
                            "FAIL!! - Cannot find the USB Device")

    def test_device_locked_by_another_process(self):
        sim, term = self.start(*BENCH, "lock on")
        self.expect_failure(term, "Cannot open the USB device. Is kw_server running? - Quitting (press any key): ",
                            "FAIL!! - Cannot open the USB Device")
        self.assertEqual(sim.records(), [])  # never claimed, never asked

    def test_device_that_is_no_terminal(self):
        plain = os.path.join(self.tmp, "not-a-tty")
        open(plain, "w").close()
        os.symlink(plain, DEVICE)
        _, term = self.start()
        self.expect_failure(term, "Cannot set up the USB device? - Quitting (press any key): ",
                            "FAIL!! - Cannot set up the USB Device")
        self.assertEqual(os.path.getsize(plain), 0)

    def test_board_without_data_or_version(self):
        prompt = "Not seeing any data flowing from the USB device? - Quitting (press any key): "
        for fault in ("fault silence", "fault noversion"):
            with self.subTest(fault):
                sim, term = self.start(*BENCH, fault)
                term.wait_for(sim.records, 10, "the first request")
                first = sim.records()[0][0]
                term.wait_for(lambda: term.flowing_text(21, 4, len(prompt)) == prompt, 15, repr(prompt))
                shown = time.monotonic()
                # 25 attempts of 200 ms each.
                self.assertTrue(5.0 <= shown - first < 8.0, shown - first)
                self.assertIn(len([t for t in burst_times(sim.records()) if t < shown - 0.1]), (25, 26))
                # The prompt's key wait goes on polling the open device.
                sim.command("record clear")
                self.expect_failure(term, prompt, "FAIL!! - No data from the USB Device")
                self.assertGreaterEqual(len(burst_times(sim.records())), 4)
                sim.stop()
                os.unlink(self.results_log)


if __name__ == "__main__":
    unittest.main()
