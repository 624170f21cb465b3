#!/usr/bin/env python3
"""Hostile input and failing files, run through the built tool.

Every case runs the tool in a fresh folder and checks the exit status, the
whole of standard output, that nothing reached standard error (a sanitizer
report would), and that every file in the folder that should not change is
still there, byte for byte. Cases that need POSIX features (FIFOs, links,
/dev/full, the preloaded failing-disk library) skip under an emulator.

    run_badinput.py --tarvelin PATH [--emulator CMD] [--shim LIB]
                    [--sanitized] [--group NAME]

Exit status: 0 when every case that ran passed, 1 on any failure, 77 when
every case of the group was skipped.
"""

import argparse
import hashlib
import os
import random
import re
import resource
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time

BANNER = b"\nTarvelin\n\n"
FAILURE = 255
BOM = b"\xef\xbb\xbf"
# Both references flat at zero: every response passes through unchanged, so
# the expected MyMicOut follows from MyMicIn alone.
FLAT = b'"flat reference\r\n20 0\r\n20000 0\r\n'
PREVIOUS_OUTPUT = b'"an earlier MyMicOut, to be kept\r\n1.000000 2.000000\r\n'
MIB = 1 << 20
READ_LIMIT = 64 * 1024


class Skip(Exception):
    pass


class Options:
    tarvelin = ""
    emulator = []
    shim = ""
    sanitized = False
    runs = 0


OPTIONS = Options()
CASES = []


def case(group, posix=False, shim=False):
    def register(function):
        CASES.append((group, function.__name__, posix, shim, function))
        return function

    return register


# ---------------------------------------------------------------------------
# A model of the file format, only as far as the cases need it.

NUMBER = re.compile(rb"[\t\n\v\f\r ]*([+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+))(?:([eE][+-]?[0-9]+)|[eE][+-]?)?")


def to_float32(value):
    try:
        return struct.unpack("<f", struct.pack("<f", value))[0]
    except OverflowError:
        # Rounds beyond the largest float.
        return float("inf") if value > 0 else float("-inf")


def model_lines(data):
    """(text, has_line_end) for each line by the text-mode rules; with classic
    Mac OS line ends (a CR followed by a byte other than CR and LF before the
    first LF) CR LF, CR and LF each end a line."""
    data = data.split(b"\x1a", 1)[0]
    if data.startswith(BOM):
        data = data[3:]
    if re.search(rb"\r[^\r\n]", data.split(b"\n", 1)[0]):
        data = data.replace(b"\r\n", b"\n").replace(b"\r", b"\n")
    lines = []
    while data:
        end = data.find(b"\n")
        if end < 0:
            lines.append((data, False))
            break
        text = data[:end]
        lines.append((text[:-1] if text.endswith(b"\r") else text, True))
        data = data[end + 1 :]
    return lines


def model_scan(text, count):
    values = []
    at = 0
    while len(values) < count:
        match = NUMBER.match(text, at)
        if not match:
            break
        try:
            value = float(match.group(1) + (match.group(2) or b""))
        except OverflowError:
            value = float("inf")
        values.append(to_float32(value))
        at = match.end()
    return values


def model_data(text, count):
    """The values of a data line, or None for any other line."""
    if text.startswith(b'"'):
        return None
    values = model_scan(text[:READ_LIMIT], count)
    if len(values) < 2 or values[0] == 0.0:
        return None
    return values


def number(value):
    if value != value:
        return b"nan"
    return b"%.6f" % value


def data_line(*values):
    return b" ".join(number(value) for value in values) + b"\r\n"


def flat_conversion(data):
    """MyMicOut for MyMicIn data with both references FLAT."""
    out = [BOM] if data.split(b"\x1a", 1)[0].startswith(BOM) else []
    for text, has_line_end in model_lines(data):
        if text.startswith(b'"'):
            out.append(text + (b"\r\n" if has_line_end else b""))
            continue
        values = model_data(text, 3)
        if values is None:
            continue
        # A flat reference evaluated at an infinite frequency is 0 times an
        # infinite fraction: not a number.
        reference = float("nan") if values[0] in (float("inf"), float("-inf")) else 0.0
        values[1] = (reference + values[1]) - reference
        out.append(data_line(*values))
    return b"".join(out)


def point_count(data):
    return sum(1 for text, _ in model_lines(data) if model_data(text, 2) is not None)


# ---------------------------------------------------------------------------
# Running the tool and checking what it left.


