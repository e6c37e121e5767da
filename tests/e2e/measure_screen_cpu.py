#!/usr/bin/python3
"""Measures the CPU that dynelle_test uses while each of its screens waits
for the operator: the test screen (polling the board five times a second),
the summary screen, the selection menu and the debug screen (polling too).

Usage: measure_screen_cpu.py [dynelle_test tr417_sim] [seconds per screen]
Without the binaries on the command line, DYNELLE_TEST and TR417_SIM name
them, as under CTest. Prints the share of one core used by dynelle_test
(user + system time from /proc) on each screen and exits 1 if any share is
1 % or more.
"""

import os
import shutil
import sys
import tempfile
import time

import harness
from test_plan_run import settling

LIMIT_PERCENT = 1.0


def idle(term, seconds):
    """Keeps reading the terminal, as an operator's screen would, for
    `seconds`."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        term.pump(0.2)


def share(term, pid, seconds):
    """Percent of one core used by `pid` over `seconds` of waiting."""
    ticks = harness.cpu_ticks(pid)
    start = time.monotonic()
    idle(term, seconds)
    elapsed = time.monotonic() - start
    return 100.0 * (harness.cpu_ticks(pid) - ticks) / os.sysconf("SC_CLK_TCK") / elapsed


def measure(seconds):
    work = tempfile.mkdtemp(prefix="dynelle-cpu-")
    figures = []
    try:
        with harness.device_lock():
            sim = harness.Simulator(harness.DEVICE, ["j1 14.0", "plate g"])
            term = settling(harness.Terminal(["-f", os.path.join(work, "results.txt")], cwd=work))
            try:
                def screen(name, ready):
                    ready()
                    idle(term, 1.0)  # let the screen come to rest first
                    figures.append((name, share(term, term.child.pid, seconds)))

                harness.enter_serial(term, "CPU2")
                screen("test screen", lambda: term.wait_for_text(23, "Y or N (M)enu"))
                term.send("y")
                screen("summary screen", lambda: term.wait_for_text(21, "Press Any Key to continue"))
                term.send(" ")
                term.wait_for_text(0, "DC Input and LED Test")
                term.wait_for_text(23, "Y or N (M)enu")
                term.send("m")
                screen("menu", lambda: term.wait_for_text(23, "Selection, (Q)uit, (U)pload and quit"))
                term.send("2")
                term.wait_for_text(23, "Y or N (M)enu")
                term.send("d")
                screen("debug screen", lambda: term.wait_for_text(23, "Press (Y) to return to tests"))
                term.send("y")
                term.wait_for_text(23, "Y or N (M)enu")
                term.send("q")
                term.wait_exit()
            finally:
                term.close()
                sim.stop()
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return figures


def main(argv):
    args = argv[1:]
    if len(args) >= 2:
        harness.APP_BIN, harness.SIM_BIN = args[0], args[1]
        args = args[2:]
    if not harness.APP_BIN or not harness.SIM_BIN:
        print(__doc__, file=sys.stderr)
        return 2
    seconds = float(args[0]) if args else 10.0
    figures = measure(seconds)
    print("dynelle_test CPU while a screen waits, over %.0f s each (share of one core):" % seconds)
    for name, percent in figures:
        print("  %-15s %5.2f %%" % (name, percent))
    return 0 if all(percent < LIMIT_PERCENT for _, percent in figures) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
