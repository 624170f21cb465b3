"""Random calibration files with odd numbers and odd bytes, for running two
implementations of the conversion side by side.

write_corpus(folder) writes one sub-folder per case, each holding the input
files, an optional MyMicOut that exists before the run, and case.json with
the arguments to pass (relative to the case folder, which is the working
directory of the run). The same seed always gives the same bytes.
"""

import json
import math
import os
import random
import struct
from dataclasses import dataclass, field

DefaultSeed = 20240611
DefaultCount = 300

ReadLimit = 64 * 1024
FloatMax = struct.unpack("<f", struct.pack("<I", 0x7F7FFFFF))[0]

ExistingOutput = b'"An earlier conversion, which a failed run must leave alone\r\n1000 0\r\n'


@dataclass
class Case:
    name: str
    directory: str
    arguments: list
    files: dict = field(default_factory=dict)  # relative path -> bytes
    folders: list = field(default_factory=list)


# --- Numbers ---------------------------------------------------------------------


def float32(value):
    try:
        return struct.unpack("<f", struct.pack("<f", value))[0]
    except OverflowError:
        return math.copysign(math.inf, value)


def exact_decimal(value):
    """The exact decimal expansion of a finite double: every digit."""
    numerator, denominator = value.as_integer_ratio()
    negative = numerator < 0
    numerator = abs(numerator)
    shift = denominator.bit_length() - 1
    digits = str(numerator * 5**shift).rjust(shift + 1, "0")
    text = digits if shift == 0 else digits[:-shift] + "." + digits[-shift:]
    return ("-" if negative else "") + text


def float32_midpoint_text(rng):
    """A decimal exactly halfway between two neighbouring floats, or a hair
    beside it: where a conversion that rounds twice goes wrong."""
    bits = rng.choice([rng.getrandbits(31), rng.randrange(0, 64), rng.randrange(0x7F7FFF00, 0x7F800000)])
    low = struct.unpack("<f", struct.pack("<I", bits))[0]
    if bits >= 0x7F7FFFFF:
        middle = 2.0**128 - 2.0**103  # between the largest float and the first beyond
    else:
        # Exact in double: the two floats are neighbours.
        middle = (low + struct.unpack("<f", struct.pack("<I", bits + 1))[0]) / 2
    text = exact_decimal(middle)
    point = "" if "." in text else "."
    nudge = rng.random()
    if nudge < 0.2:
        text += point + "0000000000000000000000000001"
    elif nudge < 0.4 and text[-1] != "0":
        text = text[:-1] + str(int(text[-1]) - 1) + point + "9999999999999999999"
    return ("-" if rng.random() < 0.3 else "") + text


def plain_number_text(rng, value):
    """value written the way some program or person might."""
    style = rng.random()
    if not math.isfinite(value):
        return rng.choice(["1e39", "3.5e38", "99999999999999999999999999999999999999999"]) if value > 0 else "-1e39"
    if style < 0.35:
        text = "%.*f" % (rng.randrange(0, 7), value)
    elif style < 0.5:
        text = "%.*e" % (rng.randrange(0, 9), value)
    elif style < 0.55:
        text = ("%.*E" % (rng.randrange(0, 9), value)).replace("E+0", "E+").replace("E-0", "E-")
    elif style < 0.7:
        text = "%.9g" % value
    elif style < 0.75:
        text = "%.17g" % value
    elif style < 0.8:
        text = repr(value)
    elif style < 0.85:
        text = "%.40f" % value
    else:
        text = "%g" % value
    if rng.random() < 0.05 and not text.startswith("-"):
        text = "+" + text
    if rng.random() < 0.05 and text.startswith(("0.", "-0.")):
        text = text.replace("0.", ".", 1)
    if rng.random() < 0.05 and "." not in text and "e" not in text.lower():
        text += "."
    return text