class Folder:
    def __init__(self, path):
        self.path = path

    def __truediv__(self, name):
        return os.path.join(self.path, name)

    def write(self, name, data):
        with open(self / name, "wb") as file:
            file.write(data)

    def read(self, name):
        with open(self / name, "rb") as file:
            return file.read()

    def snapshot(self):
        state = {}
        for name in os.listdir(self.path):
            path = self / name
            info = os.lstat(path)
            if os.path.islink(path):
                state[name] = ("link", os.readlink(path))
            elif os.path.isfile(path):
                state[name] = ("file", info.st_ino, digest(path))
            else:
                state[name] = ("other", info.st_mode)
        return state


def digest(path):
    hash = hashlib.sha256()
    with open(path, "rb") as file:
        while True:
            block = file.read(MIB)
            if not block:
                return hash.hexdigest()
            hash.update(block)


ARGUMENTS = ["from.txt", "to.txt", "in.txt", "out.txt"]
OUT = ("out.txt",)


def prepare(folder, refmicfrom=FLAT, refmicto=FLAT, mymicin=b'"header\r\n100 1 2\r\n', mymicout=PREVIOUS_OUTPUT):
    for name, data in zip(ARGUMENTS, (refmicfrom, refmicto, mymicin, mymicout)):
        if data is not None:
            folder.write(name, data)


def run_tool(folder, arguments, env=None, timeout=120, preexec=None):
    OPTIONS.runs += 1
    command = OPTIONS.emulator + [OPTIONS.tarvelin] + arguments
    environment = dict(os.environ, **(env or {}))
    result = subprocess.run(
        command,
        cwd=folder.path,
        stdin=subprocess.DEVNULL,
        capture_output=True,
        env=environment,
        timeout=timeout,
        preexec_fn=preexec,
    )
    if OPTIONS.emulator:
        # The console of an emulated system may end lines with CR LF, and the
        # emulator itself talks on standard error.
        result.stdout = result.stdout.replace(b"\r\n", b"\n")
        result.stderr = b""
    return result


def check(folder, status, message, arguments=ARGUMENTS, output=None, changes=(), env=None, timeout=120, preexec=None):
    """Runs the tool and checks it; output is the expected MyMicOut (out.txt)
    bytes when given, and only the files named in changes may change."""
    before = folder.snapshot()
    result = run_tool(folder, arguments, env, timeout, preexec)
    after = folder.snapshot()
    expected_stdout = BANNER + message.encode()
    problems = []
    if result.returncode != status:
        problems.append("exit status %d, expected %d" % (result.returncode, status))
    if result.stdout != expected_stdout:
        problems.append("standard output %r, expected %r" % (result.stdout[:300], expected_stdout))
    if result.stderr:
        problems.append("standard error: %s" % result.stderr[:2000].decode(errors="replace"))
    for name in sorted(set(before) | set(after)):
        if name in changes:
            continue
        if name not in after:
            problems.append("%s was removed" % name)
        elif name not in before:
            problems.append("%s was created" % name)
        elif before[name] != after[name]:
            problems.append("%s was changed" % name)
    if output is not None:
        actual = folder.read("out.txt") if os.path.isfile(folder / "out.txt") else None
        if actual != output:
            problems.append("MyMicOut %r, expected %r" % (shorten(actual), shorten(output)))
    if problems:
        raise AssertionError("; ".join(problems) + "\n    arguments: %s" % " ".join(arguments))
    return result


def empty(folder):
    for entry in os.listdir(folder.path):
        os.unlink(folder / entry)


def shorten(data):
    if data is None or len(data) <= 200:
        return data
    return data[:120] + b"... (%d bytes) ..." % len(data) + data[-60:]


def converts(folder, mymicin, **kw):
    """MyMicIn converts with flat references; MyMicOut is the model's."""
    prepare(folder, mymicin=mymicin)
    check(folder, 0, "", output=flat_conversion(mymicin), changes=OUT, **kw)


ROLES = (("from.txt", "refmicfrom"), ("to.txt", "refmicto"), ("in.txt", "mymicin"))


def rejected_reference(folder, name, data):
    """A reference that holds fewer than two points: the run stops before
    MyMicOut is opened, so the earlier MyMicOut stays as it was."""
    prepare(folder, **{dict(ROLES)[name]: data})
    check(folder, FAILURE, "Error - invalid file %s\n" % name)


# ---------------------------------------------------------------------------
# Random bytes.


