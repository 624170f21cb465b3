#!/usr/bin/env python3
"""Whole-process benchmark of Tarvelin; bench/run.sh builds the programs and
calls this. Generates its inputs into a temporary folder, runs every case
several times and prints medians, CPU time, peak memory and the ratios
against the awk peer, wc -l, cat and true measured in the same run.

usage: bench.py TARVELIN MEASURE_RUN PEER_AWK [RUNS [CASES]]
  MEASURE_RUN is the program built from MeasureRun.cpp; CASES picks some of
  the cases, e.g. "ac" (default "abcd"). TarvelinCheck, where it stands beside
  TARVELIN, is timed on case (a)'s files too; TarvelinDerive, where it stands
  there, is case (d).
"""

import math
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

# Lines of the large MyMicIn and points of the large RefMicTo. The inputs
# live in a temporary folder for the length of one run.
LARGE = 1_000_000


def write_curve(path, count, low, high, with_headers, third_column, seed):
    """count points, log-spaced from low to high, with CR LF line ends."""
    lines = []
    if with_headers:
        lines.append('"Sens Factor =-1.234dB, AGain =0dB, SERNO: 8012345"')
        lines.append('"Frequency (Hz)\tdB\tDegrees"')
    ratio = math.log(high / low) / (count - 1)
    for i in range(count):
        f = low * math.exp(ratio * i)
        x = math.log10(f)
        # A smooth rise and roll-off with a ripple, like a measured capsule.
        response = 1.5 * math.sin(2.1 * x + seed) - 0.8 * (x - 3.0) ** 2 + 0.05 * math.sin(37 * x)
        if third_column:
            phase = 90.0 * math.cos(1.3 * x + seed)
            lines.append(f"{f:.4f}\t{response:.3f}\t{phase:.2f}")
        else:
            lines.append(f"{f:.4f} {response:.3f}")
    with open(path, "w", newline="") as out:
        out.write("\r\n".join(lines))
        out.write("\r\n")


# A measurement as a measurement program exports it: a linear grid of
# MEASURED points from 0 Hz (whose line is dropped), comma-separated, with
# comment lines and a phase column.
MEASURED = 65_536


def write_measurement(path, level, seed):
    lines = ["* Measurement", "* Freq(Hz), SPL(dB), Phase(degrees)"]
    for i in range(MEASURED + 1):
        f = i * 24000.0 / MEASURED
        x = math.log10(max(f, 1.0))
        response = level + 3.0 * math.sin(2.1 * x + seed) - 0.3 * (x - 3.0) ** 2
        lines.append(f"{f:.6f}, {response:.4f}, {90.0 * math.cos(1.3 * x + seed):.2f}")
    with open(path, "w", newline="") as out:
        out.write("\r\n".join(lines))
        out.write("\r\n")


def run_once(measure_run, argv, stdout_path):
    """Wall seconds, CPU seconds and peak resident KiB of one process."""
    report = subprocess.run([measure_run, stdout_path] + argv, capture_output=True, text=True, check=True)
    status, wall, cpu, peak = report.stdout.split()
    if status not in ("0", "1"):
        sys.exit(f"failed ({status}): {' '.join(argv)}")
    return float(wall), float(cpu), int(peak)


def measure_together(measure_run, commands, stdout_path, runs):
    """Runs the commands in turn, runs times over, so that a change in the
    machine's load falls on all of them alike; medians of wall and CPU time,
    and the highest peak, for each."""
    samples = {label: [] for label, _ in commands}
    for _ in range(runs):
        for label, argv in commands:
            samples[label].append(run_once(measure_run, argv, stdout_path))
    return {
        label: (
            statistics.median(r[0] for r in results),
            statistics.median(r[1] for r in results),
            max(r[2] for r in results),
        )
        for label, results in samples.items()
    }


def ms(seconds):
    return f"{seconds * 1000:10.2f} ms"


