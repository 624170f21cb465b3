#!/usr/bin/env python3
"""Tests TarvelinDerive as its users run it.

  golden     folders under golden/: the arguments, the files before the run
             (in/), what it prints, its exit status, and every file after it
             (out/), compared byte for byte; one folder for each refusal and
             each warning
  synthetic  a loudspeaker with its roll-offs measured by two microphones
             with different rises, with noise, exported as a measurement
             program does (65,536 lines, commas and * comments; semicolons
             and decimal commas): the derived file is the second
             microphone's own curve, and exactly 0 dB at the level frequency
  smoothing  a constant stays that constant, a straight line in
             log-frequency stays that line, up to the ends
  crosscheck unsmoothed, unlevelled and on RefMicCal's own frequencies, every
             point is bit for bit what the converter writes; and the same
             measurements exported in other shapes (commas and comments,
             semicolons and decimal commas, a phase, a 0 Hz line) give the
             same file byte for byte
"""

import argparse
import math
import random
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

Here = Path(__file__).resolve().parent
sys.path.insert(0, str(Here.parent / "reference"))
import calibration_corpus  # noqa: E402

Options = None
F32 = calibration_corpus.float32


def Run(program, arguments, work):
    result = subprocess.run(Options.emulator + [program] + arguments, cwd=work,
                            stdin=subprocess.DEVNULL, capture_output=True, timeout=300)
    return result.stdout.replace(b"\r\n", b"\n"), result.returncode & 0xFF


def Points(path):
    """The data lines of a written file, as (frequency, response) texts."""
    lines = Path(path).read_bytes().split(b"\r\n")
    return [tuple(line.split(b" ")) for line in lines if line and not line.startswith(b'"')]


def Snapshot(root):
    return {path.relative_to(root).as_posix(): path.read_bytes() if path.is_file() else "<dir>"
            for path in sorted(Path(root).rglob("*"))}


def GoldenGroup():
    problems = []
    folders = sorted(path for path in (Here / "golden").iterdir() if path.is_dir())
    for folder in folders:
        with tempfile.TemporaryDirectory() as work:
            shutil.copytree(folder / "in", work, dirs_exist_ok=True)
            expected = Snapshot(work)
            if (folder / "out").is_dir():
                expected.update(Snapshot(folder / "out"))
            out, status = Run(Options.derive, (folder / "args").read_text().split(), work)
            actual = Snapshot(work)
        wrong = [name for name in sorted(expected.keys() | actual.keys())
                 if expected.get(name) != actual.get(name)]
        if out != (folder / "stdout").read_bytes():
            wrong.append(f"standard output {out.decode('utf-8', 'replace')!r}")
        if status != int((folder / "status").read_text()):
            wrong.append(f"exit status {status}")
        if wrong:
            problems.append(f"{folder.name}: differs in {', '.join(wrong)}")
    return problems, len(folders)


# --- Synthetic measurements ---------------------------------------------------


def HighPass(f, corner, order):
    return -10 * math.log10(1 + (corner / f) ** (2 * order))


def Bell(f, centre, gain, octaves):
    return gain * math.exp(-0.5 * (math.log2(f / centre) / octaves) ** 2)


def Loudspeaker(f):
    """A two-way box: 4th-order roll-off at 55 Hz, 2nd-order at 18 kHz, a
    baffle step and a crossover dip."""
    return (HighPass(f, 55, 4) + HighPass(18000 ** 2 / f, 18000, 2)
            + Bell(f, 500, 1.5, 1.0) + Bell(f, 2500, -2.0, 0.4))


def RefMic(f):
    return Bell(f, 14000, 2.0, 0.6) + HighPass(f, 8, 1)


def MyMic(f):
    """A cheaper capsule: a larger presence rise and a low-frequency roll-off."""
    return Bell(f, 9000, 5.0, 0.5) + Bell(f, 17000, -3.0, 0.3) + HighPass(f, 25, 2)


