"""End-to-end helpers: the board simulator behind its control socket, the
program on a real pseudo-terminal read through a terminal emulator, and the
shared device node. CTest names the binaries in TR417_SIM and DYNELLE_TEST."""

import contextlib
import fcntl
import os
import pathlib
import re
import select
import shutil
import socket
import subprocess
import tempfile
import time
import unittest

import pexpect
import pyte

DEVICE = "/dev/tr417_app"
SIM_BIN = os.environ.get("TR417_SIM", "")
APP_BIN = os.environ.get("DYNELLE_TEST", "")
# Runs started by different people on one machine take turns on the node.
DEVICE_LOCK = "/tmp/dynelle-e2e-tr417_app.lock"
VERSION = "V1.0 tr417_sim"
BENCH = ("j1 14.0", "plate g", "capacity 64", "gauge 61", "battery 12.3")
FIRST_TEST_TITLE = "ACDC Input and LED Test"
LED_KEYS = "     Y or N (M)enu, (D)ebug, (Q)uit :"
DEBUG_HEADER = "Dynelle Test Debug - TR417 SW Version : " + VERSION
DEBUG_PROMPT = "    Press (Y) to return to tests :"
MENU_PROMPT = "      Selection, (Q)uit, (U)pload and quit :"
SUMMARY_PROMPT = "    Press Any Key to continue :"


