#!/bin/sh
# The benchmark, in one command (from anywhere):
#
#     bench/run.sh [RUNS [CASES]]
#
# Builds Tarvelin in Release with the benchmarks into build/bench (once; later
# calls only rebuild what changed), writes large calibration files into a
# temporary folder, and prints for each case the median wall and CPU time and
# the peak memory of RUNS (default 5) whole-process runs, with the ratios to
# the awk peer (../shared/bench/peer.awk beside the repository, run by gawk:
# apt-get install -y gawk), to wc -l and cat over the same input, and to true,
# all measured in the same run. Then the Google Benchmark micro-benchmarks of
# the scanner, the formatter and the curve evaluation.
#   (a) 1,000,000-line MyMicIn, 1,000-point references, converted and checked
#   (b) 1,000,000-line MyMicIn, 2-point RefMicFrom, 1,000,000-point RefMicTo
#   (c) 300-line MyMicIn, 300-point references (the cost of starting)
#   (d) TarvelinDerive at 1/12 octave on two 65,536-point measurements,
#       against Tarvelin on a 65,536-line MyMicIn
# CASES picks some of them, e.g. "ac"; MICRO=0 skips the micro-benchmarks;
# TARVELIN=/path/to/Tarvelin measures another build of the program, such as
# an older one to compare with.
# Needs cmake, a C++20 compiler, Google Benchmark and python3.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
peer="$root/../shared/bench/peer.awk"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVELIN_BENCH=ON \
        -DTARVELIN_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j2 --target Tarvelin TarvelinCheck TarvelinDerive MeasureRun MicroBenchmarks >/dev/null

python3 "$root/bench/bench.py" "${TARVELIN:-$build/Tarvelin}" "$build/bench/MeasureRun" "$peer" \
    "${1:-5}" "${2:-abcd}"

if [ "${MICRO:-1}" != 0 ]; then
    echo
    "$build/bench/MicroBenchmarks" --benchmark_min_time=0.2
fi
