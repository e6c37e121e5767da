"""What the program's tests do not show of the board simulator: the bench
model's switching thresholds and input priority, the bytes each fault puts on
the line, and the request record. Linked at a private path, so these tests
leave the shared device node alone."""

import os
import select
import shutil
import tempfile
import time
import tty
import unittest

from harness import Simulator, require_binaries


class SimulatorTest(unittest.TestCase):
    def setUp(self):
        require_binaries()
        self.dir = tempfile.mkdtemp(prefix="tr417sim-test-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.link = os.path.join(self.dir, "tr417_app")

    def start(self, *commands, **kwargs):
        sim = Simulator(self.link, commands, **kwargs)
        self.addCleanup(sim.stop)
        fd = os.open(self.link, os.O_RDWR | os.O_NOCTTY)  # the host's end, raw as the program sets it
        tty.setraw(fd)
        self.addCleanup(os.close, fd)
        return sim, fd

    @staticmethod
    def exchange(fd, requests, wait=0.3):
        """Sends the request lines; returns what arrives until `wait` s of quiet."""
        os.write(fd, "".join(r + "\n" for r in requests).encode())
        data = b""
        while select.select([fd], [], [], wait)[0]:
            data += os.read(fd, 65536)
        return data

    @staticmethod
    def reading(sim, letter):
        return next(r[2:] for r in sim.command("readings") if r.startswith(letter + " "))

    def test_acceptance_window_hysteresis(self):
        # (volts applied to J1 in turn, whether it is live after each)
        for volts, live in [
                ([10.6, 10.69, 10.7], [0, 0, 1]),
                ([12.0, 10.41, 10.4, 10.5], [1, 1, 0, 0]),
                ([17.5, 17.79, 17.8, 17.5, 17.31, 17.3], [1, 1, 0, 0, 0, 1]),
                ([18.5, 11.6], [0, 1]),
                ([18.5, 10.0], [0, 0]),
                ([14.0, 0], [1, 0])]:
            with self.subTest(volts):
                sim, seen = Simulator(self.link), []
                for v in volts:
                    sim.command("j1 %s" % v)
                    seen.append(int(self.reading(sim, "P")))
                sim.stop()
                self.assertEqual(seen, live)

    def test_highest_priority_live_input_supplies_the_rail(self):
        sim, _ = self.start("drop 150")
        for command, mask, rail in [("j3 13.0", "4", "12850"), ("j2 12.0", "6", "11850"),
                                    ("j1 14.0", "7", "13850"), ("j1 18.5", "6", "11850"),
                                    ("j2 9.0", "4", "12850"), ("j3 0", "0", "0")]:
            sim.command(command)
            self.assertEqual((self.reading(sim, "P"), self.reading(sim, "S")), (mask, rail), command)

    def test_faults_on_the_line(self):
        sim, fd = self.start("j1 14.0", "plate g")
        # (fault, requests, what comes back)
        for fault, requests, expected in [
                ("fault silence", "SV", b""),
                ("fault noversion", "VSVP", b"S 13900\nP 1\n"),
                ("fault crlf", "SV", b"S 13900\r\nV1.0 tr417_sim\r\n"),
                ("fault nul", "SP", b"S 13900\n\0P 1\n\0"),
                ("fault overlong 3000", "", b"X" + b"x" * 2999 + b"\n"),
                ("send S 1\\r\\0", "", b"S 1\r\0\n")]:
            with self.subTest(fault):
                sim.command("fault clear")
                sim.command(fault)
                self.assertEqual(self.exchange(fd, requests), expected)
        sim.command("fault clear")
        sim.command("fault garbage")
        lines = self.exchange(fd, "SPCV" * 20).split(b"\n")[:-1]
        self.assertEqual(lines[1::2], [b"S 13900", b"P 1", b"C 80", b"V1.0 tr417_sim"] * 20)
        for noise in lines[0::2]:  # a line ahead of each reply, never taken for one
            self.assertFalse(set(noise[:1]) & set(b"ABCDGHPSTV#") or b"\0" in noise, noise)
        sim.command("fault clear")
        sim.command("fault split")
        self.assertEqual(self.exchange(fd, "S"), b"S 1")
        self.assertEqual(self.exchange(fd, "P"), b"3900\nP")  # the tail goes ahead of the next reply
        sim.command("fault vanish")
        self.assertFalse(os.path.lexists(self.link))
        self.assertRaises(OSError, os.write, fd, b"S\n")  # a hung-up line
        self.assertIn("line: vanished", sim.command("status"))

    def test_requests_are_recorded_with_monotonic_times(self):
        sim, fd = self.start(extra_args=["--record-limit", "3"])
        before = time.monotonic()
        self.exchange(fd, ["C", "V", "D 41"])
        time.sleep(0.25)
        os.write(fd, b"T\r\n\x01\xff\n")
        self.exchange(fd, [])
        records = sim.records()
        self.assertEqual([line for _, line in records], ["D 41", "T\\r", "\\x01\\xff"])  # the newest, escaped
        self.assertTrue(before <= records[0][0] + 0.002 and records[-1][0] <= time.monotonic() + 0.002, records)
        self.assertGreaterEqual(records[1][0] - records[0][0], 0.24)
        sim.command("record clear")
        self.assertEqual(sim.record_count(), 0)


if __name__ == "__main__":
    unittest.main()
