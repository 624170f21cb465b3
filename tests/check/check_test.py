#!/usr/bin/env python3
"""Tests TarvelinCheck as its users run it.

  findings   one small set of files per finding code, each checked in the
             JSON report: the code, its severity, its line, and the status
  golden     folders under golden/: the files, the text report a person
             reads, and the exit status, compared exactly
  realistic  the files under realistic/, one of every shape that real
             calibrations come in: with a real reference change, each as
             MyMicIn gets the warnings it deserves and no other; and the
             same files damaged or given in the wrong roles, as users do,
             get the warnings that say so
  damage     every realistic file damaged in every way of damage.py, as
             MyMicIn with a real reference change: where the converter then
             reads other points the check warns of something the clean file
             does not get, and the repair refuses, warns or writes a copy the
             converter reads as the clean file; where it reads the same
             points neither says a word
  command-line  --help, --version, an unknown option, "--", and JSON for a
             script whose command line is wrong
  agreement  over the end-to-end golden cases and the generated corpus, the
             check's header and data lines of MyMicIn are those of the
             MyMicOut that Tarvelin writes from the same files
"""

import argparse
import collections
import json
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

Here = Path(__file__).resolve().parent
Realistic = Here / "realistic"
E2eCases = Here.parent / "e2e" / "cases"
sys.path.insert(0, str(Here.parent / "reference"))
import calibration_corpus  # noqa: E402
import damage  # noqa: E402

Options = None

From = b"100 0\n1000 0\n10000 0\n"
To = b"100 1\n1000 1\n10000 1\n"
Descending = b"10000 1\n1000 2\n100 3\n"


def Files(**overrides):
    files = {"from.txt": From, "to.txt": To, "in.txt": b"500 0\n"}
    files.update({name + ".txt": data for name, data in overrides.items()})
    return files


Conversion = ["from.txt", "to.txt", "in.txt"]

