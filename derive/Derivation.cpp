#include "Derivation.h"

#include "Catalogue.h"
#include "EvaluateCurve.h"
#include "FloatText.h"
#include "LogarithmicGrid.h"
#include "Messages.h"
#include "NumberFormatter.h"
#include "OverwriteGuard.h"
#include "PointConversion.h"
#include "TextWriter.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr double Ln2 = 0.693147180559945309417232121458176568;

// Where the result is expected near 0 dB, and how far it may stray there.
constexpr float StrayLow = 100.0f;
constexpr float StrayHigh = 10000.0f;
constexpr double StrayLimit = 10.0;
constexpr double LevelDifferenceLimit = 20.0;
// A measurement whose levels all lie this close to 0 dB there is more
// likely a calibration file.
constexpr double CalibrationLikeLimit = 3.0;

// The difference of the two measurements, piecewise linear in frequency
// between Breaks (every frequency of either, over the span both cover), and
// the integral over the logarithm of frequency from the first break up to
// each break.
struct Difference {
    std::vector<double> Breaks;
    std::vector<double> Values;
    std::vector<double> Integrals;
};

// 1 - ln(1 + x) / x, which the direct form loses to cancellation for small
// x: there, its series.
double LogRemainder(double x) {
    if (x < 1e-4) {
        return x * (0.5 - x * (1.0 / 3.0 - x * 0.25));
    }
    return 1.0 - std::log1p(x) / x;
}

// The integral over u = ln f, from fa to fb, of the straight line in f
// through (fa, da) and (fb, db): with d = a + b * e^u, it is a * du + b *
// (fb - fa) = da * du + (db - da) * (1 - fa * du / (fb - fa)).
double PieceIntegral(double fa, double da, double fb, double db) {
    if (!(fb > fa)) {
        return 0.0;
    }
    const double x = (fb - fa) / fa;
    return da * std::log1p(x) + (db - da) * LogRemainder(x);
}

double Interpolated(const Difference& d, std::size_t k, double f) {
    const double f0 = d.Breaks[k];
    const double f1 = d.Breaks[k + 1];
    return d.Values[k] + (d.Values[k + 1] - d.Values[k]) * ((f - f0) / (f1 - f0));
}

// The piece (breaks k and k+1) that holds f, walking on from k: the windows'
// edges only ever rise, so that all the walks together pass each break once.
std::size_t PieceOf(const Difference& d, std::size_t k, double f) {
    const std::size_t last = d.Breaks.size() - 2;
    while (k < last && d.Breaks[k + 1] <= f) {
        ++k;
    }
    return k;
}

// Beyond this many whole pieces, a window's integral takes the difference
// of the running integrals; within it, their sum, which keeps a narrow
// window near the ends as exact as a wide one.
constexpr std::size_t SummedPieces = 32;

double WindowIntegral(const Difference& d, double low, std::size_t kLow, double high,
                      std::size_t kHigh) {
    const double dLow = Interpolated(d, kLow, low);
    const double dHigh = Interpolated(d, kHigh, high);
    if (kLow == kHigh) {
        return PieceIntegral(low, dLow, high, dHigh);
    }
    double sum = PieceIntegral(low, dLow, d.Breaks[kLow + 1], d.Values[kLow + 1]);
    if (kHigh - kLow - 1 > SummedPieces) {
        sum += d.Integrals[kHigh] - d.Integrals[kLow + 1];
    } else {
        for (std::size_t k = kLow + 1; k < kHigh; ++k) {
            sum += PieceIntegral(d.Breaks[k], d.Values[k], d.Breaks[k + 1], d.Values[k + 1]);
        }
    }
    return sum + PieceIntegral(d.Breaks[kHigh], d.Values[kHigh], high, dHigh);
}

