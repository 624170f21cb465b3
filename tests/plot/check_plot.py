#!/usr/bin/env python3
"""Runs TarvelinPlot on calibration files and checks the picture a person gets.

Every picture must be well-formed XML (xmllint), render to PNG without a
complaint (rsvg-convert), stay self-contained, and carry the five curves as
one path each with the expected number of points, the expected axis labels and
a legend naming the files; the correction in a panel of its own, with its
extrapolated points ringed. Every failure must print the converter's message
for the same fault, end with status -1 and leave every file as it was.
Both tools are required: a machine without them fails here, it does not skip.
"""

import argparse
import math
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
from pathlib import Path

Here = Path(__file__).resolve().parent
Examples = Here.parent.parent / "examples"
# The README's picture: what the program draws of the examples, run from the
# top of the tree.
ReadmePicture = Here.parent.parent / "docs" / "examples-plot.svg"

Banner = "\nTarvelinPlot\n\n"
Usage = (Banner + "usage:\n"
         "TarvelinPlot [--width N] <RefMicFrom> <RefMicTo> <MyMicIn> <MyMicOut> <Plot.svg>\n\n")
ConverterBanner = "\nTarvelin\n\n"
FailureStatus = 255  # -1 as a shell sees it
Svg = "{http://www.w3.org/2000/svg}"
CurveIds = ["RefMicFrom", "RefMicTo", "MyMicIn", "MyMicOut", "Correction"]
Replacement = "\ufffd"


class Settings:
    Plot = ""
    Tarvelin = ""
    Emulator = []


class Failure(Exception):
    pass


def Expect(condition, message):
    if not condition:
        raise Failure(message)


def SplitEmulator(text):
    # CMake hands over its list as "a;b"; a person types "wine" or "qemu -L x".
    if ";" in text:
        return [part for part in text.split(";") if part]
    return shlex.split(text)


def Run(program, arguments, work):
    result = subprocess.run(Settings.Emulator + [program] + arguments, cwd=work,
                            stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    # Standard output is text: on Windows its line ends are CR LF.
    return result.stdout.replace(b"\r\n", b"\n").decode("utf-8", "replace"), result.returncode


def RunTool(command):
    result = subprocess.run(command, capture_output=True, timeout=120)
    return result.returncode, result.stderr.decode("utf-8", "replace")


def Write(work, files):
    for name, data in files.items():
        path = Path(work) / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)


def Snapshot(work):
    entries = {}
    for directory, subdirectories, files in os.walk(work):
        for name in subdirectories + files:
            path = Path(directory) / name
            key = str(path.relative_to(work))
            if path.is_symlink():
                entries[key] = "link to " + os.readlink(path)
            elif path.is_file():
                entries[key] = path.read_bytes()
            else:
                entries[key] = "directory"
    return entries


def Table(points, third=False):
    lines = [f"{f:.6g}\t{r:.4f}" + ("\t0" if third else "") for f, r in points]
    return ("\r\n".join(lines) + "\r\n").encode()


def LogSpaced(count, low, high, response):
    frequencies = [low * (high / low) ** (i / (count - 1)) for i in range(count)]
    return [(f, response(f)) for f in frequencies]


# --- Reading the picture ------------------------------------------------------


