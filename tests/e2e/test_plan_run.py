"""Whole runs of the built-in test plan against the simulated bench, set as
an operator would set it by reading each screen's instructions, so the
board's replies come from the simulator's model; and the debug screen: the
wording before any reply, live readings, the colours of the system-voltage
minimum and maximum at their thresholds, the byte counters and i."""

import re

from harness import BENCH, DEBUG_HEADER, DEBUG_PROMPT, FIRST_TEST_TITLE, LED_KEYS, MENU_PROMPT, SUMMARY_PROMPT, \
    VERSION, DeviceTestCase, await_fresh_readings, enter_serial

MARKED = "    Press Y to continue or (M)enu, (D)ebug, (Q)uit:"
BATTERY = "    Press Y to continue, (S)kip this Test or (M)enu, (D)ebug, (Q)uit:"
POWER_KEYS = " (R)etry, (N)ext Test, (M)enu, (D)ebug or (Q)uit :"
RETRY_KEYS = " (R)etry, (N)ext Test, (M)enu or (Q)uit :"
# Each group's screens, a stage each: the live source and rail volts with the
# bench as instructed. Falling thresholds mark the keys in bold.
GROUPS = {"ACDC": "ACDC 11.5, DC 11.5 | DC 16.3, ACDC 11.5 | ACDC 16.3, DC 16.3 | DC 11.5, ACDC 16.3",
          "DC": "DC 11.5, Batt 11.5 | Batt 16.3, DC 11.5 | DC 16.3, Batt 16.3 | Batt 11.5, DC 16.3",
          "Batt": "DC 11.5, DC 11.5 | DC 16.3, DC 16.3 | DC 16.3, DC 16.3 | DC 11.5, DC 11.5"}


def groups(source):
    return [("%s %s Threshold Check with Max Load TR250" % (source, kind),
             [(*screen.split(), "marked" if kind.startswith("F") else "plain") for screen in stages.split(", ")])
            for kind, stages in zip(("Falling 10V4", "Rising 10V7", "Rising 17V8", "Falling 17V3"),
                                    GROUPS[source].split(" | "))]


# Each entry's title and screens: (live source, rail volts, prompt kind).
ENTRIES = [("ACDC Input and LED Test", [("ACDC", "13.9", "led")]), ("DC Input and LED Test", [("DC", "13.9", "led")]),
           *groups("ACDC"), ("BAT Input and Test", [("Batt", "13.9", "led")]), *groups("DC"), *groups("Batt")] + [
    (title, [(None, None, "battery")]) for title in ("Battery V Plate I2C Protocol Tests",
                                                   "Battery V Plate SMB Protocol Tests",
                                                   "Battery G Plate Single Wire Protocol/ Analog Fuel Gauge Tests")]
# Prompt kind: (row 21, row 23, bold letters of row 23); row 21 None: a question.
PROMPTS = {"led": (None, LED_KEYS, "YNMDQ"), "marked": ("", MARKED, "YMDQ"), "plain": ("", MARKED, ""),
           "battery": ("", BATTERY, "")}
TITLES = [title for title, _ in ENTRIES]
INSTRUCTIONS = [  # (pattern, simulator commands from its groups)
    (r"Connect a Bench Supply (?:set to |at )(\d+\.\d)V (?:on )?.*Connector J([123])$", "j{1} {0}"),
    (r"(?:Reduce|Increase) the supply of .*Connector J([123]) to (\d+\.\d)V$", "j{0} {1}"),
    (r"Plug in a bench power supply set to (\d+)V to the .*Connector J([123])$", "j{1} {0}"),
    (r'Connect a "([GV])" Type Plate$', "plate {0}"),
    (r"Fit a Charged Battery$", "battery 12.6;capacity 93;gauge 90"),
    (r"Set to (I2C|SMB) protocol$", "protocol {0}"),
]


def operator_actions(rows):  # The simulator commands for the instructions on a screen, in order.
    actions = []
    for line in (row.rstrip() for row in rows):
        if line.endswith("Power off the other DC inputs."):
            actions += ["j%d 0" % n for n in (1, 2, 3) if "j%d" % n != actions[-1].split()[0]]
        for pattern, commands in INSTRUCTIONS:
            match = re.search(pattern, line)
            if match:
                actions += commands.format(*(g.lower() for g in match.groups())).split(";")
    return actions


