"""The menu's upload choice of the real program, end to end: the results log
goes to the repository stand-in over HTTPS under the deployment host name,
and a failed upload is reported without changing the exit status.

The program trusts the system's certificate authorities and resolves the
repository's host name through /etc/hosts, so it and the stand-in run in a
private mount and network namespace that holds only loopback, a hosts file
mapping the deployment host to 127.0.0.1 and a certificate store holding a
throw-away test authority. Nothing outside the namespace changes.
"""

import os
import re
import shutil
import subprocess
import sys
import time
import unittest

from harness import (APP_BIN, FIRST_TEST_TITLE, PLAN_TEST_COUNT, DeviceTestCase, enter_serial,
                     result_lines)

HERE = os.path.dirname(os.path.abspath(__file__))
STANDIN = os.path.join(HERE, "..", "..", "tools", "nexus-standin", "nexus-standin.py")
MAKE_CA = os.path.join(HERE, "..", "..", "tools", "nexus-standin", "make-test-ca.sh")
REPOSITORY = "kw_production_artifacts"
FAILURE_MESSAGE = "Nexus Upload Failed, are you connected to the network?\n"
BENCH = ("j1 14.0", "plate g", "capacity 80", "gauge 78")
SECOND_TEST_TITLE = "DC Input and LED Test"
# Leaving the alternate screen: what closing the console sends to an xterm.
CONSOLE_CLOSED = b"\x1b[?1049l"


def build_settings():
    """The deployment values this program was built with, from the CMake
    cache of its build tree, with the clear credentials the block holds."""
    directory = os.path.dirname(os.path.abspath(APP_BIN))
    while not os.path.exists(os.path.join(directory, "CMakeCache.txt")):
        parent = os.path.dirname(directory)
        if parent == directory:
            raise unittest.SkipTest("no CMake cache above " + APP_BIN)
        directory = parent
    cache = {}
    with open(os.path.join(directory, "CMakeCache.txt")) as lines:
        for line in lines:
            match = re.match(r"(DYNELLE_NEXUS_\w+):\w+=(.*)$", line.rstrip("\n"))
            if match:
                cache[match.group(1)] = match.group(2)
    tool = os.path.join(directory, "tools", "nexus-credentials", "nexus-credentials")
    if not os.access(tool, os.X_OK):
        raise unittest.SkipTest("nexus-credentials not built")
    account = subprocess.run([tool, "decrypt", cache["DYNELLE_NEXUS_CREDENTIALS_HEX"]], check=True,
                             capture_output=True, text=True).stdout.strip()
    host, _, port = cache["DYNELLE_NEXUS_HOST"].partition(":")
    return host, int(port or 443), account


def make_ca(directory, host):
    subprocess.run(["sh", MAKE_CA, directory, host], check=True, stdout=subprocess.DEVNULL)
    return {"ca": os.path.join(directory, "ca.pem"), "server": os.path.join(directory, "server.pem"),
            "key": os.path.join(directory, "server.key")}


def wait_for_line(path, pattern, timeout, process):
    """Waits until a line of the file at `path` matches; returns the match."""
    deadline = time.monotonic() + timeout
    while True:
        with open(path, errors="replace") as text:
            match = re.search(pattern, text.read(), re.M)
        if match:
            return match
        if process.poll() is not None or time.monotonic() > deadline:
            with open(path, errors="replace") as text:
                raise AssertionError("no %r from %r (exit %r): %s"
                                     % (pattern, process.args[0], process.poll(), text.read()))
        time.sleep(0.05)