def CheckPicture(svgPath):
    """The checks every picture passes; returns its parsed root element."""
    Expect(svgPath.is_file(), f"{svgPath.name} was not written")
    status, errors = RunTool(["xmllint", "--noout", str(svgPath)])
    Expect(status == 0 and not errors, f"xmllint rejects {svgPath.name}:\n{errors}")
    png = svgPath.with_suffix(".png")
    status, errors = RunTool(["rsvg-convert", "--format=png", "-o", str(png), str(svgPath)])
    Expect(status == 0 and not errors, f"rsvg-convert fails on {svgPath.name}:\n{errors}")
    Expect(png.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n", "rsvg-convert wrote no PNG")

    text = svgPath.read_text(encoding="utf-8")
    for forbidden in ["<script", "href", "url(", "@import", "<image", "<foreignObject"]:
        Expect(forbidden not in text, f"the picture is not self-contained: it holds {forbidden}")
    Expect(text.count("http") == 1, "the picture names a link beyond its namespace")
    root = ElementTree.fromstring(text)
    Expect(root.tag == Svg + "svg", f"the root element is {root.tag}")
    return root


def Group(root, groupId):
    found = [g for g in root.iter(Svg + "g") if g.get("id") == groupId]
    Expect(len(found) == 1, f"expected one group {groupId}, found {len(found)}")
    return found[0]


def Texts(element):
    return ["".join(text.itertext()) for text in element.iter(Svg + "text")]


def FrequencyLabels(root):
    return [label for label in Texts(Group(root, "FrequencyAxis")) if label != "Frequency"]


def LevelLabels(root):
    return [label for label in Texts(Group(root, "LevelAxis")) if label != "Response (dB)"]


def CorrectionLabels(root):
    return [label for label in Texts(Group(root, "CorrectionAxis")) if label != "Correction (dB)"]


def LevelOf(root, axisId="LevelAxis"):
    """Turns a y coordinate back into dB, by a level axis's grid lines."""
    axis = Group(root, axisId)
    ys = [float(line.get("y1")) for line in axis.iter(Svg + "line")]
    levels = [float(label) for label in (LevelLabels(root) if axisId == "LevelAxis"
                                         else CorrectionLabels(root))]
    Expect(len(ys) == len(levels) >= 2, "the level axis has no labelled grid")
    scale = (levels[-1] - levels[0]) / (ys[-1] - ys[0])
    return lambda y: levels[0] + (y - ys[0]) * scale


def CurvePoints(root):
    """Each curve's points as (x, y) pairs, each curve from its one path."""
    paths = (list(Group(root, "Curves").iter(Svg + "path"))
             + list(Group(root, "CorrectionCurve").iter(Svg + "path")))
    Expect([p.get("id") for p in paths] == CurveIds,
           f"curves are {[p.get('id') for p in paths]}, expected {CurveIds}")
    curves = {}
    for path in paths:
        data = path.get("d")
        Expect(data.count("M") <= 1, f"{path.get('id')} is broken into several lines")
        pairs = re.findall(r"[ML](-?[0-9.]+),(-?[0-9.]+)", data)
        Expect(len(pairs) == len(re.findall(r"[ML]", data)),
               f"{path.get('id')} has a malformed path: {data[:200]}")
        curves[path.get("id")] = [(float(x), float(y)) for x, y in pairs]
    return curves


def Frame(root, frameId="ResponseFrame"):
    """Left, top, right and bottom of the frame around a panel."""
    frames = [r for r in root.iter(Svg + "rect") if r.get("fill") == "none"]
    Expect([r.get("id") for r in frames] == ["ResponseFrame", "CorrectionFrame"],
           f"expected a frame around each panel, found {[r.get('id') for r in frames]}")
    frame = frames[0] if frameId == "ResponseFrame" else frames[1]
    left, top = float(frame.get("x")), float(frame.get("y"))
    return left, top, left + float(frame.get("width")), top + float(frame.get("height"))


def Markers(root):
    """The centres of the rings around extrapolated points of the correction."""
    return [(float(c.get("cx")), float(c.get("cy")))
            for c in Group(root, "Extrapolated").iter(Svg + "circle")]


def ExpectInsideFrame(root, curves):
    for name, points in curves.items():
        left, top, right, bottom = Frame(root, "CorrectionFrame" if name == "Correction"
                                         else "ResponseFrame")
        for x, y in points:
            Expect(left - 0.01 <= x <= right + 0.01 and top - 0.01 <= y <= bottom + 0.01,
                   f"{name} has a point ({x}, {y}) outside the plot")


def ExpectCounts(curves, expected):
    counts = {name: len(points) for name, points in curves.items()}
    Expect(counts == expected, f"point counts are {counts}, expected {expected}")


def Luminance(colour):
    """The relative luminance of #RRGGBB, as contrast ratios take it."""
    channels = [int(colour[i:i + 2], 16) / 255 for i in (1, 3, 5)]
    r, g, b = [c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4 for c in channels]
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def Contrast(first, second):
    lighter, darker = sorted([Luminance(first), Luminance(second)], reverse=True)
    return (lighter + 0.05) / (darker + 0.05)


def ExpectReadableWithoutColour(root):
    """Printed in grey, or seen by the colour-blind, the four curves differ
    by their dash patterns, which the legend shows too, MyMicOut is the
    boldest, and the rings stand out from the white and from the line they
    sit on."""
    curves = {p.get("id"): p for p in Group(root, "Curves").iter(Svg + "path")}
    swatches = list(Group(root, "Legend").iter(Svg + "path"))
    Expect(len(swatches) == 5, f"the legend shows {len(swatches)} lines")
    legend = dict(zip(["RefMicFrom", "RefMicTo", "Correction", "MyMicIn", "MyMicOut"], swatches))
    patterns = {name: curves[name].get("stroke-dasharray") for name in curves}
    Expect(len(set(patterns.values())) == 4 and list(patterns.values()).count(None) <= 1,
           f"the curves' dash patterns are not four different ones: {patterns}")
    for name, path in curves.items():
        Expect(legend[name].get("stroke-dasharray") == path.get("stroke-dasharray")
               and legend[name].get("stroke") == path.get("stroke"),
               f"the legend draws {name} unlike its curve")
    widths = {name: float(path.get("stroke-width", Group(root, "Curves").get("stroke-width")))
              for name, path in curves.items()}
    Expect(all(widths["MyMicOut"] > width for name, width in widths.items() if name != "MyMicOut"),
           f"MyMicOut is not the boldest curve: {widths}")
    ring = Group(root, "Extrapolated").get("stroke")
    line = [p for p in Group(root, "CorrectionCurve").iter(Svg + "path")][0].get("stroke")
    Expect(Contrast(ring, "#FFFFFF") >= 4.5 and Contrast(ring, line) >= 3,
           f"rings of {ring} on a line of {line} fade in grey")


def TextSizes(element, inherited=16.0):
    """The font size of every text element, as it inherits them."""
    size = float(element.get("font-size", inherited))
    sizes = [size] if element.tag == Svg + "text" else []
    for child in element:
        sizes += TextSizes(child, size)
    return sizes


def Render(svgText):
    result = subprocess.run(["rsvg-convert", "--format=png"], input=svgText.encode("utf-8"),
                            capture_output=True, timeout=120)
    Expect(result.returncode == 0, "rsvg-convert fails: " + result.stderr.decode()[:300])
    return result.stdout


def ExpectNothingOutside(svgPath):
    """Rendered, nothing of the picture lies beyond its edges: each strip
    around it is as empty as an empty picture of that size."""
    text = svgPath.read_text(encoding="utf-8")
    root = ElementTree.fromstring(text)
    width, height = float(root.get("width")), float(root.get("height"))
    # The background fills the viewport; here it must fill the picture alone.
    text = text.replace('<rect width="100%" height="100%"',
                        f'<rect width="{width}" height="{height}"', 1)
    margin = 100
    strips = {"left of": (-margin, -margin, margin, height + 2 * margin),
              "right of": (width, -margin, margin, height + 2 * margin),
              "above": (0, -margin, width, margin), "below": (0, height, width, margin)}
    for where, (x, y, w, h) in strips.items():
        strip = re.sub(r'width="[^"]*" height="[^"]*" viewBox="[^"]*"',
                       f'width="{w}" height="{h}" viewBox="{x} {y} {w} {h}"', text, count=1)
        empty = f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}"/>'
        Expect(Render(strip) == Render(empty), f"something is drawn {where} the picture")


