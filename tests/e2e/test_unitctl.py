"""End-to-end: unitctl on a simulated unit (a temporary platform root), and its sensors over a simulated
hardware-monitor tree in a private mount namespace (root only)."""

import json
import os
import pathlib
import pty
import select
import shlex
import shutil
import subprocess
import tempfile
import time
import unittest

UNITCTL = os.environ.get("UNITCTL", "")
BOARD_LINES = {0: (127, 126, 125, 124, 123, 122, 121), 1: (508, 507, 506, 505, 504),
               2: (502, 501, 500, 499, 498, 497, 496), 3: (113, 116, 115, 114)}
SENSORS_CONFIG = 'chip "adt7473-*"\n    label in2 "+3.3V"\n    label temp2 "Board Temp"\n'
HWMON = {"name": "adt7473\n", "in2_input": "2900\n", "fan1_input": "2000\n", "fan2_input": "2100\n",
         "fan3_input": "2200\n",
         **{f"pwm{n}_pulse_stretch_disable": "0\n" for n in range(1, 9)}}


class SimulatedUnit:
    def __init__(self, ids=(65, 3, 5, 2)):
        self.root = pathlib.Path(tempfile.mkdtemp(prefix="unitctl-"))
        for kind, value in enumerate(ids):
            lines = BOARD_LINES[kind]
            for bit, line in enumerate(lines):
                self.write(f"sys/class/gpio/gpio{line}/value", f"{(value >> (len(lines) - 1 - bit)) & 1}\n")
        for chip in ("pwmchip0", "pwmchip1", "pwmchip2"):
            for name in ("export", "pwm0/period", "pwm0/duty_cycle", "pwm0/enable"):
                self.write(f"sys/class/pwm/{chip}/{name}", "")
        self.write("proc/mtd", 'dev:    size   erasesize  name\nmtd2: 00010000 00010000 "ident"\n')
        self.write("dev/mtd2", b"\xff" * 0x10000)
        self.write("dev/watchdog", "")
        self.write("proc/tessaly_pcie", "fpga_version: 4.5.6+78\nfpga_design_id: 12\n")
        self.write("usr/bin/fw_setenv", f'#!/bin/sh\necho "$@" >> {shlex.quote(str(self.root))}/fw_setenv.args\n')
        (self.root / "usr/bin/fw_setenv").chmod(0o755)
        (self.root / "var/volatile").mkdir(parents=True)

    def write(self, relative, content):
        path = self.root / relative
        path.parent.mkdir(parents=True, exist_ok=True)
        (path.write_bytes if isinstance(content, bytes) else path.write_text)(content)

    def read(self, relative):
        return (self.root / relative).read_text()

    def run(self, *args, stdin=""):
        return subprocess.run([UNITCTL, "--root", str(self.root), *args], input=stdin, capture_output=True,
                              text=True, timeout=60)

    def sensors_command(self, *args):
        """unitctl sensors inside a private mount namespace that holds only the simulated hwmon tree."""
        script = ["set -e", "mount -t tmpfs none /sys/class", "mkdir -p /sys/class/hwmon/hwmon0"]
        script += [f"printf %s {shlex.quote(v)} > /sys/class/hwmon/hwmon0/{k}" for k, v in HWMON.items()]
        script += [f"printf %s {shlex.quote(SENSORS_CONFIG)} > /sys/class/sensors3.conf",
                   "mount --bind /sys/class/sensors3.conf /etc/sensors3.conf",
                   "mount -t tmpfs none /etc/sensors.d", 'exec "$@"']
        return ["unshare", "-m", "--propagation", "private", "sh", "-c", "\n".join(script), "sh",
                UNITCTL, "--root", str(self.root), "sensors", *args]

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)


