"""The layer check on small planted trees: what it must let through and what it must catch."""

import os
import re
import tempfile
import unittest

import check_layers

# (files and the includes each holds, faults expected: (file, its layer, the layer it must not use)). The first
# tree holds only allowed includes the real tree lacks: the real tree is checked by a test of its own.
CASES = [
    ({"framework/datacore/Packet.h": ["framework/rawdata/RawDataPacket.h", "logging/Report.h"],
      "platform/Sensors.cpp": ["logging/SystemError.h", "boardlink/SerialDevice.h"],
      "platform/tests/SensorsTest.cpp": ["tests/support/CapturingLogger.h", "app/TestManager.h"]}, []),
    ({"boardlink/Link.cpp": ["app/TestPlan.h"]}, [("boardlink/Link.cpp", "boardlink", "app")]),
    ({"app/TestManager.cpp": ["boardtests/PowerSourceUnitTest.h"]}, [("app/TestManager.cpp", "core", "boardtests")]),
    ({"upload/Upload.cpp": ["boardtests/TestUSBProtocol.h"]}, [("upload/Upload.cpp", "upload", "core")]),
    ({"platform/Board.h": ["console/Screen.h"], "framework/sdi/Id.h": ["upload/HttpHelpers.h"]},
     [("platform/Board.h", "platform", "console"), ("framework/sdi/Id.h", "framework/sdi", "upload")]),
    ({"framework/rawdata/Packet.h": ["framework/datacore/Tree.h"]},
     [("framework/rawdata/Packet.h", "framework/rawdata", "framework/datacore")]),
    ({"console/Screen.cpp": ["tests/support/ScriptedScreen.h"]}, [("console/Screen.cpp", "console", "tests")]),
    ({"tools/a/main.cpp": ["tools/b/B.h"], "tools/b/B.h": []}, [("tools/a/main.cpp", "tools/a", "tools/b")]),
    ({"console/Screen.h": ["upload/Upload.h"], "upload/Upload.h": ["console/Screen.h"]},
     [("console/Screen.h", "console", "upload")]),
]


def plant(root, files):
    for path, targets in files.items():
        os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
        with open(os.path.join(root, path), "w", encoding="utf-8") as stream:
            stream.write("".join(f'#include "{target}"\n' for target in targets))


FAULT = re.compile(r"^(\S+) includes \S+: layer (\S+) must not use layer (\S+)$")


class LayerCheck(unittest.TestCase):
    def test_planted_trees(self):
        for files, expected in CASES:
            with self.subTest(files=sorted(files)), tempfile.TemporaryDirectory() as root:
                plant(root, files)
                self.assertCountEqual([FAULT.match(fault).groups() for fault in check_layers.check(root)], expected)
