"""Helpers for end-to-end tests: the board simulator, the program on a real
pseudo-terminal read through a terminal emulator, and the shared device node.

Binaries come from CTest through the environment: TR417_SIM and DYNELLE_TEST.
"""

import contextlib
import fcntl
import os
import re
import select
import shutil
import signal
import socket
import subprocess
import tempfile
import time
import tty
import unittest

import pexpect
import pyte

DEVICE = "/dev/tr417_app"
SIM_BIN = os.environ.get("TR417_SIM", "")
APP_BIN = os.environ.get("DYNELLE_TEST", "")
# Every test that touches the fixed device node holds this lock, so that test
# runs started by different people on the same machine take turns.
DEVICE_LOCK = "/tmp/dynelle-e2e-tr417_app.lock"
BURST = ["C", "V", "T", "P", "S", "A", "B", "G"]


def require_binaries(app=False):
    """Skips the calling test case when a binary it needs was not built."""
    if not SIM_BIN or not os.access(SIM_BIN, os.X_OK):
        raise unittest.SkipTest("tr417_sim not built (set TR417_SIM)")
    if app and (not APP_BIN or not os.access(APP_BIN, os.X_OK)):
        raise unittest.SkipTest("dynelle_test not built (set DYNELLE_TEST)")


class SimulatorError(Exception):
    pass


class Simulator:
    """A tr417_sim process with its own control socket."""

    def __init__(self, link=DEVICE, commands=(), extra_args=(), startup_timeout=5.0):
        self.dir = tempfile.mkdtemp(prefix="tr417sim-")
        self.link = link
        self.socket_path = os.path.join(self.dir, "control.sock")
        args = [SIM_BIN, "--link", link, "--control", self.socket_path, "--no-stdin"]
        for command in commands:
            args += ["-e", command]
        args += list(extra_args)
        self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE)
        self.ready_line = self._read_ready(startup_timeout)
        self.slave = os.path.realpath(link)

    def _read_ready(self, timeout):
        deadline = time.monotonic() + timeout
        data = b""
        while b"\n" not in data:
            left = deadline - time.monotonic()
            ready, _, _ = select.select([self.proc.stdout], [], [], max(left, 0))
            if not ready:
                self.stop()
                raise SimulatorError("simulator not ready in time")
            chunk = os.read(self.proc.stdout.fileno(), 1024)
            if not chunk:
                err = self.proc.stderr.read().decode(errors="replace")
                self.stop()
                raise SimulatorError("simulator exited: " + err)
            data += chunk
        return data.decode().strip()

    def try_command(self, text, timeout=5.0):
        """Returns (ok, lines, closing line) for one control command."""
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as sock:
            sock.settimeout(timeout)
            sock.connect(self.socket_path)
            sock.sendall(text.encode("latin-1") + b"\n")
            sock.shutdown(socket.SHUT_WR)
            data = b""
            while True:
                chunk = sock.recv(65536)
                if not chunk:
                    break
                data += chunk
        lines = data.decode("latin-1").splitlines()
        if not lines:
            raise SimulatorError("no answer to %r" % text)
        return lines[-1] == "ok", lines[:-1], lines[-1]

    def command(self, text):
        ok, lines, closing = self.try_command(text)
        if not ok:
            raise SimulatorError("%r: %s" % (text, closing))
        return lines

    def records(self):
        """The request lines received so far, as (monotonic seconds, line)."""
        result = []
        for entry in self.command("record"):
            stamp, _, line = entry.partition(" ")
            result.append((int(stamp) / 1000.0, line))
        return result

    def alive(self):
        return self.proc.poll() is None

    def stop(self, sig=signal.SIGTERM, timeout=5.0):
        if self.proc.poll() is None:
            self.proc.send_signal(sig)
            try:
                self.proc.wait(timeout)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        for stream in (self.proc.stdout, self.proc.stderr):
            if stream:
                stream.close()
        shutil.rmtree(self.dir, ignore_errors=True)
        return self.proc.returncode

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


