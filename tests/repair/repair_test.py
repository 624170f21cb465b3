#!/usr/bin/env python3
"""Tests TarvelinRepair as its users run it.

  golden  folders under golden/: the file as given (in/), the arguments, the
          report a person reads and the exit status, and the copy it must
          write (expected; none when nothing may be written), compared
          exactly. For each, the converter's MyMicOut from the copy equals
          its MyMicOut from the hand-mended file, the check finds in the
          copy none of the findings it called repairable in the file, the
          warnings the repair says are left are the check's on the copy,
          and repairing the copy again writes the same
          bytes and says that nothing needed repair.
  input   the input is never changed, whatever name the copy is given: the
          same path, another spelling, a hard or a symbolic link
"""

import argparse
import json
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

Here = Path(__file__).resolve().parent
Options = None

# A reference change with a correction that differs at every frequency, so
# that a point moved, lost or misread shows in MyMicOut.
References = {"from.txt": b"10 0\n1000 0.5\n20000 -1\n", "to.txt": b"10 0.3\n1000 0\n20000 2\n"}


def Run(program, arguments, work):
    result = subprocess.run(Options.emulator + [program] + arguments, cwd=work,
                            capture_output=True, stdin=subprocess.DEVNULL, timeout=120)
    # A console under an emulator may end lines with CR LF.
    return result.stdout.replace(b"\r\n", b"\n"), result.returncode & 0xFF


def Converted(work, name):
    _, status = Run(Options.tarvelin, ["from.txt", "to.txt", name, "converted.txt"], work)
    return status, (Path(work) / "converted.txt").read_bytes() if status == 0 else None


def GoldenCase(folder, work):
    problems = []
    source, copy = (folder / "args").read_text().split()
    for path in (folder / "in").iterdir():
        (Path(work) / path.name).write_bytes(path.read_bytes())
    given = (Path(work) / source).read_bytes()
    out, status = Run(Options.repair, [source, copy], work)
    if out != (folder / "stdout").read_bytes() or status != int((folder / "status").read_text()):
        problems.append(f"status {status}, report:\n{out.decode('utf-8', 'replace')}")
    if (Path(work) / source).read_bytes() != given:
        problems.append("the input changed")
    expected = folder / "expected"
    written = Path(work) / copy
    if not expected.exists():
        if written.exists():
            problems.append("a copy was written")
        return problems
    if not written.exists() or written.read_bytes() != expected.read_bytes():
        problems.append(f"the copy differs from expected: {written.read_bytes()[:300]!r}")
        return problems
    for name, data in References.items():
        (Path(work) / name).write_bytes(data)
    (Path(work) / "mended.txt").write_bytes(expected.read_bytes())
    if Converted(work, copy) != Converted(work, "mended.txt"):
        problems.append("MyMicOut from the copy differs from MyMicOut from the mended file")
    # What the check promised the repair would mend is gone, and what the
    # repair says is left is what the check finds in the copy.
    before = json.loads(Run(Options.check, ["--json", source], work)[0])["findings"]
    promised = {f["code"] for f in before if f["repairable"]}
    after = json.loads(Run(Options.check, ["--json", copy], work)[0])["findings"]
    warned = sorted((f["code"], f["line"]) for f in after if f["severity"] != "note")
    said = sorted((code.decode(), int(line) if line else None) for code, line in
                  re.findall(rb"\[([a-z0-9-]+)\] File(?: line (\d+))?:", out))
    if {f["code"] for f in after} & promised:
        problems.append(f"the check still finds {sorted(promised)} in the copy")
    if warned != said:
        problems.append(f"the repair says {said} is left, the check finds {warned}")
    again, againStatus = Run(Options.repair, [copy, "again.txt"], work)
    if (Path(work) / "again.txt").read_bytes() != written.read_bytes() or \
            b"Nothing needed repair" not in again or againStatus > 1:
        problems.append(f"repairing the copy again: status {againStatus}, {again!r}")
    return problems


def GoldenGroup():
    problems = []
    folders = sorted(path for path in (Here / "golden").iterdir() if path.is_dir())
    for folder in folders:
        with tempfile.TemporaryDirectory() as work:
            problems += [f"{folder.name}: {problem}" for problem in GoldenCase(folder, work)]
    return problems, len(folders)


# The copy named as the input in other ways: (what, how to arrange it, the
# copy's name).
SameFileRows = [
    ("the same path", lambda work: None, "in.txt"),
    ("another spelling", lambda work: (Path(work) / "sub").mkdir(), "sub/../in.txt"),
    ("a hard link", lambda work: os.link(Path(work) / "in.txt", Path(work) / "hard.txt"),
     "hard.txt"),
    ("a symbolic link", lambda work: os.symlink("in.txt", Path(work) / "soft.txt"), "soft.txt"),
    # Windows finds a file whatever the case of its name.
    ("another case, on Windows", lambda work: None, "IN.TXT"),
]


def InputGroup():
    problems = []
    given = b"20;-0,85\r\n1000;0,00\r\n"
    run = 0
    for what, arrange, copy in SameFileRows:
        if Options.emulator and what.endswith("link") or \
                not Options.windows and what.endswith("Windows"):
            continue
        run += 1
        with tempfile.TemporaryDirectory() as work:
            (Path(work) / "in.txt").write_bytes(given)
            arrange(work)
            out, status = Run(Options.repair, ["in.txt", copy], work)
            if (Path(work) / "in.txt").read_bytes() != given or status != 2 or \
                    b"will not overwrite input file" not in out:
                problems.append(f"{what}: status {status}, {out!r}")
    return problems, run


Groups = {"golden": GoldenGroup, "input": InputGroup}


def main():
    global Options
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repair", required=True)
    parser.add_argument("--check", required=True)
    parser.add_argument("--tarvelin", required=True)
    parser.add_argument("--emulator", default="", help="command prefix, ';'-separated")
    parser.add_argument("--group", choices=sorted(Groups), required=True)
    parser.add_argument("--windows", action="store_true", help="the programs are Windows'")
    Options = parser.parse_args()
    for name in ("repair", "check", "tarvelin"):
        setattr(Options, name, str(Path(getattr(Options, name)).resolve()))
    Options.emulator = [word for word in Options.emulator.split(";") if word]
    problems, count = Groups[Options.group]()
    for problem in problems:
        print("FAILED " + problem)
    print(f"{Options.group}: {count - len(problems)} passed, {len(problems)} failed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
