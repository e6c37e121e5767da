"""The board simulator on its own: what it answers, its bench model, its
faults, its record and its housekeeping. It is linked at a private path, so
these tests do not need the shared device node."""

import errno
import fcntl
import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

from harness import HostLine, Simulator, SimulatorError, require_binaries, SIM_BIN


class SimulatorCase(unittest.TestCase):
    def setUp(self):
        require_binaries()
        self.dir = tempfile.mkdtemp(prefix="tr417sim-test-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.link = os.path.join(self.dir, "tr417_app")

    def start(self, *commands, **kwargs):
        sim = Simulator(self.link, commands, **kwargs)
        self.addCleanup(sim.stop)
        return sim

    def host(self):
        line = HostLine(self.link)
        self.addCleanup(line.close)
        return line

    def ask(self, line, request, replies=1):
        line.send(request)
        return [r.decode("latin-1") for r in line.read_lines(replies)]

    def reading(self, sim, letter):
        """The value the board would report now for one request letter."""
        for reply in sim.command("readings"):
            if reply.startswith(letter + " "):
                return reply[2:]
        raise AssertionError("no %s reading" % letter)


class RepliesTest(SimulatorCase):
    def test_each_request_gets_its_reply_line(self):
        sim = self.start("j1 14.0", "plate g", "capacity 64", "gauge 61", "raw 1234", "battery 12.3",
                         "version 2.07 test build")
        line = self.host()
        cases = [
            ("S", ["S 13900"]),
            ("P", ["P 1"]),
            ("C", ["C 64"]),
            ("T", ["T -2"]),
            ("A", ["# getAnalogFuelGauge() = 61 1234", "A 61"]),
            ("B", ["B 1"]),
            ("G", ["G 12300"]),
            ("V", ["V2.07 test build"]),
            ("D 41", ["D 41"]),
        ]
        for request, expected in cases:
            with self.subTest(request=request):
                self.assertEqual(self.ask(line, request, len(expected)), expected)
        self.assertTrue(sim.alive())

    def test_fuel_gauge_comment_yields_raw_value_as_fifth_piece(self):
        # The host splits at single blanks and takes the fifth of five pieces.
        self.start("plate g", "gauge 7", "raw 4095")
        comment = self.ask(self.host(), "A", 2)[0]
        pieces = comment.split(" ")
        self.assertEqual(len(pieces), 5)
        self.assertEqual(pieces[4], "4095")
        self.assertTrue(comment.startswith("# getAnalogFuelGauge() ="))

    def test_burst_is_answered_in_request_order(self):
        self.start("j2 12.0", "plate v")
        line = self.host()
        line.send("C", "V", "T", "P", "S", "A", "B", "G")
        letters = [r[:1].decode() for r in line.read_lines(9)]
        self.assertEqual(letters, ["C", "V", "T", "P", "S", "#", "A", "B", "G"])

    def test_unknown_and_empty_requests(self):
        self.start()
        line = self.host()
        line.send("", "Z 1", "s")
        replies = line.read_lines(2)
        self.assertEqual(replies, [b'# unknown request "Z 1"', b'# unknown request "s"'])
        self.assertEqual(line.read_available(0.2), b"")

    def test_overrides_replace_the_value_until_unset(self):
        sim = self.start("j1 12.0")
        line = self.host()
        sim.command("set S 12.0")
        sim.command("set P -1")
        self.assertEqual(self.ask(line, "S"), ["S 12.0"])
        self.assertEqual(self.ask(line, "P"), ["P -1"])
        sim.command("unset S")
        self.assertEqual(self.ask(line, "S"), ["S 11900"])
        sim.command("unset all")
        self.assertEqual(self.ask(line, "P"), ["P 1"])


class BenchModelTest(SimulatorCase):
    def live(self, sim):
        return int(self.reading(sim, "P"))

    def test_acceptance_window_hysteresis(self):
        # (voltages applied to J1 in turn, live after each)
        sweeps = [
            ("lower edge rising", [10.6, 10.69, 10.7], [False, False, True]),
            ("lower edge falling", [12.0, 10.5, 10.41, 10.4], [True, True, True, False]),
            ("lower band keeps state", [10.5, 11.0, 10.5, 10.0, 10.5], [False, True, True, False, False]),
            ("upper edge rising", [17.5, 17.79, 17.8], [True, True, False]),
            ("upper edge falling", [18.5, 17.5, 17.31, 17.3], [False, False, False, True]),
            ("upper band keeps state", [17.5, 18.0, 17.5, 16.0, 17.5], [True, False, False, True, True]),
            ("jump over both edges", [18.5], [False]),
            ("jump down into window", [18.5, 11.6], [False, True]),
            ("jump down through window", [18.5, 10.0], [False, False]),
            ("switch off", [14.0, 0], [True, False]),
        ]
        for name, volts, expected in sweeps:
            with self.subTest(name):
                sim = Simulator(self.link)
                try:
                    seen = []
                    for v in volts:
                        sim.command("j1 %s" % v)
                        seen.append(self.live(sim) == 1)
                    self.assertEqual(seen, expected)
                finally:
                    sim.stop()

    def test_highest_priority_live_input_supplies_the_rail(self):
        sim = self.start("drop 150")
        steps = [
            ("j3 13.0", 4, "12850"),
            ("j2 12.0", 6, "11850"),
            ("j1 14.0", 7, "13850"),
            ("j1 18.5", 6, "11850"),
            ("j2 9.0", 4, "12850"),
            ("j3 0", 0, "0"),
        ]
        for command, mask, rail in steps:
            with self.subTest(command):
                sim.command(command)
                self.assertEqual(self.live(sim), mask)
                self.assertEqual(self.reading(sim, "S"), rail)

    def test_battery_plate_readings(self):
        sim = self.start("j1 14.0", "capacity 50", "gauge 55", "battery 12.1")
        # (commands, B, C, G, A)
        plates = [
            (["plate none"], "-1", "-1", "-1", "-1"),
            (["plate g"], "1", "50", "12100", "55"),
            (["plate v"], "2", "50", "12100", "-1"),
            (["plate v", "protocol i2c"], "3", "50", "12100", "-1"),
            (["plate v", "protocol none"], "0", "50", "12100", "-1"),
        ]
        for commands, b, c, g, a in plates:
            with self.subTest(commands):
                for command in commands:
                    sim.command(command)
                self.assertEqual([self.reading(sim, x) for x in "BCGA"], [b, c, g, a])

    def test_time_to_empty_follows_the_battery(self):
        sim = self.start("capacity 50", "runtime 300")
        self.assertEqual(self.reading(sim, "T"), "-1")   # no battery
        sim.command("plate g")
        sim.command("j1 14.0")
        sim.command("j3 12.6")
        self.assertEqual(self.reading(sim, "T"), "-2")   # J1 supplies, battery idle
        sim.command("j1 0")
        self.assertEqual(self.reading(sim, "T"), "150")  # battery supplies: 50 % of 300 min

    def test_bad_commands_are_refused_and_change_nothing(self):
        sim = self.start("j1 14.0")
        for command in ["j1 abc", "j1 -1", "j1 99", "j1", "plate x", "protocol usb", "set X 1",
                        "set S", "unset Q", "capacity ten", "fault bogus", "fault crlf maybe",
                        "lock", "frobnicate", "send \\q"]:
            with self.subTest(command):
                ok, _, closing = sim.try_command(command)
                self.assertFalse(ok)
                self.assertTrue(closing.startswith("error "), closing)
        self.assertEqual(self.reading(sim, "S"), "13900")
        self.assertEqual(sim.command("fault"), ["faults: none"])


class FaultTest(SimulatorCase):
    def setUp(self):
        super().setUp()
        self.sim = self.start("j1 14.0", "plate g")
        self.line = self.host()

    def test_silence(self):
        self.sim.command("fault silence")
        self.line.send("S", "V")
        self.assertEqual(self.line.read_available(0.4), b"")
        self.sim.command("fault silence off")
        self.assertEqual(self.ask(self.line, "S"), ["S 13900"])

    def test_everything_but_the_version(self):
        self.sim.command("fault noversion")
        self.line.send("V", "S", "V", "P")
        self.assertEqual(self.line.read_available(0.4), b"S 13900\nP 1\n")

    def test_carriage_returns(self):
        self.sim.command("fault crlf")
        self.line.send("S", "V")
        self.assertEqual(self.line.read_available(0.4), b"S 13900\r\nV1.0 tr417_sim\r\n")

    def test_nul_bytes(self):
        self.sim.command("fault nul")
        self.line.send("S", "P")
        self.assertEqual(self.line.read_available(0.4), b"S 13900\n\0P 1\n\0")

    def test_garbage_never_looks_like_a_reply(self):
        self.sim.command("fault garbage")
        self.line.send(*(["S", "P", "C", "V"] * 20))
        data = self.line.read_available(0.4)
        lines = data.split(b"\n")[:-1]
        replies = [l for l in lines if l[:1] in (b"S", b"P", b"C", b"V")]
        noise = [l for l in lines if l not in replies]
        self.assertEqual(replies, [b"S 13900", b"P 1", b"C 80", b"V1.0 tr417_sim"] * 20)
        self.assertEqual(len(noise), 80)
        for l in noise:
            self.assertNotIn(l[:1], b"ABCDGHPSTV#")
            self.assertNotIn(b"\0", l)

    def test_split_replies_arrive_in_two_reads(self):
        self.sim.command("fault split")
        self.line.send("S")
        first = self.line.read_available(0.3)
        self.assertEqual(first, b"S 1")
        # The tail comes ahead of the next batch of replies ...
        self.line.send("P")
        self.assertEqual(self.line.read_available(0.3), b"3900\nP")
        # ... or by itself when no further request follows.
        start = time.monotonic()
        self.assertEqual(self.line.read_lines(1, timeout=3), [b" 1"])
        self.assertGreater(time.monotonic() - start, 0.4)

    def test_overlong_line(self):
        self.sim.command("fault overlong 3000")
        line = self.line.read_lines(1)[0]
        self.assertEqual(len(line), 3000)
        self.assertTrue(line.startswith(b"Xxxx"))
        self.assertEqual(self.ask(self.line, "S"), ["S 13900"])

    def test_unsolicited_bytes(self):
        self.sim.command("send S 1\\r\\0")
        self.sim.command("sendraw V\\x41")
        self.assertEqual(self.line.read_available(0.3), b"S 1\r\0\nVA")

    def test_vanish(self):
        self.sim.command("fault vanish")
        self.assertFalse(os.path.lexists(self.link))
        # The host's descriptor stays open on a hung-up line.
        with self.assertRaises(OSError) as failure:
            os.write(self.line.fd, b"S\n")
        self.assertEqual(failure.exception.errno, errno.EIO)
        try:
            self.assertEqual(os.read(self.line.fd, 32), b"")
        except OSError as error:
            self.assertEqual(error.errno, errno.EIO)
        self.assertIn("line: vanished", self.sim.command("status"))
        self.assertTrue(self.sim.alive())

    def ask(self, line, request, replies=1):
        line.send(request)
        return [r.decode("latin-1") for r in line.read_lines(replies)]


class RecordingTest(SimulatorCase):
    def test_requests_are_recorded_with_monotonic_times(self):
        record_file = os.path.join(self.dir, "requests.log")
        sim = self.start(extra_args=["--record", record_file])
        line = self.host()
        before = time.monotonic()
        line.send("C", "D 41")
        line.read_lines(2)
        time.sleep(0.25)
        line.send("V")
        line.read_lines(1)
        after = time.monotonic()
        records = sim.records()
        self.assertEqual([r[1] for r in records], ["C", "D 41", "V"])
        for stamp, _ in records:
            self.assertGreaterEqual(stamp, before - 0.002)
            self.assertLessEqual(stamp, after + 0.002)
        self.assertGreaterEqual(records[2][0] - records[0][0], 0.24)
        self.assertEqual(sim.command("record count"), ["3"])
        with open(record_file) as streamed:
            self.assertEqual([l.split(" ", 1)[1] for l in streamed.read().splitlines()], ["C", "D 41", "V"])
        dump = os.path.join(self.dir, "dump.txt")
        sim.command("record dump " + dump)
        with open(dump) as dumped:
            self.assertEqual(len(dumped.read().splitlines()), 3)
        sim.command("record clear")
        self.assertEqual(sim.records(), [])

    def test_record_keeps_only_the_newest_lines(self):
        sim = self.start(extra_args=["--record-limit", "3"])
        line = self.host()
        line.send("C", "V", "T", "P", "S")
        line.read_lines(5)
        self.assertEqual([r[1] for r in sim.records()], ["T", "P", "S"])

    def test_control_bytes_in_requests_are_escaped(self):
        sim = self.start()
        line = self.host()
        os.write(line.fd, b"S\r\n\x01\xff\n")
        line.read_lines(2)
        self.assertEqual([r[1] for r in sim.records()], ["S\\r", "\\x01\\xff"])


class LineTest(SimulatorCase):
    def test_no_echo_before_the_host_sets_the_line_up(self):
        # Replies written before any host opened the device must not come
        # back to the board as requests.
        sim = self.start()
        sim.command("send S 12000")
        line = HostLine(self.link, raw=False)
        self.addCleanup(line.close)
        self.assertEqual(line.read_lines(1), [b"S 12000"])
        time.sleep(0.1)
        self.assertEqual(sim.records(), [])

    def test_host_can_close_and_reopen(self):
        self.start("j1 12.0")
        for _ in range(3):
            with HostLine(self.link) as line:
                line.send("S")
                self.assertEqual(line.read_lines(1), [b"S 11900"])

    def test_lock_like_the_server(self):
        sim = self.start()
        sim.command("lock on")
        with HostLine(self.link) as line:
            with self.assertRaises(OSError) as failure:
                fcntl.lockf(line.fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
            self.assertIn(failure.exception.errno, (errno.EACCES, errno.EAGAIN))
        sim.command("lock off")
        with HostLine(self.link) as line:
            fcntl.lockf(line.fd, fcntl.LOCK_EX | fcntl.LOCK_NB)

    def test_link_replaced_and_removed(self):
        for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            with self.subTest(sig=sig):
                os.symlink("/nonexistent/pts", self.link)
                sim = Simulator(self.link)
                self.assertTrue(os.readlink(self.link).startswith("/dev/pts/"))
                self.assertIn(self.link, sim.ready_line)
                self.assertEqual(sim.stop(sig), 0)
                self.assertFalse(os.path.lexists(self.link))
                self.assertFalse(os.path.exists(sim.socket_path))

    def test_link_taken_over_by_another_is_left_alone(self):
        sim = self.start()
        os.unlink(self.link)
        os.symlink("/dev/null", self.link)
        sim.stop()
        self.assertEqual(os.readlink(self.link), "/dev/null")

    def test_refuses_to_replace_a_real_file_unless_forced(self):
        with open(self.link, "w") as existing:
            existing.write("not a board")
        with self.assertRaises(SimulatorError):
            Simulator(self.link)
        self.assertTrue(os.path.isfile(self.link))
        sim = Simulator(self.link, extra_args=["--force"])
        self.assertTrue(os.path.islink(self.link))
        sim.stop()

    def test_commands_on_standard_input(self):
        proc = subprocess.Popen([SIM_BIN, "-l", self.link, "-c", ""], stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            out, _ = proc.communicate(b"j2 12.5\nreadings\nfrobnicate\nquit\n", timeout=5)
        finally:
            if proc.poll() is None:
                proc.kill()
        lines = out.decode().splitlines()
        self.assertTrue(lines[0].startswith("tr417_sim ready: " + self.link))
        self.assertEqual(lines[1], "ok")
        self.assertIn("S 12400", lines)
        self.assertIn("P 2", lines)
        self.assertTrue(any(l.startswith("error unknown command") for l in lines))
        self.assertEqual(proc.returncode, 0)
        self.assertFalse(os.path.lexists(self.link))

    def test_client_mode(self):
        sim = self.start()
        run = subprocess.run([SIM_BIN, "--ctl", sim.socket_path, "j1", "13.5"], capture_output=True, timeout=5)
        self.assertEqual((run.returncode, run.stdout), (0, b"ok\n"))
        run = subprocess.run([SIM_BIN, "--ctl", sim.socket_path, "readings"], capture_output=True, timeout=5)
        self.assertIn(b"S 13400\n", run.stdout)
        run = subprocess.run([SIM_BIN, "--ctl", sim.socket_path, "j1", "x"], capture_output=True, timeout=5)
        self.assertEqual(run.returncode, 1)
        run = subprocess.run([SIM_BIN, "--ctl", os.path.join(self.dir, "none.sock"), "status"],
                             capture_output=True, timeout=5)
        self.assertEqual(run.returncode, 2)

    def test_idle_simulator_sleeps(self):
        sim = self.start("j1 14.0")
        with open("/proc/%d/stat" % sim.proc.pid) as stat:
            before = sum(int(x) for x in stat.read().split()[13:15])
        time.sleep(1.0)
        with open("/proc/%d/stat" % sim.proc.pid) as stat:
            after = sum(int(x) for x in stat.read().split()[13:15])
        self.assertLessEqual(after - before, 2)  # clock ticks (1/100 s)


if __name__ == "__main__":
    unittest.main()