def odd_number_text(rng):
    kind = rng.randrange(14)
    if kind == 0:
        return float32_midpoint_text(rng)
    if kind == 1:
        return rng.choice(["1e39", "-1e39", "3.4028235e38", "3.4028236e38", "-3.40282357e38", "1e38", "340282346638528859811704183484516925440", "1" + "0" * 45])
    if kind == 2:
        return rng.choice(["1e-46", "-1e-46", "1.4e-45", "7e-46", "7.1e-46", "1e-40", "-1.17549435e-38", "1e-50", "1e-38", "0." + "0" * 44 + "1"])
    if kind == 3:
        return rng.choice(["-0", "+0", "-0.0", "0.", ".0", "-.0e5", "0e99999", "000000.000"])
    if kind == 4:
        digits = "".join(rng.choice("0123456789") for _ in range(rng.randrange(20, 80)))
        point = rng.randrange(0, len(digits) + 1)
        return digits[:point] + "." + digits[point:]
    if kind == 5:
        return "%d%s%s%d" % (rng.randrange(1, 999), rng.choice("eE"), rng.choice(["", "+", "-"]), rng.randrange(0, 50))
    if kind == 6:
        return rng.choice(["1e", "2E", "3e+", "4e-", "5.e", ".5e-", "1.e5", "7e0000000000000000000000000000001", "1e-99999999999999999999999", "1e99999999999999999999999"])
    if kind == 7:
        return rng.choice(["1.2.3", "20-1.5", "1+2", "1e2e3", "1..2", "5-", "2.5.", "1e+-2"])
    if kind == 8:
        return rng.choice(["inf", "-inf", "nan", "NaN", "Infinity", "0x1A", "0x10", "0X1p3", "abc", "dB", ",", "."])
    if kind == 9:
        return rng.choice([".", "-", "+", "+-1", "-.", "e5", ".e5", "--5"])
    if kind == 10:
        return "1" + "0" * rng.randrange(30, 60) + rng.choice(["", ".5", "e-20", "e-40"])
    if kind == 11:
        return "0." + "0" * rng.randrange(30, 50) + "%d" % rng.randrange(1, 10**6)
    if kind == 12:
        return str(rng.randrange(-(10**9), 10**9))
    return plain_number_text(rng, rng.uniform(-1e4, 1e4))


def number_text(rng, value, oddness):
    if rng.random() < oddness:
        return odd_number_text(rng)
    return plain_number_text(rng, value)


# --- Lines ------------------------------------------------------------------------

Separators = [" ", " ", " ", "\t", "  ", "", "\v", "\f", "\r", " \t "]


def header_line(rng):
    pieces = ['"', rng.choice(["Sens Factor =-1.23dB, SERNO: 2071234", "Sens Factor =%.2fdB" % rng.uniform(-5, 5), "100%", "%s%n%d%%", "", "\"", "Freq\tdB\tDeg", "AGain =0dB"])]
    if rng.random() < 0.2:
        pieces.append(rng.choice(["\x00", "\xe9t\xe9", "\t%f %f", " \r ", "\x7f\xff"]))
    if rng.random() < 0.1:
        pieces.append('"')
    return "".join(pieces).encode("latin-1")


def odd_line(rng):
    return rng.choice([
        b"", b"   ", b"\t\v\f ", b"\r", b"Frequency Response Phase", b'  "not a header', b'\t"1000 2',
        b"nan 1", b"inf 1", b"Infinity 2", b"0 -3.2", b"-0 1", b"0.0e5 2", b"1e-50 1", b"1e39 1",
        b"-1e39 2", b"20,1.5", b"20-1.5", b"1.2.3", b"1e 2", b"1e+ 2", b"1E-x 3", b"0x1A 5", b"0x10 5",
        b"100", b"+.5 .5 5.", b". 5", b"- 5", b"+-1 2", b"100\x002 3", b"100 2\x00 3", b"100\xa02",
        b"100 2 \xe2\x80\x89 3", b"1e00000000000000000000000000002 3", b"1e-99999999999999999999 1",
        b"1" + b"0" * 300 + b" 2", b"100\r2 3", b"100 2 3 4 5", b"1000 2 dB", b"1000dB 2",
        b"\x1a", b"\xef\xbb\xbf1000 2", b"-1000 -2 -0",
    ])


def data_line(rng, values, oddness):
    texts = [number_text(rng, value, oddness) for value in values]
    line = ""
    if rng.random() < 0.1:
        line += rng.choice([" ", "\t", "  ", "\v"])
    for index, text in enumerate(texts):
        if index:
            separator = rng.choice(Separators)
            # Two numbers run together only where the second's sign parts them.
            if separator == "" and not text.startswith(("-", "+")):
                separator = " "
            line += separator
        line += text
    if rng.random() < 0.08:
        line += rng.choice([" dB", "\t", " ", ",", " 1 2 3", "\r", " \x00"])
    return line.encode("latin-1")


def log_spaced(rng, count, low, high):
    points = sorted(10 ** rng.uniform(math.log10(low), math.log10(high)) for _ in range(count))
    if rng.random() < 0.7:
        ratio = (high / low) ** (1.0 / max(count - 1, 1))
        points = [low * ratio**k for k in range(count)]
    return [float32(point) for point in points]


def frequency_grid(rng, count, low, high):
    grid = log_spaced(rng, count, low, high)
    shape = rng.random()
    if shape < 0.12:
        grid.reverse()
    elif shape < 0.2:
        rng.shuffle(grid)
    elif shape < 0.35 and count > 2:
        for _ in range(rng.randrange(1, 4)):
            index = rng.randrange(0, len(grid))
            grid.insert(index, grid[index])
    elif shape < 0.42:
        grid = [-frequency for frequency in reversed(grid)] + grid
    elif shape < 0.47:
        grid.append(math.inf)
    elif shape < 0.5:
        grid.insert(0, -math.inf)
    elif shape < 0.53:
        grid = [float32(rng.choice([-1, 1]) * FloatMax * rng.random()) for _ in grid]
    return grid