// Every frequency of either measurement between low and high, the two
// included, with the difference there as the evaluations give it.
void BreaksOf(const CalibrationCurve& ref, const CalibrationCurve& my, float low, float high,
              Difference& d) {
    const std::vector<float>& a = ref.Frequencies;
    const std::vector<float>& b = my.Frequencies;
    std::size_t i = static_cast<std::size_t>(std::upper_bound(a.begin(), a.end(), low) - a.begin());
    std::size_t j = static_cast<std::size_t>(std::upper_bound(b.begin(), b.end(), low) - b.begin());
    const std::size_t most = a.size() + b.size() + 2;
    d.Breaks.reserve(most);
    d.Values.reserve(most);
    d.Integrals.reserve(most);
    const auto add = [&](float f) {
        const float from = EvaluateCurve(ref, f);
        const float to = EvaluateCurve(my, f);
        const double value = static_cast<double>(to) - from;
        const std::size_t n = d.Breaks.size();
        d.Integrals.push_back(n == 0
                                  ? 0.0
                                  : d.Integrals[n - 1] +
                                        PieceIntegral(d.Breaks[n - 1], d.Values[n - 1], f, value));
        d.Breaks.push_back(f);
        d.Values.push_back(value);
    };
    ResetEvaluation();
    add(low);
    for (;;) {
        const float next = std::min(i < a.size() ? a[i] : high, j < b.size() ? b[j] : high);
        if (!(next < high)) {
            break;
        }
        add(next);
        i += i < a.size() && a[i] == next;
        j += j < b.size() && b[j] == next;
    }
    add(high);
}

struct Covered {
    float Low = 0.0f;
    float High = 0.0f;
};

Covered CoveredBy(const CalibrationCurve& curve) {
    return {curve.Frequencies.front(), curve.Frequencies.back()};
}

Covered Overlap(Covered a, Covered b) {
    return {std::max(a.Low, b.Low), std::min(a.High, b.High)};
}

std::string Hertz(float f) {
    return ShownNumber(f);
}

bool CoversAnOctave(const DerivationInputs& inputs, Covered all) {
    if (all.High >= 2.0 * static_cast<double>(all.Low)) {
        return true;
    }
    const Covered cal = CoveredBy(inputs.RefMicCal);
    const Covered ref = CoveredBy(inputs.RefMicMeasured.Curve);
    const Covered my = CoveredBy(inputs.MyMicMeasured.Curve);
    const std::string message =
        // TRANSLATORS: the three files by their names as given, each with its
        // lowest and highest frequency.
        Say("Error - {calibration} covers {calibrationLow} Hz to {calibrationHigh} Hz, "
            "{reference} {referenceLow} Hz to {referenceHigh} Hz and {measured} {measuredLow} Hz "
            "to {measuredHigh} Hz: together less than an octave, so nothing was written. "
            "Measure both microphones over the frequencies that {calibration} covers.",
            {{"calibration", inputs.RefMicCalPath},
             {"calibrationLow", Hertz(cal.Low)},
             {"calibrationHigh", Hertz(cal.High)},
             {"reference", inputs.RefMicMeasuredPath},
             {"referenceLow", Hertz(ref.Low)},
             {"referenceHigh", Hertz(ref.High)},
             {"measured", inputs.MyMicMeasuredPath},
             {"measuredLow", Hertz(my.Low)},
             {"measuredHigh", Hertz(my.High)}});
    PrintMessage("%s\n", message.c_str());
    return false;
}

// The output's frequencies: RefMicCal's own, or the logarithmic grid, over
// span; and the level frequency among them, where it lies within span, so
// that the result is seen to be 0 dB there. A grid point within a hundredth
// of a step of it gives way to it.
void PlanFrequencies(const DerivationInputs& inputs, const DerivationRequest& request, Covered span,
                     std::vector<float>& frequencies) {
    if (request.PointsPerOctave == 0) {
        const std::vector<float>& f = inputs.RefMicCal.Frequencies;
        frequencies.assign(std::lower_bound(f.begin(), f.end(), span.Low),
                           std::upper_bound(f.begin(), f.end(), span.High));
    } else {
        const LogarithmicGrid grid = {false, span.Low, request.PointsPerOctave, span.High};
        WalkGrid(grid, UINT64_MAX, [&](float f) {
            frequencies.push_back(f);
            return true;
        });
    }
    const float level = request.LevelFrequency;
    if (!request.Levelled || level < span.Low || level > span.High) {
        return;
    }
    const auto at = std::lower_bound(frequencies.begin(), frequencies.end(), level);
    if (at != frequencies.end() && *at == level) {
        return;
    }
    if (request.PointsPerOctave > 0) {
        const double near = PowerOfTwoFraction(1, 100 * request.PointsPerOctave);
        if (at != frequencies.end() && *at / static_cast<double>(level) < near) {
            *at = level;
            return;
        }
        if (at != frequencies.begin() && level / static_cast<double>(*(at - 1)) < near) {
            *(at - 1) = level;
            return;
        }
    }
    frequencies.insert(at, level);
}

