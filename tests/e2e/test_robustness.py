"""The real program against a misbehaving board: with each fault the
simulator can inject, the program keeps running, keeps the last good
readings on its debug screen, and the operator can still finish the run with
a complete results log."""

import time
import unittest

from harness import FIRST_TEST_TITLE, PLAN_TEST_COUNT, DeviceTestCase, enter_serial, result_lines

BENCH = ("j1 14.0", "plate g", "capacity 64", "gauge 61", "battery 12.3")
GOOD = {"capacity": "64 %", "voltage": "13.90V"}
CHANGED = {"capacity": "55 %", "voltage": "12.90V"}
CHANGE = ("capacity 55", "j1 13.0")


class RobustnessTest(DeviceTestCase):
    def open_debug_screen(self, sim):
        term = self.start_program("-f", self.results_log)
        enter_serial(term, "R1")
        term.wait_for_text(0, FIRST_TEST_TITLE)
        term.send("d")
        term.wait_for_text(0, "Dynelle Test Debug - TR417 SW Version : V1.0 tr417_sim")
        self.expect_readings(term, GOOD)
        return term

    def expect_readings(self, term, readings, timeout=3.0):
        term.wait_for_text(8, "Battery Capacity : " + readings["capacity"], timeout)
        term.wait_for_text(4, "System Voltage   : " + readings["voltage"], timeout)

    def hold(self, term, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            term.pump(0.1)
        self.assertTrue(term.alive())

    def finish_through_menu(self, term):
        term.send("y")  # leave the debug screen
        term.wait_for_text(0, FIRST_TEST_TITLE)
        term.send("m")
        term.wait_for_text(0, "Select Dynelle Test")
        term.send("q")
        self.assertEqual(term.wait_exit(), 0)
        log = self.read_results_log()
        self.assertIn("PASSED - Initialisation Tests\n", log)
        lines = result_lines(log)
        self.assertEqual(len(lines), PLAN_TEST_COUNT)
        self.assertTrue(log.endswith(lines[-1] + "\n"))

    def test_faults_that_lose_nothing(self):
        # Replies that arrive mangled but complete must still be read right.
        for fault in ("fault crlf", "fault garbage", "fault split"):
            with self.subTest(fault):
                sim = self.start_simulator(*BENCH)
                term = self.open_debug_screen(sim)
                sim.command(fault)
                for command in CHANGE:
                    sim.command(command)
                self.expect_readings(term, CHANGED)
                self.hold(term, 1.0)
                self.expect_readings(term, CHANGED, timeout=0.5)
                self.finish_through_menu(term)
                sim.stop()

    def test_overlong_line(self):
        sim = self.start_simulator(*BENCH)
        term = self.open_debug_screen(sim)
        sim.command("fault overlong 20000")
        for command in CHANGE:
            sim.command(command)
        self.expect_readings(term, CHANGED)
        self.finish_through_menu(term)

    def test_silence_keeps_the_last_good_readings(self):
        sim = self.start_simulator(*BENCH)
        term = self.open_debug_screen(sim)
        sim.command("fault silence")
        for command in CHANGE:
            sim.command(command)
        self.hold(term, 1.5)
        self.expect_readings(term, GOOD, timeout=0.5)
        sim.command("fault silence off")
        self.expect_readings(term, CHANGED)
        self.finish_through_menu(term)

    def test_nul_bytes(self):
        # A zero byte drops the rest of its read chunk on the host, so what
        # the program sees meanwhile is undefined; it must survive and come
        # right once the line is clean again.
        sim = self.start_simulator(*BENCH)
        term = self.open_debug_screen(sim)
        sim.command("fault nul")
        for command in CHANGE:
            sim.command(command)
        self.hold(term, 1.5)
        sim.command("fault clear")
        self.expect_readings(term, CHANGED)
        self.finish_through_menu(term)

    def test_unplugged_device(self):
        sim = self.start_simulator(*BENCH)
        term = self.open_debug_screen(sim)
        sim.command("fault vanish")
        for command in CHANGE:
            sim.command(command)
        self.hold(term, 2.0)
        # The last readings stay on show; the operator can still finish.
        self.expect_readings(term, GOOD, timeout=0.5)
        self.finish_through_menu(term)

    def test_unplugged_device_then_quit_inside_a_test(self):
        sim = self.start_simulator(*BENCH)
        term = self.start_program("-f", self.results_log)
        enter_serial(term, "R2")
        term.wait_for_text(0, FIRST_TEST_TITLE)
        sim.command("fault vanish")
        self.hold(term, 1.5)
        term.send("q")
        self.assertEqual(term.wait_exit(), 255)
        self.assertEqual(len(result_lines(self.read_results_log())), PLAN_TEST_COUNT)


if __name__ == "__main__":
    unittest.main()
