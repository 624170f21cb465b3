#!/usr/bin/env python3
"""Runs the tool and the reference model on the same generated calibration
files and requires the same result from both: every file left in the case
folder byte for byte (MyMicOut above all), standard output up to line ends,
and the exit status.

    differential_test.py --tool PATH [--cases N] [--seed S] [--work DIR]
                         [--examples DIR] [-- EMULATOR ...]

Whatever follows "--" is put in front of the tool's command line, so that a
cross-built tool can run under an emulator. With --examples, the expected
output checked in beside the examples must be what the model gives.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import calibration_corpus  # noqa: E402
import reference_model  # noqa: E402

MismatchesShown = 5
ToolTimeout = 120


def snapshot(directory):
    """Every file and folder under directory: relative path -> bytes, or None
    for a folder."""
    found = {}
    for root, folders, files in os.walk(directory):
        for name in folders:
            found[os.path.relpath(os.path.join(root, name), directory)] = None
        for name in files:
            path = os.path.join(root, name)
            with open(path, "rb") as handle:
                found[os.path.relpath(path, directory)] = handle.read()
    return found


def restore(directory, pristine):
    """Puts the case folder back as it was written, whatever a run changed."""
    for path, data in snapshot(directory).items():
        if path not in pristine:
            full = os.path.join(directory, path)
            if data is None:
                shutil.rmtree(full, ignore_errors=True)
            elif os.path.exists(full):
                os.remove(full)
    for path, data in pristine.items():
        full = os.path.join(directory, path)
        if data is None:
            os.makedirs(full, exist_ok=True)
        else:
            with open(full, "wb") as handle:
                handle.write(data)


def run_tool(command, case):
    completed = subprocess.run(command + case.arguments, cwd=case.directory, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=ToolTimeout)
    return completed.stdout, completed.returncode & 0xFF, completed.stderr


def run_model(case):
    here = os.getcwd()
    os.chdir(case.directory)
    try:
        standard_output, status = reference_model.convert(case.arguments)
    finally:
        os.chdir(here)
    return standard_output, status


def normal_line_ends(text):
    return text.replace(b"\r\n", b"\n")


def describe_difference(name, expected, actual):
    if expected is None or actual is None:
        return "%s: %s by the model, %s by the tool" % (name, "absent" if expected is None else "present", "absent" if actual is None else "present")
    for index, (a, b) in enumerate(zip(expected, actual)):
        if a != b:
            break
    else:
        index = min(len(expected), len(actual))
    line = expected.count(b"\n", 0, index) + 1
    return "%s differs at byte %d (line %d): model %r, tool %r" % (name, index, line, expected[max(0, index - 40) : index + 40], actual[max(0, index - 40) : index + 40])


def compare_case(command, case):
    """The differences between tool and model on one case, as text lines."""
    pristine = snapshot(case.directory)
    tool_output, tool_status, tool_errors = run_tool(command, case)
    tool_files = snapshot(case.directory)
    restore(case.directory, pristine)
    model_output, model_status = run_model(case)
    model_files = snapshot(case.directory)
    restore(case.directory, pristine)

    differences = []
    if tool_status != model_status:
        differences.append("exit status: model %d, tool %d" % (model_status, tool_status))
    if normal_line_ends(tool_output) != normal_line_ends(model_output):
        differences.append("standard output: model %r, tool %r" % (model_output, tool_output))
    if tool_errors:
        differences.append("the tool wrote to standard error: %r" % tool_errors[:200])
    for path in sorted(set(tool_files) | set(model_files)):
        if tool_files.get(path) != model_files.get(path):
            differences.append(describe_difference(path, model_files.get(path), tool_files.get(path)))
    return differences


def check_examples(command, examples, work):
    """The checked-in expected output of the examples is what the model gives,
    and what the tool gives. Paths are relative to the work folder, which an
    emulator maps as readily as the native system."""
    expected_path = os.path.join(examples, "expected", "MyMicOut.txt")
    with open(expected_path, "rb") as handle:
        expected = handle.read()
    inputs = [os.path.relpath(os.path.join(examples, name), work) for name in ("RefMicFrom.txt", "RefMicTo.txt", "MyMicIn.txt")]
    failures = []
    for who, output in (("model", "ModelMyMicOut.txt"), ("tool", "ToolMyMicOut.txt")):
        if who == "model":
            here = os.getcwd()
            os.chdir(work)
            try:
                _, status = reference_model.convert(inputs + [output])
            finally:
                os.chdir(here)
        else:
            status = subprocess.run(command + inputs + [output], cwd=work, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, timeout=ToolTimeout).returncode
        with open(os.path.join(work, output), "rb") as handle:
            if status != 0 or handle.read() != expected:
                failures.append("the %s's conversion of the examples differs from %s" % (who, expected_path))
    return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--tool", required=True)
    parser.add_argument("--cases", type=int, default=calibration_corpus.DefaultCount)
    parser.add_argument("--seed", type=int, default=calibration_corpus.DefaultSeed)
    parser.add_argument("--work", help="folder for the corpus (default: a temporary one, kept on failure)")
    parser.add_argument("--examples", help="the examples folder, to check its expected output as well")
    parser.add_argument("emulator", nargs="*", help="command put before the tool's")
    options = parser.parse_args()

    command = options.emulator + [os.path.abspath(options.tool)]
    work = options.work or tempfile.mkdtemp(prefix="tarvelin-differential-")
    if os.path.isdir(work):
        shutil.rmtree(work)
    os.makedirs(work)

    started = time.monotonic()
    cases = calibration_corpus.write_corpus(work, options.seed, options.cases)
    mismatched = 0
    for case in cases:
        differences = compare_case(command, case)
        if differences:
            mismatched += 1
            if mismatched <= MismatchesShown:
                print("MISMATCH in %s, arguments %s:" % (case.directory, " ".join(case.arguments)))
                for difference in differences:
                    print("  " + difference)
    failures = check_examples(command, options.examples, work) if options.examples else []
    for failure in failures:
        print("FAILED: " + failure)

    print("%d cases, %d mismatches, seed %d, %.1f s" % (len(cases), mismatched, options.seed, time.monotonic() - started))
    if mismatched or failures:
        print("The cases are kept in %s" % work)
        return 1
    if not options.work:
        shutil.rmtree(work)
    return 0


if __name__ == "__main__":
    sys.exit(main())
