"""The program's link to the simulated board: initialisation and its failures, the debug screen, polling, a
silent or unplugged board, and the discharge logging mode (-p)."""

import os
import pathlib
import signal
import statistics
import subprocess
import time

from harness import APP_BIN, BENCH, DEBUG_PROMPT, DEVICE, FIRST_TEST_TITLE, LED_KEYS, DeviceTestCase, enter_serial, \
    result_lines, Simulator, spawn, wait_until

BURST = ["C", "V", "T", "P", "S", "A", "B", "G"]
CHANGED = {8: "    Battery Capacity : 55 %", 4: "    System Voltage   : 12.90V"}


class BoardLinkTest(DeviceTestCase):
    def test_missing_then_live_readings_polling_i_and_each_fault_on_the_debug_screen(self):
        # A board that sends one version line and nothing else: no reading ever reported.
        sim = Simulator(self, "fault silence", *BENCH)
        term = self.start_program("-f", self.results_log)
        enter_serial(term, "P100")
        term.wait_for(sim.record_count, 10.0, "the first request")
        sim.command("send V2.07 build 5 (Nov 12 2026)")
        term.wait_for_rows({0: FIRST_TEST_TITLE, 2: "     (Active Power Source: N/A at N/AV)", 23: LED_KEYS})
        self.assertRegex(pathlib.Path(self.results_log).read_text(), r"^Dynelle Test Log\n~{20}\n\nTests Started: "
                         r".*\nSerial No: P100\ntr417 sw version: V2\.07 build 5 \(Nov 12 2026\)\n\n"
                         r"PASSED - Initialisation Tests\n$")
        term.send("d")
        term.wait_for_rows({0: "Dynelle Test Debug - TR417 SW Version : V2.07 build 5 (Nov 12 2026)", 23: DEBUG_PROMPT,
                            4: "    System Voltage   : -100.00V                (m-100.00V,   m-100.00V)",
                            6: "    Analog Fuel Gauge: Not Connected", 7: "    Battery Voltage  : No Battery",
                            10: "    Time To Empty    : -100000 mins", 13: "    6-Pin J1 (ACDC D7) : N/A",
                            18: "    Single Wire (G-Plate): data not available"})
        sim.command("fault silence off")
        term.wait_for_rows({8: "    Battery Capacity : 64 %          (Read from Battery Protocol)",
                            13: "    6-Pin J1 (ACDC D7) : Yes"})
        # i starts the minimum and maximum afresh from the present rail, the minimum in red at 10.4 V.
        sim.bench(term, "set S 10400")
        term.send("i")
        term.wait_for_rows({4: "    System Voltage   : 10.40V                (min10.40V,   max10.40V)"})
        self.assertEqual({(term.screen.buffer[4][c].fg, term.screen.buffer[4][c].bold) for c in range(49, 54)},
                         {("red", True)})

        def shows(readings, *commands):
            for text in commands:
                sim.command(text)
            term.wait_for(lambda: all(term.row(n).startswith(text) for n, text in readings.items()), 10.0,
                          repr(readings))
        shows({8: "    Battery Capacity : 64 %", 4: "    System Voltage   : 13.90V"}, "unset S")
        sim.command("record clear")
        self.assertLess(term.cpu_share(4.0), 0.01)
        stamps, lines = zip(*sim.records())
        self.assertEqual(list(lines), BURST * (len(lines) // len(BURST)))  # whole bursts, in order
        starts = stamps[::len(BURST)]
        # The program never polls faster than its 200 ms step; a busy machine
        # may only make the steps longer, so the upper bound is generous.
        self.assertTrue(8 <= len(starts) < 21 and 0.195 <= statistics.median(
            [b - a for a, b in zip(starts, starts[1:])]) < 0.5, starts)
        # How bytes become readings (line ends, split reads, zero bytes, bad lines) is the
        # board-replies fuzz oracle's; here a change reaches the screen, then the board goes.
        shows(CHANGED, "capacity 55", "j1 13.0")
        shows(CHANGED, "fault vanish", "capacity 64", "j1 14.0")  # unplugged: the last readings stay
        term.send("nq\r")  # and only y leaves
        term.idle(1.5)
        shows(CHANGED)
        for key, screen in (("Y", FIRST_TEST_TITLE), ("m", "Select Dynelle Test")):
            term.send(key)
            term.wait_for_text(0, screen)
        term.send("q")
        self.expect_log(term, 0)
        # Diagnostics from while the console was up come after it (held messages).
        self.assertIn("[E]> bool DynelleUSBProtocolLowLevel::sendLine(const QString&):  Error 5: Input/output error",
                      term.after_console())

    def test_initialisation_failures(self):
        plain, no_data = os.path.join(self.tmp, "not-a-tty"), "Not seeing any data flowing from the USB device?"
        # (bench, whether a plain file stands in for the node (last: it stays), prompt, log line after "FAIL!! - ")
        for bench, node, prompt, failure in [
                ((*BENCH, "lock on"), False, "Cannot open the USB device. Is kw_server running?",
                 "Cannot open the USB Device"),
                ((*BENCH, "fault noversion"), False, no_data, "No data from the USB Device"),
                ((), True, "Cannot set up the USB device?", "Cannot set up the USB Device")]:
            with self.subTest(bench=bench, node=node):
                if node:
                    open(plain, "w").close()
                    os.symlink(plain, DEVICE)
                sim = Simulator(self, *bench) if bench else None
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


class DischargeTest(DeviceTestCase):
    def test_lines_about_once_a_second_only_on_capacity_or_gauge_change(self):
        run = subprocess.run([APP_BIN, "-p"], stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
        self.assertEqual((run.returncode, run.stdout.decode().splitlines()[-1]), (255, "Cant Initialise interface"))
        sim = Simulator(self, "plate g", "capacity 80", "gauge 78", "raw 2048")
        out = pathlib.Path(self.tmp, "discharge.csv")
        with open(out, "wb") as stdout:  # as people record a discharge curve
            proc = spawn(self, [APP_BIN, "-p"], stdout=stdout)
        started = time.monotonic()

        def lines():
            return out.read_text().splitlines()

        def polls():  # the program's one-second steps so far: each starts with "D 41"
            return sum(line == "D 41" for _, line in sim.records())

        wait_until(lambda: len(lines()) >= 2, "first data line")
        # A line only when the capacity or the gauge changes: after a raw change, two steps pass without one.
        for command, count in [("raw 1999", 2), ("gauge 77", 3), ("capacity 79", 4), ("plate none", 5)]:
            steps = polls()
            sim.command(command)
            wait_until(lambda: polls() >= steps + 2 and len(lines()) >= count, command)
        self.assertEqual(lines()[:1] + [line.partition(",")[2] for line in lines()[1:]],
                         ["delta,batteryCapacity,analogFuelGauge,rawAnalogFuelGauge", "80,78,2048", "80,77,1999",
                          "79,77,1999", "-1,-1,1999"])
        deltas = [int(line.partition(",")[0]) for line in lines()[1:]]
        # Its own clock, in seconds: rising with each line, never ahead of the wall clock.
        self.assertTrue(0 < deltas[0] < deltas[1] < deltas[2] < deltas[3] <= time.monotonic() - started + 1, deltas)
        proc.send_signal(signal.SIGINT)  # the way out
        self.assertEqual(proc.wait(5), -signal.SIGINT)
