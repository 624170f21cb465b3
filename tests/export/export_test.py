#!/usr/bin/env python3
"""Tests TarvelinExport as its users run it.

  golden     folders under golden/: the arguments, the files before the run
             (in/, and the examples named in a file "examples"), what it
             prints, its exit status, and every file after it (out/),
             compared byte for byte
  grid       the frequencies and values of grids and ranges, against a model
             of the library's interpolation in Python
  roundtrip  what is exported holds what the converter reads: tsv and frd
             read back by Tarvelin itself, over the examples, files with
             numbers between two floats and the generated corpus; both CSV
             profiles read back with Python's csv module; and with --native,
             every profile the same bytes as the native program's
  command-line  --help, --version, "--" and a wrong command line

The program may be a stand-in for the web module (--excluded-status): a case
that it cannot stand for is counted, not compared.
"""

import argparse
import csv
import io
import math
import shutil
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

Here = Path(__file__).resolve().parent
Examples = Here.parent.parent / "examples"
sys.path.insert(0, str(Here.parent / "reference"))
import calibration_corpus  # noqa: E402

Options = None
Banner = b"\nTarvelinExport\n\n"
Excluded = "excluded"


def F32(value):
    return calibration_corpus.float32(value)


def Run(program, arguments, work, emulator=None):
    emulator = Options.emulator if emulator is None else emulator
    result = subprocess.run(emulator + [program] + arguments, cwd=work,
                            stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    # A console under an emulator may end lines with CR LF; the files may not.
    return result.stdout.replace(b"\r\n", b"\n"), result.returncode & 0xFF


def Export(arguments, work):
    out, status = Run(Options.export, arguments, work)
    if Options.excluded_status is not None and status == Options.excluded_status:
        raise LookupError(out.decode("utf-8", "replace").strip())
    return out, status


def Snapshot(root):
    return {path.relative_to(root).as_posix(): path.read_bytes() if path.is_file() else "<dir>"
            for path in sorted(Path(root).rglob("*"))}


def GoldenGroup():
    problems, excluded = [], 0
    folders = sorted(path for path in (Here / "golden").iterdir() if path.is_dir())
    for folder in folders:
        with tempfile.TemporaryDirectory() as work:
            if (folder / "in").is_dir():
                shutil.copytree(folder / "in", work, dirs_exist_ok=True)
            if (folder / "examples").is_file():
                for name in (folder / "examples").read_text().split():
                    shutil.copy(Examples / name, work)
            expected = Snapshot(work)
            if (folder / "out").is_dir():
                expected.update(Snapshot(folder / "out"))
            try:
                out, status = Export((folder / "args").read_text().splitlines(), work)
            except LookupError:
                excluded += 1
                continue
            actual = Snapshot(work)
        wrong = [name for name in sorted(expected.keys() | actual.keys())
                 if expected.get(name) != actual.get(name)]
        if out != (folder / "stdout").read_bytes():
            wrong.append(f"standard output {out.decode('utf-8', 'replace')!r}")
        if status != int((folder / "status").read_text()):
            wrong.append(f"exit status {status}")
        if wrong:
            problems.append(f"{folder.name}: differs in {', '.join(wrong)}")
    return problems, len(folders) - excluded, excluded


# --- The grid ---------------------------------------------------------------


def LogGrid(low, high, n):
    """The grid as its documentation says: low * 2^(k/n) below high, a point
    within a hundredth of a step of high left out, and high itself."""
    grid = []
    k = 0
    while F32(low * 2 ** (k / n)) < high / 2 ** (1 / (100 * n)):
        grid.append(F32(low * 2 ** (k / n)))
        k += 1
    return grid + [high]


def Evaluate(points, f):
    """The value at f by the library's linear interpolation, with its
    rounding points, and the end values held beyond the points."""
    if f <= points[0][0]:
        return list(points[0][1:])
    if f >= points[-1][0]:
        return list(points[-1][1:])
    i = max(j for j in range(len(points) - 1) if points[j][0] < f)
    (x0, *y0), (x1, *y1) = points[i], points[i + 1]
    fraction = F32((f - x0) / F32(x1 - x0))
    return [F32(a + (b - a) * fraction) for a, b in zip(y0, y1)]


Rising = [(100.0, 1.0, 10.0), (250.0, -2.5, 20.0), (1000.0, 3.0, -45.0), (3000.0, 0.5, 0.0)]
Dense = [(F32(100.0 * 1.3 ** k), k % 3 - 1.0, 10.0 * k) for k in range(14)]
Bytes = lambda points: b"".join(b"%r %r %r\n" % p for p in points)

# (what, options, the file's points, the frequencies expected, a line that
# the report must hold, or None for none). Where the file's own points are
# kept (the rows that end in "points"), so are their values.
GridRows = [
    ("a log grid over the file", ["--points-per-octave", "3"], Rising,
     LogGrid(100.0, 3000.0, 3), None),
    ("a grid whose last point is the end", ["--points-per-octave", "1", "--range", "125", "4000"],
     Rising, LogGrid(125.0, 4000.0, 1), b"1 point lies beyond"),
    ("ends held on both sides", ["--points-per-octave", "2", "--range", "20", "24000"], Rising,
     LogGrid(20.0, 24000.0, 2), b"hold its first value (5 below) or its last (7 above)"),
    ("0 Hz", ["--points-per-octave", "1", "--range", "0", "1000"], Rising,
     [0.0] + LogGrid(100.0, 1000.0, 1), b"1 point lies beyond"),
    ("a range alone keeps the file's points", ["--range", "0", "500"], Rising,
     [0.0, 100.0, 250.0, 500.0], b"1 point lies beyond"),
    ("a point limit", ["--max-points", "8"], Dense, LogGrid(Dense[0][0], Dense[-1][0], 1), None),
    ("the finest grid under the limit", ["--max-points", "12"], Dense,
     LogGrid(Dense[0][0], Dense[-1][0], 2), None),
    ("the limit lowers the points per octave", ["--points-per-octave", "24", "--max-points", "12"],
     Dense, LogGrid(Dense[0][0], Dense[-1][0], 2), b"so the grid has 2 instead of 24"),
    ("a file within the limit keeps its points", ["--max-points", "14"], Dense,
     [p[0] for p in Dense], None),
]


def GridGroup():
    problems, excluded = [], 0
    for what, options, points, frequencies, said in GridRows:
        with tempfile.TemporaryDirectory() as work:
            Path(work, "in.txt").write_bytes(Bytes(points))
            try:
                out, status = Export(["--to", "tsv"] + options + ["in.txt", "out.txt"], work)
            except LookupError:
                excluded += 1
                continue
            written = Path(work, "out.txt").read_bytes() if status == 0 else b""
        rows = [[F32(float(v)) for v in line.split(b"\t")] for line in written.split(b"\r\n")[:-1]]
        own = {p[0]: list(p[1:]) for p in points} if what.endswith("points") else {}
        expected = [[f] + own.get(f, Evaluate(points, f)) for f in frequencies]
        if status != 0 or rows != expected:
            problems.append(f"{what}: status {status}, rows {rows}, expected {expected}")
        lines = out[len(Banner):].splitlines()
        if (said is None and lines) or (said is not None and not any(said in l for l in lines)):
            problems.append(f"{what}: printed {out!r}, expected {said!r}")
    return problems, len(GridRows) - excluded, excluded


# --- Round trips ----------------------------------------------------------

Flat = b"1 0\n1000000 0\n"


def ConvertedPoints(work, name):
    """The data lines of name as Tarvelin converts it with two identical
    flat references: exactly the values it reads, as six-decimal text."""
    _, status = Run(Options.tarvelin, ["flat.txt", "flat.txt", name, "converted.txt"], work)
    if status != 0:
        return None
    converted = Path(work, "converted.txt").read_bytes()
    lines = converted.removeprefix(b"\xef\xbb\xbf").split(b"\r\n")[:-1]
    return [line.split(b" ") for line in lines if not line.startswith(b'"')]


def MidpointFile(seed):
    rng = calibration_corpus.random.Random(seed)
    numbers = lambda: calibration_corpus.float32_midpoint_text(rng).encode()
    return b'"Numbers between two floats\r\n' + b"".join(
        b"%d %s %s\r\n" % (k + 1, numbers(), numbers()) for k in range(200))


def RoundTripFiles(work):
    files = {"examples.txt": (Examples / "MyMicIn.txt").read_bytes(),
             "midpoints.txt": MidpointFile(1),
             "two-columns.txt": b"20 -1.25\n1e3 0.000123456789\n2e4 -3.4028235e38\n"}
    for case in calibration_corpus.write_corpus(str(Path(work) / "corpus"), count=Options.count):
        path = Path(case.directory) / "MyMicIn.txt"
        if "MyMicIn.txt" in case.arguments and path.is_file():
            files[case.name + ".txt"] = path.read_bytes()
    return files


def SamePoints(original, exported, thirdAdded):
    """The export's points hold the original's values, and a third column
    where the original has none only as 0."""
    if original is None or exported is None or len(original) != len(exported):
        return False
    for a, b in zip(original, exported):
        added = b[len(a):]
        if b[:len(a)] != a or added not in ([], [b"0.000000"]) or (added and not thirdAdded):
            return False
    return True


def CsvRows(data, decimalComma):
    rows = list(csv.reader(io.StringIO(data.decode("latin-1"), newline=""),
                           delimiter=";" if decimalComma else ","))
    start = next(i for i, row in enumerate(rows) if row[0] == "Frequency (Hz)")
    points = [[v.replace(",", ".") if decimalComma else v for v in row] for row in rows[start + 1:]]
    return [row[0] for row in rows[:start]], rows[start], points


def SameAsNative(work, profile, name):
    """Whether this build and the native program export name differently."""
    Run(Options.export, ["--to", profile, name, "this.out"], work)
    Run(Options.native, ["--to", profile, name, "native.out"], work, emulator=[])
    return Path(work, "this.out").read_bytes() != Path(work, "native.out").read_bytes()


def RoundTripGroup():
    problems, count = [], 0
    with tempfile.TemporaryDirectory() as work:
        Path(work, "flat.txt").write_bytes(Flat)
        for name, data in RoundTripFiles(work).items():
            Path(work, name).write_bytes(data)
            original = ConvertedPoints(work, name)
            # A value beyond the float range is written inf, which no reader
            # takes for a number; there is nothing to compare.
            if original is None or not original or any(
                    b"inf" in v or b"nan" in v for line in original for v in line):
                continue
            count += 1
            hasThird = any(len(line) > 2 for line in original)
            for profile in ("tsv", "frd", "csv", "csv-decimal-comma"):
                if Options.native and SameAsNative(work, profile, name):
                    problems.append(f"{name} as {profile}: not the native program's bytes")
            for profile in ("tsv", "frd"):
                _, status = Run(Options.export, ["--to", profile, name, "export." + profile], work)
                exported = ConvertedPoints(work, "export." + profile) if status == 0 else None
                if not SamePoints(original, exported, hasThird or profile == "frd"):
                    problems.append(f"{name} as {profile}: status {status}, read back otherwise")
            tsv = Path(work, "export.tsv").read_bytes().split(b"\r\n")[:-1]
            comments = [line[2:].decode("latin-1") for line in tsv if line.startswith(b";")]
            values = [line.decode().split("\t") for line in tsv if not line.startswith(b";")]
            for profile in ("csv", "csv-decimal-comma"):
                Run(Options.export, ["--to", profile, name, "export.csv"], work)
                headers, names, points = CsvRows(Path(work, "export.csv").read_bytes(),
                                                 profile != "csv")
                if headers != comments or len(names) != len(values[0]) or points != values:
                    problems.append(f"{name} as {profile}: read back otherwise than the tsv export")
    return problems, count, 0


# --- The command line -------------------------------------------------------

# (arguments, exit status, what the output starts with)
CommandLineRows = [
    (["--help"], 0, b"usage:\nTarvelinExport --to <profile> [--points-per-octave N]"),
    (["--version"], 0, b"TarvelinExport "),
    (["--to", "tsv", "--", "-x.txt", "x.tsv"], 0, Banner),
    (["--to", "tsv", "--wide", "-x.txt", "x.tsv"], 2,
     Banner + b"Error - unknown option --wide\nusage:\n"),
    (["--to", "tsv", "in.txt", "x.tsv", "--range", "20"], 2,
     Banner + b"Error - option --range needs LOW HIGH\n"),
    (["--to", "tsv", "--range", "20,5", "20000", "in.txt", "x.tsv"], 2,
     Banner + b"Error - --range 20,5 20000: give two frequencies in Hz"),
    (["--to", "tsv", "--max-points", "1", "in.txt", "x.tsv"], 2,
     Banner + b"Error - --max-points 1: give a whole number of 2 or more\n"),
    (["--to", "tsv", "in.txt"], 2, Banner + b"usage:\n"),
]


def CommandLineGroup():
    problems = []
    for arguments, status, start in CommandLineRows:
        with tempfile.TemporaryDirectory() as work:
            Path(work, "-x.txt").write_bytes(b"500 0\n")
            Path(work, "in.txt").write_bytes(b"500 0\n")
            out, actual = Run(Options.export, arguments, work)
            wrote = Path(work, "x.tsv").exists()
        if actual != status or not out.startswith(start) or wrote != (status == 0 and "x.tsv" in arguments):
            problems.append(f"{arguments}: status {actual}, output {out[:200]!r}")
    return problems, len(CommandLineRows), 0


Groups = {"golden": GoldenGroup, "grid": GridGroup, "roundtrip": RoundTripGroup,
          "command-line": CommandLineGroup}


def main():
    global Options
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--export", required=True)
    parser.add_argument("--tarvelin", help="needed by the roundtrip group")
    parser.add_argument("--native", help="the native TarvelinExport, whose bytes the roundtrip "
                        "group requires of another build")
    parser.add_argument("--emulator", default="", help="command prefix, ';'-separated")
    parser.add_argument("--excluded-status", type=int, default=None)
    parser.add_argument("--count", type=int, default=60, help="generated files to round-trip")
    parser.add_argument("--group", choices=sorted(Groups), required=True)
    Options = parser.parse_args()
    Options.export = str(Path(Options.export).resolve())
    Options.tarvelin = Options.tarvelin and str(Path(Options.tarvelin).resolve())
    Options.native = Options.native and str(Path(Options.native).resolve())
    Options.emulator = [word for word in Options.emulator.split(";") if word]
    problems, passed, excluded = Groups[Options.group]()
    for problem in problems:
        print("FAILED " + problem)
    print(f"{Options.group}: {passed - len(problems)} passed, {len(problems)} failed"
          + (f", {excluded} excluded" if excluded else ""))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
