"""sdi-payload-id: the real tool's input forms, standard input, the builder, JSON output and the exit
statuses. The library's own tests check every value; these check the wiring."""

import json
import os
import unittest

import harness

TOOL = os.environ.get("SDI_PAYLOAD_ID", "")

# (identifier as typed, class, format line, scan type line, geometry line or None): one interlaced
# and one UHD geometry show the tool prints it.
REAL = [
    ("0x85052001", "PayloadIdentifier1080_1g5", "1920x1080i 25 Hz 4:2:2 10-bit, 1.5G", "2 interlaced",
     "field lines 563/562, first active lines 21/584, active 1920 samples x 540/540 lines per field, image 1920x1080"),
    ("89 C9 80 01", "PayloadIdentifier1080_3g", "1920x1080p 50 Hz 4:2:2 10-bit, 3G level A", "3 progressive", None),
    ("8a:49:20:01", "PayloadIdentifier1080_Levelb3g", "1920x1080p 50 Hz 4:2:2 10-bit, 3G level B", "3 progressive", None),
    ("0x81 0x06 0x00 0x01", "PayloadIdentifierSd_270m", "720x486i 29.97 Hz 4:2:2 10-bit, 270M", "2 interlaced", None),
    ("97C980C1", "PayloadIdentifier2160_QuadLink3g", "3840x2160p 50 Hz 4:2:2 10-bit, quad-link 3G level A",
     "3 progressive",
     "field lines 1125, first active lines 42, active 1920 samples x 1080 lines per field, image 3840x2160"),
]


@unittest.skipUnless(os.access(TOOL, os.X_OK), "set SDI_PAYLOAD_ID to the built tool")
class SdiPayloadIdTest(unittest.TestCase):
    def test_real_identifiers_decode_cleanly_as_arguments_from_standard_input_and_built_from_fields(self):
        for typed, cls, fmt, scan, geometry in REAL:
            with self.subTest(typed):
                result = harness.run(TOOL, *typed.split())
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
                lines = result.stdout.splitlines()
                self.assertIn("class " + cls, lines[1])
                self.assertIn("scan type: " + scan, lines)
                if geometry:
                    self.assertIn("geometry: " + geometry, lines)
                self.assertTrue(any(line.startswith("format: " + fmt) for line in lines), lines)
                self.assertEqual(lines[-1], "checks: passed")
        # Built from field values by key and class name, and by field name and payload code: the very words.
        built = harness.run(TOOL, "--build", "2160_QuadLink3g", "transport=1", "picture=1", "rate=9", "aspect=1",
                            "depth=1", "channel=3")
        self.assertEqual((built.returncode, built.stdout), (0, result.stdout))
        result = harness.run(TOOL, "--json", stdin="# captured on the bench\n\n" + "".join(w + "\n" for w, *_ in REAL))
        self.assertEqual(result.returncode, 0, result.stderr)
        objects = [json.loads(line) for line in result.stdout.splitlines()]
        self.assertEqual([obj["class"] for obj in objects], [cls for _, cls, *_ in REAL])  # every word, in order
        # Each key on one object: the values of every identifier are the text test's and the library's.
        quad = objects[-1]
        self.assertTrue(quad["format"].startswith(REAL[-1][2]))
        self.assertEqual((quad["scanType"]["code"], quad["checks"], quad["reservedBits"], quad["links"],
                          quad["dataRate"], quad["level"], quad["subImages"]), (3, [], [], 4, "3G", 0, 4))
        self.assertEqual({f["key"]: f["value"] for f in quad["fields"]}["channel"], 3)
        built = harness.run(TOOL, "--json", "--build", "0x89", "TransportFormat=1", "PictureFormat=1",
                            "PictureRate=0x9", "AspectRatio=1", "BitDepth=1")
        self.assertEqual((built.returncode, json.loads(built.stdout)), (0, objects[1]))

    def test_messages_give_status_2_and_bad_input_status_1(self):
        # (arguments, stdin, status, text expected on stdout or stderr)
        cases = [
            (["89000004"], None, 2, "reserved: Reserved bit not 0, Byte 0, Bit 2\ncheck: Invalid picture rate: 0"),
            (["--as", "720_1g5", "81050001"], None, 2, "check: Incorrect payload identifier: 129"),
            (["89C98001", "00"], None, 1, "cannot read"),
            (["1FFFFFFFF"], None, 1, "cannot read"),
            (["--as", "1080_5g", "89C98001"], None, 1, "unknown class"),
            (["--frobnicate"], None, 1, "unknown option"),
            ([], "85052001\nnot-a-word\n", 1, "line 2: cannot read"),
            ([], "x" * 100000 + "\n85052001", 1, "line 1: longer than 256 bytes"),
            ([], "85052001\n97C98005\n", 2, "check: Incorrect AudioCopyStatus for channel 1 or 2: 1"),
            (["--build", "1080_3g", "depth=4"], None, 1, "does not fit field depth (2 bits)"),
            (["--build", "1080_3g", "channel=1"], None, 1, "1080_3g has no field channel"),
        ]
        for args, stdin, status, text in cases:
            with self.subTest(args=args, stdin=stdin):
                result = harness.run(TOOL, *args, stdin=stdin)
                self.assertEqual(result.returncode, status, result.stdout + result.stderr)
                self.assertIn(text, result.stdout + result.stderr)

