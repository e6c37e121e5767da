#!/usr/bin/python3
"""Measures the CPU that dynelle_test uses while a screen waits for the
operator, with the board link polling the simulator five times a second.

Usage: measure_cpu.py <dynelle_test> <tr417_sim> [seconds]
Prints the share of one core used by dynelle_test (user + system time) over
the measuring period, for the test screen and for the debug screen.
"""

import os
import shutil
import sys
import tempfile
import time

import harness


def settle(term, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        term.pump(0.2)


def measure(term, seconds, sim_pid):
    """CPU shares (in % of one core) of the program and of the simulator."""
    pids = (term.child.pid, sim_pid)
    ticks = [harness.cpu_ticks(pid) for pid in pids]
    start = time.monotonic()
    settle(term, seconds)
    elapsed = time.monotonic() - start
    return [100.0 * (harness.cpu_ticks(pid) - before) / os.sysconf("SC_CLK_TCK") / elapsed
            for pid, before in zip(pids, ticks)]


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    harness.APP_BIN, harness.SIM_BIN = sys.argv[1], sys.argv[2]
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 20.0
    work = tempfile.mkdtemp(prefix="dynelle-cpu-")
    try:
        with harness.device_lock():
            sim = harness.Simulator(harness.DEVICE, ["j1 14.0", "plate g"])
            term = harness.Terminal(["-f", os.path.join(work, "results.txt")], cwd=work)
            try:
                harness.enter_serial(term, "CPU1")
                term.wait_for_text(0, harness.FIRST_TEST_TITLE)
                settle(term, 1.0)
                test_screen, sim_test = measure(term, seconds, sim.proc.pid)
                term.send("d")
                term.wait_for_text(0, "Dynelle Test Debug")
                settle(term, 1.0)
                debug_screen, sim_debug = measure(term, seconds, sim.proc.pid)
                requests = len(sim.records())
            finally:
                term.close()
                sim.stop()
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("dynelle_test CPU while waiting for a key, over %.0f s each:" % seconds)
    print("  test screen : %.2f %% of one core" % test_screen)
    print("  debug screen: %.2f %% of one core" % debug_screen)
    print("  tr417_sim meanwhile: %.2f %% and %.2f %% (%d request lines served)"
          % (sim_test, sim_debug, requests))
    return 0 if max(test_screen, debug_screen) < 1.0 else 1


if __name__ == "__main__":
    sys.exit(main())