def random_bytes(seed, size, calibration_like):
    generator = random.Random(seed)
    if not calibration_like:
        return bytes(generator.getrandbits(8) for _ in range(size))
    fragments = [bytes([c]) for c in b'0129.-+eE \t\r\n"\x00x\xff'] + [b"20", b"\r\n", BOM]
    parts = []
    length = 0
    while length < size:
        part = generator.choice(fragments) if generator.random() < 0.97 else bytes([generator.getrandbits(8)])
        parts.append(part)
        length += len(part)
    return b"".join(parts)


def random_as_each_input(folder, calibration_like):
    for seed in range(3):
        data = random_bytes(seed, 64 * 1024, calibration_like)
        for name, role in ROLES:
            for entry in os.listdir(folder.path):
                os.unlink(folder / entry)
            if role == "mymicin":
                converts(folder, data)
            elif point_count(data) < 2:
                rejected_reference(folder, name, data)
            else:
                prepare(folder, mymicin=b'"header only\r\n', **{role: data})
                check(folder, 0, "", output=b'"header only\r\n', changes=OUT)


@case("random")
def random_bytes_as_each_input(folder):
    random_as_each_input(folder, calibration_like=False)


@case("random")
def random_calibration_fragments_as_each_input(folder):
    random_as_each_input(folder, calibration_like=True)


# ---------------------------------------------------------------------------
# NUL bytes: ordinary bytes, neither whitespace nor part of a number.


@case("nul")
def nul_inside_data_lines(folder):
    mymicin = b"20\x00 1\r\n30 1\x00 5\r\n\x0040 2\r\n50 2 \x003\r\n60\t-1 7\x00\r\n"
    converts(folder, mymicin)
    assert folder.read("out.txt") == data_line(30, 1) + data_line(50, 2) + data_line(60, -1, 7)


@case("nul")
def nul_inside_header_lines(folder):
    mymicin = b'"a\x00b\r\n"\x00\r\n\x00"not a header\r\n20 1\r\n"\x00'
    converts(folder, mymicin)
    assert folder.read("out.txt") == b'"a\x00b\r\n"\x00\r\n' + data_line(20, 1) + b'"\x00'


@case("nul")
def nul_inside_references(folder):
    refmicfrom = b"20\x00 5\r\n20 0\r\n\x00\r\n20000 0\x001\r\n"
    prepare(folder, refmicfrom=refmicfrom, mymicin=b"100 1\r\n")
    check(folder, 0, "", output=data_line(100, 1), changes=OUT)
    rejected_reference(folder, "to.txt", b"20\x000\r\n20000\x000\r\n")


@case("nul")
def nul_only_files(folder):
    converts(folder, b"\x00" * 5000)
    assert folder.read("out.txt") == b""
    rejected_reference(folder, "from.txt", b"\x00" * 5000)


# ---------------------------------------------------------------------------
# One line of 100 MiB: the tool's memory must not grow with it.

HUGE = 100 * MIB
MEMORY_BOUND_KIB = 64 * 1024


def write_huge(path, head, filler, tail):
    with open(path, "wb") as file:
        file.write(head)
        block = filler * MIB
        left = HUGE - len(head) - len(tail)
        while left > 0:
            file.write(block[: min(left, len(block))])
            left -= len(block)
        file.write(tail)


def check_memory(folder, what):
    """Peak resident memory of the tool, two ways: the kernel's count for the
    runner's children (an upper bound: a child starts with the runner's own
    pages) and, where the failing-disk library is at hand, the tool's own
    high-water mark."""
    children_kib = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    own = ""
    own_kib = None
    if os.path.exists(folder / "peak"):
        own = folder.read("peak").decode().split()
        own_kib = int(own[1]) if len(own) > 1 else None
        os.unlink(folder / "peak")
    print(
        "    %s: peak memory %.1f MiB (ru_maxrss of children, upper bound)%s"
        % (
            what,
            children_kib / 1024.0,
            "" if own_kib is None else ", %.1f MiB (VmHWM of the tool)" % (own_kib / 1024.0),
        )
    )
    if OPTIONS.sanitized or OPTIONS.emulator:
        print("    (memory bound not asserted under sanitizers or an emulator)")
        return
    assert children_kib < MEMORY_BOUND_KIB, "peak memory %d KiB" % children_kib
    assert own_kib is None or own_kib < MEMORY_BOUND_KIB, "peak memory %d KiB" % own_kib