# The advance widths of DejaVu Sans, the sans-serif that rsvg-convert takes
# here, in em, for the characters of frequency labels.
LabelCharacterEm = {**{digit: 0.636 for digit in "0123456789"}, " ": 0.318, ".": 0.318,
                    "H": 0.752, "k": 0.579, "z": 0.525}


def ExpectLabelsApart(root):
    """No two frequency labels overlap."""
    axis = Group(root, "FrequencyAxis")
    size = float(axis.get("font-size"))
    spans = sorted((float(t.get("x")) - half, float(t.get("x")) + half, t.text)
                   for t in axis.iter(Svg + "text") if t.text != "Frequency"
                   for half in [sum(LabelCharacterEm[c] for c in t.text) * size / 2])
    for (_, right, label), (left, _, following) in zip(spans, spans[1:]):
        Expect(right < left, f"the frequency labels {label} and {following} overlap")


def ExpectLegend(root, expectedParts):
    legend = Texts(Group(root, "Legend"))
    Expect(len(legend) == 6, f"the legend has {len(legend)} entries: {legend}")
    for entry, parts in zip(legend, expectedParts):
        for part in parts:
            Expect(part in entry, f"legend entry {entry!r} lacks {part!r}")


# --- Cases --------------------------------------------------------------------

Cases = []


def Case(function):
    Cases.append(function)
    return function


def DataPoints(data):
    """Points of a plain calibration table, the way a person reads one."""
    points = []
    for line in data.decode("latin-1").splitlines():
        fields = line.split()
        if line.startswith('"') or len(fields) < 2:
            continue
        try:
            frequency, response = float(fields[0]), float(fields[1])
        except ValueError:
            continue
        if frequency != 0:
            points.append((frequency, response))
    return points