def Decimal(value, comma):
    text = f"{value:.4f}"
    return text.replace(".", ",") if comma else text


def MeasurementFiles(work, rng):
    # The calibrated microphone's measurement: a linear grid of 65,536
    # points and its 0 Hz line, commas, * comments and a phase column.
    lines = ["* Measurement export", "* Freq(Hz), SPL(dB), Phase(degrees)"]
    for k in range(65537):
        f = k * 24000 / 65536
        level = 0.0 if k == 0 else 86 + Loudspeaker(f) + RefMic(f) + rng.gauss(0, 0.05)
        lines.append(f"{f:.6f}, {level:.4f}, {rng.uniform(-180, 180):.2f}")
    Path(work, "RefMicMeasured.txt").write_text("\n".join(lines) + "\n")
    # The other microphone, 6 dB less sensitive: a logarithmic grid,
    # semicolons and decimal commas, # and % comments.
    lines = ["# Frequency;Level", "% exported with decimal commas"]
    for k in range(96 * 10 + 1):
        f = 20 * 2 ** (k / 96)
        level = 80 + Loudspeaker(f) + MyMic(f) + rng.gauss(0, 0.05)
        lines.append(f"{Decimal(f, True)};{Decimal(level, True)};0")
    Path(work, "MyMicMeasured.txt").write_text("\r\n".join(lines) + "\r\n")
    # The calibration file, as the converter reads it.
    lines = ['"Sens Factor =-1.2dB, SERNO: 8812345']
    for k in range(0, 3 * 100 + 1):
        f = F32(15 * 2 ** (k / 30))
        if f <= 22000:
            lines.append(f"{f:.3f}\t{RefMic(f):.3f}")
    Path(work, "RefMicCal.txt").write_text("\n".join(lines) + "\n")


def SyntheticGroup():
    problems, cases = [], 0
    with tempfile.TemporaryDirectory() as work:
        MeasurementFiles(work, random.Random(28))
        for level in ["1000", "997.3", "3150"]:
            cases += 1
            out, status = Run(Options.derive, ["--level-at", level, "RefMicCal.txt",
                                               "RefMicMeasured.txt", "MyMicMeasured.txt",
                                               "MyMicCal.txt"], work)
            if status != 0:
                problems.append(f"--level-at {level}: status {status}, {out!r}")
                continue
            points = [(float(f), float(r)) for f, r in Points(Path(work, "MyMicCal.txt"))]
            text = b"%.6f" % F32(float(level))
            at = [r for f, r in Points(Path(work, "MyMicCal.txt")) if f == text]
            if at != [b"0.000000"]:
                problems.append(f"--level-at {level}: at the level frequency {at}")
            expected = lambda f: MyMic(f) - MyMic(float(level))  # noqa: E731
            # Where 1/12 octave is narrower than the features, away from
            # the ends that the grid of MyMicMeasured leaves.
            errors = [(abs(r - expected(f)), f) for f, r in points if 100 <= f <= 16000]
            worst = max(errors)
            print(f"--level-at {level}: worst {worst[0]:.4f} dB at {worst[1]} Hz over "
                  f"{len(errors)} points")
            if worst[0] > 0.1:
                problems.append(f"--level-at {level}: {worst[0]:.3f} dB off at {worst[1]} Hz")
        header = Path(work, "MyMicCal.txt").read_bytes().split(b"\r\n")[0]
        cases += 1
        if not header.startswith(b'"Derived by comparison with calibrated microphone 8812345, '
                                 b'smoothed to 1/12 octave, 0 dB at 3150 Hz, where this '
                                 b'microphone measured '):
            problems.append(f"header line {header!r}")
    return problems, cases


# --- Smoothing ----------------------------------------------------------------


def Write(work, name, points, separator=" "):
    Path(work, name).write_text("".join(f"{f!r}{separator}{r!r}\n" for f, r in points))


