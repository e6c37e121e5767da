"""Whole runs of the built-in test plan against the simulated bench. The
bench is set as an operator would set it, by reading each screen's
instructions, so the board's replies come from the simulator's model."""

import re
import time
import unittest

from harness import DEBUG_HEADER, DEBUG_PROMPT, LED_KEYS, MENU_PROMPT, SUMMARY_PROMPT, VERSION, DeviceTestCase, \
    await_fresh_readings

MARKED = "    Press Y to continue or (M)enu, (D)ebug, (Q)uit:"
BATTERY = "    Press Y to continue, (S)kip this Test or (M)enu, (D)ebug, (Q)uit:"
POWER_KEYS = " (R)etry, (N)ext Test, (M)enu, (D)ebug or (Q)uit :"
RETRY_KEYS = " (R)etry, (N)ext Test, (M)enu or (Q)uit :"
# Prompt kind: (row 21, row 23, bold letters of row 23); row 21 None: a question.
PROMPTS = {"led": (None, LED_KEYS, "YNMDQ"), "marked": ("", MARKED, "YMDQ"), "plain": ("", MARKED, ""),
           "battery": ("", BATTERY, "")}


def group(source, kind):
    return "%s %s Threshold Check with Max Load TR250" % (source, kind)


# Each entry's title and screens: (live source, rail volts with the bench as
# instructed, prompt kind); a group has a screen per stage.
ENTRIES = [
    ("ACDC Input and LED Test", [("ACDC", "13.9", "led")]),
    ("DC Input and LED Test", [("DC", "13.9", "led")]),
    (group("ACDC", "Falling 10V4"), [("ACDC", "11.5", "marked"), ("DC", "11.5", "marked")]),
    (group("ACDC", "Rising 10V7"), [("DC", "16.3", "plain"), ("ACDC", "11.5", "plain")]),
    (group("ACDC", "Rising 17V8"), [("ACDC", "16.3", "plain"), ("DC", "16.3", "plain")]),
    (group("ACDC", "Falling 17V3"), [("DC", "11.5", "marked"), ("ACDC", "16.3", "marked")]),
    ("BAT Input and Test", [("Batt", "13.9", "led")]),
    (group("DC", "Falling 10V4"), [("DC", "11.5", "marked"), ("Batt", "11.5", "marked")]),
    (group("DC", "Rising 10V7"), [("Batt", "16.3", "plain"), ("DC", "11.5", "plain")]),
    (group("DC", "Rising 17V8"), [("DC", "16.3", "plain"), ("Batt", "16.3", "plain")]),
    (group("DC", "Falling 17V3"), [("Batt", "11.5", "marked"), ("DC", "16.3", "marked")]),
    (group("Batt", "Falling 10V4"), [("DC", "11.5", "marked"), ("DC", "11.5", "marked")]),
    (group("Batt", "Rising 10V7"), [("DC", "16.3", "plain"), ("DC", "16.3", "plain")]),
    (group("Batt", "Rising 17V8"), [("DC", "16.3", "plain"), ("DC", "16.3", "plain")]),
    (group("Batt", "Falling 17V3"), [("DC", "11.5", "marked"), ("DC", "11.5", "marked")]),
    ("Battery V Plate I2C Protocol Tests", [(None, None, "battery")]),
    ("Battery V Plate SMB Protocol Tests", [(None, None, "battery")]),
    ("Battery G Plate Single Wire Protocol/ Analog Fuel Gauge Tests", [(None, None, "battery")]),
]
TITLES = [title for title, _ in ENTRIES]
INSTRUCTIONS = [  # (pattern, simulator commands from its groups)
    (r"Connect a Bench Supply (?:set to |at )(\d+\.\d)V (?:on )?.*Connector J([123])$", "j{1} {0}"),
    (r"(?:Reduce|Increase) the supply of .*Connector J([123]) to (\d+\.\d)V$", "j{0} {1}"),
    (r"Plug in a bench power supply set to (\d+)V to the .*Connector J([123])$", "j{1} {0}"),
    (r'Connect a "([GV])" Type Plate$', "plate {0}"),
    (r"Fit a Charged Battery$", "battery 12.6;capacity 93;gauge 90"),
    (r"Set to (I2C|SMB) protocol$", "protocol {0}"),
]


def operator_actions(rows):
    """The simulator commands for the instructions on a screen, in order."""
    actions = []
    for line in (row.rstrip() for row in rows):
        if line.endswith("Power off the other DC inputs."):
            actions += ["j%d 0" % n for n in (1, 2, 3) if "j%d" % n != actions[-1].split()[0]]
        for pattern, commands in INSTRUCTIONS:
            match = re.search(pattern, line)
            if match:
                actions += commands.format(*(g.lower() for g in match.groups())).split(";")
    return actions