@Case
def examples(work):
    """The README's picture: the shipped example conversion."""
    names = ["examples/" + name for name in ["RefMicFrom.txt", "RefMicTo.txt", "MyMicIn.txt",
                                             "expected/MyMicOut.txt"]]
    for name in names:
        Expect((Examples.parent / name).is_file(), f"{name} is missing")
        Write(work, {name: (Examples.parent / name).read_bytes()})
    before = Snapshot(work)
    stdout, status = Run(Settings.Plot, names + ["plot.svg"], work)
    Expect((stdout, status) == (Banner, 0), f"status {status}, output {stdout!r}")
    root = CheckPicture(Path(work) / "plot.svg")
    after = Snapshot(work)
    Expect(all(after[name] == before[name] for name in names), "an input file changed")
    Expect((Path(work) / "plot.svg").read_bytes() == ReadmePicture.read_bytes(),
           "the picture differs from docs/examples-plot.svg; if that is meant, draw the README's "
           "picture again, from the top of the tree: TarvelinPlot examples/RefMicFrom.txt "
           "examples/RefMicTo.txt examples/MyMicIn.txt examples/expected/MyMicOut.txt "
           "docs/examples-plot.svg && rsvg-convert -o docs/examples-plot.png docs/examples-plot.svg")
    ExpectReadableWithoutColour(root)

    points = dict(zip(["RefMicFrom.txt", "RefMicTo.txt", "MyMicIn.txt", "MyMicOut.txt"],
                      [DataPoints(before[name]) for name in names]))
    counts = {"RefMicFrom": len(points["RefMicFrom.txt"]), "RefMicTo": len(points["RefMicTo.txt"]),
              "Correction": len(points["MyMicIn.txt"]), "MyMicIn": len(points["MyMicIn.txt"]),
              "MyMicOut": len(points["MyMicOut.txt"])}
    Expect(min(counts.values()) >= 2, f"the examples hold too few points: {counts}")
    curves = CurvePoints(root)
    ExpectCounts(curves, counts)
    ExpectInsideFrame(root, curves)

    # MyMicOut is MyMicIn plus the correction, so the curves must show that,
    # the correction on its own axis.
    toLevel, toCorrection = LevelOf(root), LevelOf(root, "CorrectionAxis")
    for (x, y), (xIn, yIn), (xOut, yOut) in zip(curves["Correction"], curves["MyMicIn"],
                                                 curves["MyMicOut"]):
        Expect(abs(x - xIn) < 0.005 and abs(x - xOut) < 0.005, "the curves' x differ")
        Expect(abs(toCorrection(y) - (toLevel(yOut) - toLevel(yIn))) < 0.002,
               f"at x = {x} the correction is drawn at {toCorrection(y)} dB, "
               f"but MyMicOut - MyMicIn is {toLevel(yOut) - toLevel(yIn)} dB")
    corrections = [float(label) for label in CorrectionLabels(root)]
    Expect(corrections[0] <= -0.5 and corrections[-1] >= 0.5 and len(corrections) <= 7,
           f"correction labels {corrections} do not show at least -0.5 to 0.5 dB in round steps")

    # The points of MyMicIn beyond either reference's frequencies are ringed,
    # and no other; rings that would cover each other are drawn once.
    ranges = [(min(f for f, _ in points[n]), max(f for f, _ in points[n]))
              for n in ["RefMicFrom.txt", "RefMicTo.txt"]]
    beyond = [curves["Correction"][i] for i, (f, _) in enumerate(points["MyMicIn.txt"])
              if any(f < low or f > high for low, high in ranges)]
    rings = Markers(root)
    Expect(beyond and all(ring in beyond for ring in rings)
           and all(any(abs(x - rx) < 3 and abs(y - ry) < 3 for rx, ry in rings)
                   for x, y in beyond),
           f"rings at {rings}, expected around the points {beyond} of the correction")

    frequencies = [f for table in points.values() for f, _ in table]
    labels = FrequencyLabels(root)
    for decade in [10 ** k for k in range(-3, 6)]:
        if min(frequencies) <= decade <= max(frequencies):
            label = f"{decade:g} Hz" if decade < 1000 else f"{decade // 1000:g} kHz"
            Expect(label in labels, f"frequency labels {labels} lack {label}")
    levels = [float(label) for label in LevelLabels(root)]
    responses = [r for table in points.values() for _, r in table]
    Expect(levels[0] <= min(responses) and levels[-1] >= max(responses),
           f"level labels {levels} do not cover {min(responses)} to {max(responses)}")
    Expect(len(levels) <= 11 and len(set(round(b - a, 9) for a, b in zip(levels, levels[1:]))) == 1,
           f"level labels {levels} are not evenly stepped")
    ExpectLegend(root, [[n, f"{counts[c]} points"] for n, c in
                        zip(["RefMicFrom.txt", "RefMicTo.txt", "MyMicIn", "MyMicIn.txt",
                             "MyMicOut.txt"],
                            ["RefMicFrom", "RefMicTo", "Correction", "MyMicIn", "MyMicOut"])]
                 + [["extrapolated", f"{len(beyond)} points"]])