def peak_environment(folder):
    if not OPTIONS.shim or OPTIONS.emulator:
        return {}
    return {"LD_PRELOAD": OPTIONS.shim, "TARVELIN_PEAK_FILE": folder / "peak", "ASAN_OPTIONS": asan_options()}


@case("long")
def one_100_mib_data_line_without_line_end(folder):
    prepare(folder, mymicin=None)
    write_huge(folder / "in.txt", b"20 1 ", b"7", b"")
    check(
        folder, 0, "", output=data_line(20, 1, float("inf")), changes=("out.txt", "peak"), env=peak_environment(folder)
    )
    check_memory(folder, "100 MiB data line")


@case("long")
def one_100_mib_header_line(folder):
    prepare(folder, mymicin=None, mymicout=None)
    write_huge(folder / "in.txt", b'"', b"h", b"\r\n")
    with open(folder / "in.txt", "ab") as file:
        file.write(b"20 1\r\n")
    check(folder, 0, "", changes=("out.txt", "peak"), env=peak_environment(folder))
    check_memory(folder, "100 MiB header line")
    size = os.path.getsize(folder / "out.txt")
    with open(folder / "out.txt", "rb") as file:
        head = file.read(16)
        file.seek(size - 32)
        tail = file.read()
    assert size == HUGE + len(data_line(20, 1)), "MyMicOut holds %d bytes" % size
    assert head == b'"' + b"h" * 15 and tail == b"h" * (32 - 22) + b"\r\n" + data_line(20, 1), "MyMicOut %r ... %r" % (
        head,
        tail,
    )
    os.unlink(folder / "in.txt")
    os.unlink(folder / "out.txt")


@case("long")
def one_100_mib_reference_line(folder):
    prepare(folder, refmicto=None)
    write_huge(folder / "to.txt", b"20 0 ", b"5", b"\r\n")
    check(folder, FAILURE, "Error - invalid file to.txt\n", changes=("peak",), env=peak_environment(folder))
    check_memory(folder, "100 MiB reference line")


# ---------------------------------------------------------------------------
# Numbers that no calibration program writes.

HUGE_NUMBERS = [
    # (what, MyMicIn, the data lines expected)
    ("100,000 digits, no room for a second value", b"1" + b"0" * 99999 + b" 1\r\n", b""),
    ("100,000 digits as the third value", b"20 1 " + b"1" * 100000 + b"\r\n", data_line(20, 1, float("inf"))),
    ("60,000 fraction digits", b"0." + b"0" * 59999 + b"1e60000 2\r\n", data_line(1, 2)),
    ("60,000 integer digits", b"1" + b"0" * 60000 + b"e-60000 3\r\n", data_line(1, 3)),
    ("60,000 digits below the float range", b"20 0." + b"0" * 60000 + b"1\r\n", data_line(20, 0)),
    ("exponent of 5,000 digits", b"1e" + b"0" * 4999 + b"1 2\r\n", data_line(10, 2)),
    ("exponent of 4,000 digits with a plus", b"2e+" + b"0" * 4000 + b"2 5\r\n", data_line(200, 5)),
    ("exponent of 3,000 nines", b"20 1e" + b"9" * 3000 + b"\r\n", data_line(20, float("inf"))),
    ("negative exponent of 3,000 nines", b"20 -1e-" + b"9" * 3000 + b"\r\n", data_line(20, 0)),
    (
        "negative zeros: the response gains the zero change",
        b"20 -0 -0e" + b"9" * 3000 + b"\r\n",
        b"20.000000 0.000000 -0.000000\r\n",
    ),
    ("frequency below the float range", b"1e-" + b"9" * 3000 + b" 2\r\n", b""),
    (
        "zero with an exponent of 3,000 nines",
        b"0e" + b"9" * 3000 + b" 1\r\n20 0e" + b"9" * 3000 + b"\r\n",
        data_line(20, 0),
    ),
    ("3,000 leading zeros and a large exponent", b"0." + b"0" * 3000 + b"5e3001 1\r\n", data_line(5, 1)),
    (
        "exponent beyond every integer type",
        b"1e99999999999999999999999999 1\r\n-1e-99999999999999999999999 1\r\n",
        b"inf nan\r\n",
    ),
]


