#!/usr/bin/python3
"""Measures the CPU dynelle_test uses while each of its screens waits for the
operator: the test and debug screens (both polling the board five times a
second), the summary and the menu. Prints the share of one core (user +
system) per screen; exits 1 if any is 1 % or more.

Usage: measure_cpu.py dynelle_test tr417_sim [seconds per screen]"""

import os
import shutil
import sys
import tempfile

import harness

# (screen, row and text that show it, keys that leave it, row and text that follow)
SCREENS = [("test screen", 23, "Y or N (M)enu", "y", 21, "Press Any Key to continue"),
           ("summary", 21, "Press Any Key to continue", " ", 0, "DC Input and LED Test"),
           ("menu", 23, "Selection, (Q)uit, (U)pload and quit", "2", 23, "Y or N (M)enu"),
           ("debug screen", 23, "Press (Y) to return to tests", "y", 23, "Y or N (M)enu")]


def measure(seconds):
    work, figures = tempfile.mkdtemp(prefix="dynelle-cpu-"), []
    with harness.device_lock():
        sim = harness.Simulator(harness.DEVICE, ["j1 14.0", "plate g"])
        term = harness.Terminal(["-f", os.path.join(work, "results.txt")], cwd=work)
        try:
            harness.enter_serial(term, "CPU1")
            for (name, row, text, keys, next_row, next_text), before in zip(SCREENS, ["", "", "m", "d"]):
                term.send(before)
                term.wait_for_text(row, text)
                term.idle(1.0)  # let the screen come to rest first
                figures.append((name, 100 * harness.cpu_share(term.child.pid, seconds, term)))
                term.send(keys)
                term.wait_for_text(next_row, next_text)
        finally:
            term.close()
            sim.stop()
            shutil.rmtree(work, ignore_errors=True)
    return figures


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    harness.APP_BIN, harness.SIM_BIN = sys.argv[1:3]
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 10.0
    figures = measure(seconds)
    print("dynelle_test CPU while a screen waits, over %.0f s each (share of one core):" % seconds)
    for name, percent in figures:
        print("  %-13s %5.2f %%" % (name, percent))
    sys.exit(0 if all(percent < 1.0 for _, percent in figures) else 1)
