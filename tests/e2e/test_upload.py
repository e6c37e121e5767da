"""The menu's upload choice end to end against the repository stand-in over
HTTPS. The program trusts the system's authorities and resolves the host
through /etc/hosts, so it and the stand-in run in a private mount and network
namespace with only loopback, a hosts file and a store holding a throw-away
test authority: nothing outside the namespace changes."""

import os
import re
import shutil
import subprocess
import sys
import time
import unittest

from harness import APP_BIN, BENCH, PLAN_TEST_COUNT, SUMMARY_PROMPT, DeviceTestCase, enter_serial, \
    result_lines

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "nexus-standin")
REPOSITORY = "kw_production_artifacts"
FAILURE_MESSAGE = "Nexus Upload Failed, are you connected to the network?\n"
# Namespace holder: loopback up, hosts file and certificate store bound in.
NAMESPACE = ('ip link set lo up && mount --bind "$1" /etc/hosts && mount --bind "$2" /etc/ssl/certs && '
             'echo ready && exec sleep infinity')


def build_settings():
    """Host, port and clear account the program was built with, from the
    CMake cache of its build tree."""
    directory = os.path.dirname(os.path.abspath(APP_BIN))
    while not os.path.exists(os.path.join(directory, "CMakeCache.txt")):
        if directory == "/":
            raise unittest.SkipTest("no CMake cache above " + APP_BIN)
        directory = os.path.dirname(directory)
    with open(os.path.join(directory, "CMakeCache.txt")) as text:
        cache = dict(re.findall(r"(?m)^(DYNELLE_NEXUS_\w+):\w+=(.*)$", text.read()))
    tool = os.path.join(directory, "tools", "nexus-credentials", "nexus-credentials")
    if not os.access(tool, os.X_OK):
        raise unittest.SkipTest("nexus-credentials not built")
    account = subprocess.run([tool, "decrypt", cache["DYNELLE_NEXUS_CREDENTIALS_HEX"]], check=True,
                             capture_output=True, text=True).stdout.strip()
    host, _, port = cache["DYNELLE_NEXUS_HOST"].partition(":")
    return host, int(port or 443), account


def wait_for_line(path, pattern, process, timeout=10):
    deadline = time.monotonic() + timeout
    while True:
        with open(path, errors="replace") as text:
            content = text.read()
        if re.search(pattern, content, re.M):
            return
        if process.poll() is not None or time.monotonic() > deadline:
            raise AssertionError("no %r from %r: %s" % (pattern, process.args, content))
        time.sleep(0.05)


