"""What happens to calibration files on their way to the converter: a
spreadsheet's locale, units and prefixes, typographic characters, quotes,
other separators, other line ends, comments and extra columns, and the typos
of someone retyping one line. Transforms is one table of them; each takes a
file's bytes and gives the damaged bytes, or None where that damage cannot
happen to the file. All but the typos keep every digit the author wrote, so
a program that reads them right reads the same points. Only data lines are
touched; header lines, comments and line ends stay as they were.
"""

import re

LineEnd = re.compile(rb"(\r\n|\n|\r)")
Blanks = re.compile(rb"([ \t]+)")
# Sign, integer digits, point and fraction, exponent.
NumberParts = re.compile(rb"([-+]?)([0-9]*)(\.?[0-9]*)((?:[eE][-+]?[0-9]+)?)$")

Minus = "\u2212".encode()
NoBreakSpace = "\u00a0".encode()
NarrowNoBreakSpace = "\u202f".encode()
RightQuote = "\u2019".encode()


def IsDataLine(line):
    """Whether a line holds a point: it starts with a number, not with a
    quote, a comment mark or a blank."""
    first = Blanks.split(line)[0]
    return bool(first) and not line.startswith((b'"', b"%", b"*")) and re.match(
        rb"^[0-9.e+-]+$", first) is not None


def DataLines(data, change):
    """The file with change(line) applied to each data line, its other lines
    and every line end kept."""
    parts = LineEnd.split(data)
    for i in range(0, len(parts), 2):
        if IsDataLine(parts[i]):
            parts[i] = change(parts[i])
    return b"".join(parts)


def Columns(data, change):
    """The file with each data line replaced by change(its columns)."""
    return DataLines(data, lambda line: change(Blanks.split(line)[0::2]))


def Parts(data, change):
    """The file with each data line replaced by the join of change(parts):
    its columns and the blanks between them, alternately."""
    return DataLines(data, lambda line: b"".join(change(Blanks.split(line))))


def EachColumn(change, separator=None):
    """A transform that changes every column, and every separator to the
    one given."""
    return lambda data: Parts(data, lambda parts: [
        change(part) if i % 2 == 0 else separator or part for i, part in enumerate(parts)])


def Value(text):
    try:
        return float(text)
    except ValueError:
        return None


def Grouped(digits, mark):
    """Digits grouped by threes from the point, as spreadsheets group them,
    and only from four digits on."""
    if len(digits) < 4:
        return digits
    head = len(digits) % 3 or 3
    return mark.join([digits[:head]] + [digits[i:i + 3] for i in range(head, len(digits), 3)])


def Locale(group, point, separator):
    def Localised(text):
        match = NumberParts.match(text)
        if not match:
            return text
        sign, whole, fraction, exponent = match.groups()
        return sign + Grouped(whole, group) + fraction.replace(b".", point) + exponent
    return EachColumn(Localised, separator)


def Kilohertz(unit):
    """Frequencies in kHz, the point moved in the text so that no digit is
    lost; there is no such text for a number with an exponent."""
    def Moved(parts):
        sign, whole, fraction, _ = NumberParts.match(parts[0]).groups()
        whole = whole.rjust(4, b"0")
        return [sign + (whole[:-3].lstrip(b"0") or b"0") + b"." + whole[-3:] + fraction[1:]
                + unit] + parts[1:]

    def Transform(data):
        firsts = [Blanks.split(line)[0] for line in LineEnd.split(data)[0::2] if IsDataLine(line)]
        if any(NumberParts.match(first) is None or b"e" in first.lower() for first in firsts):
            return None
        return Parts(data, Moved)
    return Transform


def Units(parts):
    if len(parts) < 3:
        return parts
    return [parts[0] + b" Hz", parts[1], parts[2] + b" dB"] + parts[3:]


def Swapped(parts):
    return parts if len(parts) < 3 else [parts[2], parts[1], parts[0]] + parts[3:]


def Aligned(parts):
    columns = parts[0::2]
    return [b"".join(c + b" " * max(2, 12 - len(c)) for c in columns[:-1]) + columns[-1]]


def ExtraColumn(parts):
    added = {3: b"0.00", 5: b"1.000"}.get(len(parts))
    return parts + [parts[1], added] if added else parts


def TrailingComment(parts):
    return parts + [parts[1] if len(parts) > 1 else b"\t", b"# measured"]


def BlankLines(data):
    parts = LineEnd.split(data)
    for i in range(2, len(parts), 2):
        if IsDataLine(parts[i]) and IsDataLine(parts[i - 2]):
            parts[i - 1] *= 2
    return b"".join(parts)


def OneLine(fits, change):
    """A typo in one data line: the one nearest the middle of the file, and
    never the first or the last, among those where fits(rows, k) holds for
    the columns of all data lines and the index of this one."""
    def Transform(data):
        parts = LineEnd.split(data)
        at = [i for i in range(0, len(parts), 2) if IsDataLine(parts[i])]
        rows = [Blanks.split(parts[i]) for i in at]
        fitting = [k for k in range(1, len(rows) - 1) if len(rows[k]) >= 3 and fits(rows, k)]
        if not fitting:
            return None
        k = min(fitting, key=lambda k: abs(2 * k - len(rows)))
        parts[at[k]] = b"".join(change(rows[k]))
        return b"".join(parts)
    return Transform