def LinearMean(f, n, low=20.0, high=20000.0):
    """The mean over log-frequency of 20 * (f - low) / (high - low) in the
    window of 1/n octave, narrowed at the ends: a + b * f * sinh(h) / h."""
    h = min(math.log(2) / (2 * n), math.log(f / low), math.log(high / f))
    b = 20 / (high - low)
    return b * (f * (math.sinh(h) / h if h > 0 else 1) - low)


def SmoothingGroup():
    problems, cases = [], 0
    line = [F32(20 * 2 ** (k / 200)) for k in range(200 * 10 + 1)]
    rows = [
        # (what, RefMicMeasured, MyMicMeasured, the result expected at f
        # with 1/n octave, how close)
        ("a constant", [(20.0, 80.0), (33.3, 80.0), (1000.0, 80.0), (2000.0, 80.0),
                        (20000.0, 80.0)],
         [(20.0, 83.0), (700.0, 83.0), (5000.0, 83.0), (20000.0, 83.0)],
         lambda f, n: 3.0, 0.0),
        ("a straight line in log-frequency", [(f, 70.0) for f in line],
         [(f, F32(70 + 2 * math.log2(f / 1000))) for f in line],
         lambda f, n: 2 * math.log2(f / 1000), 3e-5),
        # The integral is exact: a straight line in frequency, which is no
        # straight line in log-frequency, has a mean of its own.
        ("one straight piece in frequency", [(20.0, 80.0), (20000.0, 80.0)],
         [(20.0, 80.0), (20000.0, 100.0)], LinearMean, 0.0),
    ]
    with tempfile.TemporaryDirectory() as work:
        Write(work, "RefMicCal.txt", [(10.0, 0.0), (30000.0, 0.0)])
        for what, ref, my, expected, tolerance in rows:
            Write(work, "RefMicMeasured.txt", ref, "\t")
            Write(work, "MyMicMeasured.txt", my, "\t")
            for n in [1, 3, 96]:
                cases += 1
                out, status = Run(Options.derive, ["--smoothing", f"1/{n}", "--level-at", "none",
                                                   "--points-per-octave", "24", "RefMicCal.txt",
                                                   "RefMicMeasured.txt", "MyMicMeasured.txt",
                                                   "MyMicCal.txt"], work)
                points = [(float(f), float(r)) for f, r in Points(Path(work, "MyMicCal.txt"))]
                worst = max((abs(r - expected(f, n)), f) for f, r in points)
                if status > 1 or worst[0] > tolerance + 5e-6 or points[0][0] != 20.0:
                    problems.append(f"{what}, 1/{n}: status {status}, {worst[0]} off at "
                                    f"{worst[1]} Hz")
    return problems, cases


# --- The converter's cross-check ----------------------------------------------


def OddFloat(rng, low, high):
    return F32(rng.uniform(low, high))


def Number(value, comma):
    text = repr(value)
    return text.replace(".", ",") if comma else text


# The shapes measurement programs export in, each a row: the comment lines
# before the points, how a point is written, the line end. Every one holds
# the same points as the tab-separated file, a 0 Hz line besides.
ExportShapes = [
    ("commas, * comments and a phase", ["* Measurement", "* Freq(Hz), SPL(dB), Phase(deg)"],
     lambda f, r: f"{Number(f, False)}, {Number(r, False)}, -90.5", "\n"),
    ("commas alone", ["Freq,SPL"], lambda f, r: f"{Number(f, False)},{Number(r, False)}", "\n"),
    ("semicolons and decimal commas", ["# Frequency;Level", "% from a spreadsheet"],
     lambda f, r: f"{Number(f, True)};{Number(r, True)};0", "\r\n"),
    ("tabs and decimal commas", ["% Hz\tdB"],
     lambda f, r: f"{Number(f, True)}\t{Number(r, True)}", "\n"),
]


