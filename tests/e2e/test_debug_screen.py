"""The debug screen of the real program in a real terminal against the
simulated board: the wording for readings the board has not reported, the
live readings, the colours of the system-voltage minimum and maximum at their
thresholds, the byte counters, the key i and the way back with Y."""

import re
import time
import unittest

from harness import FIRST_TEST_TITLE, DeviceTestCase, enter_serial, result_lines
from test_plan_run import await_fresh_readings, settling

VERSION = "V1.0 tr417_sim"
HEADER = "Dynelle Test Debug - TR417 SW Version : " + VERSION
USB_ROW = re.compile(r"^    USB Device       : (\S+) +TX\( *(\d+)\) RX\( *(\d+)\)$")
LED_QUESTION = "    Do you see LED D7 On, LED D8 Off, LED D9 Off?"
LED_KEYS = "     Y or N (M)enu, (D)ebug, (Q)uit :"
BACK_PROMPT = "    Press (Y) to return to tests :"

# Every row of the screen except the USB device line (row 2), which carries
# the byte counters.
NOTHING_REPORTED = {
    0: HEADER,
    4: "    System Voltage   : -100.00V                (m-100.00V,   m-100.00V)",
    6: "    Analog Fuel Gauge: Not Connected",
    7: "    Battery Voltage  : No Battery",
    8: "    Battery Capacity : No Battery",
    10: "    Time To Empty    : -100000 mins",
    12: "  Power Sources",
    13: "    6-Pin J1 (ACDC D7) : N/A",
    14: "    4-Pin J2 (  DC D8) : N/A",
    15: "    2-Pin J3 ( BAT D9) : N/A",
    17: "  Battery Protocols",
    18: "    Single Wire (G-Plate): data not available",
    19: "    I2C (V-Plate)        : data not available",
    20: "    SMB (V-Plate)        : data not available",
    23: BACK_PROMPT,
}
G_PLATE_ON_J1 = {**NOTHING_REPORTED, **{
    4: "    System Voltage   : 13.90V                (min13.90V,   max13.90V)",
    6: "    Analog Fuel Gauge: 61 % ~ 3.2V   (Only valid for G-Plate)",
    7: "    Battery Voltage  : 12.3V         (Read from Battery Protocol)",
    8: "    Battery Capacity : 64 %          (Read from Battery Protocol)",
    10: "    Time To Empty    : Not Discharging",
    13: "    6-Pin J1 (ACDC D7) : Yes",
    14: "    4-Pin J2 (  DC D8) : No",
    15: "    2-Pin J3 ( BAT D9) : No",
    18: "    Single Wire (G-Plate): Yes",
    19: "    I2C (V-Plate)        : No",
    20: "    SMB (V-Plate)        : No",
}}
BENCH = ("j1 14.0", "plate g", "capacity 64", "gauge 61", "battery 12.3")

# (rail mV, colour and boldness of the minimum, of the maximum). Consecutive
# figures differ in their two-decimal text, so a screen that still shows the
# figures from before a reset can never pass for the new one.
THRESHOLDS = [
    (10400, ("red", True), ("white", False)),
    (17800, ("white", False), ("red", True)),
    (10401, ("yellow", True), ("white", False)),
    (17300, ("white", False), ("yellow", True)),
    (10700, ("yellow", True), ("white", False)),
    (17299, ("white", False), ("white", False)),
    (10701, ("white", False), ("white", False)),
    (17799, ("white", False), ("yellow", True)),
]


def row(term, number):
    return term.screen_row(number).rstrip()


# The emulator names colour 3 brown; and as the program keeps the terminal's
# own colours for ordinary text (white on black), the "good" pair looks
# like ordinary text, which the emulator calls default before the first
# colour change and white after it.
COLOUR_NAMES = {"brown": "yellow", "default": "white"}


def field_style(term, number, col, length):
    """The colour and boldness of a field, which must be uniform."""
    cells = [term.screen.buffer[number][c] for c in range(col, col + length)]
    styles = {(COLOUR_NAMES.get(cell.fg, cell.fg), cell.bold) for cell in cells}
    if len(styles) != 1:
        raise AssertionError("mixed styles %r in %r" % (styles, "".join(cell.data for cell in cells)))
    return styles.pop()


def counters(term):
    """(device path, TX, RX) from the USB device line, which must be laid out
    as the fixed-width template lays it out."""
    line = row(term, 2)
    match = USB_ROW.match(line)
    if not match:
        raise AssertionError("USB device line %r" % line)
    path, tx, rx = match.group(1), int(match.group(2)), int(match.group(3))
    if line != "    USB Device       : %-15s   TX(%8d) RX(%8d)" % (path, tx, rx):
        raise AssertionError("USB device line %r" % line)
    return path, tx, rx


