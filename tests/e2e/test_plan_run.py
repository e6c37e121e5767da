"""Whole runs of the test plan, the simulated bench set as each screen instructs the operator."""

import re

from harness import DEBUG_HEADER, DEBUG_PROMPT, LED_KEYS, VERSION, DeviceTestCase

MARKED = "    Press Y to continue or (M)enu, (D)ebug, (Q)uit:"
BATTERY = "    Press Y to continue, (S)kip this Test or (M)enu, (D)ebug, (Q)uit:"
RETRY_KEYS = "     (R)etry, (N)ext Test, (M)enu or (Q)uit :"


def groups(source):
    return ["%s %s Threshold Check with Max Load TR250" % (source, kind)
            for kind in ("Falling 10V4", "Rising 10V7", "Rising 17V8", "Falling 17V3")]


TITLES = ["ACDC Input and LED Test", "DC Input and LED Test", *groups("ACDC"), "BAT Input and Test", *groups("DC"),
          *groups("Batt"), "Battery V Plate I2C Protocol Tests", "Battery V Plate SMB Protocol Tests",
          "Battery G Plate Single Wire Protocol/ Analog Fuel Gauge Tests"]
# Each screen's title and how many bench actions its instructions ask for.
SCREENS = [screen for title in TITLES for screen in (
    [(title + " - Stages 1 to 4", 2), (title + " - Stage 5", 3)] if "Threshold" in title else
    [(title, 5 + ("V Plate" in title))] if title.startswith("Battery") else [(title, 3)])]
INSTRUCTIONS = [  # (pattern, simulator commands from its groups)
    (r"Connect a Bench Supply (?:set to |at )(\d+\.\d)V (?:on )?.*Connector J([123])$", "j{1} {0}"),
    (r"(?:Reduce|Increase) the supply of .*Connector J([123]) to (\d+\.\d)V$", "j{0} {1}"),
    (r"Plug in a bench power supply set to (\d+)V to the .*Connector J([123])$", "j{1} {0}"),
    (r'Connect a "([GV])" Type Plate$', "plate {0}"),
    (r"Fit a Charged Battery$", "battery 12.6;capacity 93;gauge 90"),
    (r"Set to (I2C|SMB) protocol$", "protocol {0}")]


def operator_actions(rows):  # The simulator commands for the instructions on a screen, in order.
    actions = []
    for line in (row.rstrip() for row in rows):
        if line.endswith("Power off the other DC inputs."):
            actions += ["j%d 0" % n for n in (1, 2, 3) if "j%d" % n != actions[-1].split()[0]]
        for pattern, commands in INSTRUCTIONS:
            if match := re.search(pattern, line):
                actions += commands.format(*(g.lower() for g in match.groups())).split(";")
    return actions


class PlanRunTest(DeviceTestCase):
    def answer_summary(self, term, title, message):
        term.wait_for_rows({0: title, 2: "  " + message, 21: "    Press Any Key to continue :"})
        term.send(" ")

    def expect_menu(self, term, states, then):
        term.wait_for_rows({0: "Select Dynelle Test", 23: "      Selection, (Q)uit, (U)pload and quit :"})
        self.assertEqual([term.row(2 + i) for i in range(18)],
                         ["  %s) %s - %s" % row for row in zip("123456789abcdefghi", states, TITLES)])
        term.send(then)

    def expect_log(self, term, states, serial, status):
        lines = super().expect_log(term, status)
        self.assertRegex(lines[3], r"^Tests Started: \d\d:\d\d \d\d/\d\d/20\d\d$")
        self.assertEqual(lines, ["Dynelle Test Log", "~" * 20, "", lines[3], "Serial No: " + serial,
                                 "tr417 sw version: " + VERSION, "", "PASSED - Initialisation Tests"]
                         + ["%s - %s" % line for line in zip(states, TITLES)] + [""])

    def test_every_test_passes_and_the_run_ends_at_the_menu(self):
        sim, term = self.start_run("j1 0", serial="TR417-0042")
        for title, count in SCREENS:
            term.wait_for(lambda: term.row(0) == title and len(operator_actions(term.screen.display[2:17])) == count,
                          10.0, repr(title))
            sim.bench(term, *operator_actions(term.screen.display[2:17]))
            term.send("y")
            if not title.endswith("Stages 1 to 4"):
                self.answer_summary(term, title.replace(" - Stage 5", ""), "PASSED: Test Completed")
        self.expect_menu(term, ["PASSED "] * 18, "Q")
        self.expect_log(term, ["PASSED "] * 18, "TR417-0042", 0)

    def test_failures_retries_skip_menu_debug_and_quit(self):
        sim, term = self.start_run("j1 14.4", serial="FAIL-7")
        sim.bench(term)  # test 1 with the rail 0.3 V high
        term.send("Y")
        error = "ERROR: Expected System Voltage to be between 13.5V and 14.0V (read 14.3V)"
        term.wait_for_rows({21: "    " + error, 23: RETRY_KEYS})
        term.send("n")
        self.answer_summary(term, TITLES[0], error)
        term.wait_for_rows({0: TITLES[1], 23: LED_KEYS})
        term.send("m")
        states = ["FAIL!! "] + ["Not Run"] * 17
        self.expect_menu(term, states, "G")  # upper case selects too
        # Test 16: a V plate whose battery speaks SMB: no I2C found, retried, then skipped.
        for action in ("j2 12.0", "plate v"):
            sim.command(action)
        term.wait_for_rows({0: TITLES[15], 23: BATTERY})
        term.send("y")
        term.wait_for_text(23, " ...")  # counting down: keys typed now are no answer, even across a resize
        term.send("s")
        term.child.setwinsize(30, 100)
        term.wait_for_text(21, "    ERROR: Software didn't find an active protocol", 15)
        term.child.setwinsize(24, 80)
        term.wait_for_rows({21: "    ERROR: Software didn't find an active protocol", 23: RETRY_KEYS})
        term.send("r")
        term.wait_for_rows({0: TITLES[15], 5: "  4. Set to I2C protocol", 23: BATTERY})
        term.send("s")
        self.answer_summary(term, TITLES[15], "Test Skipped")
        # Test 17 runs next; from the menu, test 3: from stage 5 the debug
        # screen, whose Y goes back to stage 1; then stage 5 with both inputs live.
        term.wait_for_rows({0: TITLES[16], 23: BATTERY})
        term.send("m")
        states[15] = "SKIPPED"
        self.expect_menu(term, states, "3")
        stage_1, stage_5 = TITLES[2] + " - Stages 1 to 4", TITLES[2] + " - Stage 5"
        term.wait_for_rows({0: stage_1, 23: MARKED})
        sim.bench(term, "j1 11.6", "j2 11.6", "j3 0", "plate none")
        for key, title, prompt in [("y", stage_5, MARKED), ("d", DEBUG_HEADER, DEBUG_PROMPT), ("y", stage_1, MARKED),
                                   ("y", stage_5, MARKED)]:
            term.send(key)
            term.wait_for_rows({0: title, 23: prompt})
        term.send("y")
        term.wait_for_rows({21: "    ERROR: Unexpected Power Sources Indicated",
                            23: "     (R)etry, (N)ext Test, (M)enu, (D)ebug or (Q)uit :"})
        term.send("n")
        self.answer_summary(term, TITLES[2], "FAILED: 1 failed out of 2")
        states[2] = "FAIL!! "
        term.wait_for_rows({0: TITLES[3] + " - Stages 1 to 4", 23: MARKED})
        term.send("q")  # inside the next group
        self.expect_log(term, states, "FAIL-7", 255)