def Audio(frequency):
    return 1.5 * math.sin(math.log10(frequency) * 3) - 10


@Case
def awkward_points_and_names(work):
    """Points that have no place in the picture, bytes that are no text, a
    header in an older Windows program's code page, names that are markup,
    header lines too long or too many to show, thousands of points in one
    path."""
    fromName, toName = "R&D 'from'.txt", "to (b).txt"
    # At most two points to a column (see dense_curve), so none is thinned.
    inner = LogSpaced(2000, 10, 100000, Audio)
    awkward = b"-5 1\r\n1e39 2\r\n150 1e39\r\n0 3\r\nnan 1\r\n200,1\r\n"
    Write(work, {
        fromName: b'"From <ref> & co \xff\x01"\r\n' + Table(LogSpaced(5, 10, 100000, lambda f: 0)),
        toName: b'"' + b"x" * 100000 + b'"\r\n'
                + Table([(10, 1), (100, 1), (1000, 1), (10000, 2), (100000, 2)]),
        # An older Windows program's header, in Windows-1252.
        "in.txt": b"\xef\xbb\xbf" + b'"f\xfcr Phase(\xb0) \x80"\r\n'
                  + b"".join(b'"header %d"\r\n' % i for i in range(1, 6))
                  + awkward + Table(inner, third=True),
        # One header line more than the picture shows, said in the singular.
        "out.txt": b"".join(b'"out %d"\r\n' % i for i in range(1, 6)) + b"-5 2\r\n" + Table([(f, r + 1) for f, r in inner], third=True),
        "plot.svg": b"an older picture",
    })
    before = Snapshot(work)
    stdout, status = Run(Settings.Plot, [fromName, toName, "in.txt", "out.txt", "plot.svg"], work)
    Expect((stdout, status) == (Banner, 0), f"status {status}, output {stdout!r}")
    root = CheckPicture(Path(work) / "plot.svg")
    after = Snapshot(work)
    Expect(all(after[name] == before[name] for name in before if name != "plot.svg"),
           "an input file changed")

    curves = CurvePoints(root)
    # The correction is finite at 150 Hz, where MyMicIn's response is not.
    ExpectCounts(curves, {"RefMicFrom": 5, "RefMicTo": 5, "Correction": 2001, "MyMicIn": 2000,
                          "MyMicOut": 2000})
    ExpectInsideFrame(root, curves)
    Expect(FrequencyLabels(root) == ["10 Hz", "20 Hz", "50 Hz", "100 Hz", "200 Hz", "500 Hz",
                                     "1 kHz", "2 kHz", "5 kHz", "10 kHz", "20 kHz", "50 kHz",
                                     "100 kHz"], f"frequency labels {FrequencyLabels(root)}")
    Expect(LevelLabels(root) == ["-12", "-10", "-8", "-6", "-4", "-2", "0", "2"],
           f"level labels {LevelLabels(root)}")
    ExpectLegend(root, [[fromName, "5 points"], [toName, "5 points"],
                        ["MyMicIn", "2001 points, 2 more not drawn"],
                        ["in.txt", "2000 points, 3 more not drawn"],
                        ["out.txt", "2000 points, 1 more not drawn"]])
    headers = Texts(Group(root, "HeaderLines"))
    expectedHeaders = [f'RefMicFrom "From <ref> & co \u00ff{Replacement}"',
                       'RefMicTo "' + "x" * 109 + "\u2026",
                       'MyMicIn "f\u00fcr Phase(\u00b0) \u20ac"'] + [
        f'MyMicIn "header {i}"' for i in range(1, 4)] + ["MyMicIn and 2 more header lines"] + [
        f'MyMicOut "out {i}"' for i in range(1, 5)] + ["MyMicOut and 1 more header line"]
    Expect(headers == expectedHeaders, f"header lines {headers}")