class UploadTest(DeviceTestCase):
    @classmethod
    def setUpClass(cls):
        if os.geteuid() != 0:
            raise unittest.SkipTest("needs root for a private mount and network namespace")
        probe = subprocess.run(["unshare", "--mount", "--net", "true"], capture_output=True, text=True)
        if probe.returncode != 0:
            raise unittest.SkipTest("private namespaces not permitted: " + probe.stderr.strip())
        if not APP_BIN:
            raise unittest.SkipTest("dynelle_test not built (set DYNELLE_TEST)")
        cls.host, cls.port, cls.account = build_settings()

    def spawn(self, args, out, ready):
        """A process writing to the file `out`, stopped at the end of the test."""
        with open(out, "w") as text:
            process = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=text, stderr=subprocess.STDOUT)
        self.addCleanup(lambda: process.poll() is None and (process.terminate(), process.wait(5)))
        wait_for_line(out, ready, process)
        return process

    def setUp(self):
        super().setUp()
        ca = os.path.join(self.tmp, "ca")
        subprocess.run(["sh", os.path.join(TOOLS, "make-test-ca.sh"), ca, self.host], check=True,
                       stdout=subprocess.DEVNULL)
        hosts, certs = os.path.join(self.tmp, "hosts"), os.path.join(self.tmp, "certs")
        with open(hosts, "w") as text:
            text.write("127.0.0.1 localhost\n::1 localhost\n127.0.0.1 %s\n" % self.host)
        os.mkdir(certs)  # looked up both by hashed name and as the bundle
        for name in ("dynelle-test-ca.pem", "ca-certificates.crt"):
            shutil.copy(os.path.join(ca, "ca.pem"), os.path.join(certs, name))
        subprocess.run(["openssl", "rehash", certs], check=True, capture_output=True)
        holder = self.spawn(["unshare", "--mount", "--net", "--propagation", "private", "sh", "-c", NAMESPACE,
                             "sh", hosts, certs], os.path.join(self.tmp, "namespace.out"), r"^ready$")
        self.inside = ["nsenter", "-t", str(holder.pid), "-m", "-n", "--"]
        self.ca, self.storage = ca, os.path.join(self.tmp, "storage")
        self.stderr_file = os.path.join(self.tmp, "stderr.txt")

    def run_to_upload(self, serial):
        """Passes the first test, opens the menu from the second and uploads;
        returns the terminal and the program's standard error."""
        self.start_simulator(*BENCH)
        term = self.start_program("-c", 'exec "$@" 2>"$0"', self.stderr_file,
                                  *self.inside, APP_BIN, "-s", "-f", self.results_log, program="/bin/sh")
        enter_serial(term, serial)
        term.wait_for_text(2, "(Active Power Source: ACDC at 13.9V)")
        term.send("y")
        term.wait_for_rows({21: SUMMARY_PROMPT})
        term.send(" ")
        term.wait_for_text(0, "DC Input and LED Test")
        term.send("m")
        term.wait_for_text(23, "Selection, (Q)uit, (U)pload and quit : ")
        term.send("u")
        self.assertEqual(term.wait_exit(timeout=45), 0)
        # The console closed (the alternate screen left) before the result lines.
        self.assertIn(b"\x1b[?1049l", term.transcript)
        lines = result_lines(self.read_results_log())
        self.assertEqual(len(lines), PLAN_TEST_COUNT)
        self.assertEqual(lines[:2], ["PASSED  - ACDC Input and LED Test", "Not Run - DC Input and LED Test"])
        with open(self.stderr_file, errors="replace") as text:
            return text.read()

    def test_upload_stores_the_log_exactly(self):
        report = os.path.join(self.tmp, "standin.out")
        self.spawn(self.inside + [sys.executable, os.path.join(TOOLS, "nexus-standin.py"), "--port", str(self.port),
                                  "--storage", self.storage, "--cert", os.path.join(self.ca, "server.pem"),
                                  "--key", os.path.join(self.ca, "server.key"), "--user", self.account],
                   report, r"^listening on %d$" % self.port)
        errors = self.run_to_upload("E2E-U1")
        with open(self.results_log, "rb") as log, open(os.path.join(
                self.storage, REPOSITORY, "TR417", "E2E-U1", "dynelle_test", "results.txt"), "rb") as stored:
            self.assertEqual(stored.read(), log.read())
        self.assertIn("nexusUpload() successful", errors)
        self.assertNotIn("retrying", errors)
        self.assertNotIn(FAILURE_MESSAGE, errors)
        with open(report) as text:
            served = text.read()
        # Asset, directory and file name, in that order, named after the log.
        self.assertRegex(served, r"(?m)^stored %s/TR417/E2E-U1/dynelle_test/results\.txt parts=raw\.asset1,"
                         r"raw\.directory,raw\.asset1\.filename asset-filename=results\.txt$" % REPOSITORY)
        requests = re.findall(r"(?m)^request POST (\S+) -> (\d+) agent=(.*)$", served)
        self.assertEqual([request[:2] for request in requests],
                         [("/service/rest/v1/components?repository=" + REPOSITORY, "204")])
        self.assertRegex(requests[0][2], r"^dynelle_test/\d")  # its own agent, not the library's

    def test_repository_down(self):
        errors = self.run_to_upload("E2E-U2")
        self.assertTrue(errors.endswith(FAILURE_MESSAGE), errors)
        self.assertEqual(re.findall(r"(?m)^nexusUpload\(\) failed.*$", errors),
                         ["nexusUpload() failed: Connection refused", "nexusUpload() failed - retrying"] * 3
                         + ["nexusUpload() failed - aborting"])


if __name__ == "__main__":
    unittest.main()