# (name, files, arguments, code, severity, role, line, status): the finding
# that the files must give, and the status of the whole report.
FindingRows = [
    ("missing MyMicIn", {"from.txt": From, "to.txt": To}, Conversion,
     "file-unreadable", "error", "MyMicIn", None, 2),
    ("one-point reference", Files(**{"from": b"100 0\n"}), Conversion,
     "too-few-points", "error", "RefMicFrom", None, 2),
    ("header lines only", Files(**{"in": b'"My mic\r\n'}), Conversion,
     "no-data-lines", "warning", "MyMicIn", None, 1),
    ("comma-separated", Files(**{"in": b"200,1.5\n500,2\n"}), Conversion,
     "comma-separated", "warning", "MyMicIn", 1, 1),
    ("semicolons with decimal commas", Files(**{"in": b'"x\n200;-0,5\n'}), Conversion,
     "comma-separated", "warning", "MyMicIn", 2, 1),
    ("decimal comma in a data line", Files(**{"in": b"200\t-0,5\t45,5\n"}), Conversion,
     "decimal-comma", "warning", "MyMicIn", 1, 1),
    ("decimal comma in the frequency", Files(**{"in": b"500 1\n200,5 -0,5\n"}), Conversion,
     "decimal-comma", "warning", "MyMicIn", 2, 1),
    ("Sens Factor without its quote",
     Files(**{"in": b"Sens Factor =-.6162dB, SERNO: 7005701\r\n200 1\r\n"}), Conversion,
     "unquoted-header", "warning", "MyMicIn", 1, 1),
    ("a quote after blanks", Files(**{"in": b'200 1\n  "Serial 7005701\n'}), Conversion,
     "unquoted-header", "warning", "MyMicIn", 2, 1),
    ("descending reference", Files(**{"to": Descending}), Conversion,
     "not-ascending", "warning", "RefMicTo", 2, 1),
    ("segment that does not hold the frequency", Files(**{"to": Descending}), Conversion,
     "wrong-segment", "warning", "MyMicIn", 1, 1),
    ("the same reference twice", Files(**{"to": From}), Conversion,
     "identical-references", "warning", "RefMicTo", None, 1),
    ("a reference as MyMicIn", Files(**{"in": To}), Conversion,
     "input-is-reference", "warning", "MyMicIn", None, 1),
    ("below the references", Files(**{"in": b"500 0\n50 0\n"}), Conversion,
     "extrapolated", "note", "MyMicIn", 2, 0),
    ("repeated frequency", Files(**{"from": b"100 0\n1000 0\n1000 0.5\n10000 0\n"}), Conversion,
     "repeated-frequency", "note", "RefMicFrom", 3, 0),
    ("comment and words", Files(**{"in": b"* Calibration of 7001234\n200 1\nFreq SPL\n"}),
     Conversion, "dropped-lines", "note", "MyMicIn", 1, 0),
    ("points after a 0x1A", Files(**{"in": b"200 1\n\x1a300 1\n"}), Conversion,
     "cut-at-eof-mark", "warning", "MyMicIn", 1, 1),
    ("long data line", Files(**{"in": b"200 1 " + b"x" * 70000 + b"\n"}), Conversion,
     "long-line", "note", "MyMicIn", 1, 0),
    ("four numbers", Files(**{"in": b"200 1 2 3\n"}), Conversion,
     "extra-values", "note", "MyMicIn", 1, 0),
    ("three numbers in a reference", Files(**{"from": b"100 0 9\n1000 0\n"}), Conversion,
     "extra-values", "note", "RefMicFrom", 1, 0),
    ("beyond the float range", Files(**{"in": b"200 1e39\n"}), Conversion,
     "non-finite", "warning", "MyMicIn", 1, 1),
    ("changed sensitivity",
     Files(**{"from": b'"Sens Factor =-0.84dB, SERNO: 7001234\n' + From,
              "to": b'"Sens Factor =-0.91dB, SERNO: 7001234\n' + To}), Conversion,
     "sensitivity-changed", "note", "RefMicTo", 1, 0),
    ("one file, comma-separated", {"mic.txt": b"20,1.5\n"}, ["mic.txt"],
     "comma-separated", "warning", "File", 1, 1),
    ("frequencies in kHz", Files(**{"in": b"0.02 -1\n1 0\n20 -2\n"}), Conversion,
     "frequency-in-khz", "warning", "MyMicIn", None, 1),
    ("every file in kHz",
     {"from.txt": b"0.1 0\n10 0\n", "to.txt": b"0.1 1\n10 1\n", "in.txt": b"0.05 0\n20 0\n"},
     Conversion, "frequency-in-khz", "note", "MyMicIn", None, 0),
    ("responses in pascals", Files(**{"in": b"100 0.0110\n1000 0.0112\n10000 0.0090\n"}),
     Conversion, "linear-response", "warning", "MyMicIn", None, 1),
    ("a phase that wraps", Files(**{"in": b"100 170\n200 -175\n1000 -100\n"}), Conversion,
     "phase-as-response", "warning", "MyMicIn", 2, 1),
    ("a phase named second", Files(**{"in": b"Freq(Hz) Phase(deg) SPL(dB)\n100 10 -1\n200 12 -1\n"}),
     Conversion, "phase-as-response", "warning", "MyMicIn", 1, 1),
    ("references 8 dB apart", Files(**{"to": b"100 8\n1000 8\n10000 8\n"}), Conversion,
     "large-correction", "warning", "RefMicTo", None, 1),
    ("two octaves below the references", Files(**{"in": b"500 0\n25 0\n"}), Conversion,
     "far-extrapolation", "warning", "MyMicIn", 2, 1),
    ("two microphones as references",
     Files(**{"from": b'"Sens Factor =-1dB, SERNO: 7100500\n' + From,
              "to": b'"SN 2298J\n' + To}), Conversion,
     "different-serial-numbers", "warning", "RefMicTo", 1, 1),
    ("a 0-degree and a 90-degree reference",
     Files(**{"from": b'"SERNO: 7100500\n' + From, "to": b'"SERNO: 7100500, 90deg\n' + To}),
     Conversion, "different-angles", "warning", "RefMicTo", 1, 1),
    ("MyMicIn names a reference's serial number",
     Files(**{"from": b'"serial number 14308\n' + From, "in": b'"Serial number 14308\n500 0\n'}),
     Conversion, "input-is-reference", "warning", "MyMicIn", 1, 1),
    ("cut off in a number", Files(**{"in": b"100 1.000\n200 1.500\n300 2.000\n400 2.5"}),
     Conversion, "cut-off", "warning", "MyMicIn", 4, 1),
    ("UTF-16", Files(**{"in": '"My mic\r\n500 0\r\n'.encode("utf-16")}), Conversion,
     "utf-16", "warning", "MyMicIn", None, 1),
    ("quoted numbers", Files(**{"in": b'"500"\t"-0.85"\n'}), Conversion,
     "quoted-numbers", "warning", "MyMicIn", 1, 1),
    ("a repeated frequency in MyMicIn", Files(**{"in": b"500 0\n500 1\n"}), Conversion,
     "repeated-frequency", "note", "MyMicIn", 2, 0),
    ("a lost minus sign", Files(**{"in": b"200 -3.1\n300 3.0974\n400 -3.09\n"}), Conversion,
     "outlier", "warning", "MyMicIn", 2, 1),
    ("an unreadable number", Files(**{"in": b"500 0\n600\t--3.0974\n"}), Conversion,
     "unreadable-number", "warning", "MyMicIn", 2, 1),
    ("an unreadable number in a reference",
     Files(**{"from": b"100 0\n500 --1\n1000 0\n10000 0\n"}), Conversion,
     "unreadable-number", "note", "RefMicFrom", 2, 0),
    ("Sens Factor without its quote in a reference",
     Files(**{"from": b"Sens Factor =-.6162dB, SERNO: 7005701\n" + From}), Conversion,
     "unquoted-header", "note", "RefMicFrom", 1, 0),
    ("a frequency with a prefix", Files(**{"in": b"500 0\n1.003k 1\n"}), Conversion,
     "dropped-point", "warning", "MyMicIn", 2, 1),
    ("a point with units in a reference",
     Files(**{"from": b"100 0\n200 0\n500 0\n1000 0\n2000 0\n5000 Hz 0 dB\n10000 0\n"}),
     Conversion, "dropped-point", "note", "RefMicFrom", 6, 0),
    ("digits read in part", Files(**{"in": b"20.016 -1.38\n1 002.579 -0.0664\n10 002.5 0.5\n"}),
     Conversion, "partly-read", "warning", "MyMicIn", 2, 1),
    ("digits grouped by full stops", Files(**{"in": b"20,016;-1,38\n1.002,579;-0,0664\n"}),
     Conversion, "digit-grouping", "warning", "MyMicIn", 2, 1),
    ("a full stop that may group thousands", Files(**{"in": b"1\t0\n40.000\t0\n"}), Conversion,
     "two-readings", "warning", "MyMicIn", 2, 1),
    ("the response first", Files(**{"in": b"-1.5 100\n-0.5 200\n-0.8 500\n0.2 1000\n"}),
     Conversion, "columns-swapped", "warning", "MyMicIn", 3, 1),
    ("a lost decimal point", Files(**{"in": b"100 -1.5\n200 -15034\n300 -1.4\n"}), Conversion,
     "impossible-response", "warning", "MyMicIn", 2, 1),
    ("a doubled digit", Files(**{"in": b"100 1.5\n200 1.6\n300 16.2\n400 1.7\n500 1.8\n"}),
     Conversion, "outlier", "warning", "MyMicIn", 3, 1),
    ("a lone frequency", Files(**{"in": b"100 1\n200 1\n300 1\n3400 1\n500 1\n600 1\n"}),
     Conversion, "outlier", "warning", "MyMicIn", 4, 1),
    ("cut off, frequencies in shortest form",
     Files(**{"in": b"10.054\t-2.3034\n11.1\t-2.2195\n11.52\t-2.1380\n11.663\t-2.05"}),
     Conversion, "cut-off", "warning", "MyMicIn", 4, 1),
]

