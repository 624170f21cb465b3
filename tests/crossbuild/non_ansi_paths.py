#!/usr/bin/env python3
"""Runs Tarvelin on files whose paths hold letters outside any ANSI code page
(Cyrillic, Greek, CJK, and one beyond the Basic Multilingual Plane). On
Windows such a path opens only through the wide-character API, and a message
names it readably only in UTF-8. Each case checks standard output (up to line
ends), exit status, and every file afterwards."""

import argparse
import os
import shlex
import subprocess
import sys
import tempfile
from pathlib import Path

Banner = "\nTarvelin\n\n"
Folder = "Калибровка Μικρόφωνο 麦克风 𠀋"
RefMicFrom = Folder + "/От эталона.txt"
RefMicTo = Folder + "/Σε αναφορά.txt"
MyMicIn = Folder + "/我的麦克风.txt"
MyMicOut = Folder + "/結果 выход 𠀋.txt"

Inputs = {
    RefMicFrom: b"100 0\n10000 0\n",
    RefMicTo: b"100 1.5\n10000 1.5\n",
    MyMicIn: b'"Sensitivity 12.5 mV/Pa\n1000 -2.25 45\n2000 0.5\n',
}
Converted = b'"Sensitivity 12.5 mV/Pa\r\n1000.000000 -0.750000 45.000000\r\n2000.000000 2.000000\r\n'

# Arguments, then expected standard output and exit status, and the files
# the run adds or changes.
Cases = [
    ("converts", [RefMicFrom, RefMicTo, MyMicIn, MyMicOut],
     Banner, 0, {MyMicOut: Converted}),
    ("names a missing reference", [Folder + "/Нет такого.txt", RefMicTo, MyMicIn, MyMicOut],
     Banner + f"Error - could not open {Folder}/Нет такого.txt\n", 255, {}),
    ("names a missing user file", [RefMicFrom, RefMicTo, Folder + "/不存在.txt", MyMicOut],
     Banner + f"Error - could not open {Folder}/不存在.txt\n", 255, {}),
    ("refuses to overwrite an input spelled another way",
     [RefMicFrom, RefMicTo, MyMicIn, Folder + "/./我的麦克风.txt"],
     Banner + f"Error - will not overwrite input file {Folder}/./我的麦克风.txt\n", 255, {}),
    ("names an output folder that is missing",
     [RefMicFrom, RefMicTo, MyMicIn, "Папка/Ωmega.txt"],
     Banner + "Error - could not open Папка/Ωmega.txt for writing\n", 255, {}),
]


def Snapshot(root):
    return {path.relative_to(root).as_posix(): path.read_bytes()
            for path in sorted(root.rglob("*")) if path.is_file()}


def RunCase(command, name, arguments, stdout, status, changes):
    with tempfile.TemporaryDirectory() as work:
        root = Path(work)
        (root / Folder).mkdir()
        for path, data in Inputs.items():
            (root / path).write_bytes(data)
        expectedFiles = {**Inputs, **changes}
        result = subprocess.run(command + arguments, cwd=root, stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=120)
        actualStdout = result.stdout.replace(b"\r\n", b"\n")
        problems = []
        if actualStdout != stdout.encode("utf-8"):
            problems.append(f"standard output\n  expected {stdout.encode()!r}\n  actual   {actualStdout!r}")
        if result.returncode & 0xFF != status:
            problems.append(f"exit status: expected {status}, actual {result.returncode & 0xFF}")
        actualFiles = Snapshot(root)
        if actualFiles != expectedFiles:
            problems.append(f"files\n  expected {expectedFiles!r}\n  actual   {actualFiles!r}")
        print(("FAIL " if problems else "ok   ") + name)
        for problem in problems:
            print("  command: " + shlex.join(command + arguments) + "\n  " + problem)
        return not problems


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--emulator", default="", help="program that runs the executable, if any")
    options = parser.parse_args()
    command = ([options.emulator] if options.emulator else []) + [os.path.abspath(options.exe)]
    passed = sum(RunCase(command, *case) for case in Cases)
    print(f"{passed} passed, {len(Cases) - passed} failed")
    return 0 if passed == len(Cases) else 1


if __name__ == "__main__":
    sys.exit(main())