@Case
def names_beyond_ascii(work):
    """A name outside ASCII (and outside Windows' ANSI code page) opens and
    appears in the legend as it was typed."""
    names = ["Référence Ω.txt", "Ziel 目标.txt", "in.txt", "out.txt"]
    Write(work, {names[0]: Good["from.txt"], names[1]: Good["to.txt"], "in.txt": Good["in.txt"],
                 "out.txt": Good["out.txt"]})
    stdout, status = Run(Settings.Plot, names + ["Bild ω.svg"], work)
    Expect((stdout, status) == (Banner, 0), f"status {status}, output {stdout!r}")
    root = CheckPicture(Path(work) / "Bild ω.svg")
    ExpectLegend(root, [[names[0]], [names[1]], [], ["in.txt"], ["out.txt"]])


@Case
def dense_curve(work):
    """Points closer than half a unit are thinned to each column's first,
    lowest, highest and last, so that the path stays readable by XML parsers
    and quick to render; the extremes stay."""
    count = 100000
    dense = [(20 * 1000 ** (i / (count - 1)), 3 * math.sin(i / 7) + (i % 13) / 10)
             for i in range(count)]
    Write(work, {**Good, "in.txt": Table(dense)})
    stdout, status = Run(Settings.Plot, Inputs + ["p.svg"], work)
    Expect((stdout, status) == (Banner, 0), f"status {status}, output {stdout!r}")
    root = CheckPicture(Path(work) / "p.svg")
    curves = CurvePoints(root)
    left, _, right, _ = Frame(root)
    columns = (right - left) / 0.5 + 2
    Expect(len(curves["MyMicIn"]) <= 4 * columns, f"{len(curves['MyMicIn'])} points drawn")
    toLevel = LevelOf(root)
    drawn = [toLevel(y) for _, y in curves["MyMicIn"]]
    responses = [float(f"{r:.4f}") for _, r in dense]
    Expect(abs(min(drawn) - min(responses)) < 0.01 and abs(max(drawn) - max(responses)) < 0.01,
           f"drawn from {min(drawn)} to {max(drawn)}, "
           f"the data from {min(responses)} to {max(responses)}")
    ExpectLegend(root, [[], [], [f"{count} points"], [f"{count} points"], ["1 point"]])


@Case
def one_frequency_and_flat_responses(work):
    """Degenerate data still gets axes with room around it."""
    Write(work, {"from.txt": b"1000 0\n1000 0\n", "to.txt": b"1000 0\n1000 0\n",
                 "in.txt": b"1000 0\n", "out.txt": b"1000 0\n"})
    stdout, status = Run(Settings.Plot, ["from.txt", "to.txt", "in.txt", "out.txt", "p.svg"], work)
    Expect((stdout, status) == (Banner, 0), f"status {status}, output {stdout!r}")
    root = CheckPicture(Path(work) / "p.svg")
    ExpectCounts(CurvePoints(root), {"RefMicFrom": 2, "RefMicTo": 2, "Correction": 1,
                                     "MyMicIn": 1, "MyMicOut": 1})
    Expect(FrequencyLabels(root) == ["1 kHz", "2 kHz"], f"labels {FrequencyLabels(root)}")
    Expect(LevelLabels(root)[0] == "-1.0" and LevelLabels(root)[-1] == "1.0",
           f"labels {LevelLabels(root)}")


# The example conversion, and one whose names and header lines are long (a
# serial number at the end of one, a name too long for any line).
LongName = "Reference microphone, old calibration from the lab in Tampere, March 2021.txt"
UnbrokenName = "N" * 120 + ".txt"
WordyName = " ".join(["out"] * 36) + ".txt"
WidthInputs = {
    "examples": {name: (Examples / source).read_bytes() for name, source in
                 [("RefMicFrom.txt", "RefMicFrom.txt"), ("RefMicTo.txt", "RefMicTo.txt"),
                  ("MyMicIn.txt", "MyMicIn.txt"), ("MyMicOut.txt", "expected/MyMicOut.txt")]},
    "long names": {
        LongName: b'"Sens Factor =-0.84dB, serial number of the reference microphone: 7021563"\r\n'
                  + Table(LogSpaced(40, 10, 100000, lambda f: 0.1 * math.log10(f))),
        UnbrokenName: Table(LogSpaced(40, 10, 100000, lambda f: 0.2 * math.log10(f))),
        "in.txt": b"".join(b'"header %d of a calibration with many"\r\n' % i for i in range(6))
                  + Table(LogSpaced(200, 20, 20000, Audio)),
        WordyName: Table(LogSpaced(200, 20, 20000, lambda f: Audio(f) + 0.1)),
    },
}
# Both sides of the breakpoint at 600, and the ends of the range.
Widths = [240, 320, 390, 599, 600, 960, 4000]