# (name, bytes of MyMicIn, what its entry in "files" must hold)
FileFactRows = [
    ("CR LF and a byte-order mark", b'\xef\xbb\xbf"h\r\n500 1\r\n1000 2\r\n',
     {"lineEnds": "CRLF", "byteOrderMark": True, "lines": 3, "headerLines": 1, "dataLines": 2,
      "firstFrequency": 500, "lastFrequency": 1000, "ascending": True}),
    ("classic Mac OS", b"500 1\r1000 2\r", {"lineEnds": "CR", "dataLines": 2}),
    ("mixed", b"500 1\r\n1000 2\n", {"lineEnds": "mixed"}),
    ("falling frequencies", b"1000 1\n500 2\nword\n",
     {"lineEnds": "LF", "ascending": False, "droppedLines": 1, "firstFrequency": 1000,
      "lastFrequency": 500}),
]


def Command(program, arguments):
    return Options.emulator + [program] + arguments


def Speaking(locale):
    """The environment of a user whose locale is this: "C" speaks English."""
    environment = {key: value for key, value in os.environ.items()
                   if key not in ("LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG")}
    environment["LANG"] = locale
    return environment


def Run(program, arguments, work, locale="C"):
    result = subprocess.run(Command(program, arguments), cwd=work, capture_output=True,
                            stdin=subprocess.DEVNULL, timeout=120, env=Speaking(locale))
    # A console under an emulator may end lines with CR LF.
    return result.stdout.replace(b"\r\n", b"\n"), result.returncode & 0xFF