// The mean over log-frequency of the difference within 1/n octave around f,
// the window narrowed at either end of the difference so that it stays
// centred on f. kLow and kHigh carry the pieces of the window's edges from
// one frequency to the next.
double Smoothed(const Difference& d, int n, double f, std::size_t& kLow, std::size_t& kHigh) {
    const double u = std::log(f);
    const double half =
        std::min({Ln2 / (2.0 * n), u - std::log(d.Breaks.front()), std::log(d.Breaks.back()) - u});
    if (!(half > 0.0)) {
        return Interpolated(d, PieceOf(d, 0, f), f);
    }
    const double low = std::max(d.Breaks.front(), f * std::exp(-half));
    const double high = std::min(d.Breaks.back(), f * std::exp(half));
    kLow = PieceOf(d, kLow, low);
    kHigh = PieceOf(d, kHigh, high);
    return WindowIntegral(d, low, kLow, high, kHigh) / (2.0 * half);
}

void AddWarning(Derivation& derivation, DerivationWarningCode code, DerivationFile file,
                std::uint64_t line, float frequency, float value) {
    derivation.Warnings.push_back({code, file, line, frequency, value});
}

void LookAtMeasurement(const MeasuredCurve& measured, DerivationFile file, Derivation& derivation) {
    const CalibrationCurve& curve = measured.Curve;
    if (measured.CalibrationLikeLine != 0) {
        AddWarning(derivation, DerivationWarningCode::LooksLikeCalibration, file,
                   measured.CalibrationLikeLine, 0.0f, 0.0f);
    } else {
        const auto first =
            std::lower_bound(curve.Frequencies.begin(), curve.Frequencies.end(), StrayLow) -
            curve.Frequencies.begin();
        const auto end =
            std::upper_bound(curve.Frequencies.begin(), curve.Frequencies.end(), StrayHigh) -
            curve.Frequencies.begin();
        bool nearZero = end - first >= 2;
        for (auto i = first; nearZero && i < end; ++i) {
            nearZero =
                std::fabs(curve.Responses[static_cast<std::size_t>(i)]) <= CalibrationLikeLimit;
        }
        if (nearZero) {
            const auto i = static_cast<std::size_t>(first);
            AddWarning(derivation, DerivationWarningCode::LooksLikeCalibration, file,
                       measured.Lines[i], curve.Frequencies[i], curve.Responses[i]);
        }
    }
    if (measured.PhaseLine != 0) {
        AddWarning(derivation, DerivationWarningCode::PhaseSecond, file, measured.PhaseLine, 0.0f,
                   measured.PhaseStep);
    }
}

// "1/12 octave", "+2.35 dB": the header line is part of the file, in the
// file format's own fixed English.
std::string FixedDecibels(double value) {
    char text[64];
    const auto [end, error] = FormatFixed(text, text + sizeof text, std::fabs(value), 2);
    return error == std::errc{} ? std::string(text, end) : std::string("?");
}

std::string ShortestHertz(float value) {
    char text[64];
    const auto [end, error] = FormatShortest(text, text + sizeof text, value);
    return error == std::errc{} ? std::string(text, end) : std::string("?");
}