class HostLine:
    """The host's end of the board's line, opened the way the program does."""

    def __init__(self, path, raw=True):
        self.fd = os.open(path, os.O_RDWR | os.O_NOCTTY)
        if raw:
            tty.setraw(self.fd)
        self.buffer = b""

    def send(self, *lines):
        os.write(self.fd, b"".join(line.encode("latin-1") + b"\n" for line in lines))

    def read_available(self, wait=0.3):
        """Everything that arrives within `wait` seconds of the last byte."""
        data = b""
        while True:
            ready, _, _ = select.select([self.fd], [], [], wait)
            if not ready:
                return data
            chunk = os.read(self.fd, 4096)
            if not chunk:
                return data
            data += chunk

    def read_lines(self, count, timeout=3.0):
        """The next `count` lines (bytes, without line feeds)."""
        deadline = time.monotonic() + timeout
        while self.buffer.count(b"\n") < count:
            left = deadline - time.monotonic()
            ready, _, _ = select.select([self.fd], [], [], max(left, 0))
            if not ready:
                raise AssertionError("only %r after %.1f s" % (self.buffer, timeout))
            chunk = os.read(self.fd, 4096)
            if not chunk:
                raise AssertionError("line closed after %r" % self.buffer)
            self.buffer += chunk
        lines = self.buffer.split(b"\n")
        self.buffer = b"\n".join(lines[count:])
        return lines[:count]

    def close(self):
        if self.fd >= 0:
            os.close(self.fd)
            self.fd = -1

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


class _Screen(pyte.Screen):
    """pyte's screen plus the repeat-character control that ncurses uses for
    runs of one character on xterm."""

    last_char = " "

    def draw(self, data):
        if data:
            self.last_char = data[-1]
        super().draw(data)

    def repeat_last(self, count=1, *args, **kwargs):
        self.draw(self.last_char * max(count, 1))


class _Stream(pyte.ByteStream):
    csi = dict(pyte.ByteStream.csi, b="repeat_last")


class Terminal:
    """dynelle_test (or any program) on a real 80x24 pseudo-terminal, with
    everything it draws fed to a terminal emulator."""

    def __init__(self, args=(), program=None, rows=24, cols=80, cwd=None, term="xterm"):
        env = {
            "PATH": "/usr/sbin:/usr/bin:/sbin:/bin",
            "TERM": term,
            "LANG": "C.UTF-8",
            "HOME": os.environ.get("HOME", "/root"),
        }
        self.rows, self.cols = rows, cols
        self.screen = _Screen(cols, rows)
        self.stream = _Stream(self.screen)
        self.transcript = b""
        self.child = pexpect.spawn(program or APP_BIN, list(args), dimensions=(rows, cols), env=env,
                                   cwd=cwd, echo=False)
        self.status = None

    def pump(self, timeout=0.1):
        """Feeds whatever the program wrote within `timeout` to the screen.
        Returns False once the program's side is closed."""
        try:
            data = self.child.read_nonblocking(65536, timeout=timeout)
        except pexpect.TIMEOUT:
            return True
        except pexpect.EOF:
            return False
        self.transcript += data
        self.stream.feed(data)
        return True

    def screen_row(self, row):
        return self.screen.display[row]

    def screen_text(self):
        return "\n".join("%2d|%s" % (i, line.rstrip()) for i, line in enumerate(self.screen.display))

    def text_at(self, row, col, length):
        return self.screen.display[row][col:col + length]

    def flowing_text(self, row, col, length):
        """`length` characters from (row, col) on, continuing on the next
        rows where a long text wrapped at the right edge."""
        text = "".join(self.screen.display[row:])[col:]
        return text[:length]

    def wait_for_flowing_text(self, row, col, text, timeout=10.0):
        """Waits until `text` stands at (row, col), wrapped or not."""
        self.wait_for(lambda: self.flowing_text(row, col, len(text)) == text, timeout,
                      "%r at (%d, %d)" % (text, row, col))

    def is_bold(self, row, col):
        return self.screen.buffer[row][col].bold

    def colour(self, row, col):
        return self.screen.buffer[row][col].fg

    def wait_for(self, predicate, timeout, what):
        deadline = time.monotonic() + timeout
        while True:
            if predicate():
                return
            if time.monotonic() > deadline:
                raise AssertionError("timed out waiting for %s; screen:\n%s" % (what, self.screen_text()))
            if not self.pump(0.1) and not predicate():
                raise AssertionError("program ended while waiting for %s; screen:\n%s"
                                     % (what, self.screen_text()))

    def wait_for_text(self, row, text, timeout=10.0):
        """Waits until `text` shows in screen row `row` (any row if None)."""
        if row is None:
            self.wait_for(lambda: any(text in line for line in self.screen.display), timeout, repr(text))
        else:
            self.wait_for(lambda: text in self.screen.display[row], timeout,
                          "%r in row %d" % (text, row))

    def wait_for_output(self, text, timeout=10.0):
        """Waits until the raw output contains `text` (bytes or str)."""
        needle = text.encode() if isinstance(text, str) else text
        self.wait_for(lambda: needle in self.transcript, timeout, repr(text))

    def send(self, keys):
        self.child.send(keys)

    def alive(self):
        return self.child.isalive()

    def wait_exit(self, timeout=15.0):
        """Reads until the program ends; returns its exit status (or -signal)."""
        deadline = time.monotonic() + timeout
        while self.pump(0.1):
            if time.monotonic() > deadline:
                raise AssertionError("program still running; screen:\n" + self.screen_text())
        self.child.close()
        self.status = self.child.exitstatus if self.child.exitstatus is not None \
            else -self.child.signalstatus
        return self.status

    def close(self):
        if self.child.isalive():
            self.child.terminate(force=True)
        with contextlib.suppress(Exception):
            self.child.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


