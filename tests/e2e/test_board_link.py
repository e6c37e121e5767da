"""The real program's link to the simulated board: the initialisation pass
and its failures, the polling while a screen waits for a key, a misbehaving
or unplugged board mid-run, and the discharge logging mode (-p)."""

import os
import pathlib
import signal
import statistics
import subprocess
import time

from harness import APP_BIN, BENCH, DEBUG_HEADER, DEVICE, FIRST_TEST_TITLE, DeviceTestCase, enter_serial, result_lines

BURST = ["C", "V", "T", "P", "S", "A", "B", "G"]
GOOD = {8: "    Battery Capacity : 64 %", 4: "    System Voltage   : 13.90V"}
CHANGED = {8: "    Battery Capacity : 55 %", 4: "    System Voltage   : 12.90V"}


class BoardLinkTest(DeviceTestCase):
    def test_pass_then_the_key_wait_polls_five_times_a_second(self):
        sim, term = self.start_run(*BENCH, "version 2.07 build 5 (Nov 12 2026)", serial="P100")
        self.assertRegex(pathlib.Path(self.results_log).read_text(), r"^Dynelle Test Log\n~{20}\n\nTests Started: "
                         r".*\nSerial No: P100\ntr417 sw version: V2\.07 build 5 \(Nov 12 2026\)\n\n"
                         r"PASSED - Initialisation Tests\n$")
        sim.command("record clear")
        self.assertLess(term.cpu_share(4.0), 0.01)
        records = sim.records()
        lines = [line for _, line in records]
        self.assertEqual(lines, BURST * (len(lines) // len(BURST)))  # whole bursts, in order
        starts = [stamp for stamp, _ in records[::len(BURST)]]
        # The program never polls faster than its 200 ms step; a busy machine
        # may only make the steps longer, so the upper bound is generous.
        self.assertTrue(8 <= len(starts) < 21 and 0.195 <= statistics.median(
            [b - a for a, b in zip(starts, starts[1:])]) < 0.5, starts)
        term.send("q")
        self.expect_log(term, 255)

    def test_initialisation_failures(self):
        plain, no_data = os.path.join(self.tmp, "not-a-tty"), "Not seeing any data flowing from the USB device?"
        # (bench, whether a plain file stands in for the node (last: it stays), prompt, log line after "FAIL!! - ")
        for bench, node, prompt, failure in [
                ((), False, "Cannot find the USB Device", "Cannot find the USB Device"),
                ((*BENCH, "lock on"), False, "Cannot open the USB device. Is kw_server running?",
                 "Cannot open the USB Device"),
                ((*BENCH, "fault noversion"), False, no_data, "No data from the USB Device"),
                ((), True, "Cannot set up the USB device?", "Cannot set up the USB Device")]:
            with self.subTest(bench=bench, node=node):
                if node:
                    open(plain, "w").close()
                    os.symlink(plain, DEVICE)
                sim = self.start_simulator(*bench) if bench else None
                term = self.start_program("-f", self.results_log)
                enter_serial(term, "F1")
                prompt += " - Quitting (press any key): "  # the longer ones wrap at the right edge
                term.wait_for(lambda: "".join(term.screen.display[21:])[4:4 + len(prompt)] == prompt, 15, prompt)
                term.send(" ")
                lines = self.expect_log(term, 255)
                self.assertEqual(lines[4:6], ["Serial No: F1", "FAIL!! - " + failure])
                self.assertTrue(all(line.startswith("Not Run - ") for line in result_lines("\n".join(lines[6:]))))
                if sim:
                    sim.stop()
                os.unlink(self.results_log)

    def test_each_fault_then_finish_through_the_menu(self):
        def shows(readings, timeout=10.0):
            term.wait_for(lambda: all(term.row(n).startswith(text) for n, text in readings.items()), timeout,
                          repr(readings))
        # (fault, what the debug screen shows while it lasts, the command that ends it); a zero
        # byte drops the rest of its read, so only the recovery counts; unplugged, the last readings stay.
        for fault, during, end in [("fault crlf", CHANGED, None), ("fault garbage", CHANGED, None),
                                   ("fault split", CHANGED, None), ("fault overlong 20000", CHANGED, None),
                                   ("fault silence", GOOD, "fault silence off"), ("fault nul", None, "fault clear"),
                                   ("fault vanish", GOOD, None)]:
            with self.subTest(fault):
                sim, term = self.start_run(*BENCH)
                term.send("d")
                term.wait_for_text(0, DEBUG_HEADER)
                shows(GOOD)
                for command in (fault, "capacity 55", "j1 13.0"):
                    sim.command(command)
                if during is CHANGED:
                    shows(during, 10.0)
                elif during is GOOD:  # nothing may change: watch for a while (the board gone: nothing to count)
                    term.idle(1.5) if fault == "fault vanish" else sim.bench(term)
                    shows(during, 0.5)
                if end:
                    sim.command(end)
                    shows(CHANGED)
                for key, screen in (("y", FIRST_TEST_TITLE), ("m", "Select Dynelle Test")):
                    term.send(key)
                    term.wait_for_text(0, screen)
                term.send("q")
                self.expect_log(term, 0)
                sim.stop()


def wait_until(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while not predicate():
        assert time.monotonic() < deadline, "no " + what
        time.sleep(0.05)


class DischargeTest(DeviceTestCase):
    def test_lines_about_once_a_second_only_on_capacity_or_gauge_change(self):
        sim = self.start_simulator("plate g", "capacity 80", "gauge 78", "raw 2048")
        out = pathlib.Path(self.tmp, "discharge.csv")
        with open(out, "wb") as stdout:  # as people record a discharge curve
            proc = subprocess.Popen([APP_BIN, "-p"], stdin=subprocess.DEVNULL, stdout=stdout)
        self.addCleanup(lambda: proc.poll() is None and (proc.kill(), proc.wait()))
        started = time.monotonic()

        def lines():
            return out.read_text().splitlines()

        def polls():  # the program's one-second steps so far: each starts with "D 41"
            return sum(line == "D 41" for _, line in sim.records())

        wait_until(lambda: len(lines()) >= 2, 10.0, "first data line")
        self.assertEqual(lines()[:2], ["delta,batteryCapacity,analogFuelGauge,rawAnalogFuelGauge", lines()[1]])
        self.assertRegex(lines()[1], r"^[1-9]\d*,80,78,2048$")
        # (command, the last three fields of the new line; None: no new line)
        for command, fields in [("raw 1999", None), ("gauge 77", "80,77,1999"), ("capacity 79", "79,77,1999"),
                                ("version 9.9", None), ("plate none", "-1,-1,1999")]:
            with self.subTest(command):
                before, steps = lines(), polls()
                sim.command(command)
                if fields:
                    wait_until(lambda: len(lines()) > len(before), 10.0, "line after " + command)
                else:  # the reply to a request sent after the change has been read by the second step
                    wait_until(lambda: polls() >= steps + 2, 10.0, "two more steps")
                after = lines()
                self.assertEqual(len(after), len(before) + (fields is not None))
                if fields:
                    delta, _, rest = after[-1].partition(",")
                    self.assertEqual(rest, fields)
                    # Its own clock: at least one second per step, never ahead of the wall clock.
                    self.assertTrue(steps + 1 <= int(delta) <= time.monotonic() - started + 1, (delta, steps))
        proc.send_signal(signal.SIGINT)  # the way out
        self.assertEqual(proc.wait(5), -signal.SIGINT)

    def test_without_device(self):
        run = subprocess.run([APP_BIN, "-p"], stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
        self.assertEqual((run.returncode, run.stdout.decode().splitlines()[-1]), (255, "Cant Initialise interface"))
