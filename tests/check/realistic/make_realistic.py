#!/usr/bin/env python3
"""Writes calibration files shaped like the ones people really feed the
converter: a reference microphone calibrated twice, two years apart, at 0
and at 90 degrees; another reference calibrated first by a lab and then by
its maker, the two files written by different programs; a measurement
microphone's 0- and 90-degree files with quoted Sens Factor lines and CR LF
ends; an older file whose Sens Factor line lost its quote; a
calibration lab's table of 1/3-octave points under % comments; a
room-correction program's three-column file that starts at 0 Hz; a
loudspeaker's FRD file with a deep woofer roll-off and wrapping phase; an
absolute-level export in scientific notation; a flat two-point file; and a
classic Mac OS file ended by CR alone. Every curve is a smooth invented one
and every serial number is made up. They exist so that the calibration
check can be run over every shape that turns up in practice and shown to
stay quiet where nothing is wrong, and to say only what is true where
something is (the lost quote, the dropped comment and 0 Hz lines).
Deterministic: run it again and the bytes are the same.
"""

import cmath
import math
from pathlib import Path

Here = Path(__file__).resolve().parent


def Number(value, decimals):
    # A -0.00 is not what any program writes for a value that rounds to zero.
    text = f"{value:.{decimals}f}"
    return text[1:] if text.startswith("-") and float(text) == 0 else text


def Shortest(value):
    """A frequency as microphone makers' files write it: five significant
    digits and no trailing zeros, so 11.1 next to 11.663, and 100."""
    text = f"{value:.5g}"
    return text if "e" not in text else f"{float(text):.0f}"


def LogSpaced(first, last, count):
    ratio = (last / first) ** (1 / (count - 1))
    return [first * ratio**i for i in range(count - 1)] + [last]


def Decibels(h):
    return 20 * math.log10(abs(h))


def HighPass2(f, corner, q=0.707):
    p = 1j * f / corner
    return p * p / (p * p + p / q + 1)


def LowPass2(f, corner, q):
    p = 1j * f / corner
    return 1 / (p * p + p / q + 1)


def Microphone(f, low, high, q, ripple, turn):
    """A microphone's response in dB, 0 dB at 1 kHz: a gentle low-frequency
    roll-off, a resonance that lifts and then drops the top octave, and a
    slow ripple of a tenth of a dB or less in between."""
    def Raw(f):
        slow = ripple * math.sin(2.1 * math.log(f / 40) + turn) / (1 + (f / 8000) ** 2)
        return Decibels(HighPass2(f, low) * LowPass2(f, high, q)) + slow
    return Raw(f) - Raw(1000)


def Write(name, lines, end):
    (Here / name).write_bytes("".join(line + end for line in lines).encode("ascii"))


def Table(frequencies, responses, fDecimals, rDecimals, separator):
    """Fixed decimals for the frequencies, or the shortest form for None."""
    return [(Shortest(f) if fDecimals is None else Number(f, fDecimals)) + separator
            + Number(r, rDecimals) for f, r in zip(frequencies, responses)]


def Wrapped(degrees):
    return (degrees + 180) % 360 - 180


# The grid that microphone makers' files share: 615 points, 10 Hz to 20 kHz.
Grid = LogSpaced(10.054, 20016.816, 615)


def Reference():
    # Two years apart, the same capsule drifts by a fraction of a dB, and
    # smoothly, alike at both angles: the conversion carries exactly that
    # difference over. Sideways the small capsule loses 3 dB at 20 kHz.
    old = [Microphone(f, 7.5, 24000, 0.95, 0.06, 0.3) for f in Grid]
    side = [r - 0.75 * (f / 10000) ** 2 for f, r in zip(Grid, old)]
    drift = [0.26 * math.sin(2.2 * math.log10(f / 10) + 0.7) for f in Grid]
    for name, header, responses in (("reference", "", old), ("reference-90deg", ", 90deg", side)):
        Write(f"{name}-2023.txt", ['"Sens Factor =-1.07dB, SERNO: 5306K' + header]
              + Table(Grid, responses, None, 4, "\t"), "\r\n")
        Write(f"{name}-2025.txt", ['"Sens Factor =-1.12dB, SERNO: 5306K' + header]
              + Table(Grid, [r + d for r, d in zip(responses, drift)], None, 4, "\t"), "\r\n")


def ReferenceFromTwoWriters():
    # First calibrated by a lab on its own 1/6-octave grid, then by the
    # maker on the usual one; in between the capsule drifted a little.
    lab = [10 ** (k / 20) for k in range(20, 89)]
    comments = ["% Nordvik Maleteknikk, calibration certificate 22-0417",
                "% Reference microphone, serial number 2719044", "% Free field, 0 degrees",
                "% Date 2022-09-05", "% f/Hz\tdB re 1 kHz"]
    Write("reference-lab-2022.txt", comments + Table(
        lab, [Microphone(f, 6.8, 26000, 0.9, 0.05, 1.1) for f in lab], 2, 3, "\t"), "\n")
    drifted = [Microphone(f, 6.8, 26000, 0.9, 0.05, 1.1)
               + 0.18 * math.sin(1.7 * math.log10(f / 10) + 2.0) for f in Grid]
    Write("reference-maker-2024.txt", ['"Sens Factor =-0.77dB, SERNO: 2719044']
          + Table(Grid, drifted, None, 4, "\t"), "\r\n")