@case("numbers")
def huge_numbers_in_mymicin(folder):
    failures = []
    for what, mymicin, expected in HUGE_NUMBERS:
        for entry in os.listdir(folder.path):
            os.unlink(folder / entry)
        try:
            converts(folder, mymicin)
            assert folder.read("out.txt") == expected, "MyMicOut %r, expected %r" % (
                shorten(folder.read("out.txt")),
                expected,
            )
        except AssertionError as error:
            failures.append("%s: %s" % (what, error))
    assert not failures, "\n    ".join(failures)


@case("numbers")
def huge_numbers_in_references(folder):
    refmicfrom = b"1e" + b"0" * 5000 + b"2 0\r\n2e" + b"0" * 3000 + b"4 0\r\n"
    prepare(folder, refmicfrom=refmicfrom, mymicin=b"100 1\r\n")
    check(folder, 0, "", output=data_line(100, 1), changes=OUT)
    rejected_reference(folder, "to.txt", b"1" * 100000 + b" 1\r\n2 " + b"9" * 100000 + b"\r\n")


# ---------------------------------------------------------------------------
# Files cut short, and a byte 0x1A first.

CUT_FILES = [
    # (what, MyMicIn, expected MyMicOut)
    ("cut between CR and LF after a data line", b'"h\r\n20 1\r', b'"h\r\n' + data_line(20, 1)),
    ("cut between CR and LF after a header", b'20 1\r\n"tail\r', data_line(20, 1) + b'"tail\r'),
    ("only a CR", b"\r", b""),
    ("cut after one byte of the byte-order mark", b"\xef", b""),
    ("cut after two bytes of the byte-order mark", b"\xef\xbb", b""),
    ("two bytes of the byte-order mark before a data line", b"\xef\xbb20 1\r\n", b""),
    ("two bytes of the byte-order mark on a line of their own", b"\xef\xbb\r\n20 1\r\n", data_line(20, 1)),
    ("only the byte-order mark", BOM, BOM),
    ("byte-order mark and a header cut in its line end", BOM + b'"h\r', BOM + b'"h\r'),
    ("0x1A first", b"\x1a20 1\r\n", b""),
    ("0x1A after the byte-order mark", BOM + b"\x1a20 1\r\n", BOM),
    ("0x1A between CR and LF", b"20 1\r\x1a\n30 1\r\n", data_line(20, 1)),
]


@case("cut")
def cut_and_ended_mymicin(folder):
    failures = []
    for what, mymicin, expected in CUT_FILES:
        for entry in os.listdir(folder.path):
            os.unlink(folder / entry)
        try:
            converts(folder, mymicin)
            assert folder.read("out.txt") == expected, "MyMicOut %r, expected %r" % (folder.read("out.txt"), expected)
        except AssertionError as error:
            failures.append("%s: %s" % (what, error))
    assert not failures, "\n    ".join(failures)


@case("cut")
def cut_references(folder):
    prepare(folder, refmicfrom=b"20 0\r\n20000 0\r", mymicin=b"100 1\r\n")
    check(folder, 0, "", output=data_line(100, 1), changes=OUT)
    for data in (b"\xef", b"\xef\xbb", b"\x1a20 0\r\n20000 0\r\n", b"20 0\r\n\x1a20000 0\r\n", BOM + b"\x1a"):
        rejected_reference(folder, "from.txt", data)
        rejected_reference(folder, "to.txt", data)


# ---------------------------------------------------------------------------
# Empty files and files of blank lines.

EMPTY_FILES = [b"", b"\r\n\n \t\r\n\n\r\n", b"\x0b\x0c\r\r\r\n", BOM]


@case("empty")
def empty_and_blank_as_each_input(folder):
    for data in EMPTY_FILES:
        for name, role in ROLES:
            for entry in os.listdir(folder.path):
                os.unlink(folder / entry)
            if role == "mymicin":
                converts(folder, data)
            else:
                rejected_reference(folder, name, data)


# ---------------------------------------------------------------------------
# Paths that name no calibration file.


@case("paths")
def directory_as_each_input(folder):
    os.mkdir(folder / "folder")
    for position, (name, _) in enumerate(ROLES):
        prepare(folder)
        arguments = list(ARGUMENTS)
        arguments[position] = "folder"
        check(folder, FAILURE, "Error - could not open folder\n", arguments)


@case("paths")
def missing_file_as_each_input(folder):
    for position, (name, _) in enumerate(ROLES):
        prepare(folder)
        arguments = list(ARGUMENTS)
        arguments[position] = "missing.txt"
        check(folder, FAILURE, "Error - could not open missing.txt\n", arguments)
    # RefMicFrom fails first; RefMicTo is never looked at.
    check(folder, FAILURE, "Error - could not open missing.txt\n", ["missing.txt", "missing2.txt", "in.txt", "out.txt"])


