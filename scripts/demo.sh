#!/bin/sh
# The whole flow on a fresh machine: sets the machine up, builds the program
# and runs it in this terminal against the TR417 board simulator, which
# stands in for the board on /dev/tr417_app with a 14.0 V bench supply on the
# ACDC input J1 and a charged battery on a G plate.
#
# While the program runs, change the simulated bench from a second terminal:
#   build/host/tools/boardsim/tr417_sim --ctl j2 12.0
#   build/host/tools/boardsim/tr417_sim --ctl help
# Arguments are passed on to dynelle_test (for example: -f /tmp/results.txt).
set -eu
cd "$(dirname "$0")/.."

./scripts/setup.sh
cmake --preset host
cmake --build --preset host

SIM=build/host/tools/boardsim/tr417_sim
APP=build/host/app/dynelle_test
CONTROL=/tmp/tr417_sim.sock

if [ ! -w /dev ]; then
    echo "demo.sh: the simulated board is linked at /dev/tr417_app; run this as root" >&2
    exit 1
fi
mkdir -p /home/transfer/log

work=$(mktemp -d)
sim_pid=""
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The simulator says "ready" once the device link exists; reading it through
# a pipe waits exactly as long as that takes.
mkfifo "$work/ready"
"$SIM" --no-stdin --control "$CONTROL" \
    -e "j1 14.0" -e "plate g" -e "capacity 85" -e "gauge 83" -e "battery 12.6" \
    >"$work/ready" 2>"$work/simulator.log" &
sim_pid=$!
if ! read -r ready <"$work/ready"; then
    echo "demo.sh: the board simulator did not start:" >&2
    cat "$work/simulator.log" >&2
    exit 1
fi
echo "$ready"
echo "Bench: J1 at 14.0 V, G plate with a charged battery. Control: $SIM --ctl <command>"
echo "Starting dynelle_test ..."
sleep 2

status=0
"$APP" "$@" || status=$?
echo "dynelle_test exited with status $status"
exit "$status"
