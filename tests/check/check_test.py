#!/usr/bin/env python3
"""Tests TarvelinCheck as its users run it.

  findings   one small set of files per finding code, each checked in the
             JSON report: the code, its severity, its line, and the status
  golden     folders under golden/: the files, the text report a person
             reads, and the exit status, compared exactly
  agreement  over the end-to-end golden cases and the generated corpus, the
             check's header and data lines of MyMicIn are those of the
             MyMicOut that Tarvelin writes from the same files
"""

import argparse
import json
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

Here = Path(__file__).resolve().parent
E2eCases = Here.parent / "e2e" / "cases"
sys.path.insert(0, str(Here.parent / "reference"))
import calibration_corpus  # noqa: E402

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


def Run(program, arguments, work):
    result = subprocess.run(Command(program, arguments), cwd=work, capture_output=True,
                            stdin=subprocess.DEVNULL, timeout=120)
    # A console under an emulator may end lines with CR LF.
    return result.stdout.replace(b"\r\n", b"\n"), result.returncode & 0xFF


def Write(work, files):
    for name, data in files.items():
        (Path(work) / name).write_bytes(data)


def CheckJson(work, arguments):
    out, status = Run(Options.check, ["--json"] + arguments, work)
    return json.loads(out), status


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
        out, status = Run(Options.check, arguments, folder / "in")
        if out != expected or status != expectedStatus:
            problems.append(f"{folder.name}: exit status {status} (expected {expectedStatus}), "
                            f"report:\n{out.decode('utf-8', 'replace')}\nexpected:\n"
                            f"{expected.decode('utf-8', 'replace')}")
    return problems, len(folders)


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


Groups = {"findings": FindingsGroup, "golden": GoldenGroup, "agreement": AgreementGroup}


def main():
    global Options
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", required=True)
    parser.add_argument("--tarvelin", required=True)
    parser.add_argument("--emulator", default="", help="command prefix, ';'-separated")
    parser.add_argument("--count", type=int, default=calibration_corpus.DefaultCount)
    parser.add_argument("--group", choices=sorted(Groups), required=True)
    Options = parser.parse_args()
    Options.check = str(Path(Options.check).resolve())
    Options.tarvelin = str(Path(Options.tarvelin).resolve())
    Options.emulator = [word for word in Options.emulator.split(";") if word]
    problems, count = Groups[Options.group]()
    for problem in problems:
        print("FAILED " + problem)
    print(f"{Options.group}: {count - len(problems)} passed, {len(problems)} failed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
