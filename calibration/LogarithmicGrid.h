#pragma once

#include <cstdint>

// The finest grid offered: far finer than any calibration is measured, and
// small enough that the widest range of floats stays a few hundred thousand
// points.
constexpr int MostPointsPerOctave = 1000;

// A logarithmic grid of PointsPerOctave points per octave from Start, with a
// point at 0 Hz before it where ZeroPoint is set, up to High, which is
// always its last point. Every program that resamples a curve onto a grid
// walks it here, so that their grids are the same.
struct LogarithmicGrid {
    bool ZeroPoint = false;
    double Start = 0.0;
    int PointsPerOctave = 0;
    float High = 0.0f;
};

// 2^(part/whole) for 0 <= part < whole, by its series, to within a few
// units in the last place of a double. The libraries' pow and exp2 differ in
// their last bit from platform to platform; plain arithmetic does not, so
// that the grid is the same on Linux, on Windows and in a browser.
double PowerOfTwoFraction(std::int64_t part, std::int64_t whole);

// Frequency k of the logarithmic grid: start * 2^(k/n), rounded to float.
float GridFrequency(double start, int n, std::uint64_t k);

// Calls visit(frequency) for each frequency of the grid in order, as long as
// it returns true, and counts them, up to one beyond limit. A point of the
// logarithmic grid within a hundredth of a step below High would stand next
// to it, so High takes its place.
template <typename Visit>
std::uint64_t WalkGrid(const LogarithmicGrid& grid, std::uint64_t limit, Visit visit) {
    std::uint64_t count = 0;
    if (grid.ZeroPoint) {
        ++count;
        if (!visit(0.0f)) {
            return count;
        }
    }
    const double below = grid.High / PowerOfTwoFraction(1, 100 * grid.PointsPerOctave);
    for (std::uint64_t k = 0; count <= limit; ++k) {
        const float frequency = GridFrequency(grid.Start, grid.PointsPerOctave, k);
        if (!(frequency < below)) {
            break;
        }
        ++count;
        if (!visit(frequency)) {
            return count;
        }
    }
    ++count;
    visit(grid.High);
    return count;
}