def Response(rows, k):
    return Value(rows[k][2])


def DoubledDigit(text):
    return re.sub(rb"[0-9]", lambda digit: digit.group() * 2, text, count=1)


def PointLost(rows, k):
    # From a response of a dB or more, a lost point makes ten times as much.
    return b"." in rows[k][2] and abs(Response(rows, k) or 0) >= 1


def MinusLostFits(rows, k):
    responses = [Response(rows, j) for j in (k - 1, k, k + 1)]
    return None not in responses and responses[1] <= -1.5 and max(responses) < 0


def DecimalCommaFits(rows, k):
    # Digits after the point that the converter would lose, and a full stop
    # elsewhere in the line.
    return re.search(rb"\.[0-9]*[1-9]", rows[k][2]) is not None and b"." in rows[k][0]


def Replaced(column, change):
    return lambda parts: parts[:column] + [change(parts[column])] + parts[column + 1:]


def Quoted(text):
    return b'"' + text + b'"'

# (name, transform). Adding a shape users bring takes one row.
Transforms = [
    # Locales, as a spreadsheet exports the whole file.
    ("german", Locale(b".", b",", b";")),  # 1.002,579;-0,0664
    ("french", Locale(NarrowNoBreakSpace, b",", b";")),  # 1<U+202F>002,579;-0,0664
    ("french-no-break-space", Locale(NoBreakSpace, b",", b";")),  # 1<U+00A0>002,579;...
    ("swiss", Locale(b"'", b".", b"\t")),  # 1'002.579<tab>-0.0664
    ("swiss-right-quote", Locale(RightQuote, b".", b"\t")),  # 1<U+2019>002.579<tab>-0.0664
    ("english-grouped", Locale(b",", b".", b"\t")),  # 1,002.579<tab>-0.0664
    ("spanish", Locale(b".", b",", b"\t")),  # 1.002,579<tab>-0,0664
    ("decimal-comma", Locale(b"", b",", b"\t")),  # 1002,579<tab>-0,0664
    ("blank-grouping", Locale(b" ", b",", b";")),  # 1 002,579;-0,0664
    # Units and prefixes.
    ("units", lambda data: Parts(data, Units)),  # 1002.579 Hz<tab>-0.0664 dB
    ("kilohertz", Kilohertz(b"k")),  # 1.002579k
    ("kilohertz-unit", Kilohertz(b" kHz")),  # 1.002579 kHz
    # Typographic characters.
    ("typographic-minus", EachColumn(lambda text: text.replace(b"-", Minus))),  # <U+2212>0.0664
    ("no-break-space-columns", EachColumn(lambda text: text, NoBreakSpace)),  # 1002.579<U+00A0>...
    ("text-mark", EachColumn(lambda text: b"'" + text)),  # '1002.579<tab>'-0.0664
    # Quotes.
    ("line-quotes", lambda data: DataLines(data, Quoted)),  # "1002.579<tab>-0.0664"
    ("field-quotes", EachColumn(Quoted, b",")),  # "1002.579","-0.0664"
    ("field-quotes-decimal-comma",
     EachColumn(lambda text: Quoted(text.replace(b".", b",")), b";")),  # "1002,579";"-0,0664"
    # Separators.
    ("commas", EachColumn(lambda text: text, b",")),  # 1002.579,-0.0664
    ("semicolons", EachColumn(lambda text: text, b";")),
    ("aligned", lambda data: Parts(data, Aligned)),  # 1002.579    -0.0664
    ("swapped", lambda data: Parts(data, Swapped)),  # -0.0664<tab>1002.579
    # Line ends, blank lines, comments and columns.
    ("crlf", lambda data: LineEnd.sub(b"\r\n", data)),
    ("lf", lambda data: LineEnd.sub(b"\n", data)),
    ("blank-lines", BlankLines),
    ("trailing-comment", lambda data: Parts(data, TrailingComment)),
    ("extra-column", lambda data: Parts(data, ExtraColumn)),
    # Typos in one line, each where it shows.
    ("lost-point", OneLine(PointLost, Replaced(2, lambda text: text.replace(b".", b"")))),
    ("doubled-response-digit",
     OneLine(lambda rows, k: abs(Response(rows, k) or 0) >= 1, Replaced(2, DoubledDigit))),
    ("doubled-frequency-digit",
     OneLine(lambda rows, k: Value(DoubledDigit(rows[k][0])) != Value(rows[k][0]),
             Replaced(0, DoubledDigit))),
    ("lost-minus", OneLine(MinusLostFits, Replaced(2, lambda text: text[1:]))),
    # A decimal comma typed among full stops: 1002.579<tab>-0,0664.
    ("one-decimal-comma", OneLine(DecimalCommaFits, Replaced(2, lambda text: text.replace(
        b".", b",")))),
]


def Damaged(transform, data):
    """The damaged file, or None where the damage does not apply or leaves
    the file as it was."""
    damaged = transform(data)
    return None if damaged == data else damaged
