"""End-to-end helpers: the board simulator, the program on a terminal emulator, the shared device node."""

import fcntl
import os
import pathlib
import re
import select
import signal
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
DEVICE_LOCK = "/tmp/dynelle-e2e-tr417_app.lock"  # runs started by different people take turns on the node
VERSION = "V1.0 tr417_sim"
BENCH = ("j1 14.0", "plate g", "capacity 64", "gauge 61", "battery 12.3")
FIRST_TEST_TITLE = "ACDC Input and LED Test"
LED_KEYS = "     Y or N (M)enu, (D)ebug, (Q)uit :"
DEBUG_HEADER = "Dynelle Test Debug - TR417 SW Version : " + VERSION
DEBUG_PROMPT = "    Press (Y) to return to tests :"


class Simulator:  # killed at the end of the test unless stopped before
    def __init__(self, test, *commands):
        directory = test.enterContext(tempfile.TemporaryDirectory(prefix="tr417sim-"))
        self.socket_path = os.path.join(directory, "control.sock")
        self.proc = spawn(test, [SIM_BIN, "--link", DEVICE, "--control", self.socket_path, "--no-stdin",
                                 *(part for command in commands for part in ("-e", command))],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        Lines(self.proc.stdout).until(" ready: ", 15.0)

    def command(self, text):  # The answer lines to one control command, which must end in "ok".
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as sock:
            sock.settimeout(5.0)
            sock.connect(self.socket_path)
            sock.sendall(text.encode("latin-1") + b"\n")
            sock.shutdown(socket.SHUT_WR)
            lines = b"".join(iter(lambda: sock.recv(65536), b"")).decode("latin-1").splitlines()
        assert lines[-1:] == ["ok"], (text, lines)
        return lines[:-1]

    def records(self):  # The request lines received so far, as (monotonic seconds, line).
        return [(int(stamp) / 1000.0, line) for stamp, _, line in (e.partition(" ") for e in self.command("record"))]

    def record_count(self):
        return int(self.command("record count")[0])

    def bench(self, term, *commands):  # then waits for two bursts of replies to requests made after the change
        for command in commands:
            self.command(command)
        start = self.record_count()
        term.wait_for(lambda: self.record_count() >= start + 16, 15.0, "two more bursts")

    def stop(self):  # frees the device node for another simulator
        self.proc.terminate()  # it removes its link and socket on the way out
        self.proc.wait(5)


class _Screen(pyte.Screen):  # plus the repeat-last-character control ncurses sends
    last_char = " "

    def draw(self, data):
        self.last_char = data[-1:] or self.last_char
        super().draw(data)

    def repeat_last(self, count=1, *args, **kwargs):
        self.draw(self.last_char * max(count, 1))


class _Stream(pyte.ByteStream):
    csi = dict(pyte.ByteStream.csi, b="repeat_last")


class Terminal:  # A program on a real 80x24 pseudo-terminal fed to a terminal emulator.
    def __init__(self, args=(), program=None, cwd=None):
        env = {"PATH": "/usr/sbin:/usr/bin:/sbin:/bin", "TERM": "xterm", "LANG": "C.UTF-8",
               "HOME": os.environ.get("HOME", "/")}
        self.screen, self.transcript = _Screen(80, 24), b""
        self.stream = _Stream(self.screen)
        self.child = pexpect.spawn(program or APP_BIN, list(args), dimensions=(24, 80), env=env, cwd=cwd, echo=False)
        self.send = self.child.send

    def pump(self, timeout=0.1):  # Feeds what arrives within `timeout` to the screen; False at EOF.
        try:
            data = self.child.read_nonblocking(65536, timeout=timeout)
        except (pexpect.TIMEOUT, pexpect.EOF) as nothing:
            return isinstance(nothing, pexpect.TIMEOUT)
        self.transcript += data
        self.stream.feed(data)
        return True

    def idle(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            self.pump(0.1)

    def cpu_share(self, seconds):  # share of one core (user + system) used while idling
        def ticks():
            with open("/proc/%d/stat" % self.child.pid) as stat:
                return sum(int(field) for field in stat.read().rsplit(")", 1)[1].split()[11:13])
        before, start = ticks(), time.monotonic()
        self.idle(seconds)
        return (ticks() - before) / os.sysconf("SC_CLK_TCK") / (time.monotonic() - start)

    def row(self, number):  # without trailing blanks
        return self.screen.display[number].rstrip()

    def wait_for(self, predicate, timeout, what):
        deadline = time.monotonic() + timeout
        while not predicate():
            if time.monotonic() > deadline or not self.pump(0.1) and not predicate():
                raise AssertionError("no %s; screen:\n%s" % (what, "\n".join(map(self.row, range(24)))))
        # A frame arrives in pieces: read on until 50 ms pass without output.
        deadline, size = time.monotonic() + 1.0, -1
        while time.monotonic() < deadline and len(self.transcript) != size:
            size = len(self.transcript)
            self.pump(0.05)

    def wait_for_text(self, row, text, timeout=10.0):
        self.wait_for(lambda: text in self.screen.display[row], timeout, "%r in row %d" % (text, row))

    def wait_for_rows(self, rows, timeout=10.0):  # {row number: its whole text}
        self.wait_for(lambda: all(self.row(n) == text for n, text in rows.items()), timeout, repr(rows))

    def after_console(self):  # what the program wrote once its full-screen console closed
        return self.transcript[self.transcript.rfind(b"\x1b[?1049l"):].decode(errors="replace")

    def kill(self):  # whatever state it is in, hung up included
        self.child.close(force=True)
        if self.child.ptyproc.isalive():
            self.child.ptyproc.kill(signal.SIGKILL)
            self.child.ptyproc.wait()

    def hang_up(self):  # closes the terminal's other side, as when the operator's terminal goes away
        self.child.ptyproc.fileobj.close()
        self.child.ptyproc.closed = True

    def wait_exit(self, timeout=15.0):  # Reads (unless hung up) until the program ends: its status or -signal.
        deadline, proc = time.monotonic() + timeout, self.child.ptyproc
        while proc.isalive() if proc.closed else self.pump(0.1):
            assert time.monotonic() < deadline, "program still running"
            time.sleep(0.05 if proc.closed else 0)
        if not proc.closed:
            self.child.close()
        return proc.exitstatus if proc.exitstatus is not None else -proc.signalstatus


def wait_until(predicate, what, timeout=10.0):  # for processes without a terminal
    deadline = time.monotonic() + timeout
    while not predicate():
        assert time.monotonic() < deadline, "no " + what
        time.sleep(0.05)


def run(*args, stdin=None, text=True):  # a tool run to its end, its output captured
    return subprocess.run(args, input=stdin, capture_output=True, text=text, timeout=60)


def spawn(test, args, **kwargs):  # a process killed at the end of the test if still running
    proc = test.enterContext(subprocess.Popen(args, **{"stdin": subprocess.DEVNULL, **kwargs}))  # then waited for
    test.addCleanup(lambda: proc.poll() is None and proc.kill())
    return proc


class Lines:  # one pipe read line by line with a deadline, keeping every line read
    def __init__(self, pipe):
        self.pipe, self.buffer, self.seen = pipe, b"", []

    def until(self, pattern, timeout=20.0):  # the first line so far that matches
        end = time.monotonic() + timeout
        while not any(re.search(pattern, line) for line in self.seen):
            ready = select.select([self.pipe], [], [], max(0.0, end - time.monotonic()))[0]
            chunk = os.read(self.pipe.fileno(), 65536) if ready else b""
            if not chunk:
                raise AssertionError("no line matching %r; got %r" % (pattern, self.seen[-20:]))
            *complete, self.buffer = (self.buffer + chunk).split(b"\n")
            self.seen += [line.decode("utf-8", "replace") for line in complete]
        return next(line for line in self.seen if re.search(pattern, line))


def enter_serial(term, serial):
    term.wait_for_text(14, "Enter TR417 PCB Serial No: ")
    term.send(serial + "\r")
    term.wait_for_text(18, "Is that correct? (Y/n): ")
    term.send("y")


def result_lines(log_text):
    return re.findall(r"(?m)^(?:PASSED |FAIL!! |Not Run|SKIPPED|\*ERROR\*) - .+$", log_text)


class DeviceTestCase(unittest.TestCase):  # Owns the device node, works in a fresh directory, cleans up what it started.
    def setUp(self):
        if not os.access(SIM_BIN, os.X_OK) or not os.access(APP_BIN, os.X_OK):
            self.skipTest("set TR417_SIM and DYNELLE_TEST to the built binaries")
        fcntl.flock(self.enterContext(open(DEVICE_LOCK, "a")), fcntl.LOCK_EX)  # the lock goes with the file
        pathlib.Path(DEVICE).unlink(missing_ok=True)
        self.addCleanup(pathlib.Path(DEVICE).unlink, missing_ok=True)
        self.tmp = self.enterContext(tempfile.TemporaryDirectory(prefix="dynelle-e2e-"))
        self.results_log = os.path.join(self.tmp, "results.txt")

    def start_program(self, *args, shell=None, **kwargs):  # `shell`: a script preparing its surroundings first
        if shell is not None:
            args, kwargs["program"] = ("-c", shell + ' exec "$0" "$@"', APP_BIN, *args), "/bin/sh"
        term = Terminal(args, cwd=self.tmp, **kwargs)
        self.addCleanup(term.kill)
        return term

    def start_run(self, *bench, serial="E2E1", shell=None):  # Simulator and program, past the serial number
        sim, term = Simulator(self, *bench), self.start_program("-f", self.results_log, shell=shell)
        enter_serial(term, serial)
        term.wait_for_rows({0: FIRST_TEST_TITLE, 23: LED_KEYS})
        return sim, term

    def expect_log(self, term, status):  # the results log, complete with 18 result lines; returns its lines
        self.assertEqual(term.wait_exit(), status)
        self.assertEqual(re.findall(rb"Log filename: ([^\r\n]*)", term.transcript)[-1].decode(), self.results_log)
        log = pathlib.Path(self.results_log).read_text(errors="replace")
        self.assertEqual(len(result_lines(log)), 18, log)
        self.assertTrue(log.endswith(result_lines(log)[-1] + "\n"))
        return log.split("\n")