@case("paths")
def directory_as_mymicout(folder):
    os.mkdir(folder / "folder")
    prepare(folder)
    check(folder, FAILURE, "Error - could not open folder for writing\n", ARGUMENTS[:3] + ["folder"])


# ---------------------------------------------------------------------------
# Where MyMicOut cannot go.


@case("output")
def mymicout_in_a_missing_folder(folder):
    prepare(folder)
    path = os.path.join("no such folder", "out.txt")
    check(folder, FAILURE, "Error - could not open %s for writing\n" % path, ARGUMENTS[:3] + [path])


@case("output", posix=True)
def mymicout_on_a_full_disk(folder):
    prepare(folder)
    check(folder, FAILURE, "Error - could not write /dev/full\n", ARGUMENTS[:3] + ["/dev/full"])
    # Large enough that the full disk shows while lines are still converted.
    prepare(folder, mymicin=b"".join(b"%d 1 2\r\n" % (20 + i) for i in range(30000)))
    check(folder, FAILURE, "Error - could not write /dev/full\n", ARGUMENTS[:3] + ["/dev/full"])


@case("output", posix=True)
def mymicout_beyond_the_file_size_limit(folder):
    # The limit must give the write's message, not end the tool by SIGXFSZ,
    # and leave the earlier MyMicOut, or none, as it was.
    limit = 64 * 1024

    def limited():
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

    for mymicout in (PREVIOUS_OUTPUT, None):
        empty(folder)
        prepare(folder, mymicin=BIG_MYMICIN, mymicout=mymicout)
        check(folder, FAILURE, "Error - could not write out.txt\n", preexec=limited)


@case("output")
def mymicout_naming_an_input(folder):
    prepare(folder)
    for name, _ in ROLES:
        for spelling in (name, "./" + name):
            check(folder, FAILURE, "Error - will not overwrite input file %s\n" % spelling, ARGUMENTS[:3] + [spelling])


@case("output", posix=True)
def mymicout_linked_to_an_input(folder):
    prepare(folder, mymicout=None)
    for name, _ in ROLES:
        os.symlink(name, folder / "symbolic.txt")
        os.link(folder / name, folder / "hard.txt")
        os.symlink(os.path.abspath(folder / "symbolic.txt"), folder / "chain.txt")
        for link in ("symbolic.txt", "hard.txt", "chain.txt"):
            check(folder, FAILURE, "Error - will not overwrite input file %s\n" % link, ARGUMENTS[:3] + [link])
        for link in ("symbolic.txt", "hard.txt", "chain.txt"):
            os.unlink(folder / link)


@case("output", posix=True)
def devices_are_no_conflict(folder):
    prepare(folder)
    check(folder, 0, "", ["from.txt", "to.txt", "/dev/null", "/dev/null"])


# ---------------------------------------------------------------------------
# A MyMicIn that arrives slowly through a FIFO.


def feed_fifo(path, chunks, pause, written):
    with open(path, "wb", buffering=0) as fifo:
        for chunk in chunks:
            fifo.write(chunk)
            written.append(len(chunk))
            time.sleep(pause)


def temporary_size(folder):
    """The size of the temporary file that will take out.txt's place, -1
    while there is none."""
    for name in os.listdir(folder.path):
        if name.startswith("out.txt.tarvelin-") and name.endswith(".tmp"):
            try:
                return os.path.getsize(folder / name)
            except OSError:
                pass
    return -1


def wait_for_size(folder, size, deadline):
    while time.monotonic() < deadline:
        if temporary_size(folder) >= size:
            break
        time.sleep(0.01)
    return temporary_size(folder)


