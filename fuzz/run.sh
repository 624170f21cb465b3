#!/usr/bin/env bash
# Builds the fuzz targets (clang, the fuzz preset) and runs each one for a
# bounded time on a copy of its seed corpus. Any finding (a crash, a sanitizer
# report, a broken invariant, a hang, a leak) fails the script and leaves the
# input in build/fuzz/findings/<target>/.
#
#   fuzz/run.sh             about a minute per target, as CI runs it
#   fuzz/run.sh 3600        a long run: an hour per target
#
# Replay one input: build/fuzz/fuzz/Fuzz<target> <file>
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz

cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target FuzzLineReader FuzzConversion >/dev/null

# The targets make their FIFOs here; a target that ends on a finding leaves
# them behind.
export TMPDIR=$build/tmp
rm -rf "$TMPDIR"
mkdir -p "$TMPDIR"

status=0
for target in LineReader Conversion; do
    # New inputs go to the working copy; the checked-in seeds stay as they are.
    work=$build/corpus/$target
    findings=$build/findings/$target
    mkdir -p "$work" "$findings"
    log=$build/Fuzz$target.log
    echo "Fuzz$target: $seconds s"
    if "$build/fuzz/Fuzz$target" "$work" "$root/fuzz/corpus/$target" \
        -dict="$root/fuzz/calibration.dict" -max_total_time="$seconds" -timeout=20 \
        -rss_limit_mb=2048 -max_len=4096 -artifact_prefix="$findings/" \
        -print_final_stats=1 >"$log" 2>&1; then
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
    else
        status=1
        echo "Fuzz$target: FINDING, see $log and $findings/"
        grep -A 30 -E '^(==[0-9]+==ERROR|\*\*\*|.*runtime error)' "$log" | head -60 || tail -40 "$log"
    fi
done
exit $status