std::string HeaderLineOf(const Derivation& derivation, bool differenceKnown) {
    // The serial number is not introduced by a word that marks one: the
    // file is another microphone's, whose serial number it does not know.
    std::string line =
        derivation.Serial.empty()
            ? "\"Derived by comparison with a calibrated microphone"
            : "\"Derived by comparison with calibrated microphone " + derivation.Serial;
    line += derivation.Smoothing == 0
                ? ", not smoothed"
                : ", smoothed to 1/" + std::to_string(derivation.Smoothing) + " octave";
    const std::string at = ShortestHertz(derivation.LevelFrequency);
    if (derivation.Levelled) {
        line += ", 0 dB at " + at + " Hz";
    } else {
        line += ", not levelled";
    }
    if (differenceKnown) {
        const double difference = derivation.MeasuredDifferenceAt;
        line += (derivation.Levelled ? ", where this microphone measured "
                                     : "; at " + at + " Hz this microphone measured ") +
                FixedDecibels(difference) +
                (difference < 0 ? " dB below the calibrated one" : " dB above the calibrated one");
    }
    return line;
}

} // namespace

bool Derive(const DerivationInputs& inputs, const DerivationRequest& request,
            Derivation& derivation) {
    derivation = {};
    const CalibrationCurve& cal = inputs.RefMicCal;
    const CalibrationCurve& ref = inputs.RefMicMeasured.Curve;
    const CalibrationCurve& my = inputs.MyMicMeasured.Curve;
    const Covered measured = Overlap(CoveredBy(ref), CoveredBy(my));
    const Covered all = Overlap(CoveredBy(cal), measured);
    if (!CoversAnOctave(inputs, all)) {
        return false;
    }
    Covered span = all;
    if (request.HasRange) {
        span = Overlap(all, {request.Low, request.High});
        if (!(span.Low < span.High)) {
            const std::string message =
                // TRANSLATORS: {low} and {high} are the frequencies of
                // --range, {first} and {last} those that all three files
                // cover.
                Say("Error - the range {low} Hz to {high} Hz lies beyond {first} Hz to {last} "
                    "Hz, which all three files cover, so nothing was written. Give a range "
                    "within it.",
                    {{"low", Hertz(request.Low)},
                     {"high", Hertz(request.High)},
                     {"first", Hertz(all.Low)},
                     {"last", Hertz(all.High)}});
            PrintMessage("%s\n", message.c_str());
            return false;
        }
        derivation.RangeNarrowed = span.Low != request.Low || span.High != request.High;
    }
    const float level = request.LevelFrequency;
    const bool levelCovered = level >= all.Low && level <= all.High;
    if (request.Levelled && !levelCovered) {
        const std::string message =
            // TRANSLATORS: {first} and {last} are the frequencies that all
            // three files cover; "none" stays as it is.
            Say("Error - --level-at {frequency} lies beyond {first} Hz to {last} Hz, which all "
                "three files cover, so nothing was written. Give a frequency within it, or "
                "--level-at none.",
                {{"frequency", ShownNumber(level)},
                 {"first", Hertz(all.Low)},
                 {"last", Hertz(all.High)}});
        PrintMessage("%s\n", message.c_str());
        return false;
    }
    derivation.Low = span.Low;
    derivation.High = span.High;
    derivation.Smoothing = request.Smoothing;
    derivation.Levelled = request.Levelled;
    derivation.LevelFrequency = level;
    derivation.Serial = inputs.Serial;

    std::vector<float>& f = derivation.Frequencies;
    PlanFrequencies(inputs, request, span, f);
    const std::size_t n = f.size();
    derivation.RawDifference.resize(n);
    derivation.SmoothedDifference.resize(n);
    derivation.Reference.resize(n);
    derivation.Result.resize(n);
    std::vector<double> result(n);

    // The unsmoothed result is the converter's own sum, in its order, so
    // that at RefMicCal's frequencies it is the converter's result bit for
    // bit.
    const bool own = request.PointsPerOctave == 0;
    const ConversionReferences references = ReferencesOf(ref, my);
    ResetEvaluation();
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i) {
        while (own && k < cal.Frequencies.size() && cal.Frequencies[k] < f[i]) {
            ++k;
        }
        // Of RefMicCal's own points only the level frequency may be added.
        const float response = own && k < cal.Frequencies.size() && cal.Frequencies[k] == f[i]
                                   ? cal.Responses[k]
                                   : EvaluateCurve(cal, f[i]);
        const ConvertedPoint point = ConvertPoint(references, f[i], response);
        derivation.Reference[i] = response;
        derivation.RawDifference[i] = point.Correction;
        derivation.SmoothedDifference[i] = point.Correction;
        result[i] = (static_cast<double>(point.To) + response) - point.From;
    }
    if (request.Smoothing > 0) {
        Difference d;
        BreaksOf(ref, my, measured.Low, measured.High, d);
        std::size_t kLow = 0;
        std::size_t kHigh = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double smoothed = Smoothed(d, request.Smoothing, f[i], kLow, kHigh);
            derivation.SmoothedDifference[i] = static_cast<float>(smoothed);
            result[i] = static_cast<double>(derivation.Reference[i]) + smoothed;
        }
    }

    // The level: the measurements' raw difference at F, and the shift that
    // makes the result 0 dB there. F is one of the points, so that the
    // shift is the negated value at that point and the sum is exactly 0.
    if (levelCovered) {
        ResetEvaluation();
        derivation.MeasuredDifferenceAt = ConvertPoint(references, level, 0.0f).Correction;
    }
    if (request.Levelled) {
        const std::size_t at =
            static_cast<std::size_t>(std::lower_bound(f.begin(), f.end(), level) - f.begin());
        if (at < n && f[at] == level) {
            derivation.LevelShift = -result[at];
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        derivation.Result[i] =
            static_cast<float>(request.Levelled ? result[i] + derivation.LevelShift : result[i]);
    }
    derivation.HeaderLine = HeaderLineOf(derivation, levelCovered);

    // What to warn about, in the order the run prints it.
    LookAtMeasurement(inputs.RefMicMeasured, DerivationFile::RefMicMeasured, derivation);
    LookAtMeasurement(inputs.MyMicMeasured, DerivationFile::MyMicMeasured, derivation);
    if (levelCovered && std::fabs(derivation.MeasuredDifferenceAt) > LevelDifferenceLimit) {
        const std::vector<float>& mf = my.Frequencies;
        const auto i =
            static_cast<std::size_t>(std::lower_bound(mf.begin(), mf.end(), level) - mf.begin());
        AddWarning(derivation, DerivationWarningCode::LevelsDiffer, DerivationFile::MyMicMeasured,
                   inputs.MyMicMeasured.Lines[std::min(i, mf.size() - 1)], level,
                   static_cast<float>(derivation.MeasuredDifferenceAt));
    }
    // Unlevelled, the result keeps the microphones' difference in
    // sensitivity: it strays from its own value at F, not from 0 dB.
    const double centre = request.Levelled || !levelCovered ? 0.0 : derivation.MeasuredDifferenceAt;
    for (std::size_t i = 0; i < n; ++i) {
        if (f[i] >= StrayLow && f[i] <= StrayHigh &&
            std::fabs(derivation.Result[i] - centre) > StrayLimit) {
            // Line 1 of MyMicCal is its header line.
            AddWarning(derivation, DerivationWarningCode::StraysFromZero, DerivationFile::MyMicCal,
                       i + 2, f[i], derivation.Result[i]);
            break;
        }
    }
    return true;
}

bool DeriveFromFiles(const char* refMicCal, const char* refMicMeasured, const char* myMicMeasured,
                     const DerivationRequest& request, Derivation& derivation) {
    DerivationInputs inputs;
    return ReadDerivationInputs(refMicCal, refMicMeasured, myMicMeasured, inputs) &&
           Derive(inputs, request, derivation);
}

bool WriteDerivation(const char* path, const Derivation& derivation) {
    TextWriter writer;
    if (!OpenTextWriter(path, writer)) {
        return false;
    }
    bool written = WriteText(writer, derivation.HeaderLine) && WriteLineEnd(writer);
    for (std::size_t i = 0; written && i < derivation.Frequencies.size(); ++i) {
        char* p = ReserveText(writer, 2 * (FormattedValueMax + 1) + 2);
        p = FormatValue(derivation.Frequencies[i], p);
        *p++ = ' ';
        p = FormatValue(derivation.Result[i], p);
        *p++ = '\r';
        *p++ = '\n';
        CommitText(writer, p);
        written = !writer.Failed;
    }
    if (!written) {
        DiscardTextWriter(writer);
        return false;
    }
    return CloseTextWriter(writer);
}