def Write(work, files):
    for name, data in files.items():
        (Path(work) / name).write_bytes(data)


def CheckJson(work, arguments):
    out, status = Run(Options.check, ["--json"] + arguments, work)
    return json.loads(out), status


# The command line: (arguments, exit status, what the output starts with).
CommandLineRows = [
    (["--help"], 0, b"usage:\nTarvelinCheck [--json] <RefMicFrom> <RefMicTo> <MyMicIn>\n"
     b"TarvelinCheck [--json] <CalibrationFile>\n\noptions:\n"
     b"  --json                print the report as one JSON object, for scripts\n"
     b"  --help                print this help and end\n"
     b"  --version             print the program's name and version and end\n"
     b"  --                    end of the options: a name after it is a file's, even one like "
     b"-x\n"),
    (["--version"], 0, b"TarvelinCheck "),
    (["--wide", "in.txt"], 2, b"\nTarvelinCheck\n\nError - unknown option --wide\nusage:\n"),
    (["--json", "in.txt", "--wide"], 2, b'{ "status": 2,\n  "error": "unknown option --wide"'),
    (["--json", "from.txt", "to.txt"], 2, b'{ "status": 2,'),
    (["--", "-x.txt"], 0, b"\nTarvelinCheck\n\nFile        -x.txt\n"),
    (["from.txt", "--json", "to.txt", "in.txt"], 0, b'{ "status": 0,'),
]


def CommandLineGroup():
    problems = []
    for arguments, status, start in CommandLineRows:
        with tempfile.TemporaryDirectory() as work:
            Write(work, {**Files(), "-x.txt": b"500 0\n"})
            out, actual = Run(Options.check, arguments, work)
        if actual != status or not out.startswith(start):
            problems.append(f"{arguments}: status {actual}, output {out[:200]!r}; expected "
                            f"{status} and {start!r}")
        if b'"status"' in start:
            json.loads(out)
    return problems, len(CommandLineRows)


