"""The serial number screen in a real terminal. No board is attached, so
each run ends at the device check."""

import os
import re
import unittest

from harness import LOG_DIR, DeviceTestCase


class SerialNumberTest(DeviceTestCase):
    def answer(self, term, entry, shown):
        term.wait_for(lambda: term.row(14) == "          Enter TR417 PCB Serial No:" and not term.row(16), 5,
                      "a cleared entry screen")
        term.send(entry + "\r")
        # Every line starts at column 10.
        term.wait_for_rows({16: '          You Entered "%s"' % shown,
                            18: "          Is that correct? (Y/n):"}, 5)

    def finish_without_board(self, term):
        term.wait_for_text(21, "Cannot find the USB Device - Quitting (press any key): ")
        term.send("x")
        self.assertEqual(term.wait_exit(), 255)
        with open(term.logged_filename()) as log:
            return log.read()

    def test_entry_confirmation_and_n_asks_again(self):
        term = self.start_program("-f", self.results_log)
        # The first word only; N and n ask again; Enter accepts.
        for entry, shown, answer in [("AB123 trailing words", "AB123", "N"), ("cd-9", "cd-9", "n"),
                                     ("   ZZ77", "ZZ77", "\r")]:
            self.answer(term, entry, shown)
            term.send(answer)
        self.assertIn("Serial No: ZZ77\n", self.finish_without_board(term))

    def test_empty_entry_is_unassigned_in_the_default_log_name(self):
        created, path = [], LOG_DIR
        while not os.path.isdir(path):  # removed again afterwards, deepest first
            created.append(path)
            path = os.path.dirname(path)
        for path in reversed(created):
            self.addCleanup(lambda p=path: os.path.isdir(p) and not os.listdir(p) and os.rmdir(p))
        os.makedirs(LOG_DIR, exist_ok=True)
        term = self.start_program()
        for entry in ("", "   "):
            self.answer(term, entry, "Unassigned")
            term.send("n" if not entry else "y")
        log = self.finish_without_board(term)
        name = term.logged_filename()
        self.addCleanup(os.unlink, name)
        self.assertRegex(name, r"^%s/dynelle_test_Unassigned-\d{8}-\d{6}\.txt$" % re.escape(LOG_DIR))
        self.assertIn("Serial No: Unassigned\n", log)


if __name__ == "__main__":
    unittest.main()