@Case
def widths(work):
    """At every width the whole picture fits: nothing beyond its edges, no
    text under 10 units, frequency labels apart, the legend below the panels,
    the curves drawn as at the usual width, no entry of the legend longer
    than four lines however long a name; a phone's picture keeps a header
    line's end (a serial number, say) on a second line, where a wider one
    has room for more of it on one."""
    for inputs, files in WidthInputs.items():
        Write(work, files)
        names = list(files)
        for width in Widths:
            picture = Path(work) / f"{inputs} {width}.svg"
            stdout, status = Run(Settings.Plot, ["--width", str(width)] + names + [picture.name],
                                 work)
            Expect((stdout, status) == (Banner, 0),
                   f"{inputs} at {width}: status {status}, output {stdout!r}")
            root = CheckPicture(picture)
            where = f"{inputs} at {width}: "
            Expect(root.get("width") == f"{width}.00" and
                   root.get("viewBox").startswith(f"0 0 {width}.00 "),
                   where + f"the picture is {root.get('width')} wide")
            Expect(min(TextSizes(root)) >= 10, where + f"text of size {min(TextSizes(root))}")
            try:
                ExpectNothingOutside(picture)
                ExpectLabelsApart(root)
                ExpectReadableWithoutColour(root)
                ExpectInsideFrame(root, CurvePoints(root))
            except Failure as problem:
                raise Failure(where + str(problem))
            _, _, _, bottom = Frame(root, "CorrectionFrame")
            legendTop = min(float(t.get("y")) for t in Group(root, "Legend").iter(Svg + "text"))
            Expect(legendTop > bottom + 30, where + "the legend is not below the panels")
            labels = FrequencyLabels(root)
            Expect(width < 320 or all(d in labels for d in ["100 Hz", "1 kHz", "10 kHz"]),
                   where + f"the frequency labels {labels} lack a decade")
            legend = Texts(Group(root, "Legend"))
            Expect(len(legend) <= 6 * 4, where + f"the legend takes {len(legend)} lines")
            legend = " ".join(legend)
            shown = [name if len(name) < 60 else name[:20] for name in names]
            Expect(all(name in legend for name in shown),
                   where + f"the legend {legend!r} does not name every file")
            headers = " ".join(Texts(Group(root, "HeaderLines")))
            Expect(not 320 <= width < 600 or inputs != "long names" or "7021563" in headers,
                   where + f"the header lines {headers!r} lose the serial number")


Good = {"from.txt": b"100 0\n1000 0\n", "to.txt": b"100 1\n1000 1\n", "in.txt": b"500 -2.5\n",
        "out.txt": b"500.000000 -1.500000\r\n"}
Inputs = ["from.txt", "to.txt", "in.txt", "out.txt"]

WrongWidth = "Error - the width must be a whole number from 240 to 4000\n" + Usage[len(Banner):]

# name, files beyond Good, arguments, expected output after the banner, and
# whether the converter, given the first four arguments, must say the same.
Failures = [
    ("no arguments", {}, [], None, False),
    ("four arguments", {}, Inputs, None, False),
    ("seven arguments", {}, Inputs + ["p.svg", "extra"], None, False),
    ("an unknown option", {}, ["--wide"] + Inputs + ["p.svg"],
     "Error - unknown option --wide\n" + Usage[len(Banner):], False),
    ("a width too narrow", {}, ["--width", "100"] + Inputs + ["p.svg"], WrongWidth, False),
    ("a width too wide", {}, Inputs + ["p.svg", "--width", "4001"], WrongWidth, False),
    ("a width that is no whole number", {}, ["--width", "390px"] + Inputs + ["p.svg"],
     WrongWidth, False),
    ("a width without its number", {}, Inputs + ["p.svg", "--width"],
     "Error - option --width needs N\n" + Usage[len(Banner):], False),
    ("missing RefMicFrom", {}, ["nothing.txt"] + Inputs[1:] + ["p.svg"],
     "Error - could not open nothing.txt\n", True),
    ("RefMicTo of one point", {"one.txt": b'"h"\n100 1\n'},
     ["from.txt", "one.txt", "in.txt", "out.txt", "p.svg"], "Error - invalid file one.txt\n",
     True),
    ("MyMicIn is a directory", {"folder/x": b""},
     ["from.txt", "to.txt", "folder", "out.txt", "p.svg"], "Error - could not open folder\n",
     True),
    ("missing MyMicOut", {}, Inputs[:3] + ["gone.txt", "p.svg"],
     "Error - could not open gone.txt\n", False),
    ("picture is MyMicIn", {}, Inputs + ["in.txt"],
     "Error - will not overwrite input file in.txt\n", False),
    ("picture is MyMicOut by another spelling", {}, Inputs + ["./sub/../out.txt"],
     "Error - will not overwrite input file ./sub/../out.txt\n", False),
    ("picture in a missing folder", {}, Inputs + ["none/p.svg"],
     "Error - could not open none/p.svg for writing\n", False),
]