def CalibratedMicrophone():
    # Sideways, the capsule loses the top octaves (about -1.5 dB at 10 kHz,
    # -6 dB at 20 kHz) and nothing below a few kHz.
    front = [Microphone(f, 9.0, 15500, 1.35, 0.08, 1.9) for f in Grid]
    side = [r - 1.5 * (f / 10000) ** 2 for f, r in zip(Grid, front)]
    header = '"Sens Factor =-0.53dB, SERNO: 7012946'
    Write("calmic-0deg.txt", [header] + Table(Grid, front, None, 4, "\t"), "\r\n")
    Write("calmic-90deg.txt", [header + ", 90deg"] + Table(Grid, side, None, 4, "\t"), "\r\n")


def OlderUnquoted():
    frequencies = LogSpaced(10, 20000, 300)
    responses = [Microphone(f, 11.0, 17000, 1.3, 0.1, 4.0) for f in frequencies]
    Write("older-unquoted.txt", ["Sens Factor =-.6162dB, SERNO: 7005123"]
          + Table(frequencies, responses, None, 3, "\t"), "\r\n")


def LabPercent():
    # Nominal 1/3-octave centres, then the lab's two points above 40 kHz.
    mantissas = [1, 1.25, 1.6, 2, 2.5, 3.15, 4, 5, 6.3, 8]
    nominal = [m * 10**d for d in range(5) for m in mantissas]
    frequencies = [f for f in nominal if 5 <= f <= 40000] + [44668, 48978]
    comments = ["% Halvorsen Akustik Kalibrering", "% Microphone type 4190, serial number 2631045",
                "% Free-field response, 0 degrees incidence", "% Date 2024-03-18",
                "% Frequency [Hz]  Level [dB]"]
    lines = [f"{f:<10g}{Number(Microphone(f, 2.6, 41000, 0.9, 0.02, 0.0), 2):>6}"
             for f in frequencies]
    Write("lab-percent.txt", comments + lines, "\n")


def RoomCorrection():
    # Its 0 Hz line holds no point; it repeats the lowest response.
    frequencies = LogSpaced(3.0, 24000, 256)
    lines = []
    for f in frequencies:
        response = Microphone(f, 3.03, 21000, 1.1, 0.05, 2.5)
        phase = 4.6 / (1 + f / 20) - 4.2 / (1 + 9000 / f)
        lines.append(f"{Number(f, 3)} {Number(response, 2)} {Number(phase, 2)}")
    first = lines[0].split()[1]
    Write("room-correction.txt", ["* Measurement microphone 8024117, room correction curve",
                                  f"0.000 {first} 0.00"] + lines, "\n")


def Loudspeaker():
    # A vented woofer's fourth-order roll-off, a tweeter's lift and top
    # roll-off, a baffle's ripple, and the phase of the whole wrapped.
    lines = ["* Two-way monitor, on axis at 1 m, 2.83 V", "* Frequency [Hz]  SPL [dB]  Phase [deg]",
             "* Gated above 200 Hz, near field below"]
    for f in LogSpaced(10, 40000, 4000):
        p = 1j * f / 71
        woofer = p**4 / ((p * p + 0.7654 * p + 1) * (p * p + 1.8478 * p + 1))
        h = woofer * LowPass2(f, 30000, 0.85)
        ripple = 1.1 * math.sin(5.2 * math.log10(f / 180)) / (1 + (250 / f) ** 2)
        level = Decibels(h) + ripple + 1.4 / (1 + (4000 / f) ** 2) + 0.8
        phase = Wrapped(math.degrees(cmath.phase(h)) - 360 * f * 0.00012)
        lines.append(f"{Number(f, 3)} {Number(level, 3)} {Number(phase, 2)}")
    Write("loudspeaker.frd", lines, "\n")


def AbsoluteSpl():
    # A room's low-frequency bump on an absolute level near 72 dB.
    lines = ['"Frequency (Hz)\tSPL (dB)\tPhase (degrees)']
    for f in LogSpaced(20, 20000, 500):
        h = HighPass2(f, 24, 0.8) * LowPass2(f, 26000, 0.7)
        bump = 4.0 / (1 + (math.log2(f / 48) / 0.7) ** 2)
        level = 71.5 + Decibels(h) + bump + 0.9 * math.sin(3.1 * math.log10(f / 90))
        phase = Wrapped(math.degrees(cmath.phase(h)) - 360 * f * 0.00015)
        lines.append("\t".join(f"{v:.6e}" for v in (f, level, phase)))
    Write("absolute-spl.txt", lines, "\r\n")


def FlatTwoPoint():
    Write("flat-two-point.txt", ['"Flat, no calibration', "1 0", "40000 0"], "\n")


def ClassicMac():
    frequencies = LogSpaced(20, 20000, 100)
    responses = [Microphone(f, 14.0, 17000, 1.1, 0.07, 5.1) for f in frequencies]
    Write("classic-mac.txt", ['"Microphone 6100874, free field']
          + Table(frequencies, responses, 1, 2, " "), "\r")


if __name__ == "__main__":
    for make in (Reference, ReferenceFromTwoWriters, CalibratedMicrophone, OlderUnquoted,
                 LabPercent, RoomCorrection, Loudspeaker, AbsoluteSpl, FlatTwoPoint, ClassicMac):
        make()