def WriteExported(work, name, points, shape):
    _, comments, point, end = shape
    lines = comments + [point(0.0, points[0][1])] + [point(f, r) for f, r in points]
    Path(work, name).write_text(end.join(lines) + end)


def CrossCheckGroup():
    problems = []
    seeds = range(12)
    for seed in seeds:
        rng = random.Random(seed)
        with tempfile.TemporaryDirectory() as work:
            grid = lambda count: sorted({F32(rng.uniform(10, 24000)) for _ in range(count)})  # noqa
            ref = grid(rng.randrange(2, 400)) + [F32(5.0), F32(30000.0)]
            my = grid(rng.randrange(2, 400)) + [F32(4.0), F32(31000.0)]
            cal = grid(rng.randrange(2, 300))
            # Some levels whole, so that a shape's digits change from line
            # to line as real exports' do.
            level = lambda: F32(round(rng.uniform(60, 100))) if rng.random() < 0.2 else (  # noqa
                OddFloat(rng, 60, 100))
            measured = {"RefMicMeasured.txt": [(f, level()) for f in sorted(ref)],
                        "MyMicMeasured.txt": [(f, level()) for f in sorted(my)]}
            for name, points in measured.items():
                Write(work, name, points, "\t")
            Write(work, "RefMicCal.txt", [(f, OddFloat(rng, -3, 12)) for f in cal])
            Run(Options.tarvelin, ["RefMicMeasured.txt", "MyMicMeasured.txt", "RefMicCal.txt",
                                   "MyMicOut.txt"], work)
            out, status = Run(Options.derive, ["--smoothing", "none", "--level-at", "none",
                                               "--points-per-octave", "none", "RefMicCal.txt",
                                               "RefMicMeasured.txt", "MyMicMeasured.txt",
                                               "MyMicCal.txt"], work)
            converted = Points(Path(work, "MyMicOut.txt"))
            derived = Points(Path(work, "MyMicCal.txt"))
            if status > 1 or derived != converted:
                problems.append(f"seed {seed}: status {status}, {len(derived)} points derived, "
                                f"{sum(a != b for a, b in zip(derived, converted))} differ")
            # Smoothed, on a grid: RefMicCal may start above 1 kHz.
            arguments = ["--level-at", "none", "RefMicCal.txt", "RefMicMeasured.txt",
                         "MyMicMeasured.txt", "MyMicCal.txt"]
            Path(work, "MyMicCal.txt").unlink()
            Run(Options.derive, arguments, work)
            clean = Path(work, "MyMicCal.txt").read_bytes()
            shape = ExportShapes[seed % len(ExportShapes)]
            for name, points in measured.items():
                WriteExported(work, name, points, shape)
            out, status = Run(Options.derive, arguments, work)
            if status > 1 or Path(work, "MyMicCal.txt").read_bytes() != clean:
                problems.append(f"seed {seed}, exported with {shape[0]}: status {status}, "
                                f"another file than from the tab-separated measurements")
    return problems, len(seeds)


Groups = {"golden": GoldenGroup, "synthetic": SyntheticGroup, "smoothing": SmoothingGroup,
          "crosscheck": CrossCheckGroup}


def main():
    global Options
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--derive", required=True)
    parser.add_argument("--tarvelin", help="needed by the crosscheck group")
    parser.add_argument("--emulator", default="", help="command prefix, ';'-separated")
    parser.add_argument("--group", choices=sorted(Groups), required=True)
    Options = parser.parse_args()
    Options.derive = str(Path(Options.derive).resolve())
    Options.tarvelin = Options.tarvelin and str(Path(Options.tarvelin).resolve())
    Options.emulator = [word for word in Options.emulator.split(";") if word]
    problems, cases = Groups[Options.group]()
    for problem in problems:
        print("FAILED " + problem)
    print(f"{Options.group}: {cases - len(problems)} passed, {len(problems)} failed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
