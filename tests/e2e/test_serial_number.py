"""The serial number entry at start-up and the results log name it leads to.
No board is attached, so each run ends at the device check."""

import os
import re
import unittest

from harness import DeviceTestCase, LOG_DIR, enter_serial, ensure_log_dir, logged_filename

NO_DEVICE_PROMPT = "Cannot find the USB Device - Quitting (press any key): "


class SerialNumberTest(DeviceTestCase):
    def finish_without_board(self, term):
        term.wait_for_text(21, NO_DEVICE_PROMPT)
        term.send("x")
        self.assertEqual(term.wait_exit(), 255)

    def test_prompt_confirmation_and_retry(self):
        term = self.start_program("-f", self.results_log)
        term.wait_for_text(14, "Enter TR417 PCB Serial No: ")
        self.assertEqual(term.screen_row(14).index("Enter TR417"), 10)
        term.send("AB123 trailing words\r")
        term.wait_for_text(16, 'You Entered "AB123"')
        self.assertEqual(term.screen_row(16).index("You Entered"), 10)
        term.wait_for_text(18, "Is that correct? (Y/n): ")
        self.assertEqual(term.screen_row(18).index("Is that"), 10)
        # N asks again on a cleared screen; lower-case n too.
        for answer, retry in (("N", "cd-9"), ("n", "   ZZ77")):
            term.send(answer)
            term.wait_for(lambda: "You Entered" not in term.screen_row(16), 5, "a cleared screen")
            term.wait_for_text(14, "Enter TR417 PCB Serial No: ")
            term.send(retry + "\r")
            term.wait_for_text(16, 'You Entered "%s"' % retry.strip())
        term.send("\r")  # Enter accepts
        self.finish_without_board(term)
        self.assertIn("Serial No: ZZ77\n", self.read_results_log())

    def test_empty_entry_is_unassigned_in_the_default_name(self):
        ensure_log_dir(self)
        term = self.start_program()
        term.wait_for_text(14, "Enter TR417 PCB Serial No: ")
        # An empty line, then a line of blanks: both store "Unassigned".
        for entry in ("\r", "   \r"):
            term.wait_for_text(14, "Enter TR417 PCB Serial No: ")
            term.send(entry)
            term.wait_for_text(16, 'You Entered "Unassigned"', timeout=5)
            term.send("n" if entry == "\r" else "y")
            if entry == "\r":
                term.wait_for(lambda: "You Entered" not in term.screen_row(16), 5, "a cleared screen")
        self.finish_without_board(term)
        name = logged_filename(term)
        self.addCleanup(lambda: os.path.exists(name) and os.unlink(name))
        self.assertRegex(name, r"^%s/dynelle_test_Unassigned-\d{8}-\d{6}\.txt$" % re.escape(LOG_DIR))
        with open(name) as log:
            self.assertIn("Serial No: Unassigned\n", log.read())

    def test_log_file_name_options(self):
        ensure_log_dir(self)
        second = os.path.join(self.tmp, "second.txt")
        # (arguments, expected log file name; None: the default name)
        cases = [
            (["-f", ""], None),
            (["-f", self.results_log, "-f", second], second),
        ]
        for args, expected in cases:
            with self.subTest(args=args):
                term = self.start_program(*args)
                serial = "E2E%d" % os.getpid()
                enter_serial(term, serial)
                self.finish_without_board(term)
                name = logged_filename(term)
                if expected is None:
                    self.addCleanup(lambda n=name: os.path.exists(n) and os.unlink(n))
                    self.assertRegex(name, r"^%s/dynelle_test_%s-\d{8}-\d{6}\.txt$"
                                     % (re.escape(LOG_DIR), serial))
                else:
                    self.assertEqual(name, expected)
                    self.assertFalse(os.path.exists(self.results_log))
                with open(name) as log:
                    self.assertIn("Serial No: %s\n" % serial, log.read())

    def test_log_file_that_cannot_be_opened(self):
        path = os.path.join(self.tmp, "missing-dir", "results.txt")
        term = self.start_program("-f", path)
        enter_serial(term, "S1")
        self.assertEqual(term.wait_exit(), 255)
        self.assertIn(b"Couldn't open the log file " + path.encode(), term.transcript)
        # No line break after the message: the next output follows directly.
        self.assertIn(b"Couldn't open the log file " + path.encode() + b"Log filename: ",
                      term.transcript.replace(b"\r", b""))
        self.assertEqual(logged_filename(term), path)


if __name__ == "__main__":
    unittest.main()
