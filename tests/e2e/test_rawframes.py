"""End-to-end tests of the rawframes tool: the real binary on real files and pipes."""

import os
import re
import tempfile
import unittest

import harness

RAWFRAMES = os.environ.get("RAWFRAMES", "rawframes")
LINE = re.compile(r"^offset (\d+): 0x([0-9a-f]{4}) (\w+), source (\d+), payload (\d+) bytes$", re.M)


def run(*args, stdin=None):
    return harness.run(RAWFRAMES, *args, stdin=stdin, text=False)


def write(*args, stdin=None):
    result = run(*args, stdin=stdin)
    assert result.returncode == 0, result.stderr
    return result.stdout


def frames_of(output):  # (offset, id, class, source, length) of every frame line
    return [(int(at), int(ident, 16), name, int(source), int(length))
            for at, ident, name, source, length in LINE.findall(output.decode())]


class RawFramesTest(unittest.TestCase):
    def test_written_frames_read_back_with_the_same_fields_and_described(self):
        # (arguments, fields read back, the description after the frame line)
        cases = [
            (("hex", "0x1011", "00 ff 10 20", "7"), (0x1011, "EyeVerticalHistogramData", 7, 4), ""),
            (("hex", "0x1029", ""), (0x1029, "LoudnessEngineRawDataPacket", 0, 0), ""),
            (("hex", "4139", "10111388c0a80001"), (0x102B, "DeregisterRawDataPacket", 0, 8),
             "  packet type 0x1011 to 192.168.0.1:5000\n"),
            (("json", '{"Class":"Foo"}'), (0x1010, "SerialisableDataPacket", 0, 19), '  {\n      "Class": "Foo"\n  }\n'),
        ]
        for args, (ident, name, source, length), description in cases:
            with self.subTest(args=args):
                frame = write(*args)
                self.assertEqual(len(frame), 16 + length + 4)
                out = run("-", stdin=frame).stdout
                self.assertEqual(frames_of(out), [(0, ident, name, source, length)])
                self.assertTrue(out.decode().endswith("\n" + description + "1 frames, 0 bytes skipped\n"), out)
        self.assertEqual(write("hex", "0x102a", "10 11 13 88 c0 a8 00 01").hex(),
                         "cafeba6e1f00d321102a000000000008" "10111388c0a80001" "deadbeef")

    def test_garbage_and_damaged_frames_cost_only_their_bytes(self):
        big = write("hex", "0x1019", "-", stdin=b"ab" * 100000)  # spans several read chunks
        good = write("hex", "0x1013", "01")
        # A frame without trailer, then headers with a huge and a negative length.
        damaged = good[:-4] + b"\0\0\0\0" + good[:12] + b"\x7f\xff\xff\xf0" + good[:12] + b"\xff\xff\xff\xfe"
        pieces = [b"xyz", write("json", '{"Class":"A"}'), b"\xca\xfe\xba", big, damaged, good, good, b"tail"]
        with tempfile.NamedTemporaryFile(suffix=".bin") as capture:
            capture.write(b"".join(pieces))
            capture.flush()
            out = write(capture.name)
        self.assertEqual([f[1] for f in frames_of(out)], [0x1010, 0x1019, 0x1013, 0x1013])
        self.assertEqual([f[0] for f in frames_of(out)], [sum(map(len, pieces[:i])) for i in (1, 3, 5, 6)])
        self.assertTrue(out.decode().startswith("offset 0: skipped 3 bytes\n"))
        skipped = 3 + 3 + len(damaged) + 4
        self.assertTrue(out.decode().endswith("4 frames, %d bytes skipped\n" % skipped), out.decode()[-200:])

    def test_bad_requests_fail_with_a_message(self):
        cases = [("hex", "0x100f", "00"), ("hex", "0x1011", "abc"), ("hex", "0x1011", "zz"),
                 ("hex", "0x1011", "00", "70000"), ("json", "[1]"), ("json", '{"Class":'),
                 ("/nonexistent/capture.bin",), ()]
        for args in cases:
            with self.subTest(args=args):
                result = run(*args)
                self.assertEqual(result.returncode, 1)
                self.assertEqual(result.stdout, b"")
                self.assertTrue(result.stderr)

