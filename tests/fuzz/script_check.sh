#!/bin/sh
# The fuzz script's smoke mode on a target with a planted fault: it must fail,
# name and show the reproducer, keep it, and leave the seed corpus untouched.
set -eu
script=$1 binary=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/seeds"
printf 'crash here' > "$scratch/seeds/planted"
status=0
"$script" --smoke 5 "$binary" "$scratch/seeds" > "$scratch/out" 2>&1 || status=$?
cat "$scratch/out"
fail() { echo "script check: $*" >&2; exit 1; }
[ "$status" -eq 1 ] || fail "exit status $status for a finding, expected 1"
grep -q ' FINDING ' "$scratch/out" || fail "no FINDING line"
grep -q '63 72 61 73 68' "$scratch/out" || fail "the reproducer's bytes are not shown"
kept=$(sed -n 's/^ *kept as //p' "$scratch/out" | head -n 1)
if [ -z "$kept" ] || [ ! -f "$kept" ]; then fail "the reproducer was not kept"; fi
grep -q '^crash' "$kept" || fail "the kept reproducer is not the crashing input"
rm -f "$kept"
[ "$(ls "$scratch/seeds")" = planted ] || fail "the seed corpus was written to"
echo "script check: finding reported, shown, kept; seeds untouched"