class PlanRunCase(DeviceTestCase):
    def start_plan(self, *bench, serial):
        before = time.localtime()
        sim, term = self.start_run(*bench, serial=serial)
        self.started = {time.strftime("Tests Started: %H:%M %d/%m/%Y", t) for t in (before, time.localtime())}
        return sim, term

    def wait_for_screen(self, term, title, prompt, ready=lambda: True):
        """Waits until the screen's prompt is drawn, so the key wait runs."""
        term.wait_for(lambda: term.row(0) == title and term.row(23) == prompt and ready(), 10.0, repr(title))

    def expect_prompt(self, term, first_line, keys, bold):
        term.wait_for_rows({21: "    " + first_line, 23: "    " + keys})
        self.assertEqual(term.bold_text(23), bold)

    def answer_summary(self, term, title, message):
        term.wait_for_rows({21: SUMMARY_PROMPT})
        self.assertEqual([term.row(0), term.row(2)], [title, "  " + message])
        self.assertEqual([term.bold_text(n) for n in (0, 2, 21)],
                         [title.replace(" ", ""), message.replace(" ", ""), ""])
        term.send(" ")

    def expect_menu(self, term, states):
        term.wait_for_rows({0: "Select Dynelle Test", 23: MENU_PROMPT}, 5)
        self.assertEqual(term.bold_text(0), "SelectDynelleTest")
        self.assertEqual([term.row(2 + i) for i in range(19)],
                         ["  %s) %s - %s" % row for row in zip("123456789abcdefghi", states, TITLES)] + [""])

    def expect_log(self, term, states, serial, status):
        self.assertEqual(term.wait_exit(), status)
        self.assertEqual(term.logged_filename(), self.results_log)
        lines = self.read_results_log().split("\n")
        self.assertIn(lines[3], self.started)
        self.assertEqual(lines, ["Dynelle Test Log", "~" * 20, "", lines[3], "Serial No: " + serial,
                                 "tr417 sw version: " + VERSION, "", "PASSED - Initialisation Tests"]
                         + ["%s - %s" % line for line in zip(states, TITLES)] + [""])


class FullPassTest(PlanRunCase):
    def test_every_test_passes_and_the_run_ends_at_the_menu(self):
        sim, term = self.start_plan("j1 0", serial="TR417-0042")
        for index, (entry, stages) in enumerate(ENTRIES):
            for stage, (source, volts, kind) in enumerate(stages):
                title = entry + ("" if len(stages) == 1 else (" - Stages 1 to 4", " - Stage 5")[stage])
                row_21, row_23, bold_23 = PROMPTS[kind]
                # supply + others off; two supplies (+ the stage-5 change);
                # supply, plate, three battery figures (+ a V plate's protocol)
                count = {"led": 3, "battery": 5 + (" V Plate " in title)}.get(kind, 2 + stage)
                self.wait_for_screen(term, title, row_23,
                                     lambda: len(operator_actions(term.screen.display[2:17])) == count)
                for action in operator_actions(term.screen.display[2:17]):
                    sim.command(action)
                await_fresh_readings(term, sim)
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
        self.expect_menu(term, ["PASSED "] * 18)
        term.send("Q")
        self.expect_log(term, ["PASSED "] * 18, "TR417-0042", 0)