class DebugScreenCase(DeviceTestCase):
    def start_program(self, *args, **kwargs):
        return settling(super().start_program(*args, **kwargs))

    def start(self, *bench, serial="DBG1"):
        sim = self.start_simulator(*bench)
        term = self.start_program("-f", self.results_log)
        enter_serial(term, serial)
        return sim, term

    def open_debug_screen(self, term):
        term.wait_for(lambda: row(term, 23) == LED_KEYS, 10.0, "the question of the first test")
        term.send("d")
        term.wait_for(lambda: row(term, 0) == HEADER and row(term, 23) == BACK_PROMPT, 5.0, "the debug screen")

    def expect_rows(self, term, rows, timeout=3.0):
        """Waits for the screen to show exactly `rows` (row 2 excepted)."""
        def shown():
            return {n: row(term, n) for n in range(24) if n != 2}
        wanted = {n: rows.get(n, "") for n in range(24) if n != 2}
        try:
            term.wait_for(lambda: shown() == wanted, timeout, "the debug screen rows")
        except AssertionError:
            self.assertEqual(shown(), wanted)

    def redraws(self, term, count):
        """The USB device line's counters at `count` successive redraws."""
        seen = [counters(term)]
        deadline = time.monotonic() + 5.0
        while len(seen) < count and time.monotonic() < deadline:
            term.pump(0.05)
            if counters(term) != seen[-1]:
                term.pump(0.05)  # the rest of the frame
                seen.append(counters(term))
        self.assertEqual(len(seen), count, seen)
        return seen


class BeforeAndAfterRepliesTest(DebugScreenCase):
    def test_missing_readings_then_live_readings(self):
        # A board that sends nothing but one version line: the program gets
        # past its initialisation and no reading is ever reported.
        sim, term = self.start("fault silence", *BENCH)
        term.wait_for(lambda: int(sim.command("record count")[0]) > 0, 10.0, "the first request")
        sim.command("send " + VERSION)
        term.wait_for_text(0, FIRST_TEST_TITLE)
        term.wait_for_text(2, "     (Active Power Source: N/A at N/AV)")
        self.open_debug_screen(term)
        self.expect_rows(term, NOTHING_REPORTED)
        # Only the version line came in; the requests go on going out, 16
        # bytes a burst, one burst before each redraw.
        seen = self.redraws(term, 4)
        self.assertEqual({path for path, _, _ in seen}, {"/dev/tr417_app"})
        self.assertEqual({rx for _, _, rx in seen}, {len(VERSION) + 1})
        self.assertEqual([b[1] - a[1] for a, b in zip(seen, seen[1:])], [16, 16, 16])
        self.assertEqual(field_style(term, 4, 49, 7), ("red", True))      # -100.00 is below 10.4 V
        self.assertEqual(field_style(term, 4, 62, 7), ("white", False))

        sim.command("fault silence off")
        self.expect_rows(term, G_PLATE_ON_J1)
        seen = self.redraws(term, 4)
        self.assertEqual([b[1] - a[1] for a, b in zip(seen, seen[1:])], [16, 16, 16])
        self.assertGreater(seen[-1][2], seen[0][2])

        # Battery input only: the battery discharges; the rail falls to
        # 11.9 V and the minimum follows, the maximum stays.
        for action in ("j3 12.0", "j1 0"):
            sim.command(action)
        self.expect_rows(term, {**G_PLATE_ON_J1, **{
            4: "    System Voltage   : 11.90V                (min11.90V,   max13.90V)",
            10: "    Time To Empty    : 153 mins",
            13: "    6-Pin J1 (ACDC D7) : No",
            15: "    2-Pin J3 ( BAT D9) : Yes",
        }})
        # i starts both afresh from the present rail.
        term.send("i")
        term.wait_for_text(4, "(min11.90V,   max11.90V)")
        self.assertEqual(row(term, 23), BACK_PROMPT)

        # A V plate: no analog gauge; its battery speaks SMB, then I2C.
        sim.command("plate v")
        term.wait_for_text(6, "    Analog Fuel Gauge: Not Connected")
        term.wait_for_text(20, "    SMB (V-Plate)        : Yes")
        self.assertEqual([row(term, 18), row(term, 19)],
                         ["    Single Wire (G-Plate): No", "    I2C (V-Plate)        : No"])
        sim.command("protocol i2c")
        term.wait_for_text(19, "    I2C (V-Plate)        : Yes")
        self.assertEqual(row(term, 20), "    SMB (V-Plate)        : No")

        # Plate off: the board reports no battery.
        sim.command("plate none")
        self.expect_rows(term, {**NOTHING_REPORTED, **{
            4: "    System Voltage   : 11.90V                (min11.90V,   max11.90V)",
            10: "    Time To Empty    : No Battery",
            13: "    6-Pin J1 (ACDC D7) : No",
            14: "    4-Pin J2 (  DC D8) : No",
            15: "    2-Pin J3 ( BAT D9) : Yes",
        }})

        term.send("y")
        term.wait_for(lambda: row(term, 0) == FIRST_TEST_TITLE and row(term, 23) == LED_KEYS, 5.0,
                      "the first test again")
        term.send("q")
        self.assertEqual(term.wait_exit(), 255)