def FindingsGroup():
    problems = []
    for name, files, arguments, code, severity, role, line, status in FindingRows:
        with tempfile.TemporaryDirectory() as work:
            Write(work, files)
            report, actualStatus = CheckJson(work, arguments)
        found = [f for f in report["findings"] if f["code"] == code and f["role"] == role]
        if not found:
            problems.append(f"{name}: no {code} finding for {role}; got "
                            f"{[(f['code'], f['role']) for f in report['findings']]}")
            continue
        actual = (found[0]["severity"], found[0]["line"], report["status"], actualStatus)
        if actual != (severity, line, status, status):
            problems.append(f"{name}: {code} gave severity, line, status, exit status {actual}, "
                            f"expected {(severity, line, status, status)}")
        # Every finding has the few words a headline gives it.
        untitled = [f["code"] for f in report["findings"] if f["title"] == "Finding"]
        if untitled:
            problems.append(f"{name}: no title for {untitled}")
        # Every dropped line is named by one finding.
        for entry in report["files"]:
            named = sum(f["droppedLines"] for f in report["findings"]
                        if f["role"] == entry["role"])
            if named != entry["droppedLines"]:
                problems.append(f"{name}: {entry['role']} drops {entry['droppedLines']} lines, "
                                f"its findings name {named}")
    for name, data, expected in FileFactRows:
        with tempfile.TemporaryDirectory() as work:
            Write(work, Files(**{"in": data}))
            report, _ = CheckJson(work, Conversion)
        entry = report["files"][2]
        wrong = {key: entry.get(key) for key, value in expected.items() if entry.get(key) != value}
        if wrong:
            problems.append(f"{name}: MyMicIn's entry has {wrong}, expected "
                            f"{ {key: expected[key] for key in wrong} }")
    return problems, len(FindingRows) + len(FileFactRows)


def GoldenGroup():
    problems = []
    folders = sorted(path for path in (Here / "golden").iterdir() if path.is_dir())
    for folder in folders:
        arguments = (folder / "args").read_text().split()
        expected = (folder / "stdout").read_bytes()
        expectedStatus = int((folder / "status").read_text())
        # A folder may say whose language the report is in, by their locale.
        locale = folder / "locale"
        out, status = Run(Options.check, arguments, folder / "in",
                          locale.read_text().strip() if locale.exists() else "C")
        if out != expected or status != expectedStatus:
            problems.append(f"{folder.name}: exit status {status} (expected {expectedStatus}), "
                            f"report:\n{out.decode('utf-8', 'replace')}\nexpected:\n"
                            f"{expected.decode('utf-8', 'replace')}")
    return problems, len(folders)


# Two calibrations of one reference microphone, at one angle, less than half
# a dB apart: a real reference change.
OldReference = "reference-2023.txt"
NewReference = "reference-2025.txt"

# Each real shape as MyMicIn with that change, and the warnings it deserves.
RealShapeRows = [
    ("calmic-0deg.txt", set()),
    ("calmic-90deg.txt", set()),
    ("older-unquoted.txt", {"unquoted-header"}),
    ("lab-percent.txt", {"far-extrapolation"}),
    ("room-correction.txt", {"far-extrapolation"}),
    ("loudspeaker.frd", set()),
    ("absolute-spl.txt", set()),
    ("flat-two-point.txt", {"far-extrapolation"}),
    ("classic-mac.txt", set()),
]


def Kilohertz(data):
    return damage.Columns(data, lambda c: b"\t".join([b"%.6f" % (float(c[0]) / 1000)] + c[1:]))


def Pascals(data):
    return damage.Columns(data, lambda c: b"\t".join(
        [c[0], b"%.6f" % (0.0112 * 10 ** (float(c[1]) / 20))] + c[2:]))


def PhaseSecond(data):
    return damage.Columns(data, lambda c: b"\t".join([c[0], c[2], c[1]]))


def SpreadsheetCsv(data):
    return damage.Columns(data, lambda c: b";".join(v.replace(b".", b",") for v in c))


def QuotedFields(data):
    return damage.Columns(data, lambda c: b"\t".join(b'"' + v + b'"' for v in c))


