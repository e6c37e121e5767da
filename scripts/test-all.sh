#!/bin/sh
# Sets up the machine, then builds and runs every test: the host build (its
# benchmarks run once, briefly), the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, the 32-bit ARM build with its unit tests under
# emulation, and a short smoke run of every fuzz target.
set -eu
cd "$(dirname "$0")/.."

./scripts/setup.sh

# Each stage reports how long the one before it took; "done" closes the last.
stage_name=""
stage_start=0
stage_times=""
stage() {
    now=$(date +%s)
    if [ -n "$stage_name" ]; then
        took=$((now - stage_start))
        printf '=== %s took %dm%02ds\n' "$stage_name" $((took / 60)) $((took % 60))
        stage_times="$stage_times$(printf '  %-32s %dm%02ds' "$stage_name" $((took / 60)) $((took % 60)))
"
    fi
    stage_name=$1
    stage_start=$now
    printf '\n=== %s (%s)\n' "$1" "$(date +%H:%M:%S)"
}

# Number of tests ctest would run in a build directory with the given label
# filters.
listed_tests() {
    dir=$1
    shift
    ctest --test-dir "$dir" -N "$@" | sed -n 's/^Total Tests: *//p'
}

# The armhf packages: an ARM binary, the usage text and exit status 1 from
# -h under the emulator, and a declared dependency for every library the
# binaries load.
check_armhf_packages() {
    sysroot=$(sed -n 's/^DYNELLE_ARMHF_SYSROOT:PATH=//p' build/armhf/CMakeCache.txt)
    sonames="$(dirname "$sysroot")/sonames"
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    for deb in build/armhf/packages/dynelle-test_*_armhf.deb \
               build/armhf/packages/dynelle-test-boardsim_*_armhf.deb \
               build/armhf/packages/dynelle-unit-tools_*_armhf.deb; do
        [ -f "$deb" ] || { echo "missing package: $deb" >&2; return 1; }
        dpkg -x "$deb" "$scratch"
        depends=$(dpkg-deb -f "$deb" Depends)
        for binary in $(dpkg-deb -c "$deb" | awk '$1 ~ /^-/ && $6 ~ /\/bin\// { sub(/^\./, "", $6); print $6 }'); do
            file "$scratch$binary"
            file -b "$scratch$binary" | grep -q '^ELF 32-bit LSB .*, ARM, EABI5' \
                || { echo "$binary is not a 32-bit ARM executable" >&2; return 1; }
            for so in $(arm-linux-gnueabihf-readelf -d "$scratch$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
                package=$(awk -v so="$so" '$1 == so { print $2; exit }' "$sonames")
                if [ -z "$package" ] || ! printf ', %s,' "$depends" | grep -q ", $package[ ,]"; then
                    echo "$(basename "$deb"): $binary needs $so (${package:-unknown package}), not in Depends: $depends" >&2
                    return 1
                fi
            done
        done
        echo "$(basename "$deb"): Depends: $depends"
    done
    status=0
    qemu-arm -L "$sysroot" "$scratch/usr/bin/dynelle_test" -h > "$scratch/usage.txt" 2>&1 || status=$?
    cat "$scratch/usage.txt"
    if [ "$status" -ne 1 ] || ! grep -q '^Usage: dynelle_test ' "$scratch/usage.txt"; then
        echo "packaged dynelle_test -h under qemu-arm: exit status $status, expected 1 and the usage text" >&2
        return 1
    fi
    echo "packaged dynelle_test -h under qemu-arm: usage text, exit status 1"
    rm -rf "$scratch"
    trap - EXIT
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

stage "armhf build"
cmake --preset armhf
cmake --build --preset armhf
stage "armhf tests under qemu-arm"
ctest --preset armhf --output-log build/armhf/emulated-tests.log
emulated=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' build/armhf/emulated-tests.log | tail -n 1)
host_unit=$(listed_tests build/host -L '^unit$')
host_kept=$(listed_tests build/host -L '^unit$' -LE '^(spawns|e2e)$')
printf 'Unit tests run under qemu-arm: %s; host unit tests: %s, less %s labelled spawns or e2e: %s\n' \
    "$emulated" "$host_unit" $((host_unit - host_kept)) "$host_kept"
if [ "$emulated" != "$host_kept" ]; then
    echo "The emulated run does not cover the host's unit tests" >&2
    exit 1
fi
stage "armhf packages"
rm -rf build/armhf/packages
cpack --preset armhf
check_armhf_packages

stage "fuzz build"
cmake --preset fuzz
cmake --build --preset fuzz
stage "fuzz smoke"
ctest --preset fuzz

stage "done"
printf '%s' "$stage_times"