def response_at(rng, frequency, offset):
    if not math.isfinite(frequency) or frequency <= 0:
        return rng.uniform(-3, 3)
    octaves = math.log2(frequency / 1000.0)
    low_roll = -12.0 / (1.0 + (frequency / 20.0) ** 2)
    presence = 2.5 * math.exp(-(((octaves - 3.3) / 0.7) ** 2))
    high_fall = -6.0 / (1.0 + (18000.0 / frequency) ** 4)
    return low_roll + presence + high_fall + offset + rng.uniform(-0.2, 0.2)


# --- Files -------------------------------------------------------------------------


def assemble_file(rng, lines):
    """Joins lines with this file's line ends, and sometimes adds what text
    mode gives a meaning of its own: a byte-order mark, a byte 0x1A, a lone CR,
    classic Mac OS line ends."""
    style = rng.random()
    if style < 0.4:
        ends = [b"\n"]
    elif style < 0.7:
        ends = [b"\r\n"]
    elif style < 0.8:
        ends = [b"\r"]
    else:
        ends = [b"\n", b"\r\n", b"\r\n", b"\r\r\n", b"\r"]
    data = bytearray()
    for index, line in enumerate(lines):
        data += line
        if index + 1 < len(lines) or rng.random() < 0.8:
            data += rng.choice(ends)
    extra = rng.random()
    if extra < 0.1:
        data[0:0] = b"\xef\xbb\xbf"
    elif extra < 0.12:
        data[0:0] = rng.choice([b"\xef\xbb", b"\xef\xbb\x1a\xbf", b"\xef\xbb\xbf\xef\xbb\xbf", b"\x1a"])
    elif extra < 0.18 and data:
        cut = rng.randrange(0, len(data))
        data[cut:cut] = b"\x1a"
    elif extra < 0.21:
        data += b"\x1a" + b"1000 999 999\r\n"
    elif extra < 0.24 and data.endswith(b"\n"):
        data = data[:-1]  # cut in the middle of a CR LF pair, or of an LF line end
    return bytes(data)


def reference_file(rng, count, low, high, offset, oddness):
    lines = []
    if rng.random() < 0.8:
        lines.append(header_line(rng))
    if rng.random() < 0.3:
        lines.append(header_line(rng))
    for frequency in frequency_grid(rng, count, low, high):
        values = [frequency, response_at(rng, frequency, offset)]
        if rng.random() < 0.2:
            values.append(rng.uniform(-180, 180))
        lines.append(data_line(rng, values, oddness))
        if rng.random() < oddness:
            lines.insert(rng.randrange(0, len(lines) + 1), odd_line(rng))
    return assemble_file(rng, lines)


def user_file(rng, count, low, high, oddness):
    lines = []
    for _ in range(rng.randrange(0, 3)):
        lines.append(header_line(rng))
    frequencies = log_spaced(rng, count, low, high) if count else []
    order = rng.random()
    if order < 0.15:
        rng.shuffle(frequencies)
    elif order < 0.25:
        frequencies.reverse()
    for frequency in frequencies:
        values = [frequency, response_at(rng, frequency, 0.0)]
        if rng.random() < 0.7:
            values.append(rng.uniform(-180, 180))
        if rng.random() < 0.05:
            values.append(rng.uniform(-1, 1))
        lines.append(data_line(rng, values, oddness))
        if rng.random() < oddness:
            lines.append(odd_line(rng))
        if rng.random() < 0.03:
            lines.append(header_line(rng))
    return assemble_file(rng, lines)


def reference_size(rng):
    return rng.choice([2, 2, 3, 4, 5, 8, 12, 20, 40, 64, 100, 250, rng.randrange(2, 600)])