def CutInANumber(data):
    return data[:data.index(b"\n", len(data) // 2) + 12]


def Utf16(data):
    return data.decode("latin-1").encode("utf-16")


def SignLost(data):
    lines = data.split(b"\r\n")
    at = next(i for i, line in enumerate(lines[5:], 5) if line.endswith(b"\t2.0156"))
    lines[at] = lines[at].replace(b"\t", b"\t-")
    return b"\r\n".join(lines)


# Real files damaged or given in the wrong roles, as users do, and other
# real reference changes: (what, the three files, each a name in realistic/
# or (damage, name)), and the warnings the report must hold, no more and no
# fewer.
MisuseRows = [
    ("the reference's two 90-degree calibrations", "reference-90deg-2023.txt",
     "reference-90deg-2025.txt", "calmic-90deg.txt", set()),
    ("a lab's calibration, then the maker's", "reference-lab-2022.txt",
     "reference-maker-2024.txt", "calmic-0deg.txt", set()),
    ("a 0-degree calibration, then a 90-degree one", OldReference, "reference-90deg-2025.txt",
     "calmic-0deg.txt", {"different-angles"}),
    ("the 0- and 90-degree files as references", "calmic-0deg.txt", "calmic-90deg.txt",
     "classic-mac.txt", {"large-correction", "different-angles"}),
    ("an absolute level as RefMicTo", OldReference, "absolute-spl.txt", "classic-mac.txt",
     {"large-correction"}),
    ("two microphones as references", OldReference, "calmic-0deg.txt", "classic-mac.txt",
     {"different-serial-numbers"}),
    ("MyMicIn and RefMicTo swapped", OldReference, "calmic-0deg.txt", NewReference,
     {"different-serial-numbers", "input-is-reference"}),
    ("MyMicIn in kHz", OldReference, NewReference, (Kilohertz, "calmic-0deg.txt"),
     {"frequency-in-khz", "far-extrapolation"}),
    ("RefMicTo in kHz", OldReference, (Kilohertz, NewReference), "calmic-0deg.txt",
     {"frequency-in-khz", "far-extrapolation"}),
    ("MyMicIn in pascals", OldReference, NewReference, (Pascals, "calmic-0deg.txt"),
     {"linear-response"}),
    ("level and phase swapped", OldReference, NewReference, (PhaseSecond, "absolute-spl.txt"),
     {"phase-as-response"}),
    ("a German spreadsheet's CSV", OldReference, NewReference,
     (SpreadsheetCsv, "calmic-0deg.txt"), {"comma-separated", "no-data-lines"}),
    ("a spreadsheet's quoted fields", OldReference, NewReference,
     (QuotedFields, "calmic-0deg.txt"), {"quoted-numbers", "no-data-lines"}),
    ("cut off in a number", OldReference, NewReference, (CutInANumber, "calmic-0deg.txt"),
     {"cut-off"}),
    ("Notepad's Unicode", OldReference, NewReference, (Utf16, "calmic-0deg.txt"),
     {"utf-16", "no-data-lines"}),
    ("a lost minus sign", OldReference, NewReference, (SignLost, "calmic-0deg.txt"),
     {"outlier"}),
    ("a reference whose Sens Factor line lost its quote", (lambda d: d[1:], OldReference),
     NewReference, "calmic-0deg.txt", set()),
]


def Warnings(work, names):
    report, status = CheckJson(work, names)
    codes = {f["code"] for f in report["findings"] if f["severity"] != "note"}
    return codes, status


def RealisticGroup():
    problems = []
    with tempfile.TemporaryDirectory() as work:
        for path in Realistic.iterdir():
            if path.suffix in (".txt", ".frd"):
                shutil.copy(path, work)
        for name, expected in RealShapeRows:
            codes, status = Warnings(work, [OldReference, NewReference, name])
            if codes != expected or status != (1 if expected else 0):
                problems.append(f"{name} as MyMicIn: warnings {sorted(codes)}, status {status}; "
                                f"expected {sorted(expected)}")
            codes, _ = Warnings(work, [name])
            alone = expected & {"unquoted-header"}
            if codes != alone:
                problems.append(f"{name} alone: warnings {sorted(codes)}, expected {sorted(alone)}")
        for what, *files, expected in MisuseRows:
            names = []
            for i, file in enumerate(files):
                if isinstance(file, tuple):
                    damage, source = file
                    (Path(work) / f"damaged{i}.txt").write_bytes(
                        damage((Realistic / source).read_bytes()))
                    file = f"damaged{i}.txt"
                names.append(file)
            codes, _ = Warnings(work, names)
            if codes != expected:
                problems.append(f"{what}: warnings {sorted(codes)}, expected {sorted(expected)}")
    return problems, len(RealShapeRows) * 2 + len(MisuseRows)


def Counted(myMicOut):
    """Header and data lines of a MyMicOut: every line of it ends in CR LF
    but perhaps the last, and a header line starts with a double quote."""
    if myMicOut.startswith(b"\xef\xbb\xbf"):
        myMicOut = myMicOut[3:]
    lines = myMicOut.split(b"\r\n")
    if lines and lines[-1] == b"":
        lines.pop()
    headers = sum(line.startswith(b'"') for line in lines)
    return headers, len(lines) - headers


def Agrees(work, arguments):
    """Whether Tarvelin converted these files, and the difference between
    the check's count of MyMicIn's lines and MyMicOut's, or None."""
    if len(arguments) != 4:
        return False, None
    _, status = Run(Options.tarvelin, arguments, work)
    output = Path(work) / arguments[3]
    if status != 0 or not output.is_file():
        return False, None
    report, _ = CheckJson(work, arguments[:3])
    entry = report["files"][2]
    checked = (entry["headerLines"], entry["dataLines"])
    written = Counted(output.read_bytes())
    return True, None if checked == written else f"check {checked}, MyMicOut {written}"


def AgreementGroup():
    problems = []
    compared = 0
    with tempfile.TemporaryDirectory() as work:
        cases = []
        for folder in sorted(E2eCases.iterdir()):
            source = folder / "in"
            if not source.is_dir():
                continue
            target = Path(work) / "e2e" / folder.name
            shutil.copytree(source, target, symlinks=True)
            cases.append((target, (folder / "args").read_text().split()))
        for case in calibration_corpus.write_corpus(str(Path(work) / "generated"),
                                                    count=Options.count):
            cases.append((Path(case.directory), case.arguments))
        for directory, arguments in cases:
            converted, difference = Agrees(directory, arguments)
            compared += converted
            if difference:
                problems.append(f"{directory.name}: {difference}")
    return problems, compared


def Points(work, myMicIn):
    """The converter's points for MyMicIn with the real reference change:
    the texts of MyMicOut's data lines, field by field, counted; or None
    where it writes no MyMicOut."""
    myMicOut = Path(work) / (myMicIn + ".out")
    _, status = Run(Options.tarvelin, [OldReference, NewReference, myMicIn, myMicOut.name], work)
    if status != 0 or not myMicOut.is_file():
        return None
    lines = myMicOut.read_bytes().removeprefix(b"\xef\xbb\xbf").split(b"\r\n")
    return collections.Counter(tuple(line.split()) for line in lines
                               if line and not line.startswith(b'"'))


def Narrowed(points, width):
    """The points with as many values as the clean file's: a column the
    damage added is not the author's, one it changed is."""
    if points is None:
        return None
    return collections.Counter(key[:width] for key in points.elements())


def Difference(points, clean):
    if points is None:
        return "no MyMicOut"
    shown = []
    for what, counted in (("gained", points - clean), ("lost", clean - points)):
        if counted:
            first = b" ".join(min(counted)).decode("utf-8", "replace")
            shown.append(f"{sum(counted.values())} points {what} (such as {first})")
    return "MyMicOut " + " and ".join(shown)


def MyMicInWarnings(work, myMicIn):
    """The codes of the check's warnings about MyMicIn, or None where it
    writes no report."""
    out, _ = Run(Options.check, ["--json", OldReference, NewReference, myMicIn], work)
    try:
        findings = json.loads(out)["findings"]
    except (ValueError, KeyError):
        return None
    return {f["code"] for f in findings if f["severity"] == "warning" and f["role"] == "MyMicIn"}


def DamageCell(work, name, clean, warned, damaged):
    """What is wrong in one damaged file: a list of (figure, what was seen)."""
    (Path(work) / name).write_bytes(damaged)
    width = max(len(key) for key in clean)
    points = Narrowed(Points(work, name), width)
    changed = points != clean
    codes = MyMicInWarnings(work, name)
    _, status = Run(Options.repair, [name, "copy-" + name], work)
    faults = []
    new = codes - warned if codes is not None else None
    if new is None:
        # No report at all leaves a changed file as unwarned as silence does.
        faults.append(("false all-clears" if changed else "false alarms",
                       "the check writes no report"))
    elif changed and not new:
        faults.append(("false all-clears", f"the check is silent; {Difference(points, clean)}"))
    elif not changed and new:
        faults.append(("false alarms", f"the same points, yet the check warns {sorted(new)}"))
    if not changed and status != 0:
        faults.append(("false alarms", f"the same points, yet the repair exits {status}"))
    copied = Narrowed(Points(work, "copy-" + name), width) if status == 0 else clean
    if copied != clean:
        faults.append(("wrong copies", "the repair's copy converts to other points: "
                       + Difference(copied, clean)))
    if status not in (0, 1, 2):
        faults.append(("wrong copies", f"the repair exits {status}"))
    return faults, status == 2


def DamageGroup():
    if not Options.repair:
        sys.exit("the damage group needs --repair")
    problems = []
    figures = collections.Counter({"false all-clears": 0, "false alarms": 0, "wrong copies": 0})
    refusals = cells = 0
    files = sorted(path.name for path in Realistic.iterdir() if path.suffix in (".txt", ".frd"))
    with tempfile.TemporaryDirectory() as work:
        for name in files:
            shutil.copy(Realistic / name, work)
        for name in files:
            data = (Realistic / name).read_bytes()
            clean, warned = Points(work, name), MyMicInWarnings(work, name)
            if clean is None or warned is None:
                problems.append(f"{name}: no MyMicOut or no report from it")
                continue
            for what, transform in damage.Transforms:
                damaged = damage.Damaged(transform, data)
                if damaged is None:
                    continue
                cells += 1
                path = Path(name)
                faults, refused = DamageCell(work, f"{path.stem}.{what}{path.suffix}", clean,
                                             warned, damaged)
                refusals += refused
                figures.update(figure for figure, _ in faults)
                if faults:
                    problems.append(f"{name} x {what}: " + "; ".join(seen for _, seen in faults))
    shown = ", ".join(f"{figure} {count}" for figure, count in figures.items())
    return problems, cells, (f"damage: {len(files)} files x {len(damage.Transforms)} transforms "
                             f"({cells} that apply); {shown}, refusals {refusals}")


Groups = {"findings": FindingsGroup, "golden": GoldenGroup, "realistic": RealisticGroup,
          "command-line": CommandLineGroup, "agreement": AgreementGroup, "damage": DamageGroup}


def main():
    global Options
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", required=True)
    parser.add_argument("--tarvelin", required=True)
    parser.add_argument("--repair", help="TarvelinRepair, which the damage group runs")
    parser.add_argument("--emulator", default="", help="command prefix, ';'-separated")
    parser.add_argument("--count", type=int, default=calibration_corpus.DefaultCount)
    parser.add_argument("--group", choices=sorted(Groups), required=True)
    Options = parser.parse_args()
    Options.check = str(Path(Options.check).resolve())
    Options.tarvelin = str(Path(Options.tarvelin).resolve())
    Options.repair = Options.repair and str(Path(Options.repair).resolve())
    Options.emulator = [word for word in Options.emulator.split(";") if word]
    problems, count, *summary = Groups[Options.group]()
    for problem in problems:
        print("FAILED " + problem)
    for line in summary:
        print(line)
    print(f"{Options.group}: {count - len(problems)} passed, {len(problems)} failed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
