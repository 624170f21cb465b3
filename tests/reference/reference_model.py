#!/usr/bin/env python3
"""An independent model of Tarvelin, written from the rules of the conversion
rather than from the C++ code, so that the two can be run side by side on the
same files and any difference points at a fault in one of them.

Every rounding is done exactly: decimal text becomes the nearest 32-bit float
through integer arithmetic (never through a Python double, which would round
twice), and each double result is rounded to 32 bits where the tool rounds it.
Python floats are IEEE doubles, so the double steps in between are the tool's.

Usage, like the tool's: reference_model.py RefMicFrom RefMicTo MyMicIn MyMicOut
"""

import math
import os
import struct
import sys

Banner = b"\nTarvelin\n\n"
Usage = b"usage:\nTarvelin.exe <RefMicFrom> <RefMicTo> <MyMicIn> <MyMicOut>\n\n"
ExitFailure = 255  # -1 as a shell sees it

# A line that is no header line is scanned from its first ReadLimit bytes only.
ReadLimit = 64 * 1024
ByteOrderMark = b"\xef\xbb\xbf"
EndOfInputByte = b"\x1a"

Whitespace = frozenset(b"\t\n\v\f\r ")
Digits = frozenset(b"0123456789")
Signs = frozenset(b"+-")

FloatMaxExponent = 127
FloatMinNormalExponent = -126
FloatSignificandBits = 24

# Beyond these decimal orders of magnitude the float result is clear without
# exact arithmetic: 1e39 is above the largest float, 1e-47 below half of the
# smallest subnormal (about 7.0e-46).
DecimalOrderAboveRange = 39
DecimalOrderBelowRange = -47
# A float's exact halfway points need far fewer significant digits than this,
# so digits beyond it only matter as "something non-zero follows".
SignificantDigitsKept = 800


class CannotOpen(Exception):
    pass


class ReadFailed(Exception):
    pass


# --- Lines -------------------------------------------------------------------


def split_lines(data):
    """The text-mode view of a file's bytes: (had_bom, [(text, has_line_end)]).

    Input ends at a byte 0x1A; a UTF-8 byte-order mark at the very start is
    skipped; LF ends a line, and a CR right before it belongs to the line end;
    any other CR is an ordinary byte; a last line without line end counts.
    A file whose text before its first LF holds a CR followed by a byte other
    than CR and LF has classic Mac OS line ends: CR LF, CR and LF each end a
    line.
    """
    cut = data.find(EndOfInputByte)
    if cut >= 0:
        data = data[:cut]
    had_bom = data.startswith(ByteOrderMark)
    if had_bom:
        data = data[len(ByteOrderMark):]
    first_line = data.split(b"\n", 1)[0]
    classic_mac = any(first_line[i:i + 1] == b"\r" and first_line[i + 1:i + 2] != b"\r"
                      for i in range(len(first_line) - 1))
    if classic_mac:
        pieces = data.replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n")
        lines = [(text, True) for text in pieces[:-1]]
        if pieces[-1]:
            lines.append((pieces[-1], False))
        return had_bom, lines
    lines = []
    start = 0
    while start < len(data):
        newline = data.find(b"\n", start)
        if newline < 0:
            lines.append((data[start:], False))
            break
        text = data[start:newline]
        if text.endswith(b"\r"):
            text = text[:-1]
        lines.append((text, True))
        start = newline + 1
    return had_bom, lines


def is_header_line(text):
    return text[:1] == b'"'


# --- Decimal to float32 --------------------------------------------------------


def float32_of_double(value):
    """Rounds a double to the nearest float32, ties to even, returned as a
    double. struct refuses magnitudes that round beyond the float range: those
    are infinities."""
    try:
        return struct.unpack("<f", struct.pack("<f", value))[0]
    except OverflowError:
        return math.copysign(math.inf, value)


def float32_of_ratio(numerator, denominator):
    """The float32 nearest to numerator / denominator (both positive), ties to
    even, as a double; infinity beyond the float range."""
    exponent = numerator.bit_length() - denominator.bit_length()
    # Now 2^(exponent-1) < ratio < 2^(exponent+1); settle which binade.
    if exponent >= 0:
        below = numerator < (denominator << exponent)
    else:
        below = (numerator << -exponent) < denominator
    if below:
        exponent -= 1
    if exponent > FloatMaxExponent:
        return math.inf
    unit = max(exponent, FloatMinNormalExponent) - (FloatSignificandBits - 1)
    if unit >= 0:
        scaled_denominator = denominator << unit
        scaled_numerator = numerator
    else:
        scaled_denominator = denominator
        scaled_numerator = numerator << -unit
    quotient, remainder = divmod(scaled_numerator, scaled_denominator)
    twice = 2 * remainder
    if twice > scaled_denominator or (twice == scaled_denominator and quotient & 1):
        quotient += 1
    if quotient.bit_length() + unit > FloatMaxExponent + 1:
        return math.inf
    return math.ldexp(quotient, unit)


