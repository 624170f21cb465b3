#include "ExportGrid.h"

#include "Catalogue.h"
#include "EvaluateCurve.h"
#include "ExportProfiles.h"
#include "LogarithmicGrid.h"
#include "Messages.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

LogarithmicGrid GridOf(const ExportPlan& plan) {
    return {plan.ZeroPoint, plan.Start, plan.PointsPerOctave, plan.High};
}

std::uint64_t GridSize(const ExportPlan& plan, std::uint64_t limit) {
    return WalkGrid(GridOf(plan), limit, [](float) { return true; });
}

// The finest grid of at most request.MaxPoints points, and of at most the
// points per octave asked for. A finer grid never has fewer points.
bool ChooseGrid(const GridRequest& request, ExportPlan& plan) {
    int finest = request.PointsPerOctave > 0 ? request.PointsPerOctave : MostPointsPerOctave;
    if (request.MaxPoints == 0) {
        plan.PointsPerOctave = finest;
        return true;
    }
    plan.PointsPerOctave = 1;
    const std::uint64_t coarsest = GridSize(plan, request.MaxPoints);
    if (coarsest > request.MaxPoints) {
        const std::uint64_t needed = GridSize(plan, UINT64_MAX);
        const std::string message =
            // TRANSLATORS: the grid from {low} Hz to {high} Hz (the frequencies of
            // --range, or the file's) needs {count} points even at one point per
            // octave, more than the {maxPoints} that --max-points allows.
            SayCount("Error - --max-points {maxPoints} is too few: one point per octave from {low} "
                     "Hz to {high} Hz takes {count} point, so nothing was exported. Give "
                     "--max-points {count} or more, or a narrower --range.",
                     "Error - --max-points {maxPoints} is too few: one point per octave from {low} "
                     "Hz to {high} Hz takes {count} points, so nothing was exported. Give "
                     "--max-points {count} or more, or a narrower --range.",
                     needed,
                     {{"maxPoints", std::to_string(request.MaxPoints)},
                      {"low", ShownNumber(plan.ZeroPoint ? 0.0f : static_cast<float>(plan.Start))},
                      {"high", ShownNumber(plan.High)}});
        PrintMessage("%s\n", message.c_str());
        return false;
    }
    int coarse = 1;
    while (coarse < finest) {
        plan.PointsPerOctave = coarse + (finest - coarse + 1) / 2;
        if (GridSize(plan, request.MaxPoints) <= request.MaxPoints) {
            coarse = plan.PointsPerOctave;
        } else {
            finest = plan.PointsPerOctave - 1;
        }
    }
    plan.PointsPerOctave = coarse;
    return true;
}

void PlanOwnPoints(const std::vector<float>& f, const GridRequest& request, ExportPlan& plan) {
    plan.End = f.size();
    if (!request.HasRange) {
        return;
    }
    plan.First =
        static_cast<std::size_t>(std::lower_bound(f.begin(), f.end(), plan.Low) - f.begin());
    plan.End =
        static_cast<std::size_t>(std::upper_bound(f.begin(), f.end(), plan.High) - f.begin());
    plan.AddLow = !(plan.First < f.size() && f[plan.First] == plan.Low);
    plan.AddHigh = !(plan.End > 0 && f[plan.End - 1] == plan.High);
}

std::uint64_t OwnPointCount(const ExportPlan& plan) {
    return (plan.End - plan.First) + plan.AddLow + plan.AddHigh;
}

void Hold(const CalibrationCurve& curve, std::size_t i, float* values) {
    values[0] = curve.Frequencies[i];
    values[1] = curve.Responses[i];
}

} // namespace

bool PlanExport(const ExportCurve& curve, const GridRequest& request, const char* path,
                ExportPlan& plan) {
    const std::vector<float>& f = curve.Response.Frequencies;
    plan = {};
    plan.Low = request.HasRange ? request.Low : f.front();
    plan.High = request.HasRange ? request.High : f.back();
    if (request.HasRange && (plan.Low > f.back() || plan.High < f.front())) {
        const std::string message =
            // TRANSLATORS: {low} and {high} are the frequencies of --range, {first}
            // and {last} the lowest and highest of the file; {file} is its name as
            // given.
            Say("Error - the range {low} Hz to {high} Hz lies beyond the frequencies of "
                "{file} ({first} Hz to {last} Hz): every point would repeat the file's "
                "first or last value, so nothing was exported. Give a range that "
                "overlaps the file's frequencies.",
                {{"low", ShownNumber(plan.Low)},
                 {"high", ShownNumber(plan.High)},
                 {"file", path},
                 {"first", ShownNumber(f.front())},
                 {"last", ShownNumber(f.back())}});
        PrintMessage("%s\n", message.c_str());
        return false;
    }
    PlanOwnPoints(f, request, plan);
    if (request.PointsPerOctave == 0 &&
        (request.MaxPoints == 0 || OwnPointCount(plan) <= request.MaxPoints)) {
        return true;
    }
    // A logarithmic grid cannot start at 0 Hz: there it has a point of its
    // own, and the grid starts at the file's first frequency.
    plan.Grid = true;
    plan.ZeroPoint = plan.Low == 0.0f;
    plan.Start = plan.ZeroPoint ? f.front() : plan.Low;
    return ChooseGrid(request, plan);
}

bool ProducePoints(const ExportCurve& curve, const ExportPlan& plan, const PointSink& sink,
                   HeldPoints& held) {
    const CalibrationCurve& response = curve.Response;
    const std::size_t last = response.Frequencies.size() - 1;
    float values[3] = {};
    const auto fromFile = [&](std::size_t i) {
        Hold(response, i, values);
        values[2] = curve.Third.Responses[i];
        return sink.Take(sink.Context, values);
    };
    const auto evaluated = [&](float frequency) {
        if (frequency <= response.Frequencies[0] || frequency >= response.Frequencies[last]) {
            const std::size_t end = frequency <= response.Frequencies[0] ? 0 : last;
            Hold(response, end, values);
            values[2] = curve.Third.Responses[end];
            held.Below += frequency < response.Frequencies[0];
            held.Above += frequency > response.Frequencies[last];
        } else {
            values[1] = EvaluateCurve(response, frequency);
            values[2] = curve.HasThird ? EvaluateCurve(curve.Third, frequency) : 0.0f;
        }
        values[0] = frequency;
        return sink.Take(sink.Context, values);
    };
    ResetEvaluation();
    if (plan.Grid) {
        bool written = true;
        WalkGrid(GridOf(plan), UINT64_MAX,
                 [&](float frequency) { return written = evaluated(frequency); });
        return written;
    }
    if (plan.AddLow && !evaluated(plan.Low)) {
        return false;
    }
    for (std::size_t i = plan.First; i < plan.End; ++i) {
        if (!fromFile(i)) {
            return false;
        }
    }
    return !plan.AddHigh || evaluated(plan.High);
}
