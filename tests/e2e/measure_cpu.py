#!/usr/bin/python3
"""Measures the CPU dynelle_test uses while each of its screens waits for the
operator: the test screen and the debug screen (both polling the board five
times a second), the summary and the selection menu.

Usage: measure_cpu.py [dynelle_test tr417_sim] [seconds per screen]
Without the binaries on the command line, DYNELLE_TEST and TR417_SIM name
them, as under CTest. Prints the share of one core (user + system time) per
screen and exits 1 if any share is 1 % or more."""

import os
import shutil
import sys
import tempfile

import harness


def measure(seconds):
    work = tempfile.mkdtemp(prefix="dynelle-cpu-")
    figures = []
    try:
        with harness.device_lock():
            sim = harness.Simulator(harness.DEVICE, ["j1 14.0", "plate g"])
            term = harness.Terminal(["-f", os.path.join(work, "results.txt")], cwd=work)
            try:
                def screen(name, row, text, keys_after):
                    term.wait_for_text(row, text)
                    term.idle(1.0)  # let the screen come to rest first
                    figures.append((name, 100 * harness.cpu_share(term.child.pid, seconds, term)))
                    term.send(keys_after)

                harness.enter_serial(term, "CPU1")
                screen("test screen", 23, "Y or N (M)enu", "y")
                screen("summary", 21, "Press Any Key to continue", " ")
                term.wait_for_rows({0: "DC Input and LED Test", 23: harness.LED_KEYS})
                term.send("m")
                screen("menu", 23, "Selection, (Q)uit, (U)pload and quit", "2")
                term.wait_for_text(23, "Y or N (M)enu")
                term.send("d")
                screen("debug screen", 23, "Press (Y) to return to tests", "y")
                term.wait_for_text(23, "Y or N (M)enu")
                term.send("q")
                term.wait_exit()
            finally:
                term.close()
                sim.stop()
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return figures


def main(args):
    if len(args) >= 2:
        harness.APP_BIN, harness.SIM_BIN = args[:2]
        args = args[2:]
    if not harness.APP_BIN or not harness.SIM_BIN:
        print(__doc__, file=sys.stderr)
        return 2
    seconds = float(args[0]) if args else 10.0
    figures = measure(seconds)
    print("dynelle_test CPU while a screen waits, over %.0f s each (share of one core):" % seconds)
    for name, percent in figures:
        print("  %-13s %5.2f %%" % (name, percent))
    return 0 if all(percent < 1.0 for _, percent in figures) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
