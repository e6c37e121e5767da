"""What the program's tests do not show of the board simulator: the bench
model's switching thresholds and the bytes each fault puts on the line.
Linked at a private path, so these tests leave the shared device node alone."""

import os
import select
import tempfile
import tty
import unittest

from harness import SIM_BIN, Simulator


class SimulatorTest(unittest.TestCase):
    def setUp(self):
        if not os.access(SIM_BIN, os.X_OK):
            self.skipTest("set TR417_SIM to the built simulator")
        self.link = os.path.join(self.enterContext(tempfile.TemporaryDirectory(prefix="tr417sim-test-")), "tr417_app")

    def test_acceptance_window_hysteresis(self):
        # (volts applied to J1 in turn, whether it is live after each)
        for volts, live in [([10.6, 10.69, 10.7], "001"), ([12.0, 10.41, 10.4, 10.5], "1100"),
                            ([17.5, 17.79, 17.8, 17.5, 17.31, 17.3], "110001"), ([18.5, 11.6], "01"),
                            ([18.5, 10.0], "00"), ([14.0, 0], "10")]:
            with self.subTest(volts):
                sim, seen = Simulator(self.link), ""
                for v in volts:
                    sim.command("j1 %s" % v)
                    seen += next(r[2:] for r in sim.command("readings") if r.startswith("P "))
                sim.stop()
                self.assertEqual(seen, live)

    def test_faults_on_the_line(self):
        sim = Simulator(self.link, ["j1 14.0", "plate g"])
        self.addCleanup(sim.stop)
        fd = os.open(self.link, os.O_RDWR | os.O_NOCTTY)  # the host's end, raw as the program sets it
        tty.setraw(fd)
        self.addCleanup(os.close, fd)

        def exchange(requests):  # Sends the request lines; returns what arrives until 0.3 s of quiet.
            os.write(fd, "".join(r + "\n" for r in requests).encode())
            data = b""
            while select.select([fd], [], [], 0.3)[0]:
                data += os.read(fd, 65536)
            return data
        # (fault, requests, what comes back); a split reply's tail goes ahead of the next reply.
        for fault, requests, expected in [
                ("fault silence", "SV", b""), ("fault noversion", "VSVP", b"S 13900\nP 1\n"),
                ("fault crlf", "SV", b"S 13900\r\nV1.0 tr417_sim\r\n"), ("fault nul", "SP", b"S 13900\n\0P 1\n\0"),
                ("fault overlong 3000", "", b"X" + b"x" * 2999 + b"\n"), ("send S 1\\r\\0", "", b"S 1\r\0\n"),
                ("fault split", "SP", b"S 13900\nP")]:
            with self.subTest(fault):
                sim.command("fault clear")
                sim.command(fault)
                self.assertEqual(exchange(requests), expected)
