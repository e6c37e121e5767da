#!/bin/sh
# Installs everything needed to build, run and test on a fresh Debian 12 machine.
# Safe to run again: packages already present are not fetched twice.
set -eu

HOST_PACKAGES="
build-essential cmake ninja-build pkg-config file
qtbase5-dev libspdlog-dev libfmt-dev libncurses-dev libssl-dev libsensors-dev
libgtest-dev libgmock-dev googletest libbenchmark-dev
clang libclang-rt-14-dev
python3 python3-pyte python3-pexpect openssl ca-certificates util-linux mount iproute2 procps
g++-arm-linux-gnueabihf qemu-user
"

missing=""
for p in $HOST_PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -n "$missing" ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    # shellcheck disable=SC2086
    $SUDO apt-get install -y -q --no-install-recommends $missing
fi

# The host unit's libraries for the 32-bit ARM build, unpacked once per
# machine into a private sysroot.
if [ "$(id -u)" -eq 0 ]; then
    "$(dirname "$0")/setup-armhf-sysroot.sh"
else
    sudo "$(dirname "$0")/setup-armhf-sysroot.sh"
fi
