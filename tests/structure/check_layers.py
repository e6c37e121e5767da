#!/usr/bin/env python3
"""Checks that each layer includes only its own headers and those of the
layers it builds on, directly or through others. Each layer builds only on
layers listed before it, so a tree without upward includes has no cycle.

Usage: check_layers.py [source root]   (exit status 1 and one line per fault)
"""

import fnmatch
import os
import pathlib
import re
import sys

# Layers, each with the path patterns of its files (first match wins) and the
# layers it builds on directly. Lowest first.
LAYERS = [
    ("logging", ["logging/*"], []),
    ("boardlink", ["boardlink/*"], ["logging"]),
    ("console", ["console/*"], ["boardlink"]),
    ("upload", ["upload/*"], ["console"]),
    # The manager is the link: it derives from the link initialisation test.
    ("core", ["app/TestManager*", "app/UnitTest*", "app/StopSignals*", "boardtests/TestUSBProtocol*"], ["upload"]),
    ("boardtests", ["boardtests/*"], ["core"]),
    ("app", ["app/*"], ["boardtests"]),
    # The host unit's platform and the instrument framework: stacks of their
    # own beside the application, never on top of it.
    ("platform", ["platform/*"], ["boardlink"]),
    ("framework/rawdata", ["framework/rawdata/*"], ["boardlink"]),
    ("framework/datacore", ["framework/datacore/*"], ["framework/rawdata"]),
    ("framework/sdi", ["framework/sdi/*"], ["framework/datacore"]),
    ("framework/audio", ["framework/audio/*"], ["framework/sdi"]),
    ("framework", ["framework/*"], ["framework/audio"]),
    # Engineers' tools may use any part of the program, but not each other.
    ("tools", ["tools/*"], ["app", "platform", "framework"]),
    # Only tests include tests' helpers.
    ("tests", ["tests/*"], []),
]
SOURCE_FOLDERS = ["logging", "boardlink", "console", "upload", "boardtests", "app", "platform", "framework", "tools"]
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c", ".h.in")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.MULTILINE)


def layer_of(path):  # of a path relative to the source root; each tool is a layer of its own
    for name, patterns, _ in LAYERS:
        if any(fnmatch.fnmatchcase(path, pattern) for pattern in patterns):
            return "/".join(path.split("/")[:2]) if name == "tools" else name
    return None


def allowed_below(name):  # every layer that `name` builds on, directly or through others
    below = next(uses for layer, _, uses in LAYERS if layer == ("tools" if name.startswith("tools/") else name))
    return set(below).union(*map(allowed_below, below))


def includes(root):  # (including file, included file) pairs between our own files, paths relative to root
    for folder in SOURCE_FOLDERS:
        for directory, subdirectories, files in os.walk(os.path.join(root, folder)):
            # Test folders inside a source folder are tests, not part of its layer.
            subdirectories[:] = sorted(name for name in subdirectories if name not in ("test", "tests"))
            for file in sorted(name for name in files if name.endswith(SOURCE_SUFFIXES)):
                source = os.path.join(directory, file)
                for target in INCLUDE.findall(pathlib.Path(source).read_text(encoding="utf-8", errors="replace")):
                    beside = os.path.normpath(os.path.join(directory, target))
                    # Beside the file, else from the root (or generated into the build).
                    resolved = os.path.relpath(beside, root) if os.path.exists(beside) else os.path.normpath(target)
                    if resolved.split("/")[0] in SOURCE_FOLDERS + ["tests"]:
                        yield os.path.relpath(source, root), resolved


def check(root):  # the faults of the tree at root, one text each
    pairs = ((source, target, layer_of(source), layer_of(target)) for source, target in includes(root))
    return [f"{source} includes {target}: layer {here} must not use layer {there}" for source, target, here, there in
            pairs if here is not None and there is not None and here != there and there not in allowed_below(here)]


def main(arguments):
    root = arguments[1] if len(arguments) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    faults = check(os.path.abspath(root))
    print("\n".join(faults) or "layers: no upward include, no cycle")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