def FailureCase(name, files, arguments, expected, sameAsConverter):
    def Check(work):
        Write(work, {**Good, **files, "sub/keep": b""})
        before = Snapshot(work)
        stdout, status = Run(Settings.Plot, arguments, work)
        wanted = Usage if expected is None else Banner + expected
        Expect((stdout, status) == (wanted, FailureStatus),
               f"status {status}, output {stdout!r}, expected {wanted!r}")
        Expect(Snapshot(work) == before, "a file was written or changed")
        if sameAsConverter:
            converted, status = Run(Settings.Tarvelin, arguments[:4], work)
            Expect((converted, status) == (ConverterBanner + expected, FailureStatus),
                   f"the converter says {converted!r} with status {status}")
    Check.__name__ = name
    Check.__doc__ = f"Fails as it should: {name}."
    return Check


for failure in Failures:
    Cases.append(FailureCase(*failure))


@Case
def help_version_and_the_end_of_options(work):
    """--help and --version answer and end; after "--" a name like -p.svg is a file."""
    Write(work, Good)
    stdout, status = Run(Settings.Plot, ["--help"], work)
    Expect(status == 0 and stdout.startswith(Usage[len(Banner):]) and "--version" in stdout,
           f"--help: status {status}, output {stdout!r}")
    stdout, status = Run(Settings.Plot, ["--version"], work)
    Expect(status == 0 and re.fullmatch(r"TarvelinPlot \d+\.\d+\.\d+\n", stdout),
           f"--version: status {status}, output {stdout!r}")
    stdout, status = Run(Settings.Plot, ["--"] + Inputs + ["-p.svg"], work)
    Expect((stdout, status) == (Banner, 0), f"status {status}, output {stdout!r}")
    CheckPicture(Path(work) / "-p.svg")


@Case
def picture_is_a_link_to_a_reference(work):
    """A symbolic link or hard link to an input is that input."""
    Write(work, Good)
    os.symlink("to.txt", Path(work) / "soft.svg")
    os.link(Path(work) / "from.txt", Path(work) / "hard.svg")
    before = Snapshot(work)
    for picture in ["soft.svg", "hard.svg"]:
        stdout, status = Run(Settings.Plot, Inputs + [picture], work)
        wanted = Banner + f"Error - will not overwrite input file {picture}\n"
        Expect((stdout, status) == (wanted, FailureStatus), f"status {status}, output {stdout!r}")
    Expect(Snapshot(work) == before, "a file was written or changed")


@Case
def full_disk(work):
    """A picture that cannot be stored is a failure, never success."""
    if not Path("/dev/full").exists() or Settings.Emulator:
        print("  (no /dev/full here: nothing to check)")
        return
    Write(work, Good)
    stdout, status = Run(Settings.Plot, Inputs + ["/dev/full"], work)
    wanted = Banner + "Error - could not write /dev/full\n"
    Expect((stdout, status) == (wanted, FailureStatus), f"status {status}, output {stdout!r}")


def Main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--plot", required=True, help="the TarvelinPlot executable")
    parser.add_argument("--tarvelin", required=True, help="the Tarvelin executable")
    parser.add_argument("--emulator", default="", help="command prefix that runs both")
    options = parser.parse_args()
    Settings.Plot = str(Path(options.plot).resolve())
    Settings.Tarvelin = str(Path(options.tarvelin).resolve())
    Settings.Emulator = SplitEmulator(options.emulator)

    missing = [tool for tool in ["xmllint", "rsvg-convert"] if shutil.which(tool) is None]
    if missing:
        print(f"FAILED: {', '.join(missing)} not found; install libxml2-utils and librsvg2-bin")
        return 1

    passed = failed = 0
    for case in Cases:
        with tempfile.TemporaryDirectory(prefix="tarvelin-plot-") as work:
            try:
                case(work)
                print(f"{case.__name__}: passed")
                passed += 1
            except Failure as problem:
                print(f"{case.__name__}: FAILED ({case.__doc__.splitlines()[0]})")
                print("  " + str(problem).replace("\n", "\n  "))
                failed += 1
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(Main())