class Simulator:
    def __init__(self, link=DEVICE, commands=()):
        self.dir = tempfile.mkdtemp(prefix="tr417sim-")
        self.socket_path = os.path.join(self.dir, "control.sock")
        args = [SIM_BIN, "--link", link, "--control", self.socket_path, "--no-stdin"]
        self.proc = subprocess.Popen(args + [part for command in commands for part in ("-e", command)],
                                     stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        # It says "ready" on one line once the link and the socket exist.
        if not select.select([self.proc.stdout], [], [], 5.0)[0] or not self.proc.stdout.readline():
            self.stop()
            raise AssertionError("simulator not ready")

    def command(self, text):  # The answer lines to one control command, which must end in "ok".
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as sock:
            sock.settimeout(5.0)
            sock.connect(self.socket_path)
            sock.sendall(text.encode("latin-1") + b"\n")
            sock.shutdown(socket.SHUT_WR)
            lines = b"".join(iter(lambda: sock.recv(65536), b"")).decode("latin-1").splitlines()
        if lines[-1:] != ["ok"]:
            raise AssertionError("%r: %r" % (text, lines))
        return lines[:-1]

    def records(self):  # The request lines received so far, as (monotonic seconds, line).
        return [(int(stamp) / 1000.0, line)
                for stamp, _, line in (entry.partition(" ") for entry in self.command("record"))]

    def record_count(self):
        return int(self.command("record count")[0])

    def stop(self):
        self.proc.terminate()  # it removes its link and socket on the way out
        self.proc.wait(5)
        self.proc.stdout.close()
        shutil.rmtree(self.dir, ignore_errors=True)


class _Screen(pyte.Screen):  # pyte's screen plus the repeat-last-character control ncurses sends.
    last_char = " "

    def draw(self, data):
        if data:
            self.last_char = data[-1]
        super().draw(data)

    def repeat_last(self, count=1, *args, **kwargs):
        self.draw(self.last_char * max(count, 1))


class _Stream(pyte.ByteStream):
    csi = dict(pyte.ByteStream.csi, b="repeat_last")


class Terminal:  # A program on a real 80x24 pseudo-terminal fed to a terminal emulator.
    def __init__(self, args=(), program=None, cwd=None):
        env = {"PATH": "/usr/sbin:/usr/bin:/sbin:/bin", "TERM": "xterm", "LANG": "C.UTF-8",
               "HOME": os.environ.get("HOME", "/root")}
        self.screen, self.transcript = _Screen(80, 24), b""
        self.stream = _Stream(self.screen)
        self.child = pexpect.spawn(program or APP_BIN, list(args), dimensions=(24, 80), env=env, cwd=cwd,
                                   echo=False)
        self.send = self.child.send

    def pump(self, timeout=0.1):  # Feeds what arrives within `timeout` to the screen; False at EOF.
        try:
            data = self.child.read_nonblocking(65536, timeout=timeout)
        except pexpect.TIMEOUT:
            return True
        except pexpect.EOF:
            return False
        self.transcript += data
        self.stream.feed(data)
        return True

    def idle(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            self.pump(0.1)

    def row(self, number):  # without trailing blanks
        return self.screen.display[number].rstrip()

    def bold_text(self, row):
        cells = (self.screen.buffer[row][col] for col in range(80))
        return "".join(cell.data for cell in cells if cell.bold and cell.data != " ")

    def wait_for(self, predicate, timeout, what):
        deadline = time.monotonic() + timeout
        while not predicate():
            if time.monotonic() > deadline or not self.pump(0.1) and not predicate():
                screen = "\n".join("%2d|%s" % (i, self.row(i)) for i in range(24))
                raise AssertionError("no %s; screen:\n%s" % (what, screen))
        # A frame arrives in pieces, so one row on show does not mean the
        # others are: read on until 50 ms pass without output.
        deadline = time.monotonic() + 1.0
        while time.monotonic() < deadline:
            size = len(self.transcript)
            if not self.pump(0.05) or len(self.transcript) == size:
                return

    def wait_for_text(self, row, text, timeout=10.0):
        self.wait_for(lambda: text in self.screen.display[row], timeout, "%r in row %d" % (text, row))

    def wait_for_rows(self, rows, timeout=10.0):  # {row number: its whole text}
        self.wait_for(lambda: all(self.row(n) == text for n, text in rows.items()), timeout, repr(rows))

    def wait_exit(self, timeout=15.0):  # Reads until the program ends; returns its exit status (or -signal).
        deadline = time.monotonic() + timeout
        while self.pump(0.1):
            assert time.monotonic() < deadline, "program still running"
        self.child.close()
        return self.child.exitstatus if self.child.exitstatus is not None else -self.child.signalstatus

    def logged_filename(self):
        return re.findall(rb"Log filename: ([^\r\n]*)", self.transcript)[-1].decode()

    def close(self):
        with contextlib.suppress(Exception):
            self.child.close(force=True)


@contextlib.contextmanager
def device_lock():  # Holds the machine-wide lock on the device node; leaves no node behind.
    with open(DEVICE_LOCK, "a") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        with contextlib.suppress(FileNotFoundError):
            os.unlink(DEVICE)
        try:
            yield
        finally:  # the lock goes with the file
            with contextlib.suppress(FileNotFoundError):
                os.unlink(DEVICE)


def enter_serial(term, serial):
    term.wait_for_text(14, "Enter TR417 PCB Serial No: ")
    term.send(serial + "\r")
    term.wait_for_text(18, "Is that correct? (Y/n): ")
    term.send("y")


def result_lines(log_text):
    return re.findall(r"(?m)^(?:PASSED |FAIL!! |Not Run|SKIPPED|\*ERROR\*) - .+$", log_text)


def cpu_share(pid, seconds, term):  # Share of one core (user + system) `pid` uses while `term` idles.
    def ticks():
        with open("/proc/%d/stat" % pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])
    before, start = ticks(), time.monotonic()
    term.idle(seconds)
    return (ticks() - before) / os.sysconf("SC_CLK_TCK") / (time.monotonic() - start)


def await_fresh_readings(term, sim, bursts=2):  # replies to requests sent after the last bench change
    start = sim.record_count()
    term.wait_for(lambda: sim.record_count() >= start + 8 * bursts, 5.0, "%d more bursts" % bursts)


class DeviceTestCase(unittest.TestCase):  # Owns the device node, works in a fresh directory, cleans up what it started.
    def setUp(self):
        if not os.access(SIM_BIN, os.X_OK) or not os.access(APP_BIN, os.X_OK):
            self.skipTest("set TR417_SIM and DYNELLE_TEST to the built binaries")
        self.enterContext(device_lock())
        self.tmp = tempfile.mkdtemp(prefix="dynelle-e2e-")
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.results_log = os.path.join(self.tmp, "results.txt")

    def start_simulator(self, *commands):
        sim = Simulator(DEVICE, commands)
        self.addCleanup(sim.stop)
        return sim

    def start_program(self, *args, **kwargs):
        term = Terminal(args, cwd=self.tmp, **kwargs)
        self.addCleanup(term.close)
        return term

    def start_run(self, *bench, serial="E2E1"):  # Simulator and program, past the serial number to the first test.
        sim = self.start_simulator(*bench)
        term = self.start_program("-f", self.results_log)
        enter_serial(term, serial)
        term.wait_for_rows({0: FIRST_TEST_TITLE, 23: LED_KEYS})
        return sim, term

    def read_results_log(self):
        return pathlib.Path(self.results_log).read_text(errors="replace")
