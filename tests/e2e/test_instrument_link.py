"""End to end: datacore-probe against the instrument-server stand-in over loopback."""

import json
import os
import re
import socket
import struct
import subprocess
import unittest

from harness import Lines, spawn

SERVER_BIN = os.environ.get("INSTRUMENT_SERVER", "")
PROBE_BIN = os.environ.get("DATACORE_PROBE", "")
DEADLINE = 20.0  # seconds; generous for loaded machines


def start(test, *args):
    proc = spawn(test, args, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE, bufsize=0)
    return proc, Lines(proc.stdout), Lines(proc.stderr)


@unittest.skipUnless(SERVER_BIN and PROBE_BIN, "INSTRUMENT_SERVER and DATACORE_PROBE name the binaries")
class ProbeAgainstStandIn(unittest.TestCase):
    def setUp(self):
        self.server, out, self.events = start(self, SERVER_BIN, "--port", "0", "--rate", "200", "--size", "64")
        self.port = out.until(r"^listening on port \d+$").split()[-1]

    def test_registration_starts_and_stops_the_streams(self):
        probe = subprocess.run([PROBE_BIN, "--port", self.port, "--count", "40", "--sequence", "0x1011",
                                "PpmMetersData"], capture_output=True, timeout=DEADLINE)
        self.assertEqual(probe.returncode, 0, probe.stderr)
        out = probe.stdout.decode()
        frames = re.findall(r"(?m)^(0x101[13] \w+) length 64 rate [\d.]+/s$", out)
        self.assertEqual((len(frames), set(frames)), (40, {"0x1011 EyeVerticalHistogramData", "0x1013 PpmMetersData"}))
        self.assertRegex(out, r"\ntotal 0x1011 EyeVerticalHistogramData frames \d+ bytes \d+ lost 0 rate [\d.]+/s\n"
                              r"total 0x1013 PpmMetersData frames \d+ bytes \d+ lost 0 rate [\d.]+/s\n"
                              r"cpu [\d.]+ s over [\d.]+ s\n$")
        self.events.until(r"^stream 0x1011 started for 127\.0\.0\.1:\d+$")
        self.events.until(r"^stream 0x1013 started")
        closed = self.events.until(r"^client .* closed$")
        # Stopped by the probe's deregistrations, before its connection went.
        for stream in ("0x1011", "0x1013"):
            stopped = self.events.until(r"^stream %s stopped after \d+ frames$" % stream)
            self.assertLess(self.events.seen.index(stopped), self.events.seen.index(closed))
        self.server.stdin.write(b"quit\n")
        self.assertEqual(self.server.wait(DEADLINE), 0)

    def test_faults_cost_only_the_bad_bytes_and_datacore_is_relayed(self):
        probe, out, _ = start(self, PROBE_BIN, "--port", self.port)
        self.events.until(r"^client .* connected$")
        for command in ("notice one", "garbage 5", "notice two", "notrailer", "notice three", "hugelength",
                        "notice four", "split", "notice five"):
            self.server.stdin.write(command.encode() + b"\n")
        out.until(r'"Text": "five"')
        with socket.create_connection(("127.0.0.1", int(self.port)), timeout=DEADLINE) as peer:
            text = json.dumps({"Class": "Hello"}).encode()
            payload = struct.pack(">I", len(text)) + text
            peer.sendall(bytes.fromhex("CAFEBA6E1F00D321") + struct.pack(">HHi", 0x1010, 0, len(payload)) + payload
                         + bytes.fromhex("DEADBEEF"))
            out.until(r'"Class": "Hello"')
            self.events.until(r"^relayed Hello from 127\.0\.0\.1:\d+ to 1 clients$")
        self.server.stdin.write(b"close\n")
        rest, errors = probe.communicate(timeout=DEADLINE)
        self.assertEqual(probe.returncode, 3)
        texts = re.findall(r'"Text": "(.*)"', "\n".join(out.seen) + rest.decode())
        self.assertEqual(texts, ["one", "two", "three", "four", "split frame", "five"])
        self.assertIn("datacore-probe: the server closed the connection\n", errors.decode())

