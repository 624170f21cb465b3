// The per-line work of a conversion, each part on its own: scanning a data
// line, formatting a value, and evaluating the reference curves the way a
// run alternates between them.
#include "CalibrationCurve.h"
#include "DataLineScan.h"
#include "EvaluateCurve.h"
#include "NumberFormatter.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int Lines = 4096;

float LogSpaced(int i, int count, float low, float high) {
    return static_cast<float>(low * std::pow(high / low, static_cast<double>(i) / (count - 1)));
}

// Data lines as a measurement program writes them.
const std::vector<std::string>& DataLines() {
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> made;
        for (int i = 0; i < Lines; ++i) {
            const double f = LogSpaced(i, Lines, 10.0f, 24000.0f);
            char text[80];
            std::snprintf(text, sizeof text, "%.4f\t%.3f\t%.2f", f, 1.5 * std::sin(std::log10(f)),
                          90.0 * std::cos(std::log10(f)));
            made.emplace_back(text);
        }
        return made;
    }();
    return lines;
}

// The values a conversion writes: frequencies, responses and phases.
const std::vector<float>& OutputValues() {
    static const std::vector<float> values = [] {
        std::vector<float> made;
        for (const std::string& line : DataLines()) {
            float scanned[3];
            ScanDataLine(line, scanned, 3);
            made.insert(made.end(), scanned, scanned + 3);
        }
        return made;
    }();
    return values;
}

CalibrationCurve LogSpacedCurve(int points, float low, float high, bool searchable) {
    CalibrationCurve curve;
    for (int i = 0; i < points; ++i) {
        curve.Frequencies.push_back(LogSpaced(i, points, low, high));
        curve.Responses.push_back(static_cast<float>(std::sin(i * 0.01)));
    }
    curve.FrequenciesNeverDecrease = searchable;
    return curve;
}

void ScanDataLines(benchmark::State& state) {
    const std::vector<std::string>& lines = DataLines();
    float values[3];
    for (auto _ : state) {
        for (const std::string& line : lines) {
            benchmark::DoNotOptimize(ScanDataLine(line, values, 3));
            benchmark::DoNotOptimize(values);
        }
    }
    state.SetItemsProcessed(state.iterations() * Lines);
}
BENCHMARK(ScanDataLines);

void FormatValues(benchmark::State& state) {
    const std::vector<float>& values = OutputValues();
    char text[FormattedValueMax];
    for (auto _ : state) {
        for (const float value : values) {
            benchmark::DoNotOptimize(FormatValue(value, text));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(values.size()));
}
BENCHMARK(FormatValues);

// The general conversion that FormatValue must match byte for byte.
void FormatValuesGenerally(benchmark::State& state) {
    const std::vector<float>& values = OutputValues();
    char text[FormattedValueMax];
    for (auto _ : state) {
        for (const float value : values) {
            benchmark::DoNotOptimize(std::to_chars(text, text + sizeof text,
                                                   static_cast<double>(value),
                                                   std::chars_format::fixed, 6)
                                         .ptr);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(values.size()));
}
BENCHMARK(FormatValuesGenerally);

// Two references evaluated in turn at rising frequencies, sharing the hint:
// arguments are the points of the first and the second curve, and whether
// their order has been checked (1: search, 0: walk).
void EvaluateCurves(benchmark::State& state) {
    const bool searchable = state.range(2) != 0;
    const CalibrationCurve from =
        LogSpacedCurve(static_cast<int>(state.range(0)), 5.0f, 40000.0f, searchable);
    const CalibrationCurve to =
        LogSpacedCurve(static_cast<int>(state.range(1)), 6.0f, 30000.0f, searchable);
    std::vector<float> frequencies;
    for (int i = 0; i < Lines; ++i) {
        frequencies.push_back(LogSpaced(i, Lines, 10.0f, 24000.0f));
    }
    for (auto _ : state) {
        for (const float frequency : frequencies) {
            benchmark::DoNotOptimize(EvaluateCurve(from, frequency));
            benchmark::DoNotOptimize(EvaluateCurve(to, frequency));
        }
    }
    state.SetItemsProcessed(state.iterations() * Lines);
}
BENCHMARK(EvaluateCurves)
    ->Args({1000, 1000, 0})
    ->Args({1000, 1000, 1})
    ->Args({2, 1000000, 1})
    ->Args({2, 10000, 0})
    ->Args({2, 10000, 1});

} // namespace

BENCHMARK_MAIN();
