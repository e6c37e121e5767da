"""Start-up: the usage text, the run-level guard and the serial number screen
(no board attached, so each run ends at the device check)."""

import os
import struct
import subprocess
import tempfile
import unittest

from harness import APP_BIN, DeviceTestCase

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
    def setUp(self):
        if not os.access(APP_BIN, os.X_OK):
            self.skipTest("set DYNELLE_TEST to the built binary")

    def test_usage_and_the_run_level_guard_on_the_default_login_records(self):
        # A private mount namespace whose /run holds a prepared utmp file.
        probe = subprocess.run(["unshare", "-m", "sh", "-c", "mount -t tmpfs tmpfs /run"], capture_output=True)
        if probe.returncode != 0:
            self.skipTest("no private mount namespace here: " + probe.stderr.decode().strip())
        self.assertEqual(struct.calcsize(UTMP), 384)
        mounts = "mount -t tmpfs tmpfs /run" + ("" if os.path.islink("/var/run") else
                                                  " && mount -t tmpfs tmpfs /var/run")
        script = mounts + ' && cp "$1" /run/utmp && cp "$1" /var/run/utmp 2>/dev/null; shift; exec "$@"'
        # (run level, arguments, status, standard output); past the guard -h, -? and bad options give the usage.
        cases = [("5", ["-h"], 255, REFUSAL), ("S", ["-p"], 255, REFUSAL), ("6", [], 255, REFUSAL),
                 ("3", ["-s", "-h", "-p"], 1, ""), (None, ["-?"], 1, ""), ("4", ["-x"], 1, "")]
        with tempfile.NamedTemporaryFile() as utmp:
            for level, args, status, out in cases:
                with self.subTest(level=level, args=args):
                    utmp.seek(0)
                    utmp.truncate()
                    if level is not None:  # a RUN_LVL record
                        utmp.write(struct.pack(UTMP, 1, ord(level) + 256 * ord("N"), b"~", b"~~",
                                               b"runlevel", b"", 0, 0, 0, 0, 0, 0, 0, 0, 0, b""))
                    utmp.flush()
                    run = subprocess.run(["unshare", "-m", "sh", "-c", script, "sh", utmp.name, APP_BIN] + args,
                                         stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
                    self.assertEqual((run.returncode, run.stdout.decode()), (status, out))  # no final newline
                    err = run.stderr.decode()
                    self.assertEqual(("invalid option" in err, err.split(": invalid option -- 'x'\n")[-1]),
                                     ("-x" in args, USAGE if status == 1 else ""))


class SerialNumberTest(DeviceTestCase):
    def test_first_word_only_n_asks_again_and_empty_is_unassigned(self):
        term = self.start_program("-f", self.results_log)
        # Each (entry, how it is shown, answer) on a freshly cleared screen, then the device check.
        for entry, shown, answer in [("AB123 trailing words", "AB123", "N"), ("   ", "Unassigned", "\r")]:
            term.wait_for(lambda: term.row(14) == "          Enter TR417 PCB Serial No:" and not term.row(16), 5,
                          "a cleared entry screen")
            term.send(entry + "\r")
            term.wait_for_rows({16: '          You Entered "%s"' % shown,
                                18: "          Is that correct? (Y/n):"}, 10)
            term.send(answer)
        term.wait_for_text(21, "Cannot find the USB Device - Quitting (press any key): ")
        term.send("x")
        self.assertIn("Serial No: Unassigned", self.expect_log(term, 255))