@unittest.skipUnless(UNITCTL, "UNITCTL names the program")
class UnitctlTest(unittest.TestCase):
    def setUp(self):
        self.unit = SimulatedUnit()
        self.addCleanup(self.unit.close)

    def test_version_reports_what_the_unit_says(self):
        lines = self.unit.run("version").stdout.splitlines()
        self.assertEqual((len(lines), len({line.index(" : ") for line in lines})), (13, 1), "13 aligned pairs")
        report = json.loads(self.unit.run("version", "--json").stdout)
        self.assertEqual([report[k] for k in ("Main", "Main ECN", "Mezzanine", "Frontpanel", "FPGA ID", "FPGA",
                                              "DynelleFitted")], ["65", "2", "3", "5", "12", "4.5.6+78", "0"])
        self.assertRegex(report["SHA1"], "^[0-9a-f]{40}$")

    def test_set_serial_round_trips_through_the_identity_partition(self):
        self.assertEqual(self.unit.run("ident").returncode, 1, "erased record")
        self.assertEqual(self.unit.run("set-serial", "4711", stdin="n\n").returncode, 1)
        self.assertEqual((self.unit.root / "dev/mtd2").read_bytes()[:4], b"\xff" * 4, "nothing written")
        written = self.unit.run("set-serial", "4711", stdin="y\n")
        self.assertEqual(written.returncode, 0, written.stderr)
        self.assertEqual((self.unit.root / "dev/mtd2").read_bytes()[11:26], b"\nserial: 004711")
        self.assertEqual(self.unit.read("fw_setenv.args"), "runlevel 4\n")
        ident = self.unit.run("ident").stdout
        self.assertRegex(ident, r"Serial number : 004711\nMAC address   : ([0-9a-f]{2}:){3}00:12:67\nMain          : 65")
        for bad in ("1000000", "12a", "-5"):
            self.assertEqual(self.unit.run("set-serial", bad, "--yes").returncode, 2, bad)

    def test_led_and_watchdog(self):
        self.assertEqual(self.unit.run("led", "255", "128", "0").returncode, 0)
        duty = [self.unit.read(f"sys/class/pwm/{chip}/pwm0/duty_cycle") for chip in ("pwmchip2", "pwmchip0", "pwmchip1")]
        self.assertEqual(duty, ["90000", "127000", "0"], "front panel 5 dims red to 91/256")
        watchdog = self.unit.run("watchdog", "30")
        self.assertEqual(self.unit.read("dev/watchdog"), "V", "disarmed whatever happened")
        self.assertIn("watchdog time-out failed", watchdog.stderr)  # a plain file takes no ioctl
        (self.unit.root / "dev/watchdog").unlink()
        self.assertEqual(self.unit.run("watchdog", "30").stderr, "No watchdog at /dev/watchdog\n")

    def test_sensors_table_and_json(self):
        result = subprocess.run(self.unit.sensors_command(), capture_output=True, text=True, timeout=60)
        rows = {line[2:].split("  ")[0]: line for line in result.stdout.splitlines()[1:]}
        self.assertRegex(rows["Right Fan RPM"], r"^  Right Fan RPM +2000\.000 +1\.000 +- +0$")
        self.assertNotIn("Centre Fan RPM", rows, "front panel 5 has no centre fan")
        self.assertTrue(rows["Fan Controller 3.3V"].startswith("! "), "2.9 V is below 3.06 V")
        readings = json.loads(subprocess.run(self.unit.sensors_command("--json"), capture_output=True,
                                             timeout=60).stdout)
        supply = next(r for r in readings if r["label"] == "Fan Controller 3.3V")
        self.assertEqual((supply["value"], supply["outOfLimits"], supply["alarmCount"]), (2.9, True, 1))

    def test_sensors_watch_refreshes_in_place_and_sleeps_between(self):
        controller, terminal = pty.openpty()
        proc = subprocess.Popen(self.unit.sensors_command("--watch", "1"), stdin=terminal, stdout=terminal,
                                stderr=subprocess.DEVNULL)
        os.close(terminal)
        self.addCleanup(proc.wait)
        self.addCleanup(proc.terminate)
        output = b""

        def wait_for_refreshes(count):
            nonlocal output
            deadline = time.monotonic() + 30
            while output.count(b"Label") < count and time.monotonic() < deadline:
                if select.select([controller], [], [], 1.0)[0]:
                    output += os.read(controller, 65536)
            self.assertGreaterEqual(output.count(b"Label"), count, output[-500:])

        def cpu_ticks():
            fields = pathlib.Path(f"/proc/{proc.pid}/stat").read_text().rsplit(")", 1)[1].split()
            return int(fields[11]) + int(fields[12])

        wait_for_refreshes(1)
        before, started = cpu_ticks(), time.monotonic()
        wait_for_refreshes(4)
        elapsed, used = time.monotonic() - started, cpu_ticks() - before
        self.assertLess(used / os.sysconf("SC_CLK_TCK"), 0.05 * elapsed + 0.05, "CPU time while waiting")
        self.assertIn(b"\033[1;31m! Fan Controller 3.3V", output, "out-of-limit reading in colour")
        self.assertRegex(output, rb"\033\[\d+A\033\[J", "redrawn in place")
        proc.terminate()
        self.assertEqual(proc.wait(timeout=10), 0)
        os.close(controller)


if __name__ == "__main__":
    unittest.main()