def curve_points(path):
    with open(path, "rb") as curve:
        return sum(1 for line in curve if not line.startswith(b'"'))


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    tarvelin, measure_run, peer = (os.path.abspath(a) for a in sys.argv[1:4])
    check = os.path.join(os.path.dirname(tarvelin), "TarvelinCheck")
    check = check if os.path.exists(check) else None
    derive = os.path.join(os.path.dirname(tarvelin), "TarvelinDerive")
    derive = derive if os.path.exists(derive) else None
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 5
    chosen = sys.argv[5] if len(sys.argv) > 5 else "abcd"
    gawk = shutil.which("gawk")
    if gawk is None:
        print("gawk is missing (apt-get install -y gawk): the awk peer is left out")
    if not os.path.exists(peer):
        print(f"{peer} is missing: the awk peer is left out")
        gawk = None

    with tempfile.TemporaryDirectory(prefix="tarvelin-bench-") as tmp:
        p = lambda name: os.path.join(tmp, name)
        print(f"generating inputs in {tmp} ...", flush=True)
        write_curve(p("from1k.txt"), 1000, 5.0, 40000.0, True, False, 0.0)
        write_curve(p("to1k.txt"), 1000, 6.0, 30000.0, True, False, 1.0)
        write_curve(p("from2.txt"), 2, 10.0, 20000.0, True, False, 0.0)
        write_curve(p("to1m.txt"), LARGE, 5.0, 40000.0, True, False, 1.0)
        write_curve(p("in1m.txt"), LARGE, 10.0, 24000.0, True, True, 2.0)
        write_curve(p("from300.txt"), 300, 5.0, 40000.0, True, False, 0.0)
        write_curve(p("to300.txt"), 300, 6.0, 30000.0, True, False, 1.0)
        write_curve(p("in300.txt"), 300, 10.0, 24000.0, True, True, 2.0)
        if derive is not None and "d" in chosen:
            write_curve(p("in64k.txt"), MEASURED, 10.0, 24000.0, True, True, 2.0)
            write_measurement(p("ref64k.txt"), 85.0, 0.0)
            write_measurement(p("my64k.txt"), 79.0, 0.5)

        cases = [
            ("a", "1,000,000-line MyMicIn, 1,000-point references", "from1k.txt", "to1k.txt", "in1m.txt"),
            ("b", "1,000,000-line MyMicIn, 2-point RefMicFrom, 1,000,000-point RefMicTo",
             "from2.txt", "to1m.txt", "in1m.txt"),
            ("c", "300-line MyMicIn, 300-point references", "from300.txt", "to300.txt", "in300.txt"),
        ]
        print(f"median of {runs} runs of each command, taken in turn; cpu = user + system;")
        print("peak = highest resident set; 'true' is the floor of starting any process\n")
        print(f"{'':12} {'wall':>13} {'cpu':>13} {'peak':>11}")
        results = {}
        for name, title, ref_from, ref_to, my_in in cases:
            if name not in chosen:
                continue
            print(f"({name}) {title}")
            commands = [("Tarvelin", [tarvelin, p(ref_from), p(ref_to), p(my_in), p("out.txt")])]
            # The check reads the same files as the conversion and should
            # cost about as much.
            if check is not None and name == "a":
                commands.append(("check", [check, p(ref_from), p(ref_to), p(my_in)]))
            # The peer walks from one shared index one step at a time, as the
            # tool first did: with a 2-point RefMicFrom that is quadratic and
            # takes days, so (b) runs without it.
            if gawk is not None and name != "b":
                commands.append(("awk peer", [gawk, "-f", peer, p(ref_from), p(ref_to), p(my_in), p("peer.txt")]))
            commands += [("wc -l", ["wc", "-l", p(my_in)]), ("cat", ["cat", p(my_in)]), ("true", ["true"])]
            measured = measure_together(measure_run, commands, p("stdout.txt"), runs)
            wall = measured["Tarvelin"][0]
            results[name] = measured
            for label, (w, c, k) in measured.items():
                ratio = "" if label == "Tarvelin" else f"  Tarvelin takes {wall / w:8.3f}x the time of {label}"
                print(f"  {label:10} {ms(w)} {ms(c)} {k:7d} KiB{ratio}")
            curves_kib = (curve_points(p(ref_from)) + curve_points(p(ref_to))) * 8 / 1024
            beyond = measured["Tarvelin"][2] - measured["true"][2] - curves_kib
            print(f"  peak beyond the floor and the {curves_kib:.0f} KiB of reference points: {beyond / 1024:.1f} MiB")

        # The derivation reads two measurements of a converter's MyMicIn's
        # size and smooths them: it should cost at most twice a conversion.
        if derive is not None and "d" in chosen:
            print("(d) TarvelinDerive at 1/12 octave on two 65,536-point measurements, and "
                  "Tarvelin on a 65,536-line MyMicIn")
            commands = [
                ("derive", [derive, "--smoothing", "1/12", p("to1k.txt"), p("ref64k.txt"),
                            p("my64k.txt"), p("derived.txt")]),
                ("Tarvelin", [tarvelin, p("from1k.txt"), p("to1k.txt"), p("in64k.txt"),
                              p("out.txt")]),
                ("true", ["true"]),
            ]
            results["d"] = measure_together(measure_run, commands, p("stdout.txt"), runs)
            for label, (w, c, k) in results["d"].items():
                print(f"  {label:10} {ms(w)} {ms(c)} {k:7d} KiB")

        # On a shared machine the wall times swing with the load; CPU times
        # hold better, so the targets are shown on both.
        print("\ntargets (wall time; CPU time)")
        ratio = lambda x, y: f"{x[0] / y[0]:.1f}; {x[1] / y[1]:.1f}"
        if "a" in results:
            a = results["a"]
            if "awk peer" in a:
                print(f"  (a) awk peer / Tarvelin = {ratio(a['awk peer'], a['Tarvelin'])} (at least 80)")
            print(f"  (a) Tarvelin / wc -l = {ratio(a['Tarvelin'], a['wc -l'])} (at most 30)")
            if "check" in a:
                print(f"  (a) TarvelinCheck / Tarvelin = {ratio(a['check'], a['Tarvelin'])} (at most 1.5)")
        if "a" in results and "b" in results:
            print(f"  (b) / (a) = {ratio(results['b']['Tarvelin'], results['a']['Tarvelin'])} (at most 2)")
        if "d" in results:
            print(f"  (d) TarvelinDerive / Tarvelin = "
                  f"{ratio(results['d']['derive'], results['d']['Tarvelin'])} (at most 2)")
        if "c" in results:
            print(f"  (c) CPU time {results['c']['Tarvelin'][1] * 1000:.2f} ms (under 2 ms)")

if __name__ == "__main__":
    main()
