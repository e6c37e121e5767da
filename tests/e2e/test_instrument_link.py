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
    """Reads one pipe line by line with a deadline, keeping everything read."""

    def __init__(self, pipe):
        self.pipe, self.buffer, self.seen = pipe, b"", []

    def until(self, pattern, deadline=DEADLINE):
        regex, end = re.compile(pattern), time.monotonic() + deadline
        checked = 0
        while True:
            for line in self.seen[checked:]:
                if regex.search(line):
                    return line
            checked = len(self.seen)
            left = end - time.monotonic()
            if left <= 0 or not select.select([self.pipe], [], [], left)[0]:
                raise AssertionError("no line matching %r; got %r" % (pattern, self.seen[-20:]))
            chunk = os.read(self.pipe.fileno(), 65536)
            if not chunk:
                raise AssertionError("stream ended without %r; got %r" % (pattern, self.seen[-20:]))
            self.buffer += chunk
            *complete, self.buffer = self.buffer.split(b"\n")
            self.seen += [line.decode("utf-8", "replace") for line in complete]


class StandIn:
    def __init__(self, *options):
        self.proc = subprocess.Popen([SERVER_BIN, "--port", "0", *options], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.out, self.events = Lines(self.proc.stdout), Lines(self.proc.stderr)
        self.port = int(self.out.until(r"^listening on port \d+$").split()[-1])

    def command(self, text):
        self.proc.stdin.write(text.encode() + b"\n")
        self.proc.stdin.flush()

    def stop(self):
        if self.proc.poll() is None:
            self.command("quit")
            try:
                self.proc.wait(DEADLINE)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        for pipe in (self.proc.stdin, self.proc.stdout, self.proc.stderr):
            pipe.close()


def probe(server, *arguments):
    proc = subprocess.Popen([PROBE_BIN, "--port", str(server.port), *arguments],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return proc, Lines(proc.stdout)


def datacore_frame(obj):
    text = json.dumps(obj, separators=(",", ":")).encode()
    payload = struct.pack(">I", len(text)) + text
    return bytes.fromhex("CAFEBA6E1F00D321") + struct.pack(">HHi", 0x1010, 0, len(payload)) + payload \
        + bytes.fromhex("DEADBEEF")


@unittest.skipUnless(SERVER_BIN and PROBE_BIN, "INSTRUMENT_SERVER and DATACORE_PROBE name the binaries")
class ProbeAgainstStandIn(unittest.TestCase):
    def setUp(self):
        self.server = StandIn("--rate", "200", "--size", "64")
        self.addCleanup(self.server.stop)

    def test_registration_starts_and_stops_the_streams(self):
        proc, out = probe(self.server, "--count", "40", "--sequence", "0x1011", "PpmMetersData")
        try:
            self.assertEqual(proc.wait(DEADLINE), 0)
        finally:
            if proc.poll() is None:
                proc.kill()
        out.until(r"^cpu ")
        lines = out.seen
        self.assertTrue(any(re.match(r"^0x1011 EyeVerticalHistogramData length 64 rate [\d.]+/s$", l) for l in lines))
        self.assertTrue(any(re.match(r"^0x1013 PpmMetersData length 64 rate [\d.]+/s$", l) for l in lines))
        self.assertEqual(sum(1 for l in lines if re.match(r"^0x101[13] ", l)), 40)
        for total in (l for l in lines if l.startswith("total 0x101")):
            self.assertRegex(total, r" lost 0 ")
        events = self.server.events
        events.until(r"^stream 0x1011 started for 127\.0\.0\.1:\d+$")
        events.until(r"^stream 0x1013 started")
        closed = events.until(r"^client .* closed$")
        # Stopped by the probe's deregistrations, before its connection went.
        for stream in ("0x1011", "0x1013"):
            stopped = events.until(r"^stream %s stopped after \d+ frames$" % stream)
            self.assertLess(events.seen.index(stopped), events.seen.index(closed))

    def test_faults_cost_only_the_bad_bytes_and_datacore_is_relayed(self):
        proc, out = probe(self.server)
        try:
            self.server.events.until(r"^client .* connected$")
            for command in ("notice one", "garbage 5", "notice two", "notrailer", "notice three", "hugelength",
                            "notice four", "split", "notice five"):
                self.server.command(command)
            out.until(r'"Text": "five"')
            with socket.create_connection(("127.0.0.1", self.server.port), timeout=DEADLINE) as peer:
                self.server.events.until(r"^client .* connected$")
                peer.sendall(datacore_frame({"Class": "Hello", "From": "peer"}))
                out.until(r'"Class": "Hello"')
            self.server.command("close")
            self.assertEqual(proc.wait(DEADLINE), 3)
        finally:
            if proc.poll() is None:
                proc.kill()
            proc.wait()
        texts = [m.group(1) for m in (re.search(r'"Text": "(.*)"', l) for l in out.seen) if m]
        self.assertEqual(texts, ["one", "two", "three", "four", "split frame", "five"])
        self.assertIn("the server closed the connection", proc.stderr.read().decode())
        proc.stdout.close()
        proc.stderr.close()


if __name__ == "__main__":
    unittest.main()