def stop_process(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class IsolatedNetwork:
    """A mount and network namespace held open by an idle process; others
    join it through nsenter. Its mounts vanish with its last process."""

    SETUP = ('ip link set lo up && mount --bind "$1" /etc/hosts && '
             'mount --bind "$2" /etc/ssl/certs && echo ready && exec sleep infinity')

    def __init__(self, directory, host, ca_pem):
        hosts = os.path.join(directory, "hosts")
        with open(hosts, "w") as text:
            text.write("127.0.0.1 localhost\n::1 localhost\n127.0.0.1 %s\n" % host)
        # Looked up both ways: by hashed name in the directory and as the bundle.
        certs = os.path.join(directory, "certs")
        os.mkdir(certs)
        shutil.copy(ca_pem, os.path.join(certs, "dynelle-test-ca.pem"))
        shutil.copy(ca_pem, os.path.join(certs, "ca-certificates.crt"))
        subprocess.run(["openssl", "rehash", certs], check=True, capture_output=True)
        self.ready_file = os.path.join(directory, "namespace.out")
        with open(self.ready_file, "w") as out:
            self.holder = subprocess.Popen(
                ["unshare", "--mount", "--net", "--propagation", "private", "sh", "-c", self.SETUP,
                 "sh", hosts, certs], stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)
        wait_for_line(self.ready_file, r"^ready$", 5, self.holder)

    def command(self, *args):
        """The arguments of a command that runs inside the namespace."""
        return ["nsenter", "-t", str(self.holder.pid), "-m", "-n", "--"] + list(args)

    def close(self):
        stop_process(self.holder)


def namespaces_available():
    probe = subprocess.run(["unshare", "--mount", "--net", "true"], capture_output=True, text=True)
    return probe.returncode == 0, probe.stderr.strip()


class UploadTestCase(DeviceTestCase):
    @classmethod
    def setUpClass(cls):
        if os.geteuid() != 0:
            raise unittest.SkipTest("needs root for a private mount and network namespace")
        available, why = namespaces_available()
        if not available:
            raise unittest.SkipTest("private namespaces not permitted: " + why)
        if not APP_BIN:
            raise unittest.SkipTest("dynelle_test not built (set DYNELLE_TEST)")
        cls.host, cls.port, cls.account = build_settings()

    def setUp(self):
        super().setUp()
        self.ca = make_ca(os.path.join(self.tmp, "ca"), self.host)
        self.net = IsolatedNetwork(self.tmp, self.host, self.ca["ca"])
        self.addCleanup(self.net.close)
        self.storage = os.path.join(self.tmp, "storage")
        self.stderr_file = os.path.join(self.tmp, "stderr.txt")

    def start_standin(self, *extra, cert=None):
        """The stand-in on the deployment port inside the namespace; returns
        the file its report goes to."""
        cert = cert or self.ca
        report = os.path.join(self.tmp, "standin.out")
        with open(report, "w") as out:
            standin = subprocess.Popen(self.net.command(
                sys.executable, STANDIN, "--port", str(self.port), "--storage", self.storage,
                "--cert", cert["server"], "--key", cert["key"], *extra),
                stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)
        self.addCleanup(stop_process, standin)
        wait_for_line(report, r"^listening on %d$" % self.port, 10, standin)
        return report

    def run_to_upload(self, serial):
        """Passes the first test, opens the menu from the second, chooses the
        upload and waits for the program to end; returns the terminal."""
        self.start_simulator(*BENCH)
        script = 'exec "$@" 2>"$0"'
        term = self.start_program("-c", script, self.stderr_file,
                                  *self.net.command(APP_BIN, "-s", "-f", self.results_log),
                                  program="/bin/sh")
        enter_serial(term, serial)
        term.wait_for_text(0, FIRST_TEST_TITLE)
        term.wait_for_text(2, "(Active Power Source: ACDC at 13.9V)")
        term.send("y")
        term.wait_for_text(21, "Press Any Key to continue : ")
        term.send(" ")
        term.wait_for_text(0, SECOND_TEST_TITLE)
        term.send("m")
        term.wait_for_text(23, "Selection, (Q)uit, (U)pload and quit : ")
        term.send("u")
        term.wait_exit(timeout=45)
        return term

    def assert_complete_log(self, term):
        self.assertEqual(term.status, 0)
        log = self.read_results_log()
        lines = result_lines(log)
        self.assertEqual(len(lines), PLAN_TEST_COUNT)
        self.assertEqual(lines[0], "PASSED  - " + FIRST_TEST_TITLE)
        self.assertTrue(all(line.startswith("Not Run - ") for line in lines[1:]), lines)
        self.assertTrue(log.endswith(lines[-1] + "\n"))
        self.assertIn(CONSOLE_CLOSED, term.transcript)
        return log

    def stderr(self):
        with open(self.stderr_file, errors="replace") as text:
            return text.read()


class UploadTest(UploadTestCase):
    def test_upload_stores_the_complete_log(self):
        report = self.start_standin("--user", self.account)
        term = self.run_to_upload("E2E-U1")
        self.assert_complete_log(term)
        with open(self.results_log, "rb") as log:
            sent = log.read()
        stored = os.path.join(self.storage, REPOSITORY, "TR417", "E2E-U1", "dynelle_test",
                              os.path.basename(self.results_log))
        with open(stored, "rb") as upload:
            self.assertEqual(upload.read(), sent)
        errors = self.stderr()
        self.assertIn("nexusUpload() successful", errors)
        self.assertNotIn("retrying", errors)
        self.assertNotIn(FAILURE_MESSAGE, errors)
        with open(report) as text:
            served = text.read()
        # Asset, directory and file name, in that order, named after the log.
        self.assertRegex(served, r"(?m)^stored %s/TR417/E2E-U1/dynelle_test/results\.txt "
                         r"parts=raw\.asset1,raw\.directory,raw\.asset1\.filename "
                         r"asset-filename=results\.txt$" % REPOSITORY)
        requests = re.findall(r"^request POST (\S+) -> (\d+) agent=(.*)$", served, re.M)
        self.assertEqual(len(requests), 1, served)
        path, status, agent = requests[0]
        self.assertEqual((path, status), ("/service/rest/v1/components?repository=" + REPOSITORY, "204"))
        # The program's own agent, as built into it, not the library's default.
        self.assertRegex(agent, r"^dynelle_test/\d")
        with open(APP_BIN, "rb") as binary:
            self.assertIn(agent.encode() + b"\0", binary.read())


class FailedUploadTest(UploadTestCase):
    def expect_failed_upload(self, serial, reason):
        term = self.run_to_upload(serial)
        self.assert_complete_log(term)
        errors = self.stderr()
        self.assertTrue(errors.endswith(FAILURE_MESSAGE), errors)
        self.assertEqual(re.findall(r"^nexusUpload\(\) failed.*$", errors, re.M),
                         ["nexusUpload() failed: " + reason, "nexusUpload() failed - retrying"] * 3
                         + ["nexusUpload() failed - aborting"])
        self.assertFalse(os.path.exists(os.path.join(self.storage, REPOSITORY, "TR417", serial)))

    def test_repository_down(self):
        self.expect_failed_upload("E2E-U2", "Connection refused")

    def test_login_refused(self):
        self.start_standin("--user", "someone-else:secret")
        self.expect_failed_upload("E2E-U3", "Host requires authentication")

    def test_server_certificate_from_an_untrusted_authority(self):
        other = make_ca(os.path.join(self.tmp, "other-ca"), self.host)
        self.start_standin("--user", self.account, cert=other)
        self.expect_failed_upload("E2E-U4", "SSL handshake failed")


if __name__ == "__main__":
    unittest.main()