class ThresholdColoursTest(DebugScreenCase):
    def test_minimum_and_maximum_colours(self):
        # Rails beyond what an input's acceptance window lets through, so the
        # board's system-voltage reply is set directly.
        sim, term = self.start(*BENCH)
        self.open_debug_screen(term)
        for millivolts, minimum, maximum in THRESHOLDS:
            with self.subTest(millivolts):
                sim.command("set S %d" % millivolts)
                await_fresh_readings(term, sim)
                term.send("i")
                figure = "%2.2f" % (millivolts / 1000.0)
                term.wait_for(lambda: row(term, 4)[49:54] == figure and row(term, 4)[62:67] == figure, 3.0,
                              "minimum and maximum %s" % figure)
                self.assertEqual(row(term, 4), "    System Voltage   : %sV                (min%sV,   max%sV)"
                                 % (figure, figure, figure))
                self.assertEqual(field_style(term, 4, 49, 5), minimum)
                self.assertEqual(field_style(term, 4, 62, 5), maximum)
                # The rest of the line is ordinary text.
                self.assertEqual(field_style(term, 4, 4, 45), ("white", False))
        term.send("y")
        term.wait_for_text(0, FIRST_TEST_TITLE)
        term.send("q")
        self.assertEqual(term.wait_exit(), 255)


class ReturnToTheTestTest(DebugScreenCase):
    def test_y_restarts_the_test_that_asked_for_the_debug_screen(self):
        sim, term = self.start("j2 14.0")
        # From the error prompt of the first test (the wrong input is live).
        term.wait_for(lambda: row(term, 23) == LED_KEYS, 10.0, "the question")
        term.send("y")
        term.wait_for_text(21, "    ERROR: Unexpected Power Sources Indicated")
        term.send("d")
        term.wait_for(lambda: row(term, 0) == HEADER and row(term, 23) == BACK_PROMPT, 5.0, "the debug screen")
        term.wait_for_text(14, "    4-Pin J2 (  DC D8) : Yes")
        for key in "nqmrd\r":  # every key but y keeps the screen up
            term.send(key)
        end = time.monotonic() + 1.0
        while time.monotonic() < end:
            term.pump(0.1)
            self.assertEqual(row(term, 0), HEADER)
        term.send("Y")
        term.wait_for(lambda: row(term, 0) == FIRST_TEST_TITLE and row(term, 21) == LED_QUESTION
                      and row(term, 23) == LED_KEYS, 5.0, "the first test from its start")

        # From the second stage of a group: the group starts again from its
        # first stage. On the way in, the minimum and maximum start afresh.
        term.send("m")
        term.wait_for_text(0, "Select Dynelle Test")
        term.send("3")
        stage_1 = "ACDC Falling 10V4 Threshold Check with Max Load TR250 - Stages 1 to 4"
        stage_5 = "ACDC Falling 10V4 Threshold Check with Max Load TR250 - Stage 5"
        term.wait_for_text(0, stage_1)
        for action in ("j1 11.6", "j2 11.6"):
            sim.command(action)
        term.wait_for_text(2, "(Active Power Source: ACDC at 11.5V)")
        term.send("y")
        term.wait_for(lambda: row(term, 0) == stage_5 and row(term, 8).startswith("  5."), 5.0, "stage 5")
        term.send("d")
        term.wait_for(lambda: row(term, 0) == HEADER and row(term, 23) == BACK_PROMPT, 5.0, "the debug screen")
        # The rail was at 13.9 V before; the debug screen starts afresh.
        term.wait_for_text(4, "    System Voltage   : 11.50V                (min11.50V,   max11.50V)")
        term.send("y")
        term.wait_for(lambda: row(term, 0) == stage_1 and not row(term, 8), 5.0, "the group's first stage")
        term.send("q")
        self.assertEqual(term.wait_exit(), 255)
        lines = result_lines(self.read_results_log())
        self.assertEqual(lines[:3], ["FAIL!!  - ACDC Input and LED Test", "Not Run - DC Input and LED Test",
                                     "Not Run - ACDC Falling 10V4 Threshold Check with Max Load TR250"])


if __name__ == "__main__":
    unittest.main()
