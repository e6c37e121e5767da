"""The link initialisation of the real program against the simulator: the
pass, the four failures, and the polling while the operator reads a screen."""

import os
import statistics
import time
import unittest

from harness import (BURST, DEVICE, FIRST_TEST_TITLE, PLAN_TEST_COUNT, DeviceTestCase, burst_times,
                     cpu_ticks, enter_serial, logged_filename, result_lines)

BENCH = ("j1 14.0", "plate g", "capacity 80", "gauge 78")


class InitialisationPassTest(DeviceTestCase):
    def test_pass_logs_the_whole_version_line(self):
        sim = self.start_simulator(*BENCH, "version 2.07 build 5 (Nov 12 2026)")
        term = self.start_program("-f", self.results_log)
        enter_serial(term, "P100")
        term.wait_for_text(0, FIRST_TEST_TITLE)
        log = self.read_results_log()
        self.assertIn("Serial No: P100\ntr417 sw version: V2.07 build 5 (Nov 12 2026)\n\n"
                      "PASSED - Initialisation Tests\n", log)
        self.assertTrue(log.startswith("Dynelle Test Log\n~~~~~~~~~~~~~~~~~~~~\n\nTests Started: "))
        self.assertEqual(result_lines(log), [])
        # Quit inside the first test: 255, and every test logged as not run.
        term.send("q")
        self.assertEqual(term.wait_exit(), 255)
        log = self.read_results_log()
        lines = result_lines(log)
        self.assertEqual(len(lines), PLAN_TEST_COUNT)
        self.assertEqual(lines[0], "Not Run - " + FIRST_TEST_TITLE)
        self.assertTrue(all(line.startswith("Not Run - ") for line in lines))
        self.assertEqual(logged_filename(term), self.results_log)
        self.assertTrue(sim.alive())

    def test_key_wait_polls_five_times_a_second(self):
        sim = self.start_simulator(*BENCH)
        term = self.start_program("-f", self.results_log)
        enter_serial(term, "P101")
        term.wait_for_text(0, FIRST_TEST_TITLE)
        sim.command("record clear")
        start = time.monotonic()
        ticks = cpu_ticks(term.child.pid)
        while time.monotonic() - start < 4.0:
            term.pump(0.2)
        used = cpu_ticks(term.child.pid) - ticks
        elapsed = time.monotonic() - start
        records = sim.records()
        # Nothing but whole bursts, in their order.
        lines = [line for _, line in records]
        self.assertEqual(lines, BURST * (len(lines) // len(BURST)))
        starts = burst_times(records)
        rate = len(starts) / elapsed
        self.assertGreater(rate, 3.8)
        self.assertLess(rate, 5.2)
        gaps = [b - a for a, b in zip(starts, starts[1:])]
        # The simulator stamps what it reads, and on a busy machine its
        # reads lag now and then; the median shows the program's pacing.
        self.assertGreater(min(gaps), 0.05)
        self.assertGreaterEqual(statistics.median(gaps), 0.195)
        self.assertLess(statistics.median(gaps), 0.26)
        # A burst goes out in one go: its eight lines within a few ms.
        for i in range(0, len(records), len(BURST)):
            self.assertLess(records[i + len(BURST) - 1][0] - records[i][0], 0.02)
        # Waiting for the operator costs (well) under 1% of a core.
        ticks_per_second = os.sysconf("SC_CLK_TCK")
        self.assertLess(used / ticks_per_second / elapsed, 0.01)
        # The readings reach the screen: ACDC at 13.9 V.
        term.wait_for_text(2, "(Active Power Source: ACDC at 13.9V)")
        sim.command("j1 12.0")
        sim.command("j2 14.5")
        term.wait_for_text(2, "(Active Power Source: ACDC at 11.9V)", timeout=3)
        sim.command("j1 0")
        term.wait_for_text(2, "(Active Power Source: DC at 14.4V)", timeout=3)
        self.assertTrue(term.is_bold(2, term.screen_row(2).index("DC at")))
        term.send("q")
        self.assertEqual(term.wait_exit(), 255)


class InitialisationFailureTest(DeviceTestCase):
    """Each failure shows its prompt, waits for a key, logs its line and the
    plan's tests as not run, and ends the run with 255."""

    def expect_failure(self, term, prompt, log_line, key_wait=1.0):
        # The longer prompts run past column 79 and wrap.
        term.wait_for_flowing_text(21, 4, prompt, timeout=15)
        self.assertEqual(term.screen_row(0).rstrip(), "Initialisation Tests")
        self.assertTrue(term.is_bold(0, 0))
        # It waits for the operator.
        deadline = time.monotonic() + key_wait
        while time.monotonic() < deadline:
            term.pump(0.1)
        self.assertTrue(term.alive())
        term.send(" ")
        self.assertEqual(term.wait_exit(), 255)
        self.assertEqual(logged_filename(term), self.results_log)
        log = self.read_results_log()
        self.assertIn("Serial No: F1\n" + log_line + "\n", log)
        self.assertNotIn("tr417 sw version", log)
        lines = result_lines(log)
        self.assertEqual(len(lines), PLAN_TEST_COUNT)
        self.assertTrue(all(line.startswith("Not Run - ") for line in lines))
        self.assertTrue(log.endswith(lines[-1] + "\n"))

    def test_missing_device(self):
        term = self.start_program("-f", self.results_log)
        enter_serial(term, "F1")
        self.expect_failure(term, "Cannot find the USB Device - Quitting (press any key): ",
                            "FAIL!! - Cannot find the USB Device")

    def test_device_locked_by_another_process(self):
        sim = self.start_simulator(*BENCH)
        sim.command("lock on")
        term = self.start_program("-f", self.results_log)
        enter_serial(term, "F1")
        self.expect_failure(term, "Cannot open the USB device. Is kw_server running? - Quitting "
                            "(press any key): ", "FAIL!! - Cannot open the USB Device")
        # The device was never claimed, so nothing was asked of the board.
        self.assertEqual(sim.records(), [])

    def test_device_that_is_no_terminal(self):
        plain = os.path.join(self.tmp, "not-a-tty")
        with open(plain, "w"):
            pass
        os.symlink(plain, DEVICE)
        term = self.start_program("-f", self.results_log)
        enter_serial(term, "F1")
        self.expect_failure(term, "Cannot set up the USB device? - Quitting (press any key): ",
                            "FAIL!! - Cannot set up the USB Device")
        self.assertEqual(os.path.getsize(plain), 0)

    def check_no_data(self, fault):
        sim = self.start_simulator(*BENCH, fault)
        term = self.start_program("-f", self.results_log)
        enter_serial(term, "F1")
        term.wait_for(lambda: sim.records(), 10, "the first request")
        first = sim.records()[0][0]
        prompt = "Not seeing any data flowing from the USB device? - Quitting (press any key): "
        term.wait_for_flowing_text(21, 4, prompt, timeout=15)
        shown = time.monotonic()
        # 25 attempts of 200 ms each before giving up.
        self.assertGreaterEqual(shown - first, 5.0)
        self.assertLess(shown - first, 8.0)
        bursts_before = [t for t in burst_times(sim.records()) if t < shown - 0.1]
        self.assertIn(len(bursts_before), range(25, 27))
        # The prompt's key wait goes on polling the open device.
        sim.command("record clear")
        self.expect_failure(term, prompt, "FAIL!! - No data from the USB Device", key_wait=1.2)
        self.assertGreaterEqual(len(burst_times(sim.records())), 4)

    def test_silent_board(self):
        self.check_no_data("fault silence")

    def test_board_that_never_sends_its_version(self):
        self.check_no_data("fault noversion")


if __name__ == "__main__":
    unittest.main()