@case("fifo", posix=True)
def mymicin_fed_slowly_streams_through(folder):
    prepare(folder, mymicin=None, mymicout=None)
    os.mkfifo(folder / "in.txt")
    lines = [b'"slowly fed\r\n'] + [b"%d %d 7\r\n" % (100 * (i + 1), i) for i in range(6)]
    expected = [flat_conversion(line) for line in lines]
    OPTIONS.runs += 1
    process = subprocess.Popen(
        OPTIONS.emulator + [OPTIONS.tarvelin] + ARGUMENTS,
        cwd=folder.path,
        stdin=subprocess.DEVNULL,
        stdout=subprocess.PIPE,
        stderr=subprocess.PIPE,
    )
    try:
        with open(folder / "in.txt", "wb", buffering=0) as fifo:
            for count, line in enumerate(lines, 1):
                fifo.write(line)
                # Each line must reach MyMicOut while the writer still holds
                # the FIFO open and waits.
                want = len(b"".join(expected[:count]))
                got = wait_for_size(folder, want, time.monotonic() + 10)
                assert got == want, "after %d lines written MyMicOut holds %d bytes, expected %d" % (count, got, want)
        stdout, stderr = process.communicate(timeout=30)
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
    assert process.returncode == 0 and stdout == BANNER and not stderr, (process.returncode, stdout, stderr)
    assert folder.read("out.txt") == b"".join(expected)
    assert sorted(os.listdir(folder.path)) == ["from.txt", "in.txt", "out.txt", "to.txt"], os.listdir(folder.path)


INTERRUPTS = (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)


def default_interrupts():
    # As from an interactive shell, whatever the test runner ignores.
    for number in INTERRUPTS:
        signal.signal(number, signal.SIG_DFL)


@case("fifo", posix=True)
def mymicin_fed_slowly_interrupted(folder):
    # The temporary file goes, the earlier MyMicOut stays, and the tool ends
    # by the signal.
    lines = [b'"slowly fed\r\n', b"100 1 7\r\n"]
    want = len(b"".join(flat_conversion(line) for line in lines))
    for number in INTERRUPTS:
        empty(folder)
        prepare(folder, mymicin=None)
        os.mkfifo(folder / "in.txt")
        before = folder.snapshot()
        OPTIONS.runs += 1
        process = subprocess.Popen(
            OPTIONS.emulator + [OPTIONS.tarvelin] + ARGUMENTS,
            cwd=folder.path,
            stdin=subprocess.DEVNULL,
            stdout=subprocess.PIPE,
            stderr=subprocess.PIPE,
            preexec_fn=default_interrupts,
        )
        try:
            with open(folder / "in.txt", "wb", buffering=0) as fifo:
                fifo.write(b"".join(lines))
                got = wait_for_size(folder, want, time.monotonic() + 10)
                assert got == want, "%s: the temporary file holds %d bytes, expected %d" % (number.name, got, want)
                process.send_signal(number)
                process.wait(timeout=10)
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
        assert process.returncode == -number, "%s: exit status %d" % (number.name, process.returncode)
        assert folder.snapshot() == before, "%s: left %r" % (number.name, sorted(os.listdir(folder.path)))


@case("fifo", posix=True)
def references_from_fifos(folder):
    prepare(folder, refmicfrom=None, refmicto=None)
    os.mkfifo(folder / "from.txt")
    os.mkfifo(folder / "to.txt")
    feeders = [
        threading.Thread(
            target=feed_fifo, args=(folder / name, [FLAT[:5], FLAT[5:17], FLAT[17:]], 0.05, []), daemon=True
        )
        for name in ("from.txt", "to.txt")
    ]
    for feeder in feeders:
        feeder.start()
    try:
        check(folder, 0, "", output=flat_conversion(b'"header\r\n100 1 2\r\n'), changes=OUT, timeout=30)
    finally:
        for feeder in feeders:
            feeder.join(timeout=30)


@case("fifo", posix=True)
def empty_fifo_as_mymicin(folder):
    prepare(folder, mymicin=None)
    os.mkfifo(folder / "in.txt")
    feeder = threading.Thread(target=feed_fifo, args=(folder / "in.txt", [], 0, []), daemon=True)
    feeder.start()
    try:
        check(folder, 0, "", output=b"", changes=OUT, timeout=30)
    finally:
        feeder.join(timeout=30)


# ---------------------------------------------------------------------------
# A disk that fails mid-run, staged by the preloaded library.


def asan_options():
    # The library comes before the sanitizer runtime in the load order.
    options = os.environ.get("ASAN_OPTIONS", "")
    return (options + ":" if options else "") + "verify_asan_link_order=0"


def failing(path, operation, after=0):
    if not OPTIONS.shim:
        raise Skip("no failing-disk library")
    return {
        "LD_PRELOAD": OPTIONS.shim,
        "TARVELIN_FAIL_PATH": path,
        "TARVELIN_FAIL_OP": operation,
        "TARVELIN_FAIL_AFTER": str(after),
        "ASAN_OPTIONS": asan_options(),
    }


