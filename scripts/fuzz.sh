#!/bin/sh
# Runs the libFuzzer targets of tests/fuzz.
#
#   scripts/fuzz.sh --smoke SECONDS BINARY CORPUS
#       One target for SECONDS on a scratch copy of CORPUS (the checked-in
#       corpus is never written). Fails on any finding (crash, leak, timeout,
#       out of memory) and prints the reproducer. The test suite runs this.
#
#   scripts/fuzz.sh --minutes N [TARGET...]
#       Builds the fuzz preset if needed, then runs each named target (all of
#       them when none is named) for N minutes, one after the other, on a
#       working corpus under build/fuzz/corpus/<target> seeded from the
#       checked-in one. Prints executions, coverage and findings per target;
#       findings are kept under build/fuzz/findings/<target>/.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)

# A single input running longer than this, or a process growing past this,
# is a finding, not a slow run.
input_timeout=10
rss_limit_mb=2048

usage() {
    echo "Usage: $0 --smoke SECONDS BINARY CORPUS" >&2
    echo "       $0 --minutes N [TARGET...]" >&2
    exit 2
}

is_count() {
    case $1 in
        '' | *[!0-9]*) return 1 ;;
        *) [ "$1" -gt 0 ] ;;
    esac
}

# Prints a finding so that it can be turned into a regression input without
# access to the machine that found it: its name, size and bytes in hex.
show_finding() {
    artifact=$1
    echo "--- finding: $artifact ($(wc -c < "$artifact") bytes)"
    od -An -tx1 -v "$artifact" | head -n 64
    if [ "$(wc -c < "$artifact")" -gt 1024 ]; then
        echo "    (first 1024 bytes shown)"
    fi
}

# Runs BINARY for SECONDS on CORPUS, artifacts into FINDINGS; the libFuzzer log
# goes to LOG. Returns libFuzzer's exit status.
run_fuzzer() {
    binary=$1 seconds=$2 corpus=$3 findings=$4 log=$5
    status=0
    "$binary" -max_total_time="$seconds" -timeout="$input_timeout" \
        -rss_limit_mb="$rss_limit_mb" -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" > "$log" 2>&1 || status=$?
    return "$status"
}

# Executions, coverage and corpus size from a libFuzzer log.
summarise() {
    log=$1
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
    cov=$(printf '%s\n' "$last" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
    ft=$(printf '%s\n' "$last" | sed -n 's/.* ft: \([0-9]*\).*/\1/p')
    corp=$(printf '%s\n' "$last" | sed -n 's/.* corp: \([0-9]*\/[0-9a-zA-Z]*\).*/\1/p')
    printf 'executions %s (%s/s), coverage %s edges, %s features, corpus %s' \
        "${runs:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" "${corp:-?}"
}

smoke() {
    [ $# -eq 3 ] || usage
    seconds=$1 binary=$2 corpus=$3
    is_count "$seconds" || usage
    [ -x "$binary" ] || { echo "$0: no fuzz target at $binary" >&2; exit 2; }
    name=$(basename "$binary")
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/fuzz-$name.XXXXXX")
    trap 'rm -rf "$scratch"' EXIT INT TERM
    mkdir "$scratch/corpus" "$scratch/findings"
    if [ -d "$corpus" ]; then
        cp -R "$corpus/." "$scratch/corpus/"
    else
        echo "$name: no seed corpus at $corpus, starting empty"
    fi
    if run_fuzzer "$binary" "$seconds" "$scratch/corpus" "$scratch/findings" "$scratch/log"; then
        echo "$name: $(summarise "$scratch/log"), no finding in ${seconds}s"
        return 0
    fi
    # Keep the findings beside the binary: the scratch copy goes away.
    kept="$(dirname "$binary")/findings/$name"
    mkdir -p "$kept"
    echo "$name: FINDING after $(summarise "$scratch/log")"
    tail -n 60 "$scratch/log"
    found=0
    for artifact in "$scratch/findings"/*; do
        [ -f "$artifact" ] || continue
        found=1
        cp "$artifact" "$kept/"
        show_finding "$artifact"
        echo "    kept as $kept/$(basename "$artifact")"
        echo "    reproduce: $binary $kept/$(basename "$artifact")"
    done
    [ "$found" -eq 1 ] || echo "(libFuzzer left no reproducer; its log is above)"
    exit 1
}

# The fuzz targets the fuzz build knows: its CTest smoke tests are named
# fuzz_<target>.
all_targets() {
    ctest --test-dir "$root/build/fuzz" -N -L '^fuzz$' | sed -n 's/^ *Test *#[0-9]*: fuzz_//p'
}

campaign() {
    [ $# -ge 1 ] || usage
    minutes=$1
    shift
    is_count "$minutes" || usage
    cd "$root"
    [ -f build/fuzz/CMakeCache.txt ] || cmake --preset fuzz
    if [ $# -eq 0 ]; then
        cmake --build --preset fuzz
        # shellcheck disable=SC2046
        set -- $(all_targets)
        [ $# -gt 0 ] || { echo "$0: the fuzz build has no targets" >&2; exit 2; }
    else
        cmake --build --preset fuzz --target "$@"
    fi
    failed=0
    summary=""
    for name in "$@"; do
        binary=build/fuzz/tests/fuzz/$name
        work=build/fuzz/corpus/$name
        findings=build/fuzz/findings/$name
        log=build/fuzz/$name.log
        mkdir -p "$work" "$findings"
        [ -d "tests/fuzz/corpus/$name" ] && cp -R "tests/fuzz/corpus/$name/." "$work/"
        # A slow unit is only a warning (a loaded machine makes them); the
        # rest are findings.
        before=$(find "$findings" -type f ! -name 'slow-unit-*' | wc -l)
        echo "=== $name for $minutes min ($(date +%H:%M:%S)), log $log"
        status=0
        run_fuzzer "$binary" $((minutes * 60)) "$work" "$findings" "$log" || status=$?
        new=$(( $(find "$findings" -type f ! -name 'slow-unit-*' | wc -l) - before ))
        line="$name: $(summarise "$log"), findings $new"
        echo "$line"
        summary="$summary$line
"
        if [ "$status" -ne 0 ]; then
            failed=1
            tail -n 60 "$log"
            # libFuzzer stops at its first finding: the newest file.
            newest=$(ls -t "$findings" | head -n 1)
            if [ -n "$newest" ]; then
                show_finding "$findings/$newest"
                echo "    reproduce: $binary $findings/$newest"
            fi
        fi
    done
    printf '\n%s' "$summary"
    exit "$failed"
}

[ $# -ge 1 ] || usage
mode=$1
shift
case $mode in
    --smoke) smoke "$@" ;;
    --minutes) campaign "$@" ;;
    *) usage ;;
esac
