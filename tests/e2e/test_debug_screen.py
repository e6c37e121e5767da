"""The debug screen in a real terminal against the simulated board: the
wording before any reply, live readings, the colours of the system-voltage
minimum and maximum at their thresholds, the byte counters, i and Y."""

import re
import unittest

from harness import BENCH, DEBUG_HEADER, DEBUG_PROMPT, FIRST_TEST_TITLE, LED_KEYS, VERSION, DeviceTestCase, \
    await_fresh_readings, enter_serial, result_lines

# Every row but the USB device line (row 2), which carries the byte counters.
NOTHING_REPORTED = {
    0: DEBUG_HEADER,
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
    23: DEBUG_PROMPT,
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
# (rail mV, style of the minimum, of the maximum); neighbours differ in their
# two-decimal text, so figures from before a reset never pass for new ones.
RED, YELLOW, PLAIN = ("red", True), ("yellow", True), ("white", False)
THRESHOLDS = [(10400, RED, PLAIN), (17800, PLAIN, RED), (10401, YELLOW, PLAIN), (17300, PLAIN, YELLOW),
              (10700, YELLOW, PLAIN), (17299, PLAIN, PLAIN), (10701, PLAIN, PLAIN), (17799, PLAIN, YELLOW)]


def field_style(term, row, col, length):
    """The colour and boldness of a field, which must be uniform. The
    emulator calls colour 3 brown, and ordinary text (the terminal's own
    white) default until the first colour change."""
    names = {"brown": "yellow", "default": "white"}
    styles = {(names.get(cell.fg, cell.fg), cell.bold) for cell in
              (term.screen.buffer[row][c] for c in range(col, col + length))}
    assert len(styles) == 1, styles
    return styles.pop()


def counters(term):
    """TX and RX from the USB device line, laid out as its template lays it."""
    line = term.row(2)
    numbers = tuple(int(n) for n in re.findall(r"\d+", line[-24:]))
    assert line == "    USB Device       : %-15s   TX(%8d) RX(%8d)" % ("/dev/tr417_app", *numbers), line
    return numbers


class DebugScreenTest(DeviceTestCase):
    def open_debug_screen(self, term):
        term.send("d")
        term.wait_for_rows({0: DEBUG_HEADER, 23: DEBUG_PROMPT}, 5)

    def expect_rows(self, term, rows):
        term.wait_for_rows({n: rows.get(n, "") for n in range(24) if n != 2}, 3)

    def redraws(self, term, count=4):
        """The counters at `count` successive redraws."""
        seen, line = [counters(term)], term.row(2)
        while len(seen) < count:
            term.wait_for(lambda: term.row(2) != line, 3, "a redraw")  # then the whole frame
            seen.append(counters(term))
            line = term.row(2)
        return seen

    def test_missing_readings_then_live_readings_and_i(self):
        # A board that sends one version line and nothing else: past the
        # initialisation, no reading ever reported.
        sim = self.start_simulator("fault silence", *BENCH)
        term = self.start_program("-f", self.results_log)
        enter_serial(term, "DBG1")
        term.wait_for(sim.record_count, 10.0, "the first request")
        sim.command("send " + VERSION)
        term.wait_for_rows({0: FIRST_TEST_TITLE, 2: "     (Active Power Source: N/A at N/AV)", 23: LED_KEYS})
        self.open_debug_screen(term)
        self.expect_rows(term, NOTHING_REPORTED)
        # The requests go on going out, 16 bytes a burst before each redraw.
        seen = self.redraws(term)
        self.assertEqual([b[0] - a[0] for a, b in zip(seen, seen[1:])], [16, 16, 16])
        self.assertEqual({rx for _, rx in seen}, {len(VERSION) + 1})
        self.assertEqual([field_style(term, 4, 49, 7), field_style(term, 4, 62, 7)], [RED, PLAIN])

        sim.command("fault silence off")
        self.expect_rows(term, G_PLATE_ON_J1)
        seen = self.redraws(term)
        self.assertEqual([b[0] - a[0] for a, b in zip(seen, seen[1:])], [16, 16, 16])
        self.assertGreater(seen[-1][1], seen[0][1])
        # The battery alone: it discharges, the minimum follows the rail down.
        for action in ("j3 12.0", "j1 0"):
            sim.command(action)
        self.expect_rows(term, {**G_PLATE_ON_J1, **{
            4: "    System Voltage   : 11.90V                (min11.90V,   max13.90V)",
            10: "    Time To Empty    : 153 mins",
            13: "    6-Pin J1 (ACDC D7) : No",
            15: "    2-Pin J3 ( BAT D9) : Yes"}})
        term.send("i")  # both start afresh from the present rail
        term.wait_for_text(4, "(min11.90V,   max11.90V)")
        self.assertEqual(term.row(23), DEBUG_PROMPT)

    def test_minimum_and_maximum_colours(self):
        # Rails no input window lets through, so the reply is set directly.
        sim, term = self.start_run(*BENCH)
        self.open_debug_screen(term)
        for millivolts, minimum, maximum in THRESHOLDS:
            with self.subTest(millivolts):
                sim.command("set S %d" % millivolts)
                await_fresh_readings(term, sim)
                term.send("i")
                figure = "%2.2f" % (millivolts / 1000.0)
                term.wait_for_rows({4: "    System Voltage   : %sV                (min%sV,   max%sV)"
                                    % (figure, figure, figure)}, 3)
                self.assertEqual([field_style(term, 4, 49, 5), field_style(term, 4, 62, 5),
                                  field_style(term, 4, 4, 45)], [minimum, maximum, PLAIN])

    def test_y_restarts_a_group_from_its_first_stage(self):
        sim, term = self.start_run("j2 14.0")
        term.send("m")
        term.wait_for_text(0, "Select Dynelle Test")
        term.send("3")
        title = "ACDC Falling 10V4 Threshold Check with Max Load TR250"
        term.wait_for_text(0, title + " - Stages 1 to 4")
        for action in ("j1 11.6", "j2 11.6"):
            sim.command(action)
        term.wait_for_text(2, "(Active Power Source: ACDC at 11.5V)")
        term.send("y")
        term.wait_for(lambda: term.row(0) == title + " - Stage 5" and term.row(8).startswith("  5."), 5, "stage 5")
        self.open_debug_screen(term)
        # The rail was 13.9 V before: the minimum and maximum start afresh.
        term.wait_for_text(4, "    System Voltage   : 11.50V                (min11.50V,   max11.50V)")
        for key in "nqmrd\r":  # every key but y keeps the screen up
            term.send(key)
        term.idle(1.0)
        self.assertEqual(term.row(0), DEBUG_HEADER)
        term.send("Y")
        term.wait_for(lambda: term.row(0) == title + " - Stages 1 to 4" and not term.row(8), 5, "the first stage")
        term.send("q")
        self.assertEqual(term.wait_exit(), 255)
        self.assertEqual(result_lines(self.read_results_log())[:3],
                         ["Not Run - ACDC Input and LED Test", "Not Run - DC Input and LED Test",
                          "Not Run - " + title])


if __name__ == "__main__":
    unittest.main()
