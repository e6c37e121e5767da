#!/bin/sh
# Builds the private armhf sysroot that the cross build compiles against and
# the emulator loads libraries from: Debian's armhf -dev packages and their
# dependencies, resolved by apt-get with a state directory of its own and
# unpacked with dpkg-deb. Nothing is registered with the host's dpkg, so the
# amd64 and armhf copies of a library never have to be at the same version.
#
# Usage: scripts/setup-armhf-sysroot.sh [CACHE_DIR]
# The sysroot is CACHE_DIR/root (default /var/cache/dynelle/armhf-sysroot).
# It is built once per machine and package list; running again is a no-op.
set -eu

CACHE_DIR=${1:-/var/cache/dynelle/armhf-sysroot}

# The libraries the program, the board simulator and the unit tests link
# against; apt-get adds their run-time dependencies.
TARGET_PACKAGES="
libc6-dev libstdc++-12-dev
libqt5core5a libqt5network5 libspdlog-dev libfmt-dev libncurses-dev libssl-dev
libsensors-dev libgtest-dev libgmock-dev
"
# Taken without their dependencies: qtbase5-dev brings the Qt headers and
# CMake files, qt5-qmake the mkspecs those name. Their dependencies (the GUI,
# OpenGL and X11 stacks, an ARM qmake) would triple the download for nothing
# this program uses.
TARGET_PACKAGES_ALONE="qtbase5-dev qt5-qmake"

ROOT="$CACHE_DIR/root"
STAMP="$CACHE_DIR/stamp"
APT_DIR="$CACHE_DIR/apt"

# The stamp names everything the result depends on: this script (and so the
# package lists) and the host's package sources.
SELF="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"
wanted_stamp() {
    printf 'script %s\n' "$(sha256sum < "$SELF" | cut -d' ' -f1)"
    printf 'with dependencies: %s\n' $TARGET_PACKAGES
    printf 'alone: %s\n' $TARGET_PACKAGES_ALONE
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null | grep -v '^[[:space:]]*#' || true
}

mkdir -p "$CACHE_DIR"
exec 9>"$CACHE_DIR/lock"
# Two set-up runs on one machine take turns rather than unpack over each other.
flock 9

if [ -f "$STAMP" ] && [ -d "$ROOT" ] && wanted_stamp | cmp -s - "$STAMP"; then
    echo "armhf sysroot: up to date in $ROOT"
    exit 0
fi

echo "armhf sysroot: building in $ROOT"
rm -f "$STAMP"

# apt-get sees only this directory: its own lists, an empty dpkg status (so
# every dependency is fetched) and the host's sources for armhf.
mkdir -p "$APT_DIR/lists/partial" "$APT_DIR/archives/partial" \
         "$APT_DIR/cache" "$APT_DIR/sources.list.d"
: > "$APT_DIR/status"
: > "$APT_DIR/sources.list"
[ ! -f /etc/apt/sources.list ] || cp /etc/apt/sources.list "$APT_DIR/sources.list"
rm -f "$APT_DIR/sources.list.d/"*
for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ ! -f "$f" ] || cp "$f" "$APT_DIR/sources.list.d/"
done

apt_private() {
    apt-get -q \
        -o APT::Architecture=armhf \
        -o APT::Architectures=armhf \
        -o APT::Install-Recommends=false \
        -o APT::Sandbox::User=root \
        -o Dir::State::Lists="$APT_DIR/lists" \
        -o Dir::State::status="$APT_DIR/status" \
        -o Dir::State::extended_states="$APT_DIR/extended_states" \
        -o Dir::Cache="$APT_DIR/cache" \
        -o Dir::Cache::pkgcache="$APT_DIR/cache/pkgcache.bin" \
        -o Dir::Cache::srcpkgcache="$APT_DIR/cache/srcpkgcache.bin" \
        -o Dir::Cache::archives="$APT_DIR/archives" \
        -o Dir::Etc::sourcelist="$APT_DIR/sources.list" \
        -o Dir::Etc::sourceparts="$APT_DIR/sources.list.d" \
        -o Debug::NoLocking=true \
        "$@"
}

# A mirror in the middle of a sync can serve one suite's index out of step
# with its release file; the sysroot is only built against, so the suites
# that did arrive are enough as long as there is at least one.
if ! apt_private update; then
    if ! ls "$APT_DIR/lists/"*_Packages* >/dev/null 2>&1; then
        echo "armhf sysroot: no package index could be fetched" >&2
        exit 1
    fi
    echo "armhf sysroot: warning: some package indices failed; using the rest" >&2
fi
# shellcheck disable=SC2086
apt_private install --download-only --yes $TARGET_PACKAGES
# shellcheck disable=SC2086
(cd "$APT_DIR/archives" && apt_private download $TARGET_PACKAGES_ALONE)

# Unpack into a fresh tree and swap it in at the end, so that an interrupted
# run never leaves a half-built sysroot behind a valid stamp.
rm -rf "$ROOT.new"
mkdir -p "$ROOT.new"
# SONAMES maps each shared library file name to its package, so that the
# dependencies declared for our packages can be checked against what the
# binaries actually load.
: > "$CACHE_DIR/sonames.new"
count=0
for deb in "$APT_DIR/archives/"*.deb; do
    dpkg-deb -x "$deb" "$ROOT.new"
    package=$(dpkg-deb -f "$deb" Package)
    dpkg-deb -c "$deb" | awk -v p="$package" '
        { name = $6; sub(/.*\//, "", name) }
        name ~ /\.so(\.[0-9]+)+$/ { print name, p }' >> "$CACHE_DIR/sonames.new"
    count=$((count + 1))
done

# Absolute links (libfoo.so -> /lib/...) would point into the host; make
# each one relative to its own directory inside the sysroot.
find "$ROOT.new" -type l | while IFS= read -r link; do
    target=$(readlink "$link")
    case "$target" in
        /*)
            dir=$(dirname "$link")
            rel=$(realpath -s -m --relative-to="$dir" "$ROOT.new$target")
            ln -sfn "$rel" "$link"
            ;;
    esac
done

rm -rf "$ROOT"
mv "$ROOT.new" "$ROOT"
sort -u "$CACHE_DIR/sonames.new" > "$CACHE_DIR/sonames"
rm -f "$CACHE_DIR/sonames.new"
# The downloaded archives are not needed once unpacked.
rm -f "$APT_DIR/archives/"*.deb
wanted_stamp > "$STAMP"
echo "armhf sysroot: $count packages unpacked into $ROOT"
