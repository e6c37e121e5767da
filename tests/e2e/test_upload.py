"""The menu's upload choice against the repository stand-in over HTTPS, in a
private mount and network namespace: loopback only, a hosts file naming the
repository's host, a certificate store holding a throw-away test authority."""

import os
import pathlib
import re
import shutil
import subprocess
import sys

from harness import APP_BIN, BENCH, DeviceTestCase, Lines, enter_serial, Simulator, spawn

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "nexus-standin")
NAMESPACE = ('ip link set lo up && mount --bind "$1" /etc/hosts && mount --bind "$2" /etc/ssl/certs && '
             'echo ready && exec sleep infinity')


def build_settings():  # host, port and clear account the program was built with
    directory = os.path.dirname(os.path.dirname(os.path.abspath(APP_BIN)))  # <build>/app/dynelle_test
    with open(os.path.join(directory, "CMakeCache.txt")) as text:
        cache = dict(re.findall(r"(?m)^(DYNELLE_NEXUS_\w+):\w+=(.*)$", text.read()))
    tool = os.path.join(directory, "tools", "nexus-credentials", "nexus-credentials")
    account = subprocess.run([tool, "decrypt", cache["DYNELLE_NEXUS_CREDENTIALS_HEX"]], check=True,
                             capture_output=True, text=True).stdout.strip()
    host, _, port = cache["DYNELLE_NEXUS_HOST"].partition(":")
    return host, int(port or 443), account


class UploadTest(DeviceTestCase):
    def run_to_upload(self, inside, serial):  # passes the first test, uploads from the menu; returns standard error
        errors = os.path.join(self.tmp, "stderr.txt")
        sim = Simulator(self, *BENCH)
        term = self.start_program("-c", 'exec "$@" 2>"$0"', errors, *inside, APP_BIN, "-s", "-f",
                                  self.results_log, program="/bin/sh")
        enter_serial(term, serial)
        term.wait_for_text(23, "Y or N (M)enu")
        term.send("m")
        term.wait_for_text(23, "Selection, (Q)uit, (U)pload and quit : ")
        term.send("u")
        self.assertEqual(term.wait_exit(timeout=45), 0)
        sim.stop()
        return pathlib.Path(errors).read_text(errors="replace")

    def test_upload_told_when_the_repository_is_down_then_stores_the_log_exactly(self):
        probe = subprocess.run(["unshare", "--mount", "--net", "true"], capture_output=True, text=True)
        if probe.returncode != 0:
            self.skipTest("no private namespaces: " + probe.stderr.strip())
        host, port, account = build_settings()
        ca, certs, hosts = (os.path.join(self.tmp, name) for name in ("ca", "certs", "hosts"))
        subprocess.run(["sh", os.path.join(TOOLS, "make-test-ca.sh"), ca, host], check=True, stdout=subprocess.DEVNULL)
        pathlib.Path(hosts).write_text("127.0.0.1 localhost\n::1 localhost\n127.0.0.1 %s\n" % host)
        os.mkdir(certs)  # looked up both by hashed name and as the bundle
        for name in ("dynelle-test-ca.pem", "ca-certificates.crt"):
            shutil.copy(os.path.join(ca, "ca.pem"), os.path.join(certs, name))
        subprocess.run(["openssl", "rehash", certs], check=True, capture_output=True)
        holder = spawn(self, ["unshare", "--mount", "--net", "--propagation", "private", "sh", "-c", NAMESPACE, "sh",
                              hosts, certs], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        Lines(holder.stdout).until(r"^ready$")
        inside = ["nsenter", "-t", str(holder.pid), "-m", "-n", "--"]

        errors = self.run_to_upload(inside, "E2E-U2")
        self.assertTrue(errors.endswith("Nexus Upload Failed, are you connected to the network?\n"), errors)
        storage = os.path.join(self.tmp, "storage")
        standin = spawn(self, inside + [sys.executable, os.path.join(TOOLS, "nexus-standin.py"), "--port", str(port),
                                        "--storage", storage, "--cert", os.path.join(ca, "server.pem"),
                                        "--key", os.path.join(ca, "server.key"), "--user", account],
                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        Lines(standin.stdout).until(r"^listening on %d$" % port)
        errors = self.run_to_upload(inside, "E2E-U1")
        self.assertEqual(pathlib.Path(storage, "kw_production_artifacts/TR417/E2E-U1/dynelle_test/results.txt")
                         .read_bytes(), pathlib.Path(self.results_log).read_bytes())
        self.assertNotIn("failed", errors)