def random_case(rng):
    """One run: three input files and the arguments, sometimes a failure."""
    oddness = rng.choice([0.0, 0.02, 0.1, 0.3, 0.6])
    low, high = rng.choice([(20.0, 20000.0), (10.0, 24000.0), (5.0, 40000.0), (100.0, 200.0), (0.5, 5.0)])
    files = {
        "RefMicFrom.txt": reference_file(rng, reference_size(rng), low, high, 0.0, oddness),
        "RefMicTo.txt": reference_file(rng, reference_size(rng), low * 1.05, high * 0.95, rng.uniform(-0.3, 0.3), oddness),
        "MyMicIn.txt": user_file(rng, rng.choice([0, 1, 5, 20, 60, 150]), low * 0.8, high * 1.2, oddness),
    }
    arguments = ["RefMicFrom.txt", "RefMicTo.txt", "MyMicIn.txt", "MyMicOut.txt"]
    folders = []
    failure = rng.random()
    if failure < 0.03:
        arguments = arguments[: rng.choice([0, 1, 2, 3])] + (["Extra.txt"] if rng.random() < 0.5 else [])
        if len(arguments) == 4:
            arguments.append("Fifth.txt")
    elif failure < 0.06:
        arguments[rng.randrange(0, 3)] = "Missing.txt"
    elif failure < 0.08:
        folders.append("Folder")
        arguments[rng.randrange(0, 3)] = "Folder"
    elif failure < 0.11:
        arguments[3] = rng.choice(["MyMicIn.txt", "./MyMicIn.txt", "RefMicFrom.txt", "./RefMicTo.txt"])
    elif failure < 0.13:
        arguments[3] = "NoSuchFolder/MyMicOut.txt"
    elif failure < 0.16:
        name = rng.choice(["RefMicFrom.txt", "RefMicTo.txt"])
        files[name] = rng.choice([b"", b'"Only a header\r\n', b"1000 1\r\n", b"0 1\n1000 2\n", b"\x1a1000 1\n2000 2\n", b"   \n\n"])
    elif failure < 0.18:
        arguments = ["Same.txt", "Same.txt", "MyMicIn.txt", "MyMicOut.txt"]
        files["Same.txt"] = files["RefMicFrom.txt"]
    if rng.random() < 0.25:
        files["MyMicOut.txt"] = ExistingOutput
    return files, arguments, folders


def long_line_cases():
    """Lines around and beyond the scan limit of a line that is no header line,
    and header lines far longer than it, which are copied whole."""
    reference = b'"Long lines\r\n20 -1\r\n200 0\r\n2000 0.5\r\n20000 -2\r\n'
    padded = lambda text, length: b" " * (length - len(text)) + text
    cases = []
    for length in (ReadLimit - 1, ReadLimit, ReadLimit + 1, ReadLimit + 2, ReadLimit + 3):
        for end in (b"\n", b"\r\n", b"\r\r\n", b"\r"):
            user = b"100 1 2" + (end if end == b"\r" else b"\r\n")
            user += padded(b"1000 2.5", length) + end + b"3000 -1 45" + end
            user += b"7 " + b"1" * (length - 2) + b"23 4" + end + b"5000 1" + end
            cases.append({"RefMicFrom.txt": reference, "RefMicTo.txt": reference.replace(b"0.5", b"1.75"), "MyMicIn.txt": user})
    header = b'"' + b"%s Header " * 20000
    cases.append({"RefMicFrom.txt": reference, "RefMicTo.txt": reference, "MyMicIn.txt": header + b"\r\n1000 1\n" + header + b"\n" + header})
    long_reference = b"20 -1\n" + b"200 " + b"0" * 200000 + b"5 7\n" + padded(b"2000 3", ReadLimit + 1) + b"\n20000 1\n"
    cases.append({"RefMicFrom.txt": reference, "RefMicTo.txt": long_reference, "MyMicIn.txt": b"100 0\n1000 0\n10000 0 1\n"})
    # Runs of CRs longer than any read that still leave both kinds of line
    # ends open: text after them makes each CR a line end, an LF makes them text.
    crs = b"\r" * (3 * ReadLimit)
    cases.append({"RefMicFrom.txt": reference, "RefMicTo.txt": reference, "MyMicIn.txt": b"100 1" + crs + b"1000 2\r"})
    cases.append({"RefMicFrom.txt": reference, "RefMicTo.txt": reference, "MyMicIn.txt": b'"Head' + crs + b"\n1000 2\n"})
    return cases


def write_case(case):
    os.makedirs(case.directory, exist_ok=True)
    for folder in case.folders:
        os.makedirs(os.path.join(case.directory, folder), exist_ok=True)
    for name, data in case.files.items():
        with open(os.path.join(case.directory, name), "wb") as handle:
            handle.write(data)
    with open(os.path.join(case.directory, "case.json"), "w") as handle:
        json.dump({"arguments": case.arguments}, handle)


def write_corpus(folder, seed=DefaultSeed, count=DefaultCount):
    """Writes count random cases and the long-line cases into folder, one
    sub-folder each, and returns them as Case values."""
    rng = random.Random(seed)
    cases = []
    for index in range(count):
        files, arguments, folders = random_case(rng)
        name = "case%03d" % index
        cases.append(Case(name, os.path.join(folder, name), arguments, files, folders))
    standard = ["RefMicFrom.txt", "RefMicTo.txt", "MyMicIn.txt", "MyMicOut.txt"]
    for index, files in enumerate(long_line_cases()):
        name = "long%02d" % index
        cases.append(Case(name, os.path.join(folder, name), list(standard), files))
    for case in cases:
        write_case(case)
    return cases
