"""The operator's side when things go wrong: keyboard input that ends, stop
signals, a results log that cannot be written or is in use, messages that
must stay readable, a resized terminal, serial numbers beyond ASCII."""

import os
import pathlib
import re
import resource
import signal
import time

from harness import BENCH, FIRST_TEST_TITLE, LED_KEYS, DeviceTestCase, enter_serial, result_lines

BATTERY = "    Press Y to continue, (S)kip this Test or (M)enu, (D)ebug, (Q)uit:"
NO_PROTOCOL = "    ERROR: Software didn't find an active protocol"
I2C_TEST = "Battery V Plate I2C Protocol Tests"
CONSOLE_CLOSED = b"\x1b[?1049l"  # the terminal leaves the full-screen mode


def wrapped(script, *args):  # the program started by a shell that prepares its surroundings first
    return ("-c", script + ' exec "$0" "$@"', os.environ["DYNELLE_TEST"], *args)


class EndOfInputTest(DeviceTestCase):
    def test_input_at_its_end_from_the_start_ends_the_run_at_once(self):
        self.start_simulator(*BENCH)
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        started = time.monotonic()
        term = self.start_program(*wrapped("exec </dev/null;", "-f", self.results_log), program="/bin/sh")
        lines = self.expect_log(term, 255)
        elapsed, after = time.monotonic() - started, resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu = after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime
        self.assertEqual(lines[4], "Serial No: Unassigned")
        self.assertTrue(all(line.startswith("Not Run") for line in result_lines("\n".join(lines))))
        print("\n  end of input from the start: exit after %.2f s, %.3f s of CPU" % (elapsed, cpu))
        self.assertLess(cpu, 1.0)  # a spin would burn the whole deadline

    def test_terminal_gone_with_hangup_ignored_ends_the_run_from_a_test_screen(self):
        self.start_simulator(*BENCH)
        term = self.start_program(*wrapped("trap '' HUP;", "-f", self.results_log), program="/bin/sh")
        enter_serial(term, "GONE1")
        term.wait_for_rows({0: FIRST_TEST_TITLE, 23: LED_KEYS})
        term.hang_up()
        self.assertEqual(term.wait_gone(), 255)
        log = pathlib.Path(self.results_log).read_text()
        self.assertEqual(len(result_lines(log)), 18, log)
        self.assertIn("PASSED - Initialisation Tests\n", log)


class StopSignalTest(DeviceTestCase):
    def test_signals_end_the_run_like_quit_with_every_verdict_logged(self):
        # (how the signal comes, where the run waits)
        for how, where in [("ctrl-c", "test"), (signal.SIGTERM, "test"), (signal.SIGHUP, "test"),
                           (signal.SIGTERM, "menu")]:
            with self.subTest(how=how, where=where):
                sim, term = self.start_run(*BENCH)
                if where == "menu":
                    term.send("m")
                    term.wait_for_text(0, "Select Dynelle Test")
                if how == "ctrl-c":
                    term.send("\x03")  # through the terminal, as the operator does it
                else:
                    os.kill(term.child.pid, how)
                lines = self.expect_log(term, 255)  # Q at the menu would give 0
                self.assertEqual(result_lines("\n".join(lines))[0], "Not Run - " + FIRST_TEST_TITLE)
                self.assertTrue(term.transcript.rfind(CONSOLE_CLOSED) >= 0)
                sim.stop()
                os.unlink(self.results_log)


class ResultsLogTest(DeviceTestCase):
    def test_a_second_run_on_the_same_log_is_refused_and_leaves_it_alone(self):
        sim, first = self.start_run(*BENCH, serial="FIRST")
        before = pathlib.Path(self.results_log).read_bytes()
        second = self.start_program("-f", self.results_log)
        enter_serial(second, "SECOND")
        self.assertEqual(second.wait_exit(), 255)
        tail = second.transcript[second.transcript.rfind(CONSOLE_CLOSED):]
        self.assertIn(("The results log %s is in use by another run" % self.results_log).encode(), tail)
        self.assertEqual(pathlib.Path(self.results_log).read_bytes(), before)
        first.send("q")
        self.assertIn("Serial No: FIRST", self.expect_log(first, 255))

    def test_messages_about_an_unopenable_log_stay_on_the_screen(self):
        folder = os.path.join(self.tmp, "a-folder")
        os.mkdir(folder)
        # (-f argument, serial, the name the messages give)
        for args, serial, name in [(("-f", os.path.join(self.tmp, "missing", "r.txt")), "M1", None),
                                   (("-f", folder), "M2", folder),
                                   ((), "A/B", "/home/transfer/log/dynelle_test_A/B-")]:
            with self.subTest(args=args, serial=serial):
                term = self.start_program(*args)
                enter_serial(term, serial)
                self.assertEqual(term.wait_exit(), 255)
                tail = term.transcript[term.transcript.rfind(CONSOLE_CLOSED):].decode()
                name = name or args[1]
                self.assertRegex(tail, "Couldn't open the log file %s.*Log filename: %s" % (re.escape(name),
                                                                                             re.escape(name)))

    def test_a_log_that_cannot_be_written_is_told_and_ends_with_255(self):
        self.start_simulator(*BENCH)
        term = self.start_program("-f", "/dev/full")
        enter_serial(term, "FULL1")
        term.wait_for_rows({0: FIRST_TEST_TITLE, 23: LED_KEYS})
        term.send("m")
        term.wait_for_text(0, "Select Dynelle Test")
        term.send("q")
        self.assertEqual(term.wait_exit(), 255)
        tail = term.transcript[term.transcript.rfind(CONSOLE_CLOSED):]
        self.assertIn(b"Couldn't write the log file /dev/full: No space left on device", tail)


class TerminalTest(DeviceTestCase):
    def test_resize_only_redraws_and_serial_numbers_beyond_ascii_read_back(self):
        term = self.start_program("-f", self.results_log)
        term.wait_for_text(14, "Enter TR417 PCB Serial No: ")
        term.send("M\u00fcller12")
        term.wait_for_text(14, "Serial No: M\u00fcller12")
        term.child.setwinsize(30, 100)
        term.send("34\r")
        term.wait_for_rows({16: '          You Entered "M\u00fcller1234"'})
        term.child.setwinsize(24, 80)
        term.send("y")
        term.wait_for_text(21, "Cannot find the USB Device - Quitting (press any key): ")
        term.send("x")
        self.assertIn("Serial No: M\u00fcller1234", "\n".join(self.expect_log(term, 255)))

    def test_keys_typed_during_the_count_down_are_no_answer_even_across_a_resize(self):
        sim, term = self.start_run(*BENCH)
        term.send("m")
        term.wait_for_text(0, "Select Dynelle Test")
        term.send("g")  # the I2C test, on a V plate whose battery speaks SMB
        for command in ("j2 12.0", "plate v"):
            sim.command(command)
        term.wait_for(lambda: term.row(0) == I2C_TEST and term.row(23) == BATTERY, 10.0, "the battery test")
        term.send("y")
        term.wait_for_text(23, " ...")  # counting down
        term.send("s")
        term.child.setwinsize(30, 100)
        term.wait_for_text(21, NO_PROTOCOL, 15.0)
        term.send("q")
        lines = self.expect_log(term, 255)
        self.assertIn("FAIL!!  - " + I2C_TEST, lines)  # not SKIPPED