def float32_of_decimal(negative, integer_digits, fraction_digits, exponent_negative, exponent_digits):
    """The float32 nearest to the decimal number given by its digit strings."""
    sign = -1.0 if negative else 1.0
    digits = (integer_digits + fraction_digits).lstrip(b"0")
    if not digits:
        return math.copysign(0.0, sign)
    exponent_text = exponent_digits.lstrip(b"0")
    if len(exponent_text) > 12:
        # Far beyond any digit string that fits in memory.
        return math.copysign(0.0 if exponent_negative else math.inf, sign)
    exponent = int(exponent_text or b"0")
    if exponent_negative:
        exponent = -exponent
    scale = exponent - len(fraction_digits)
    order = len(digits) - 1 + scale
    if order > DecimalOrderAboveRange:
        return math.copysign(math.inf, sign)
    if order < DecimalOrderBelowRange:
        return math.copysign(0.0, sign)
    if len(digits) > SignificantDigitsKept:
        kept = digits[:SignificantDigitsKept]
        dropped = digits[SignificantDigitsKept:]
        scale += len(dropped)
        if dropped.strip(b"0"):
            kept += b"1"
            scale -= 1
        digits = kept
    mantissa = int(digits)
    if scale >= 0:
        magnitude = float32_of_ratio(mantissa * 10**scale, 1)
    else:
        magnitude = float32_of_ratio(mantissa, 10**-scale)
    return math.copysign(magnitude, sign)


# --- The scan ------------------------------------------------------------------

ScanEndOfInput = -1


def take_digits(text, position):
    end = position
    while end < len(text) and text[end] in Digits:
        end += 1
    return text[position:end], end


def scan_number(text, position):
    """One number starting at position (whitespace already skipped): the longest
    prefix that can be a number. Returns (value, end) or None for no number."""
    end = len(text)
    negative = False
    if position < end and text[position] in Signs:
        negative = text[position] == ord("-")
        position += 1
    integer_digits, position = take_digits(text, position)
    fraction_digits = b""
    if position < end and text[position] == ord("."):
        fraction_digits, position = take_digits(text, position + 1)
    if not integer_digits and not fraction_digits:
        return None
    exponent_negative = False
    exponent_digits = b""
    if position < end and text[position] in b"eE":
        # Taken even without digits after it: the exponent then counts as zero.
        position += 1
        if position < end and text[position] in Signs:
            exponent_negative = text[position] == ord("-")
            position += 1
        exponent_digits, position = take_digits(text, position)
    value = float32_of_decimal(negative, integer_digits, fraction_digits, exponent_negative, exponent_digits)
    return value, position


def scan_values(text, count):
    """Up to count numbers separated by any run of whitespace, including none.
    Returns (converted, values); converted is ScanEndOfInput when the text
    ends before the first number."""
    values = []
    position = 0
    for index in range(count):
        while position < len(text) and text[position] in Whitespace:
            position += 1
        if position >= len(text):
            return (ScanEndOfInput if index == 0 else index), values
        scanned = scan_number(text, position)
        if scanned is None:
            return index, values
        value, position = scanned
        values.append(value)
    return count, values


def scan_data_line(text, count):
    """The values of a data line (at least two, a frequency that is not zero),
    or None for any other line."""
    converted, values = scan_values(text[:ReadLimit], count)
    if converted < 2 or values[0] == 0.0:
        return None
    return values


# --- Curves and their evaluation -------------------------------------------------


class Evaluator:
    """EvaluateCurve with the one segment index that both curves share."""

    def __init__(self):
        self.segment_hint = 0

    def evaluate(self, curve, frequency):
        frequencies, responses = curve
        last = len(frequencies) - 2
        i = self.segment_hint if self.segment_hint < last else last
        while i > 0 and frequencies[i] > frequency:
            i -= 1
        while i < last and frequencies[i + 1] < frequency:
            i += 1
        self.segment_hint = i
        x0, x1 = frequencies[i], frequencies[i + 1]
        y0, y1 = responses[i], responses[i + 1]
        width = float32_of_double(x1 - x0)
        if width == 0.0:
            return y0
        fraction = float32_of_double((frequency - x0) / width)
        return float32_of_double(y0 + (y1 - y0) * fraction)