class FailuresAndChoicesTest(PlanRunCase):
    def test_failures_retries_skip_menu_debug_and_quit(self):
        sim, term = self.start_plan("j2 14.0", serial="FAIL-7")
        # Test 1: the wrong input live; then the right one but the LED
        # denied; then the rail 0.3 V high.
        steps = [(("j2 14.0",), "n", "ERROR: Unexpected Power Sources Indicated", "r"),
                 (("j2 0", "j1 14.0"), "n", "ERROR: Expected you to respond with 'Y'answer \"Yes\"?", "x"),
                 (("j1 14.4",), "Y", "ERROR: Expected System Voltage to be between 13.5V and 14.0V (read 14.3V)",
                  "n")]
        for bench, answer, error, key in steps:
            self.wait_for_screen(term, TITLES[0], LED_KEYS)
            for action in bench:
                sim.command(action)
            await_fresh_readings(term, sim)
            term.send(answer)
            self.expect_prompt(term, error, RETRY_KEYS, "RNMQ")
            term.send(key)  # any key but N or M retries
        self.answer_summary(term, TITLES[0], steps[-1][2])

        # Test 2: the debug screen, back to the test's start, the menu.
        self.wait_for_screen(term, TITLES[1], LED_KEYS)
        term.send("d")
        term.wait_for_rows({0: DEBUG_HEADER, 23: DEBUG_PROMPT, 13: "    6-Pin J1 (ACDC D7) : Yes"})
        term.send("y")
        self.wait_for_screen(term, TITLES[1], LED_KEYS,
                             lambda: term.row(21) == "    Do you see LED D7 Off, LED D8 On, LED D9 Off?")
        term.send("m")
        states = ["FAIL!! "] + ["Not Run"] * 17
        self.expect_menu(term, states)
        term.send("G")  # upper case selects too
        self.battery_tests(sim, term)

        # Later tests are all complete, so the run wraps round to test 1.
        self.wait_for_screen(term, TITLES[0], LED_KEYS)
        term.send("m")
        states[15:18] = ["SKIPPED", "PASSED ", "PASSED "]
        self.expect_menu(term, states)
        term.send("3")
        self.failing_group(sim, term)
        states[2] = "FAIL!! "
        # Next comes the next group; quit inside it.
        self.wait_for_screen(term, TITLES[3] + " - Stages 1 to 4", MARKED)
        term.send("q")
        self.expect_log(term, states, "FAIL-7", 255)

    def battery_tests(self, sim, term):
        # Test 16: a V plate whose battery speaks SMB: no I2C within the
        # count-down, retried, then skipped.
        for action in ("j2 12.0", "plate v"):
            sim.command(action)
        self.wait_for_screen(term, TITLES[15], BATTERY)
        term.send("y")
        seen = []

        def counting_down():
            count = term.row(23)[len(BATTERY):]
            seen.extend([count] if count.startswith("  ...") and count not in seen else [])
            return term.row(21) == "    ERROR: Software didn't find an active protocol"
        term.wait_for(counting_down, 10, "the protocol error")
        # From 6 down to 1: a busy machine may hide a figure, never reorder them.
        self.assertTrue(set(seen) >= {"  ...%d" % n for n in range(1, 6)}, seen)
        self.assertEqual(seen, sorted(seen, reverse=True))
        self.expect_prompt(term, "ERROR: Software didn't find an active protocol", RETRY_KEYS, "")
        term.send("r")
        self.wait_for_screen(term, TITLES[15], BATTERY, lambda: term.row(5) == "  4. Set to I2C protocol")
        term.send("s")
        self.answer_summary(term, TITLES[15], "Test Skipped")
        # Test 17: the same plate speaks SMB, found at once.
        self.wait_for_screen(term, TITLES[16], BATTERY, lambda: term.row(5) == "  4. Set to SMB protocol")
        term.send("y")
        self.answer_summary(term, TITLES[16], "PASSED: Test Completed")
        # Test 18: the analog gauge 10 points off the battery, then 9.
        for gauge, error in (("60", "ERROR: Expected Analog Fuel Gauge to be within 10% of the Battery Capacity"),
                             ("59", None)):
            self.wait_for_screen(term, TITLES[17], BATTERY)
            for action in ("plate g", "capacity 50", "gauge " + gauge):
                sim.command(action)
            await_fresh_readings(term, sim)
            term.send("y")
            if error:
                self.expect_prompt(term, error, RETRY_KEYS, "")
                term.send("r")
        self.answer_summary(term, TITLES[17], "PASSED: Test Completed")

    def failing_group(self, sim, term):
        # Stage 1 with the rail 0.3 V above 11.6 V, retried with it right;
        # stage 5 without reducing J1, so both inputs stay live.
        stage_1, stage_5 = TITLES[2] + " - Stages 1 to 4", TITLES[2] + " - Stage 5"
        for bench, error in ((("j1 12.0", "j2 11.6", "j3 0", "plate none"), "ERROR: Expected System Voltage "
                              "to be within 0.2V of 11.6V (read 11.9V)"), (("j1 11.6",), None)):
            self.wait_for_screen(term, stage_1, MARKED)
            for action in bench:
                sim.command(action)
            await_fresh_readings(term, sim)
            term.send("y")
            if error:
                self.expect_prompt(term, error, POWER_KEYS, "")
                term.send("r")
        self.wait_for_screen(term, stage_5, MARKED,
                             lambda: term.row(8) == "  5. Reduce the supply of 6-Pin ACDC Connector J1 to 10.0V")
        term.send("y")
        self.expect_prompt(term, "ERROR: Unexpected Power Sources Indicated", POWER_KEYS, "")
        term.send("n")
        self.answer_summary(term, TITLES[2], "FAILED: 1 failed out of 2")


if __name__ == "__main__":
    unittest.main()
