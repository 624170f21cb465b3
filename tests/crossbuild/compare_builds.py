#!/usr/bin/env python3
"""Runs the native Tarvelin and another build of it (Tarvelin.exe under wine,
or the WebAssembly build under Node) over the same corpus and requires the
same results: every file in the working directory
afterwards (MyMicOut above all) byte for byte, standard output up to line ends
(a Windows console ends its lines with CR LF), and the exit status (-1 is 255
on both sides). The corpus is every end-to-end golden case plus the generated
calibration files of the reference tests: odd numbers, CR LF and LF, header
lines, unordered and repeated frequencies, long lines, failures.

The other build may also be a stand-in that runs the WebAssembly module
under Node; with --excluded-status it may decline a case it cannot stand for,
and those cases are counted, not compared.

Exits 77 (skipped) when no native program is given."""

import argparse
import collections
import concurrent.futures
import difflib
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

Here = Path(__file__).resolve().parent
GoldenCases = Here.parent / "e2e" / "cases"
sys.path.insert(0, str(Here.parent / "reference"))
import calibration_corpus  # noqa: E402

SkipStatus = 77
ShownMismatches = 10
Options = None


def Snapshot(root):
    entries = {}
    for path in sorted(root.rglob("*")):
        relative = path.relative_to(root).as_posix()
        entries[relative] = path.read_bytes() if path.is_file() else "<directory>"
    return entries


def GoldenCorpus(folder):
    """Each golden case's in/ folder and arguments, as a case to run."""
    cases = []
    for case in sorted(GoldenCases.glob("*")):
        if not (case / "args").is_file():
            continue
        work = folder / ("e2e-" + case.name)
        if (case / "in").is_dir():
            shutil.copytree(case / "in", work, symlinks=True)
        else:
            work.mkdir()
        cases.append((work, (case / "args").read_text().splitlines()))
    return cases


def GeneratedCorpus(folder, seed, count):
    return [(Path(case.directory), case.arguments)
            for case in calibration_corpus.write_corpus(str(folder), seed, count)]


def Run(command, work):
    result = subprocess.run(command, cwd=work, stdin=subprocess.DEVNULL, capture_output=True,
                            timeout=120)
    return result.stdout.replace(b"\r\n", b"\n"), result.returncode & 0xFF, Snapshot(work)


def Describe(what, expected, actual):
    if isinstance(expected, bytes) and isinstance(actual, bytes):
        lines = difflib.unified_diff(expected.decode("latin-1").splitlines(keepends=True),
                                     actual.decode("latin-1").splitlines(keepends=True),
                                     "native", "other", n=1)
        return f"{what} differs:\n" + "".join(list(lines)[:40])
    return f"{what} differs: native {str(expected)[:300]!r}, other {str(actual)[:300]!r}"


def Compare(native, other, nativeWork, otherWork, arguments):
    """Both runs of one case: what differs, and how many files were compared;
    None and its reason when the other build declined the case."""
    otherStdout, otherStatus, otherFiles = Run(other + arguments, otherWork)
    if otherStatus == Options.excluded_status:
        return None, otherStdout.decode("utf-8", "replace").strip()
    nativeStdout, nativeStatus, nativeFiles = Run(native + arguments, nativeWork)
    problems = []
    if nativeStatus != otherStatus:
        problems.append(Describe("exit status", nativeStatus, otherStatus))
    if nativeStdout != otherStdout:
        problems.append(Describe("standard output", nativeStdout, otherStdout))
    for name in sorted(set(nativeFiles) | set(otherFiles)):
        if nativeFiles.get(name) != otherFiles.get(name):
            problems.append(Describe("file " + name, nativeFiles.get(name, "<none>"),
                                     otherFiles.get(name, "<none>")))
    return problems, sum(isinstance(entry, bytes) for entry in nativeFiles.values())


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--native", default="")
    parser.add_argument("--other", required=True, help="the build held against the native one")
    parser.add_argument("--emulator", default="")
    parser.add_argument("--seed", type=int, default=calibration_corpus.DefaultSeed)
    parser.add_argument("--count", type=int, default=calibration_corpus.DefaultCount)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--excluded-status", type=int, default=None)
    global Options
    Options = options = parser.parse_args()
    if not options.native:
        print("skipped: no native program given (configure with -DTARVELIN_NATIVE_EXE=...)")
        return SkipStatus
    native = [os.path.abspath(options.native)]
    other = ([options.emulator] if options.emulator else []) + [os.path.abspath(options.other)]

    with tempfile.TemporaryDirectory() as work:
        # Two copies of the corpus, so that neither run sees what the other wrote.
        pairs = []
        for side in ("native", "other"):
            folder = Path(work) / side
            folder.mkdir()
            golden = GoldenCorpus(folder)
            generated = GeneratedCorpus(folder, options.seed, options.count)
            pairs.append(golden + generated)
        cases = [(nativeWork, otherWork, arguments)
                 for (nativeWork, arguments), (otherWork, _) in zip(*pairs)]
        with concurrent.futures.ThreadPoolExecutor(options.jobs) as pool:
            results = list(pool.map(lambda case: Compare(native, other, *case), cases))

    mismatches = [(case, problems) for case, (problems, _) in zip(cases, results) if problems]
    excluded = sum(problems is None for problems, _ in results)
    for (nativeWork, _, arguments), problems in mismatches[:ShownMismatches]:
        print(f"MISMATCH {nativeWork.name}: arguments {arguments}")
        for problem in problems:
            print("  " + problem.replace("\n", "\n  "))
    reasons = collections.Counter(reason for problems, reason in results if problems is None)
    for reason, count in sorted(reasons.items()):
        print(f"excluded {count}: {reason}")
    filesCompared = sum(count for problems, count in results if problems is not None)
    print(f"cases run: {len(cases)} ({len(pairs[0]) - len(generated)} end-to-end golden, "
          f"{len(generated)} generated); files compared: {filesCompared}; "
          f"excluded: {excluded}; mismatches: {len(mismatches)}")
    return 1 if mismatches else 0


if __name__ == "__main__":
    sys.exit(main())
