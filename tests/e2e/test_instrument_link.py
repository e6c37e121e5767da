"""End to end: datacore-probe against the instrument-server stand-in over loopback."""

import json
import os
import re
import select
import socket
import struct
import subprocess
import time
import unittest

SERVER_BIN = os.environ.get("INSTRUMENT_SERVER", "")
PROBE_BIN = os.environ.get("DATACORE_PROBE", "")
DEADLINE = 20.0  # seconds; generous for loaded machines


class Lines:
    """Reads one pipe line by line with a deadline, keeping every line read."""

    def __init__(self, pipe):
        self.pipe, self.buffer, self.seen = pipe, b"", []

    def until(self, pattern):  # the first line so far that matches
        end = time.monotonic() + DEADLINE
        while not any(re.search(pattern, line) for line in self.seen):
            ready = select.select([self.pipe], [], [], max(0.0, end - time.monotonic()))[0]
            chunk = os.read(self.pipe.fileno(), 65536) if ready else b""
            if not chunk:
                raise AssertionError("no line matching %r; got %r" % (pattern, self.seen[-20:]))
            *complete, self.buffer = (self.buffer + chunk).split(b"\n")
            self.seen += [line.decode("utf-8", "replace") for line in complete]
        return next(line for line in self.seen if re.search(pattern, line))


def start(test, *args):
    proc = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    test.addCleanup(proc.communicate)
    test.addCleanup(proc.kill)
    return proc, Lines(proc.stdout), Lines(proc.stderr)


@unittest.skipUnless(SERVER_BIN and PROBE_BIN, "INSTRUMENT_SERVER and DATACORE_PROBE name the binaries")
class ProbeAgainstStandIn(unittest.TestCase):
    def setUp(self):
        self.server, out, self.events = start(self, SERVER_BIN, "--port", "0", "--rate", "200", "--size", "64")
        self.port = out.until(r"^listening on port \d+$").split()[-1]

    def command(self, text):
        self.server.stdin.write(text.encode() + b"\n")
        self.server.stdin.flush()

    def test_registration_starts_and_stops_the_streams(self):
        probe = subprocess.run([PROBE_BIN, "--port", self.port, "--count", "40", "--sequence", "0x1011",
                                "PpmMetersData"], capture_output=True, timeout=DEADLINE)
        self.assertEqual(probe.returncode, 0, probe.stderr)
        lines = probe.stdout.decode().splitlines()
        self.assertTrue(any(re.match(r"^0x1011 EyeVerticalHistogramData length 64 rate [\d.]+/s$", l) for l in lines))
        self.assertTrue(any(re.match(r"^0x1013 PpmMetersData length 64 rate [\d.]+/s$", l) for l in lines))
        self.assertEqual(sum(1 for l in lines if re.match(r"^0x101[13] ", l)), 40)
        totals = [l for l in lines if l.startswith("total ")]
        self.assertEqual(len(totals), 2)
        for total in totals:
            self.assertRegex(total, r"^total 0x101[13] \w+ frames \d+ bytes \d+ lost 0 rate [\d.]+/s$")
        self.assertRegex(lines[-1], r"^cpu [\d.]+ s over [\d.]+ s$")
        self.events.until(r"^stream 0x1011 started for 127\.0\.0\.1:\d+$")
        self.events.until(r"^stream 0x1013 started")
        closed = self.events.until(r"^client .* closed$")
        # Stopped by the probe's deregistrations, before its connection went.
        for stream in ("0x1011", "0x1013"):
            stopped = self.events.until(r"^stream %s stopped after \d+ frames$" % stream)
            self.assertLess(self.events.seen.index(stopped), self.events.seen.index(closed))
        self.command("quit")
        self.assertEqual(self.server.wait(DEADLINE), 0)

    def test_faults_cost_only_the_bad_bytes_and_datacore_is_relayed(self):
        probe, out, _ = start(self, PROBE_BIN, "--port", self.port)
        self.events.until(r"^client .* connected$")
        for command in ("notice one", "garbage 5", "notice two", "notrailer", "notice three", "hugelength",
                        "notice four", "split", "notice five"):
            self.command(command)
        out.until(r'"Text": "five"')
        with socket.create_connection(("127.0.0.1", int(self.port)), timeout=DEADLINE) as peer:
            text = json.dumps({"Class": "Hello"}).encode()
            payload = struct.pack(">I", len(text)) + text
            peer.sendall(bytes.fromhex("CAFEBA6E1F00D321") + struct.pack(">HHi", 0x1010, 0, len(payload)) + payload
                         + bytes.fromhex("DEADBEEF"))
            out.until(r'"Class": "Hello"')
            self.events.until(r"^relayed Hello from 127\.0\.0\.1:\d+ to 1 clients$")
        self.command("close")
        rest, errors = probe.communicate(timeout=DEADLINE)
        self.assertEqual(probe.returncode, 3)
        texts = re.findall(r'"Text": "(.*)"', "\n".join(out.seen) + rest.decode())
        self.assertEqual(texts, ["one", "two", "three", "four", "split frame", "five"])
        self.assertIn("datacore-probe: the server closed the connection\n", errors.decode())


if __name__ == "__main__":
    unittest.main()
