#!/usr/bin/python3
"""UDP throughput of the datacore link: the instrument-server stand-in streams
one packet type at several rates to datacore-probe; prints frames sent,
delivered and lost per second and the probe's CPU time per delivered megabyte.

Usage: measure-udp.py SERVER_BINARY PROBE_BINARY [--seconds S] [--size N] [RATE...]
"""

import argparse
import re
import subprocess
import sys


def measure(server_bin, probe_bin, rate, size, seconds):
    server = subprocess.Popen([server_bin, "--port", "0", "--rate", str(rate), "--size", str(size)],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    try:
        port = re.search(r"listening on port (\d+)", server.stdout.readline()).group(1)
        probe = subprocess.run([probe_bin, "--port", port, "--quiet", "--sequence", "--seconds", str(seconds),
                                "0x1011"], capture_output=True, text=True, timeout=seconds + 60)
    finally:
        _, events = server.communicate("quit\n", timeout=30)
    sent = re.search(r"stream 0x1011 stopped after (\d+) frames", events)
    total = re.search(r"frames (\d+) bytes (\d+) lost (\d+)", probe.stdout)
    cpu = re.search(r"cpu ([\d.]+) s over ([\d.]+) s", probe.stdout)
    if not total or not cpu or not sent:
        sys.exit("no totals from the probe: %r %r" % (probe.stdout, probe.stderr))
    frames, nbytes, lost = (int(v) for v in total.groups())
    cpu_s, wall_s = (float(v) for v in cpu.groups())
    cpu_ms_per_mb = cpu_s / (nbytes / 1e6) * 1e3 if nbytes else float("nan")
    return int(sent.group(1)) / wall_s, frames / wall_s, lost / wall_s, lost, cpu_ms_per_mb


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("server")
    parser.add_argument("probe")
    parser.add_argument("--seconds", type=float, default=5)
    parser.add_argument("--size", type=int, default=1024)
    parser.add_argument("rates", nargs="*", type=float, default=[1000, 10000, 50000])
    args = parser.parse_args()
    print("%10s %10s %14s %12s %10s %16s" % ("rate/s", "sent/s", "delivered/s", "lost/s", "lost", "CPU ms per MB"))
    for rate in args.rates:
        sent, delivered, lost_rate, lost, cpu_ms = measure(args.server, args.probe, rate, args.size, args.seconds)
        print("%10.0f %10.0f %14.0f %12.0f %10d %16.2f" % (rate, sent, delivered, lost_rate, lost, cpu_ms))


if __name__ == "__main__":
    main()
