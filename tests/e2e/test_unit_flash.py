"""The flash tool on a simulated unit: each command's success, its own messages and its exit statuses (what
the flash layer and the file readers do with the bytes is for the unit tests)."""

import os
import pathlib
import struct
import subprocess
import tempfile
import unittest

import harness

TOOL = os.environ.get("UNIT_FLASH", "")
UNITSIM = os.environ.get("UNITSIM", "")
JEDEC = (b"\x02*\nNOTE DESIGN NAME:\tpwr_ctrl*\nQF32*\nL000000\n1000000000000001\n0111111111111110\n*\n"
         b"U00000001000000100000001100000100*\n\x03A5C3\n")
BITSTREAM = (struct.pack(">H", 9) + bytes(9) + struct.pack(">H", 1)
             + b"".join(key + struct.pack(">H", len(text) + 1) + text + b"\0"
                        for key, text in ((b"a", b"top;COMPRESS=TRUE;UserID=0X80010203;Version=2020.1"),
                                          (b"b", b"7a35tfgg484"), (b"c", b"2024/03/14"), (b"d", b"09:05:07")))
             + b"e" + struct.pack(">I", 4) + b"\xaa" * 4)


@unittest.skipUnless(TOOL and UNITSIM, "UNIT_FLASH and UNITSIM name the programs")
class UnitFlashTest(unittest.TestCase):
    def setUp(self):  # two partitions of 64 KiB erase blocks holding old contents
        self.root = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory(prefix="simulated-unit-")))
        subprocess.run([UNITSIM, "partitions", self.root, "0x0f", "1:ident:0x20000:0x10000",
                        "0:u-boot:0x40000:0x10000"], check=True, timeout=60)

    def tool(self, *args, stdin=None):
        return harness.run(TOOL, "--root", self.root, *args, stdin=stdin, text=False)

    def node(self, name):
        return (self.root / "dev" / name).read_bytes()

    def test_copies_into_a_partition_with_progress_verifies_it_and_copies_through_standard_streams_at_offsets(self):
        image = os.urandom(0x20000)
        (self.root / "ident.bin").write_bytes(image)
        run = self.tool("--progress", "copy", self.root / "ident.bin", "mtd:ident")
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(self.node("mtd1"), image)
        errors = run.stderr.decode()  # the flash layer's messages, then the tool's
        self.assertIn("\x08\x08\x08025\n\x08\x08\x08050\n\n", errors)  # percentages one a line; the erase is half
        self.assertTrue(errors.endswith("\x08\x08\x08100\n\nSuccess! Copied 131072 bytes from %s to %s\n"
                                        "unit-flash: verified 131072 bytes of mtd:ident\n"
                                        % (self.root / "ident.bin", self.root / "dev/mtd1")), errors[-300:])
        self.assertEqual(self.tool("verify", self.root / "ident.bin", "mtd:ident").returncode, 0)
        run = self.tool("copy", "-", "mtd:ident", "100", "0x10000", stdin=b"x" * 100)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(self.node("mtd1"), image[:0x10000] + b"x" * 100 + b"\xff" * (0x10000 - 100))
        self.assertEqual(self.tool("copy", "mtd:ident", "-", "2", "0x10063").stdout, b"x\xff")

    def test_lists_and_erases_partitions(self):
        run = self.tool("parts")
        self.assertEqual(run.stdout.decode(), "name                 node           size  erasesize\n"
                                              "u-boot               mtd0     0x00040000 0x00010000\n"
                                              "ident                mtd1     0x00020000 0x00010000\n")
        self.assertEqual(self.tool("erase", "mtd:u-boot", "64K", "0x10000").returncode, 0)
        self.assertEqual(self.node("mtd0"), b"\x0f" * 0x10000 + b"\xff" * 0x10000 + b"\x0f" * 0x20000)

    def test_failures_exit_with_the_negated_code_and_one_line(self):
        missing, written = self.root / "missing.bin", self.root / "ident.bin"
        written.write_bytes(b"\xf0" * 100)
        cases = (  # the read-back catches a copy without erase: NOR flash only clears bits
            (("--no-erase", "copy", written, "mtd:ident"), 6, "unit-flash: mtd:ident differs from %s at offset 0x0\n" % written),
            (("copy", missing, "mtd:ident"), 2, "unit-flash: cannot open %s: No such file or directory\n" % missing),
            (("copy", self.root / "proc/mtd", "mtd:ident", "1M"), 4, "unit-flash: size too large for mtd:ident\n"),
            (("erase", "mtd:nope"), 2, "unit-flash: no partition named nope in %s\n" % (self.root / "proc/mtd")),
        )
        for args, status, message in cases:
            run = self.tool(*args)
            self.assertEqual((run.returncode, run.stderr.decode()), (status, message), args)
        self.assertEqual(self.tool("copy", "only-one").returncode, 64)

    def test_shows_headers_and_fuse_rows(self):
        (self.root / "top.bit").write_bytes(BITSTREAM)
        (self.root / "pwr.jed").write_bytes(JEDEC)
        run = self.tool("header", self.root / "top.bit")
        self.assertEqual(run.stdout.decode(), "design: top\nversion: 1-2.3(dev)\nvivado: 2020.1\ndevice: 7a35tfgg484\n"
                                              "date: 2024/03/14\ntime: 09:05:07\nsize: 4\n")
        run = self.tool("header", self.root / "pwr.jed")
        self.assertEqual(run.stdout, b"design: pwr_ctrl\nsize: 32\nusercode: 01 02 03 04\n")
        run = self.tool("fuses", self.root / "pwr.jed", "--bits-per-row", "16")
        self.assertEqual((run.returncode, run.stdout), (0, b"\x80\x01\x7f\xfe"))
        (self.root / "bad.bit").write_bytes(BITSTREAM[:72])  # inside the part name
        self.assertEqual(self.tool("header", self.root / "bad.bit").returncode, 11)

