"""Start-up of the real program: the usage text and the run-level guard."""

import os
import shutil
import struct
import subprocess
import tempfile
import unittest

from harness import APP_BIN, require_binaries

USAGE = (
    "Usage: dynelle_test -h -? -f output/filename.txt\n"
    "Where:-\n"
    "  -? or -h      Prints ths help message\n"
    "  -f <filename> Writes the output to the passed filename instead of "
    "/home/transfer/log/dynelle_test_nnnnnn_nnnnnn.txt\n"
    "  -p            Creates a csv format output of the battery discharging (will run until Ctrl-C)\n"
)
REFUSAL = ("dynelle_test will conflict with kw_server\n"
           "Please run program_fpga_selftest.sh before running this test app.")
RUN_LVL = 1


def run_program(args, timeout=10):
    return subprocess.run([APP_BIN] + list(args), stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=timeout)


class UsageTest(unittest.TestCase):
    def setUp(self):
        require_binaries(app=True)

    def test_usage_and_status_1(self):
        # (arguments, whether getopt complains first)
        cases = [(["-h"], False), (["-?"], False), (["-x"], True), (["-f"], True),
                 (["-s", "-h", "-p"], False), (["-f", "/tmp/unused.txt", "-?"], False)]
        for args, complaint in cases:
            with self.subTest(args=args):
                run = run_program(args)
                self.assertEqual(run.returncode, 1)
                self.assertEqual(run.stdout, b"")
                err = run.stderr.decode()
                self.assertTrue(err.endswith(USAGE), err)
                prefix = err[:-len(USAGE)]
                if complaint:
                    self.assertIn("dynelle_test", prefix)
                else:
                    self.assertEqual(prefix, "")
        self.assertFalse(os.path.exists("/tmp/unused.txt"))


def utmp_record(kind, pid):
    # struct utmp on Linux glibc: type, pid, line[32], id[4], user[32],
    # host[256], exit{short,short}, session, tv{sec,usec}, addr_v6[4], unused[20]
    return struct.pack("hi32s4s32s256shhiii4i20s", kind, pid, b"~", b"~~", b"runlevel", b"",
                       0, 0, 0, 0, 0, 0, 0, 0, 0, b"")


class RunLevelTest(unittest.TestCase):
    """Runs the program in a private mount namespace whose /run holds a
    prepared login-records file."""

    def setUp(self):
        require_binaries(app=True)
        self.assertEqual(struct.calcsize("hi32s4s32s256shhiii4i20s"), 384)
        probe = subprocess.run(["unshare", "-m", "sh", "-c", "mount -t tmpfs tmpfs /run"],
                               capture_output=True)
        if probe.returncode != 0:
            raise unittest.SkipTest("cannot make a private mount namespace here: "
                                    + probe.stderr.decode().strip())
        self.dir = tempfile.mkdtemp(prefix="dynelle-runlevel-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def run_at(self, level, args):
        utmp = os.path.join(self.dir, "utmp")
        with open(utmp, "wb") as records:
            if level is not None:
                records.write(utmp_record(RUN_LVL, ord(level) + 256 * ord("N")))
        mounts = "mount -t tmpfs tmpfs /run"
        if not os.path.islink("/var/run"):
            mounts += " && mount -t tmpfs tmpfs /var/run"
        script = '%s && cp "$1" /run/utmp && cp "$1" /var/run/utmp 2>/dev/null; shift; exec "$@"' % mounts
        return subprocess.run(["unshare", "-m", "sh", "-c", script, "sh", utmp, APP_BIN] + args,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=10)

    def test_refused_above_run_level_4(self):
        for level in ["5", "6", "S"]:
            for args in [["-h"], ["-p"], []]:
                with self.subTest(level=level, args=args):
                    run = self.run_at(level, args)
                    self.assertEqual(run.returncode, 255)
                    self.assertEqual(run.stdout.decode(), REFUSAL)  # no newline at the end
                    self.assertEqual(run.stderr, b"")

    def test_allowed_up_to_run_level_4(self):
        # -h gets past the guard to the usage text.
        for level in ["3", "4", None]:
            with self.subTest(level=level):
                run = self.run_at(level, ["-h"])
                self.assertEqual(run.returncode, 1)
                self.assertEqual(run.stdout, b"")
                self.assertTrue(run.stderr.decode().endswith(USAGE))


if __name__ == "__main__":
    unittest.main()