def read_file(path):
    if os.path.isdir(path):
        raise CannotOpen()
    try:
        handle = open(path, "rb")
    except OSError:
        raise CannotOpen()
    try:
        with handle:
            return handle.read()
    except OSError:
        raise ReadFailed()


def load_reference_curve(path, out):
    """The curve of a reference file, or None after printing why not."""
    shown = os.fsencode(path)
    try:
        data = read_file(path)
    except CannotOpen:
        out.append(b"Error - could not open %s\n" % shown)
        return None
    except ReadFailed:
        out.append(b"Error - could not read %s\n" % shown)
        return None
    frequencies, responses = [], []
    for text, _ in split_lines(data)[1]:
        if is_header_line(text):
            continue
        values = scan_data_line(text, 2)
        if values is None:
            continue
        frequencies.append(values[0])
        responses.append(values[1])
    if len(frequencies) < 2:
        out.append(b"Error - invalid file %s\n" % shown)
        return None
    return frequencies, responses


# --- Output ------------------------------------------------------------------------


def format_value(value):
    """Six decimals of the exact binary value, ties to even; a minus sign
    whenever the sign bit is set; inf, -inf and nan for the non-finite."""
    if math.isnan(value):
        return b"nan"
    return (b"%.6f" % value)


def transfer_curve(data, from_curve, to_curve, evaluator):
    had_bom, lines = split_lines(data)
    output = [ByteOrderMark] if had_bom else []
    for text, has_line_end in lines:
        if is_header_line(text):
            output.append(text)
            if has_line_end:
                output.append(b"\r\n")
            continue
        values = scan_data_line(text, 3)
        if values is None:
            continue
        frequency, response = values[0], values[1]
        from_response = evaluator.evaluate(from_curve, frequency)
        to_response = evaluator.evaluate(to_curve, frequency)
        converted = float32_of_double((to_response + response) - from_response)
        fields = [frequency, converted] + values[2:]
        output.append(b" ".join(format_value(v) for v in fields) + b"\r\n")
    return b"".join(output)


def is_same_regular_file(path, other):
    try:
        return os.path.isfile(path) and os.path.isfile(other) and os.path.samefile(path, other)
    except OSError:
        return False


def convert(arguments):
    """The whole run for the arguments after the program name. Writes MyMicOut
    and returns (standard output, exit status)."""
    out = [Banner]
    if len(arguments) != 4:
        out.append(Usage)
        return b"".join(out), ExitFailure
    ref_from, ref_to, my_in, my_out = arguments
    evaluator = Evaluator()
    from_curve = load_reference_curve(ref_from, out)
    if from_curve is None:
        return b"".join(out), ExitFailure
    to_curve = load_reference_curve(ref_to, out)
    if to_curve is None:
        return b"".join(out), ExitFailure
    try:
        data = read_file(my_in)
    except CannotOpen:
        out.append(b"Error - could not open %s\n" % os.fsencode(my_in))
        return b"".join(out), ExitFailure
    except ReadFailed:
        out.append(b"Error - could not read %s\n" % os.fsencode(my_in))
        return b"".join(out), ExitFailure
    if any(is_same_regular_file(my_out, path) for path in (ref_from, ref_to, my_in)):
        out.append(b"Error - will not overwrite input file %s\n" % os.fsencode(my_out))
        return b"".join(out), ExitFailure
    converted = transfer_curve(data, from_curve, to_curve, evaluator)
    try:
        handle = open(my_out, "wb")
    except OSError:
        out.append(b"Error - could not open %s for writing\n" % os.fsencode(my_out))
        return b"".join(out), ExitFailure
    try:
        with handle:
            handle.write(converted)
    except OSError:
        out.append(b"Error - could not write %s\n" % os.fsencode(my_out))
        return b"".join(out), ExitFailure
    return b"".join(out), 0


def main():
    standard_output, status = convert(sys.argv[1:])
    sys.stdout.buffer.write(standard_output)
    sys.stdout.buffer.flush()
    return status


if __name__ == "__main__":
    sys.exit(main())
