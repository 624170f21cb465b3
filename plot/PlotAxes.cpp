#include "PlotAxes.h"

#include "Catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace {

// Values read as floats sit a rounding error away from the round numbers they
// were written as; an end or a grid line that close counts as reached.
constexpr double Tolerance = 1e-6;

// Beyond this many decades the 2 to 5 lines would merge into grey bands.
constexpr double MostDecadesWithSteps = 6.0;
// Up to this many decades a decade is wide enough to label its 3 and 4 lines.
constexpr double MostDecadesWithAllLabels = 2.0;
constexpr int MostDecadeLabels = 12;
constexpr double MostLevelSteps = 10.0;
// The correction's panel is low, and its labels need room between them.
constexpr double MostCorrectionSteps = 6.0;
// A correction of a few hundredths of a dB must not look like a big one.
constexpr double LeastCorrectionShown = 0.5;

constexpr int GridMultiples[] = {1, 2, 3, 4, 5};

double PowerOfTen(int exponent) {
    return std::pow(10.0, exponent);
}

// The k with 10^k <= value < 10^(k+1), corrected where log10 rounds across
// a power of ten.
int DecadeOf(double value) {
    auto k = static_cast<int>(std::floor(std::log10(value)));
    if (PowerOfTen(k + 1) <= value) {
        ++k;
    } else if (PowerOfTen(k) > value) {
        --k;
    }
    return k;
}

int MultiplesUsed(bool decadesOnly) {
    return decadesOnly ? 1 : static_cast<int>(std::size(GridMultiples));
}

double GridAtOrBelow(double value, bool decadesOnly) {
    const double limit = value * (1.0 + Tolerance);
    const int k = DecadeOf(limit);
    double found = PowerOfTen(k);
    for (int i = 1; i < MultiplesUsed(decadesOnly); ++i) {
        if (GridMultiples[i] * PowerOfTen(k) <= limit) {
            found = GridMultiples[i] * PowerOfTen(k);
        }
    }
    return found;
}

double GridAtOrAbove(double value, bool decadesOnly) {
    const double limit = value * (1.0 - Tolerance);
    const int k = DecadeOf(limit);
    for (int i = 0; i < MultiplesUsed(decadesOnly); ++i) {
        if (GridMultiples[i] * PowerOfTen(k) >= limit) {
            return GridMultiples[i] * PowerOfTen(k);
        }
    }
    return PowerOfTen(k + 1);
}

// A label as the language writes a number in prose, with its decimal mark:
// the mark is what stands between the digits of one half.
std::string WithDecimalMark(const char* text) {
    const std::string half = ShownNumber(0.5f);
    const std::string mark = half.substr(1, half.size() - 2);
    std::string shown;
    for (const char* c = text; *c != '\0'; ++c) {
        shown += *c == '.' ? mark : std::string(1, *c);
    }
    return shown;
}

std::string FrequencyLabel(double hertz) {
    char text[32];
    if (hertz < 1000.0 * (1.0 - Tolerance)) {
        std::snprintf(text, sizeof text, "%g Hz", hertz);
    } else {
        std::snprintf(text, sizeof text, "%g kHz", hertz / 1000.0);
    }
    return WithDecimalMark(text);
}

std::string LevelLabel(double value, int decimals) {
    char text[48];
    if (std::fabs(value) < 1e9) {
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
    } else {
        std::snprintf(text, sizeof text, "%g", value);
    }
    return WithDecimalMark(text);
}

PlotAxis ChooseLinearAxis(double lowest, double highest, double mostSteps) {
    if (!(highest > lowest)) {
        // A flat curve gets room around it instead of a zero-height axis.
        const double margin = std::max(1.0, std::fabs(highest) / 10.0);
        lowest -= margin;
        highest += margin;
    }
    int exponent = static_cast<int>(std::floor(std::log10((highest - lowest) / mostSteps)));
    for (;; ++exponent) {
        for (const int multiple : {1, 2, 5}) {
            const double step = multiple * PowerOfTen(exponent);
            const double first = std::floor(lowest / step + Tolerance);
            const double last = std::ceil(highest / step - Tolerance);
            if (last - first > mostSteps) {
                continue;
            }
            PlotAxis axis;
            axis.Low = first * step;
            axis.High = last * step;
            const int decimals = std::max(0, -exponent);
            for (double index = first; index <= last; index += 1.0) {
                // index + 0.0 turns a floor of -0.0 into 0, so no label reads -0.
                const double value = (index + 0.0) * step;
                axis.Lines.push_back({value, value == 0.0, LevelLabel(value, decimals)});
            }
            return axis;
        }
    }
}

} // namespace

PlotAxis ChooseFrequencyAxis(double lowest, double highest) {
    PlotAxis axis;
    bool decadesOnly = false;
    axis.Low = GridAtOrBelow(lowest, decadesOnly);
    axis.High = GridAtOrAbove(highest, decadesOnly);
    if (std::log10(axis.High / axis.Low) > MostDecadesWithSteps + Tolerance) {
        decadesOnly = true;
        axis.Low = GridAtOrBelow(lowest, decadesOnly);
        axis.High = GridAtOrAbove(highest, decadesOnly);
    }
    if (axis.High <= axis.Low * (1.0 + Tolerance)) {
        // All data at one frequency: the axis runs on to the next grid value.
        axis.High = GridAtOrAbove(axis.Low * 1.1, decadesOnly);
    }

    const double decades = std::log10(axis.High / axis.Low);
    const int firstDecade = DecadeOf(axis.Low * (1.0 + Tolerance));
    const int lastDecade = DecadeOf(axis.High * (1.0 + Tolerance));
    const int labelEvery = std::max(1, static_cast<int>(std::ceil(decades / MostDecadeLabels)));
    for (int k = firstDecade; k <= lastDecade; ++k) {
        for (int i = 0; i < MultiplesUsed(decadesOnly); ++i) {
            const int multiple = GridMultiples[i];
            const double value = multiple * PowerOfTen(k);
            if (value < axis.Low * (1.0 - Tolerance) || value > axis.High * (1.0 + Tolerance)) {
                continue;
            }
            const bool labelled = decadesOnly ? (k - firstDecade) % labelEvery == 0
                                              : multiple == 1 || multiple == 2 || multiple == 5 ||
                                                    decades <= MostDecadesWithAllLabels + Tolerance;
            axis.Lines.push_back({value, multiple == 1, labelled ? FrequencyLabel(value) : ""});
        }
    }
    return axis;
}

PlotAxis ChooseLevelAxis(double lowest, double highest) {
    return ChooseLinearAxis(lowest, highest, MostLevelSteps);
}

PlotAxis ChooseCorrectionAxis(double lowest, double highest) {
    return ChooseLinearAxis(std::fmin(lowest, -LeastCorrectionShown),
                            std::fmax(highest, LeastCorrectionShown), MostCorrectionSteps);
}
