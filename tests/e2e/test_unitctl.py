"""End-to-end: unitctl on a simulated unit (a temporary platform root), and its sensors over a simulated
hardware-monitor tree in a private mount namespace (root only)."""

import json
import os
import pathlib
import signal
import subprocess
import tempfile
import unittest

import harness

UNITCTL = os.environ.get("UNITCTL", "")
UNITSIM = os.environ.get("UNITSIM", "")
SENSORS_CONFIG = 'chip "adt7473-*"\n    label in2 "+3.3V"\n    label temp2 "Board Temp"\n'
HWMON = {"name": "adt7473\n", "in2_input": "2900\n", "fan1_input": "2000\n", "fan2_input": "2100\n",
         "fan3_input": "2200\n", **{f"pwm{n}_pulse_stretch_disable": "0\n" for n in range(1, 9)}}


@unittest.skipUnless(UNITCTL and UNITSIM, "UNITCTL and UNITSIM name the programs")
class UnitctlTest(unittest.TestCase):
    def setUp(self):  # board ids 65, 3, 5, 2; an erased identity partition; a boot-loader tool that records its arguments
        self.root = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory(prefix="unitctl-")))
        subprocess.run([UNITSIM, "host", str(self.root), "--board-ids", "65,3,5,2", "--fpga", "4.5.6+78,12"],
                       check=True, timeout=60)

    def read(self, relative):
        return (self.root / relative).read_text()

    def run_unitctl(self, *args, stdin=""):
        return harness.run(UNITCTL, "--root", self.root, *args, stdin=stdin)

    def test_version_reports_what_the_unit_says(self):
        lines = self.run_unitctl("version").stdout.splitlines()
        self.assertEqual((len(lines), len({line.index(" : ") for line in lines})), (13, 1), "13 aligned pairs")
        report = json.loads(self.run_unitctl("version", "--json").stdout)
        self.assertEqual([report[k] for k in ("Main", "Main ECN", "Mezzanine", "Frontpanel", "FPGA ID", "FPGA",
                                              "DynelleFitted")], ["65", "2", "3", "5", "12", "4.5.6+78", "0"])

    def test_set_serial_round_trips_through_the_identity_partition(self):
        self.assertEqual(self.run_unitctl("ident").returncode, 1, "erased record")
        self.assertEqual(self.run_unitctl("set-serial", "4711", stdin="n\n").returncode, 1)
        self.assertEqual((self.root / "dev/mtd3").read_bytes()[:4], b"\xff" * 4, "nothing written")
        written = self.run_unitctl("set-serial", "4711", stdin="y\n")
        self.assertEqual(written.returncode, 0, written.stderr)
        self.assertEqual(self.read("fw_setenv.args"), "runlevel 4\n")
        ident = self.run_unitctl("ident").stdout
        self.assertRegex(ident, r"Serial number : 004711\nMAC address   : ([0-9a-f]{2}:){3}00:12:67\nMain          : 65")
        for bad in ("1000000", "12a", "-5"):
            self.assertEqual(self.run_unitctl("set-serial", bad, "--yes").returncode, 2, bad)

    def test_led_and_watchdog(self):
        self.assertEqual(self.run_unitctl("led", "255", "128", "0").returncode, 0)
        duty = [self.read(f"sys/class/pwm/{chip}/pwm0/duty_cycle") for chip in ("pwmchip2", "pwmchip0", "pwmchip1")]
        self.assertEqual(duty, ["90000", "127000", "0"], "front panel 5 dims red to 91/256")
        watchdog = self.run_unitctl("watchdog", "30")
        self.assertEqual(self.read("dev/watchdog"), "V", "disarmed whatever happened")
        self.assertIn("watchdog time-out failed", watchdog.stderr)  # a plain file takes no ioctl
        (self.root / "dev/watchdog").unlink()
        self.assertEqual(self.run_unitctl("watchdog", "30").stderr, "No watchdog at /dev/watchdog\n")

    def test_sensors_as_json_and_watched_refreshing_the_table_in_place_and_sleeping_between(self):
        sensors = [UNITSIM, "sensors", SENSORS_CONFIG, *[f"hwmon0/{k}={v}" for k, v in HWMON.items()], "--", UNITCTL,
                   "--root", str(self.root), "sensors"]
        readings = json.loads(harness.run(*sensors, "--json").stdout)
        supply = next(r for r in readings if r["label"] == "Fan Controller 3.3V")
        self.assertEqual((supply["value"], supply["outOfLimits"], supply["alarmCount"]), (2.9, True, 1))
        self.assertNotIn("Centre Fan RPM", [r["label"] for r in readings], "front panel 5 has no centre fan")
        term = harness.Terminal([*sensors[1:], "--watch", "1"], program=UNITSIM)
        self.addCleanup(term.kill)
        term.wait_for(lambda: term.transcript.count(b"Label") >= 2, 30, "two tables")
        self.assertLess(term.cpu_share(3), 0.1, "CPU time while waiting")
        self.assertRegex(term.transcript, rb"\r\n  Right Fan RPM +2000\.000 +1\.000 +- +0\r\n")
        self.assertIn(b"\033[1;31m! Fan Controller 3.3V", term.transcript, "out-of-limit reading in colour")
        self.assertRegex(term.transcript, rb"\033\[\d+A\033\[J", "redrawn in place")
        term.child.kill(signal.SIGTERM)
        self.assertEqual(term.wait_exit(), 0)