# The temporary file that takes out.txt's place, whatever its random name.
TEMPORARY = "out.txt.tarvelin-*"
BIG_REFERENCE = b"".join(b"%d 0\r\n" % (20 + i) for i in range(30000))
BIG_MYMICIN = b'"big\r\n' + b"".join(b"%d 1 2\r\n" % (20 + i) for i in range(30000))


@case("failing", posix=True, shim=True)
def nothing_fails_with_the_library_loaded(folder):
    prepare(folder, mymicin=BIG_MYMICIN)
    check(folder, 0, "", output=flat_conversion(BIG_MYMICIN), changes=OUT, env=failing("none", "read"))


@case("failing", posix=True, shim=True)
def read_error_in_mymicin(folder):
    # The earlier MyMicOut stays as it was, and where there was none, none
    # appears.
    for mymicout in (PREVIOUS_OUTPUT, None):
        for after in (0, 1, 100000):
            empty(folder)
            prepare(folder, mymicin=BIG_MYMICIN, mymicout=mymicout)
            check(folder, FAILURE, "Error - could not read in.txt\n", env=failing("in.txt", "read", after))


@case("failing", posix=True, shim=True)
def read_error_in_references(folder):
    for name, role in ROLES[:2]:
        for after in (0, 50000):
            prepare(folder, **{role: BIG_REFERENCE})
            # The earlier MyMicOut stays: nothing is written before both
            # references have loaded.
            check(folder, FAILURE, "Error - could not read %s\n" % name, env=failing(name, "read", after))


@case("failing", posix=True, shim=True)
def write_error_in_mymicout(folder):
    for mymicout in (PREVIOUS_OUTPUT, None):
        for mymicin, after in ((b'"small\r\n20 1\r\n', 0), (BIG_MYMICIN, 0), (BIG_MYMICIN, 70000), (BIG_MYMICIN, 300000)):
            empty(folder)
            prepare(folder, mymicin=mymicin, mymicout=mymicout)
            check(folder, FAILURE, "Error - could not write out.txt\n", env=failing(TEMPORARY, "write", after))


@case("failing", posix=True, shim=True)
def close_errors(folder):
    prepare(folder)
    check(folder, FAILURE, "Error - could not write out.txt\n", env=failing(TEMPORARY, "close"))
    # The temporary file closed, but could not take MyMicOut's place.
    check(folder, FAILURE, "Error - could not write out.txt\n", env=failing(TEMPORARY, "rename"))
    check(folder, FAILURE, "Error - could not read in.txt\n", env=failing("in.txt", "close"))
    check(folder, FAILURE, "Error - could not read from.txt\n", env=failing("from.txt", "close"))


# ---------------------------------------------------------------------------


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tarvelin", required=True)
    parser.add_argument("--emulator", default="", help="command prefix, ';'-separated as CMake writes it")
    parser.add_argument("--shim", default="")
    parser.add_argument("--sanitized", action="store_true")
    parser.add_argument("--group", default="")
    arguments = parser.parse_args()
    OPTIONS.tarvelin = os.path.abspath(arguments.tarvelin)
    OPTIONS.emulator = [part for part in arguments.emulator.split(";") if part]
    OPTIONS.shim = os.path.abspath(arguments.shim) if arguments.shim else ""
    OPTIONS.sanitized = arguments.sanitized

    passed = failed = skipped = 0
    for group, name, posix, shim, function in CASES:
        if arguments.group and group != arguments.group:
            continue
        with tempfile.TemporaryDirectory(prefix="badinput-") as directory:
            try:
                if posix and OPTIONS.emulator:
                    raise Skip("needs POSIX features, not under an emulator")
                if shim and not OPTIONS.shim:
                    raise Skip("no failing-disk library")
                function(Folder(directory))
            except Skip as reason:
                skipped += 1
                print("SKIP %s.%s: %s" % (group, name, reason))
                continue
            except (AssertionError, subprocess.TimeoutExpired) as error:
                failed += 1
                print("FAIL %s.%s\n    %s" % (group, name, error))
                continue
        passed += 1
        print("PASS %s.%s" % (group, name))
    print("%d runs of the tool" % OPTIONS.runs)
    print("%d passed, %d failed, %d skipped" % (passed, failed, skipped))
    if failed:
        return 1
    return 77 if skipped and not passed else 0


if __name__ == "__main__":
    sys.exit(main())