LABELS = {4: "System Voltage   ", 6: "Analog Fuel Gauge", 7: "Battery Voltage  ", 8: "Battery Capacity ",
          10: "Time To Empty    ", 13: "6-Pin J1 (ACDC D7) ", 14: "4-Pin J2 (  DC D8) ", 15: "2-Pin J3 ( BAT D9) ",
          18: "Single Wire (G-Plate)", 19: "I2C (V-Plate)        ", 20: "SMB (V-Plate)        "}


def debug_rows(*values):  # Every row but the USB device line (row 2), which carries the byte counters.
    rows = {n: "" for n in range(24) if n != 2}
    rows.update({0: DEBUG_HEADER, 12: "  Power Sources", 17: "  Battery Protocols", 23: DEBUG_PROMPT})
    rows.update({n: "    %s: %s" % (LABELS[n], value) for n, value in zip(LABELS, values)})
    return rows


NOTHING_REPORTED = debug_rows("-100.00V                (m-100.00V,   m-100.00V)", "Not Connected", "No Battery",
                              "No Battery", "-100000 mins", *["N/A"] * 3, *["data not available"] * 3)
G_PLATE_ON_J1 = debug_rows("13.90V                (min13.90V,   max13.90V)", "61 % ~ 3.2V   (Only valid for G-Plate)",
                           "12.3V         (Read from Battery Protocol)", "64 %          (Read from Battery Protocol)",
                           "Not Discharging", "Yes", "No", "No", "Yes", "No", "No")
# (rail mV, style of the minimum, of the maximum); neighbours differ in their
# two-decimal text, so figures from before a reset never pass for new ones.
RED, YELLOW, PLAIN = ("red", True), ("yellow", True), ("white", False)
THRESHOLDS = [(10400, RED, PLAIN), (17800, PLAIN, RED), (10401, YELLOW, PLAIN), (17300, PLAIN, YELLOW),
              (10700, YELLOW, PLAIN), (17299, PLAIN, PLAIN), (10701, PLAIN, PLAIN), (17799, PLAIN, YELLOW)]


def field_style(term, row, col, length):
    # The uniform colour and boldness of a field. The emulator calls colour 3
    # brown, and the terminal's own white default until the first colour change.
    names = {"brown": "yellow", "default": "white"}
    styles = {(names.get(cell.fg, cell.fg), cell.bold) for cell in
              (term.screen.buffer[row][c] for c in range(col, col + length))}
    assert len(styles) == 1, styles
    return styles.pop()


class DebugScreenTest(DeviceTestCase):
    def expect_redraws(self, term, rx_grows):
        # Four redraws of the USB device line: TX 16 bytes more each, RX more only if asked.
        seen, line = [], None
        while len(seen) < 4:
            term.wait_for(lambda: term.row(2) != line, 3, "a redraw")  # then the whole frame
            line = term.row(2)
            seen.append(tuple(int(n) for n in re.findall(r"\d+", line[-24:])))
            self.assertEqual(line, "    USB Device       : %-15s   TX(%8d) RX(%8d)" % ("/dev/tr417_app", *seen[-1]))
        self.assertEqual([b[0] - a[0] for a, b in zip(seen, seen[1:])], [16, 16, 16])
        self.assertEqual(seen[-1][1] > seen[0][1], rx_grows)
        return seen

    def test_missing_then_live_readings_counters_colours_and_i(self):
        # A board that sends one version line and nothing else: past the
        # initialisation, no reading ever reported.
        sim = self.start_simulator("fault silence", *BENCH)
        term = self.start_program("-f", self.results_log)
        enter_serial(term, "DBG1")
        term.wait_for(sim.record_count, 10.0, "the first request")
        sim.command("send " + VERSION)
        term.wait_for_rows({0: FIRST_TEST_TITLE, 2: "     (Active Power Source: N/A at N/AV)", 23: LED_KEYS})
        term.send("d")
        term.wait_for_rows(NOTHING_REPORTED, 5)
        self.assertEqual(self.expect_redraws(term, False)[0][1], len(VERSION) + 1)
        self.assertEqual([field_style(term, 4, 49, 7), field_style(term, 4, 62, 7)], [RED, PLAIN])
        sim.command("fault silence off")
        term.wait_for_rows(G_PLATE_ON_J1, 3)
        self.expect_redraws(term, True)
        # Rails no input window lets through, so the reply is set directly;
        # i starts the minimum and maximum afresh from the present rail.
        for millivolts, minimum, maximum in THRESHOLDS:
            with self.subTest(millivolts):
                sim.command("set S %d" % millivolts)
                await_fresh_readings(term, sim)
                term.send("i")
                figure = "%2.2f" % (millivolts / 1000.0)
                term.wait_for_rows({4: "    System Voltage   : %sV                (min%sV,   max%sV)"
                                    % (figure, figure, figure), 23: DEBUG_PROMPT}, 3)
                self.assertEqual([field_style(term, 4, 49, 5), field_style(term, 4, 62, 5),
                                  field_style(term, 4, 4, 45)], [minimum, maximum, PLAIN])


