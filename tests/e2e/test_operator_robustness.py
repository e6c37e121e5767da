"""The operator's side: usage, the run-level guard, the serial entry, input that ends, stop signals, a results
log that cannot be written or is in use, a resized terminal."""

import os
import pathlib
import re
import resource
import signal
import struct
import subprocess
import tempfile
import unittest

from harness import APP_BIN, BENCH, FIRST_TEST_TITLE, DeviceTestCase, enter_serial, result_lines, Simulator

USAGE = ("Usage: dynelle_test -h -? -f output/filename.txt\n"
         "Where:-\n"
         "  -? or -h      Prints ths help message\n"
         "  -f <filename> Writes the output to the passed filename instead of "
         "/home/transfer/log/dynelle_test_nnnnnn_nnnnnn.txt\n"
         "  -p            Creates a csv format output of the battery discharging (will run until Ctrl-C)\n")
REFUSAL = ("dynelle_test will conflict with kw_server\n"
           "Please run program_fpga_selftest.sh before running this test app.")
# glibc's struct utmp: type, pid, line, id, user, host, exit, session, tv, addr_v6, unused.
UTMP = "hi32s4s32s256shhiii4i20s"


class StartupTest(unittest.TestCase):
    def test_usage_and_the_run_level_guard_on_the_default_login_records(self):
        # A private mount namespace whose /var/run (or the /run it links to) holds a prepared utmp file.
        probe = subprocess.run(["unshare", "-m", "sh", "-c", "mount -t tmpfs tmpfs /var/run"], capture_output=True)
        if not os.access(APP_BIN, os.X_OK) or probe.returncode != 0:
            self.skipTest("no program or no private mount namespace here: " + probe.stderr.decode().strip())
        script = 'mount -t tmpfs tmpfs /var/run && cp "$1" /var/run/utmp && shift && exec "$@"'
        # (run level, arguments, status, standard output, standard error's end): the guard comes before the
        # options, for any level above 4 (a letter too); past it -h, -? and bad options give the usage.
        cases = [("5", ["-h"], 255, REFUSAL, ""), ("S", ["-p"], 255, REFUSAL, ""), ("6", [], 255, REFUSAL, ""),
                 ("3", ["-s", "-h", "-p"], 1, "", USAGE), (None, ["-?"], 1, "", USAGE), ("4", ["-x"], 1, "", USAGE)]
        utmp = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory()), "utmp")
        for level, args, status, out, err in cases:
            with self.subTest(level=level, args=args):
                record = struct.pack(UTMP, 1, ord(level or "0") + 256 * ord("N"), b"~", b"~~", b"runlevel", b"",
                                     *[0] * 9, b"")  # RUN_LVL
                utmp.write_bytes(record if level else b"")
                run = subprocess.run(["unshare", "-m", "sh", "-c", script, "sh", utmp, APP_BIN] + args,
                                     stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=10)
                # no final newline after the refusal; the usage after the C library's complaint about -x
                self.assertEqual((run.returncode, run.stdout, run.stderr[-len(USAGE):] if err else run.stderr),
                                 (status, out, err))


class OperatorTest(DeviceTestCase):
    def test_serial_first_word_only_n_asks_again_and_a_resize_only_redraws(self):
        term = self.start_program("-f", self.results_log)
        # (typed before and after a resize, how it is shown, answer), each on a freshly cleared screen
        for before, after, shown, answer in [("   ", "", "Unassigned", "N"),
                                             ("M\u00fcller12", "34 trailing words", "M\u00fcller1234", "\r")]:
            term.wait_for_rows({14: "          Enter TR417 PCB Serial No:", 16: ""})  # a cleared entry screen
            term.send(before)
            term.wait_for_text(14, "Serial No: " + before)
            term.child.setwinsize(30, 100)
            term.send(after + "\r")
            term.wait_for_rows({16: '          You Entered "%s"' % shown, 18: "          Is that correct? (Y/n):"})
            term.child.setwinsize(24, 80)
            term.send(answer)
        term.wait_for_text(21, "Cannot find the USB Device - Quitting (press any key): ")
        term.send("x")
        self.assertEqual(self.expect_log(term, 255)[4:6],
                         ["Serial No: M\u00fcller1234", "FAIL!! - Cannot find the USB Device"])

    def test_input_at_its_end_from_the_start_ends_the_run_at_once(self):
        Simulator(self, *BENCH)
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        term = self.start_program("-f", self.results_log, shell="exec </dev/null;")
        lines = self.expect_log(term, 255)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        self.assertEqual(lines[4], "Serial No: Unassigned")
        self.assertTrue(all(line.startswith("Not Run") for line in result_lines("\n".join(lines))))
        self.assertLess(after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime, 1.0)  # no spin

    def test_terminal_gone_with_hangup_ignored_ends_the_run_from_a_test_screen(self):
        _, term = self.start_run(*BENCH, shell="trap '' HUP;")
        term.hang_up()
        self.assertEqual(term.wait_exit(), 255)
        log = pathlib.Path(self.results_log).read_text()
        self.assertEqual(len(result_lines(log)), 18, log)
        self.assertIn("PASSED - Initialisation Tests\n", log)

    def test_signals_end_the_run_like_quit_with_every_verdict_logged(self):
        for how, where in [("ctrl-c", "test"), (signal.SIGHUP, "test"), (signal.SIGTERM, "menu")]:
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
                self.assertIn(b"\x1b[?1049l", term.transcript)  # the terminal left full-screen mode
                sim.stop()

    def test_a_log_in_use_or_that_cannot_be_opened_or_written_is_told_after_the_console(self):
        sim, first = self.start_run(*BENCH, serial="FIRST")  # holds the results log
        before = pathlib.Path(self.results_log).read_bytes()
        missing = os.path.join(self.tmp, "missing", "r.txt")
        opening = "Couldn't open the log file {0}.*Log filename: {0}"
        # (-f argument, serial, what is told after the console closes)
        for args, serial, told in [(("-f", self.results_log), "SECOND",
                                    "The results log %s is in use by another run" % re.escape(self.results_log)),
                                   (("-f", missing), "M1", opening.format(re.escape(missing))),
                                   ((), "A/B", opening.format("/home/transfer/log/dynelle_test_A/B-")),
                                   (("-f", "/dev/full"), "F1",
                                    "Couldn't write the log file /dev/full: No space left on device")]:
            with self.subTest(args=args, serial=serial):
                term = self.start_program(*args)
                enter_serial(term, serial)
                if serial == "F1":  # the device is busy with the first run
                    term.wait_for(lambda: "(press any key)" in "".join(term.screen.display[21:]), 15, "the prompt")
                    term.send(" ")
                self.assertEqual(term.wait_exit(), 255)
                self.assertRegex(term.after_console(), told)
        self.assertEqual(pathlib.Path(self.results_log).read_bytes(), before)  # the second run left it alone
        first.send("q")
        self.assertIn("Serial No: FIRST", self.expect_log(first, 255))
