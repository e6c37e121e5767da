"""The real program against a misbehaving board: under each fault the
simulator injects it keeps running, keeps the last good readings on its
debug screen, and the operator can still finish with a complete log."""

import unittest

from harness import BENCH, DEBUG_HEADER, FIRST_TEST_TITLE, PLAN_TEST_COUNT, DeviceTestCase, result_lines

GOOD = {8: "    Battery Capacity : 64 %", 4: "    System Voltage   : 13.90V"}
CHANGED = {8: "    Battery Capacity : 55 %", 4: "    System Voltage   : 12.90V"}
# (fault, what the debug screen shows while it lasts, the command that ends it)
FAULTS = [
    ("fault crlf", CHANGED, None),
    ("fault garbage", CHANGED, None),
    ("fault split", CHANGED, None),
    ("fault overlong 20000", CHANGED, None),
    ("fault silence", GOOD, "fault silence off"),
    # A zero byte drops the rest of its read on the host, so what shows
    # meanwhile is undefined; it must come right once the line is clean.
    ("fault nul", None, "fault clear"),
    ("fault vanish", GOOD, None),  # unplugged: the last readings stay
]


class RobustnessTest(DeviceTestCase):
    def shows(self, term, readings, timeout=3.0):
        term.wait_for(lambda: all(term.row(n).startswith(text) for n, text in readings.items()), timeout,
                      repr(readings))

    def test_each_fault_then_finish_through_the_menu(self):
        for fault, during, end in FAULTS:
            with self.subTest(fault):
                sim, term = self.start_run(*BENCH)
                term.send("d")
                term.wait_for_text(0, DEBUG_HEADER)
                self.shows(term, GOOD)
                for command in (fault, "capacity 55", "j1 13.0"):
                    sim.command(command)
                term.idle(1.5)
                self.assertTrue(term.child.isalive())
                if during:
                    self.shows(term, during, 0.5)
                if end:
                    sim.command(end)
                    self.shows(term, CHANGED)
                term.send("y")
                term.wait_for_text(0, FIRST_TEST_TITLE)
                term.send("m")
                term.wait_for_text(0, "Select Dynelle Test")
                term.send("q")
                self.assertEqual(term.wait_exit(), 0)
                log = self.read_results_log()
                self.assertIn("PASSED - Initialisation Tests\n", log)
                self.assertEqual(len(result_lines(log)), PLAN_TEST_COUNT)
                self.assertTrue(log.endswith(result_lines(log)[-1] + "\n"))
                sim.stop()

    def test_unplugged_device_then_quit_inside_a_test(self):
        sim, term = self.start_run(*BENCH)
        sim.command("fault vanish")
        term.idle(1.5)
        term.send("q")
        self.assertEqual(term.wait_exit(), 255)
        self.assertEqual(len(result_lines(self.read_results_log())), PLAN_TEST_COUNT)


if __name__ == "__main__":
    unittest.main()