class PlanRunTest(DeviceTestCase):
    def wait_for_screen(self, term, title, prompt, ready=lambda: True):  # until drawn, so its key wait runs
        term.wait_for(lambda: term.row(0) == title and term.row(23) == prompt and ready(), 10.0, repr(title))

    def bench(self, sim, term, *actions):
        for action in actions:
            sim.command(action)
        await_fresh_readings(term, sim)

    def expect_prompt(self, term, first_line, keys, bold, then):
        term.wait_for_rows({21: "    " + first_line, 23: "    " + keys})
        self.assertEqual(term.bold_text(23), bold)
        term.send(then)

    def answer_summary(self, term, title, message):
        term.wait_for_rows({21: SUMMARY_PROMPT})
        self.assertEqual([term.row(0), term.row(2)], [title, "  " + message])
        self.assertEqual([term.bold_text(n) for n in (0, 2, 21)],
                         [title.replace(" ", ""), message.replace(" ", ""), ""])
        term.send(" ")

    def expect_menu(self, term, states, then):
        term.wait_for_rows({0: "Select Dynelle Test", 23: MENU_PROMPT}, 5)
        self.assertEqual(term.bold_text(0), "SelectDynelleTest")
        self.assertEqual([term.row(2 + i) for i in range(19)],
                         ["  %s) %s - %s" % row for row in zip("123456789abcdefghi", states, TITLES)] + [""])
        term.send(then)

    def expect_log(self, term, states, serial, status):
        self.assertEqual(term.wait_exit(), status)
        self.assertEqual(term.logged_filename(), self.results_log)
        lines = self.read_results_log().split("\n")
        self.assertRegex(lines[3], r"^Tests Started: \d\d:\d\d \d\d/\d\d/20\d\d$")
        self.assertEqual(lines, ["Dynelle Test Log", "~" * 20, "", lines[3], "Serial No: " + serial,
                                 "tr417 sw version: " + VERSION, "", "PASSED - Initialisation Tests"]
                         + ["%s - %s" % line for line in zip(states, TITLES)] + [""])

    def test_every_test_passes_and_the_run_ends_at_the_menu(self):
        sim, term = self.start_run("j1 0", serial="TR417-0042")
        for index, (entry, stages) in enumerate(ENTRIES):
            for stage, (source, volts, kind) in enumerate(stages):
                title = entry + ("" if len(stages) == 1 else (" - Stages 1 to 4", " - Stage 5")[stage])
                row_21, row_23, bold_23 = PROMPTS[kind]
                # supply + others off; two supplies (+ the stage-5 change);
                # supply, plate, three battery figures (+ a V plate's protocol)
                count = {"led": 3, "battery": 5 + (" V Plate " in title)}.get(kind, 2 + stage)
                self.wait_for_screen(term, title, row_23,
                                     lambda: len(operator_actions(term.screen.display[2:17])) == count)
                self.bench(sim, term, *operator_actions(term.screen.display[2:17]))
                with self.subTest(title):
                    self.assertEqual([term.bold_text(0), term.bold_text(23)], [title.replace(" ", ""), bold_23])
                    if row_21 is not None:
                        self.assertEqual(term.row(21), row_21)
                    if source:
                        term.wait_for_rows({2: "     (Active Power Source: %s at %sV)" % (source, volts)}, 3)
                        self.assertEqual(term.bold_text(2), source + volts + "V")
                        self.assertEqual(term.row(8).startswith("  5. "), stage == 1)
                term.send("y")
            self.answer_summary(term, TITLES[index], "PASSED: Test Completed")
        self.expect_menu(term, ["PASSED "] * 18, "Q")
        self.expect_log(term, ["PASSED "] * 18, "TR417-0042", 0)

    def test_failures_retries_skip_menu_debug_and_quit(self):
        sim, term = self.start_run("j2 14.0", serial="FAIL-7")
        # Test 1: the wrong input live; then the right one but the LED
        # denied; then the rail 0.3 V high. Any key but N or M retries.
        for bench, answer, error, key in [
                (("j2 14.0",), "n", "ERROR: Unexpected Power Sources Indicated", "r"),
                (("j2 0", "j1 14.0"), "n", "ERROR: Expected you to respond with 'Y'answer \"Yes\"?", "x"),
                (("j1 14.4",), "Y", "ERROR: Expected System Voltage to be between 13.5V and 14.0V (read 14.3V)",
                 "n")]:
            self.wait_for_screen(term, TITLES[0], LED_KEYS)
            self.bench(sim, term, *bench)
            term.send(answer)
            self.expect_prompt(term, error, RETRY_KEYS, "RNMQ", key)
        self.answer_summary(term, TITLES[0], error)
        self.wait_for_screen(term, TITLES[1], LED_KEYS)
        term.send("m")
        states = ["FAIL!! "] + ["Not Run"] * 17
        self.expect_menu(term, states, "G")  # upper case selects too
        self.battery_tests(sim, term)
        # Later tests are all complete, so the run wraps round to test 1.
        self.wait_for_screen(term, TITLES[0], LED_KEYS)
        term.send("m")
        states[15:18] = ["SKIPPED", "PASSED ", "PASSED "]
        self.expect_menu(term, states, "3")
        self.failing_group(sim, term)
        states[2] = "FAIL!! "
        # Next comes the next group; quit inside it.
        self.wait_for_screen(term, TITLES[3] + " - Stages 1 to 4", MARKED)
        term.send("q")
        self.expect_log(term, states, "FAIL-7", 255)

    def battery_tests(self, sim, term):
        # Test 16: a V plate whose battery speaks SMB: no I2C within the
        # count-down (its texts are checked by unit tests), retried, then skipped.
        for action in ("j2 12.0", "plate v"):
            sim.command(action)
        self.wait_for_screen(term, TITLES[15], BATTERY)
        term.send("y")
        self.expect_prompt(term, "ERROR: Software didn't find an active protocol", RETRY_KEYS, "", "r")
        self.wait_for_screen(term, TITLES[15], BATTERY, lambda: term.row(5) == "  4. Set to I2C protocol")
        term.send("s")
        self.answer_summary(term, TITLES[15], "Test Skipped")
        # Test 17: the same plate speaks SMB, found at once.
        self.wait_for_screen(term, TITLES[16], BATTERY, lambda: term.row(5) == "  4. Set to SMB protocol")
        term.send("y")
        self.answer_summary(term, TITLES[16], "PASSED: Test Completed")
        # Test 18: the analog gauge 9 points off the battery.
        self.wait_for_screen(term, TITLES[17], BATTERY)
        self.bench(sim, term, "plate g", "capacity 50", "gauge 59")
        term.send("y")
        self.answer_summary(term, TITLES[17], "PASSED: Test Completed")

    def failing_group(self, sim, term):
        # From stage 5 the debug screen, whose Y goes back to stage 1; then
        # stage 5 without reducing J1, so both inputs stay live.
        stage_1, stage_5 = TITLES[2] + " - Stages 1 to 4", TITLES[2] + " - Stage 5"
        self.wait_for_screen(term, stage_1, MARKED)
        self.bench(sim, term, "j1 11.6", "j2 11.6", "j3 0", "plate none")
        for debug_visit in (True, False):
            term.send("y")
            self.wait_for_screen(term, stage_5, MARKED,
                                 lambda: term.row(8) == "  5. Reduce the supply of 6-Pin ACDC Connector J1 to 10.0V")
            if debug_visit:
                term.send("d")
                # The rail was higher before: the minimum and maximum start afresh.
                term.wait_for_rows({0: DEBUG_HEADER, 23: DEBUG_PROMPT, 13: "    6-Pin J1 (ACDC D7) : Yes",
                                    4: "    System Voltage   : 11.50V                (min11.50V,   max11.50V)"}, 5)
                term.send("nqmrd\r")  # every key but y keeps the screen up
                term.idle(1.0)
                self.assertEqual(term.row(0), DEBUG_HEADER)
                term.send("Y")
                self.wait_for_screen(term, stage_1, MARKED, lambda: not term.row(8))
        term.send("y")
        self.expect_prompt(term, "ERROR: Unexpected Power Sources Indicated", POWER_KEYS, "", "n")
        self.answer_summary(term, TITLES[2], "FAILED: 1 failed out of 2")