@contextlib.contextmanager
def device_lock():
    """Holds the machine-wide lock on the board's device path and leaves no
    device node behind."""
    with open(DEVICE_LOCK, "a") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        try:
            remove_device()
            yield
        finally:
            remove_device()
            fcntl.flock(lock, fcntl.LOCK_UN)


def remove_device():
    with contextlib.suppress(FileNotFoundError):
        os.unlink(DEVICE)


def burst_times(records):
    """Start times of the complete request bursts in a simulator record."""
    lines = [line for _, line in records]
    times = []
    i = 0
    while i + len(BURST) <= len(lines):
        if lines[i:i + len(BURST)] == BURST:
            times.append(records[i][0])
            i += len(BURST)
        else:
            i += 1
    return times


class DeviceTestCase(unittest.TestCase):
    """A test that owns /dev/tr417_app for its duration, runs the program in
    a fresh temporary directory and cleans up everything it started."""

    needs_app = True

    def setUp(self):
        require_binaries(app=self.needs_app)
        self._lock = device_lock()
        self._lock.__enter__()
        self.addCleanup(self._lock.__exit__, None, None, None)
        self.tmp = tempfile.mkdtemp(prefix="dynelle-e2e-")
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.results_log = os.path.join(self.tmp, "results.txt")

    def start_simulator(self, *commands, **kwargs):
        sim = Simulator(DEVICE, commands, **kwargs)
        self.addCleanup(sim.stop)
        return sim

    def start_program(self, *args, **kwargs):
        term = Terminal(args, cwd=self.tmp, **kwargs)
        self.addCleanup(term.close)
        return term

    def read_results_log(self):
        with open(self.results_log, encoding="utf-8", errors="replace") as log:
            return log.read()


LOG_DIR = "/home/transfer/log"


def ensure_log_dir(test):
    """Makes the program's default log directory exist for one test; what the
    test created is removed again (only if left empty)."""
    created = []
    path = LOG_DIR
    while not os.path.isdir(path):
        created.append(path)
        path = os.path.dirname(path)
    os.makedirs(LOG_DIR, exist_ok=True)

    def remove_created():
        for directory in created:
            with contextlib.suppress(OSError):
                os.rmdir(directory)
    test.addCleanup(remove_created)


def enter_serial(term, serial, confirm="y"):
    term.wait_for_text(14, "Enter TR417 PCB Serial No: ")
    term.send(serial + "\r")
    term.wait_for_text(18, "Is that correct? (Y/n): ")
    term.send(confirm)


def logged_filename(term):
    """The name after "Log filename: " in the program's output."""
    marker = b"Log filename: "
    start = term.transcript.rindex(marker) + len(marker)
    end = term.transcript.index(b"\n", start)
    return term.transcript[start:end].rstrip(b"\r").decode()


FIRST_TEST_TITLE = "ACDC Input and LED Test"
PLAN_TEST_COUNT = 18
RESULT_LINE = r"^(PASSED |FAIL!! |Not Run|SKIPPED|\*ERROR\*) - .+$"


def result_lines(log_text):
    """The per-test result lines at the end of a results log."""
    return [line for line in log_text.splitlines() if re.match(RESULT_LINE, line)
            and not line.startswith("PASSED - Initialisation Tests")]


def cpu_ticks(pid):
    """User plus system CPU time of a process, in clock ticks."""
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])
